// The toolkit's own question (see UI_Question.h).
#include "ui/UI_Question.h"

#include "core/OS_Keys.h"
#include "ui/UI_Button.h"
#include "ui/UI_Label.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Question, UI_VBox)

namespace {

// The parts, centred in the panel.
const char* const kParts = R"(vbox {
  label (text='' flex='1')
  label (id='ask_text' text='' size='30')
  hbox (size='26' prev='10') {
    label (text='' flex='1')
    button (id='ask_first' style='gr' onClick='ask_first' size='96')
    button (id='ask_second' style='gr' onClick='ask_second' size='96' prev='6')
    button (text='Cancel' style='gr' onClick='ask_cancel' size='96' prev='6')
    label (text='' flex='1')
  }
  label (text='' flex='2')
})";

void SetCaption(UI_View* view, const std::string& text) {
    if (view) view->SetAttribute("text", text);
}

}  // namespace

UI_Question::UI_Question() {
    if (UI_View* parts = UI_AddParts(*this, kParts, "question")) {
        m_label = UI_Cast<UI_Label>(parts->FindView("ask_text", &UI_Label::kClass));
        m_first = UI_Cast<UI_TextButton>(parts->FindView("ask_first", &UI_TextButton::kClass));
        m_second = UI_Cast<UI_TextButton>(parts->FindView("ask_second", &UI_TextButton::kClass));
    }
    m_hidden = true;
}

void UI_Question::Ask(const std::string& text, const std::string& first, const std::string& second,
                      std::function<void(Answer)> done) {
    m_text = text;
    m_done = std::move(done);
    if (m_label) m_label->SetText(text);
    SetCaption(m_first, first);
    SetCaption(m_second, second);
    // A question with one answer and Cancel.
    if (m_second) m_second->SetHidden(second.empty());
    SetHidden(false);
    if (m_window) {
        m_window->RefreshLayout();
        m_window->SetFocus(this);
    }
}

void UI_Question::Reply(Answer answer) {
    if (IsHidden()) return;
    SetHidden(true);
    if (m_window) {
        m_window->SetFocus(nullptr);
        m_window->RefreshLayout();
    }
    std::function<void(Answer)> done;
    done.swap(m_done);
    if (done) done(answer);
}

void UI_Question::RunCommand(const std::string& text) {
    if (text == "ask_first") return Reply(kFirst);
    if (text == "ask_second") return Reply(kSecond);
    if (text == "ask_cancel") return Reply(kCancel);
    UI_VBox::RunCommand(text);
}

bool UI_Question::KeyDown(const UI_KeyState& k) {
    if (k.key == OS_KEY_ESCAPE) Reply(kCancel);
    else if (k.key == OS_KEY_ENTER) Reply(kFirst);
    // Every other key stops here: nothing runs behind an open question.
    return true;
}

void UI_Question::Draw() { FillRect(kThemeDialogBackground, m_rect); }
