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
}

void UI_TextOption::Draw() { m_caption.Draw(*this, UI_ThemeRow(kThemeOption, m_caption.style), m_selected); }

bool UI_TextOption::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Option::ParseAttributes(node)) return false;
    m_caption.Parse(node, kOptionStyles);
    return true;
}

// ---------------------------------------------------------------- group

bool UI_OptionGroup::AddChild(std::unique_ptr<UI_View> owned, const OMB_LmpNode* node) {
    UI_View* child = owned.get();
    if (!UI_Group::AddChild(std::move(owned), node)) return false;
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
