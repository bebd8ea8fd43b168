// Options, option groups and tabs (see UI_Option.h).
#include "ui/UI_Option.h"

#include "ui/UI_Attributes.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Option, UI_View)
UI_DEFINE_CLASS(UI_TextOption, UI_Option)
UI_DEFINE_CLASS(UI_OptionGroup, UI_Group)
UI_DEFINE_CLASS(UI_Tab, UI_OptionGroup)

// ---------------------------------------------------------------- option

bool UI_Option::LeftDown(const UI_MouseState& m) {
    Activate();
    return true;
}

bool UI_Option::MouseEnter(const UI_MouseState& m) {
    m_hover = true;
    Invalidate();
    return true;
}

bool UI_Option::MouseLeave(const UI_MouseState& m) {
    m_hover = false;
    Invalidate();
    return true;
}

void UI_Option::SetSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    RunCommand(selected ? m_onSelect : m_onDeselect);
    Invalidate();
}

void UI_Option::ShowSelected(bool selected) {
    m_selected = selected;
    Invalidate();
}

bool UI_Option::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadSelectCommands(node, m_onSelect, m_onDeselect);
    return true;
}

// ---------------------------------------------------------------- text option

namespace {
const UI_Keyword kOptionStyles[] = {{"dark", 1}, {"bw", 2}, {"gr", 3}, {nullptr, 0}};
struct OptionColors {
    OMB_Color background[3];  // selected, hover, normal
    OMB_Color text[3];
};
const OptionColors kOptionColors[4] = {
    {{OMB_RGBA(120, 185, 210), OMB_RGBA(200, 220, 220), OMB_RGBA(170, 180, 180)},
     {OMB_RGBA(20, 20, 20, 230), OMB_RGBA(20, 20, 20, 200), OMB_RGBA(20, 20, 20, 200)}},
    {{OMB_RGBA(40, 40, 40), OMB_RGBA(100, 100, 100), OMB_RGBA(80, 80, 80)},
     {OMB_RGBA(255, 255, 255, 255), OMB_RGBA(255, 255, 255, 180), OMB_RGBA(255, 255, 255, 130)}},
    {{OMB_RGBA(20, 20, 20), OMB_RGBA(235, 235, 235), OMB_RGBA(210, 210, 210)},
     {OMB_RGBA(255, 255, 255), OMB_RGBA(20, 20, 20, 220), OMB_RGBA(20, 20, 20, 220)}},
    {{OMB_RGBA(45, 45, 45), OMB_RGBA(90, 90, 90), OMB_RGBA(65, 65, 65)},
     {OMB_RGBA(0, 180, 235), OMB_RGBA(255, 255, 255, 230), OMB_RGBA(255, 255, 255, 180)}},
};
}  // namespace

void UI_TextOption::Draw() {
    const int state = m_selected ? 0 : m_hover ? 1 : 2;
    const OptionColors& c = kOptionColors[m_style & 3];
    FillRect(c.background[state], m_rect);
    DrawText(m_text.c_str(), c.text[state], m_rect, m_fontSize[0], m_fontSize[1], UI_ALIGN_CENTER);
}

bool UI_TextOption::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Option::ParseAttributes(node)) return false;
    UI_ReadText(node, "text", m_text);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadKeyword(node, "style", kOptionStyles, 0, m_style);
    return true;
}

// ---------------------------------------------------------------- group

bool UI_OptionGroup::AddChild(UI_View* child, const OMB_LmpNode* node) {
    if (!UI_Group::AddChild(child, node)) return false;
    std::vector<UI_View*> found;
    child->CollectViews(&UI_Option::kClass, found);
    for (UI_View* view : found) {
        UI_Option* option = static_cast<UI_Option*>(view);
        option->selectedSignal.Connect(this, &UI_OptionGroup::OnOptionActivated);
        m_options.push_back(option);
    }
    return true;
}

UI_Option* UI_OptionGroup::OptionNamed(const char* id) const {
    for (UI_Option* option : m_options)
        if (UI_SameText(option->Id().c_str(), id)) return option;
    return nullptr;
}

void UI_OptionGroup::Select(UI_Option* option) {
    if (option == m_current) return;
    if (m_current) m_current->SetSelected(false);
    m_current = option;
    if (!option) return;
    option->SetSelected(true);
    if (!m_onClick.empty()) RunCommand(m_onClick + " " + option->Id());
}

bool UI_OptionGroup::ShowOption(const std::string& id) {
    UI_Option* option = OptionNamed(id.c_str());
    if (!option) return false;
    if (m_current && m_current != option) m_current->ShowSelected(false);
    m_current = option;
    option->ShowSelected(true);
    return true;
}

bool UI_OptionGroup::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Group::ParseAttributes(node)) return false;
    UI_ReadText(node, "onClick", m_onClick);
    std::string value;
    if (UI_ReadText(node, "value", value))
        if (UI_Option* option = OptionNamed(value.c_str())) Select(option);
    return true;
}

// ---------------------------------------------------------------- tab

bool UI_Tab::ShowPage(const UI_Option* option, bool show) {
    if (!option || !m_window) return false;
    // The option carries the page's name too: the page is the first view of
    // that name that is not an option.
    std::vector<UI_View*> views;
    m_window->CollectViews(&UI_View::kClass, views);
    UI_View* page = nullptr;
    for (UI_View* v : views)
        if (!page && !UI_Cast<UI_Option>(v) && UI_SameText(v->Id().c_str(), option->Id().c_str())) page = v;
    if (!page || page->IsHidden() == !show) return false;
    page->SetHidden(!show);
    return true;
}

void UI_Tab::Select(UI_Option* option) {
    if (option == m_current) return;
    bool changed = false;
    if (m_current) {
        m_current->SetSelected(false);
        changed = ShowPage(m_current, false);
    }
    m_current = option;
    if (option) {
        option->SetSelected(true);
        changed = ShowPage(option, true) || changed;
    }
    if (changed && m_window) m_window->RefreshLayout();
}
