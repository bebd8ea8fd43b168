// Switches and the folding panel column (see UI_Switch.h).
#include "ui/UI_Switch.h"

#include "core/OMB_Lexer.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Switch, UI_View)
UI_DEFINE_CLASS(UI_SideSwitch, UI_Switch)
UI_DEFINE_CLASS(UI_ViewSwitch, UI_SideSwitch)
UI_DEFINE_CLASS(UI_TextSwitch, UI_Switch)
UI_DEFINE_CLASS(UI_PanelSwitch, UI_Switch)
UI_DEFINE_CLASS(UI_VPanel, UI_VBox)

// ---------------------------------------------------------------- switch

bool UI_Switch::LeftDown(const UI_MouseState& m) {
    if (m_pressed) return false;
    m_pressed = true;
    if (!m_delayed) SetSelected(!m_selected);
    Invalidate();
    return true;
}

bool UI_Switch::LeftUp(const UI_MouseState& m) {
    if (!m_pressed) return false;
    m_pressed = false;
    if (m_delayed && IsHovered()) SetSelected(!m_selected);
    Invalidate();
    return true;
}

void UI_Switch::SetSelected(bool selected) {
    if (selected == m_selected) return;
    m_selected = selected;
    RunCommand(selected ? m_onSelect : m_onDeselect);
    Invalidate();
}

bool UI_Switch::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadBool(node, "delayed", m_delayed);
    bool selected = m_selected;
    if (UI_ReadBool(node, "selected", selected)) SelectQuietly(selected);
    UI_ReadSelectCommands(node, m_onSelect, m_onDeselect);
    return true;
}

void UI_Switch::DrawCaption(const std::string& text, OMB_Color background, OMB_Color color, const float fontSize[2]) {
    FillRect(background, m_rect);
    DrawText(text.c_str(), color, m_rect, fontSize[0], fontSize[1], UI_ALIGN_CENTER);
}

// ---------------------------------------------------------------- side switch

namespace {
const UI_Keyword kDarkStyle[] = {{"dark", 1}, {nullptr, 0}};
const UI_Keyword kTextSwitchStyles[] = {{"dark", 1}, {"bw", 2}, {nullptr, 0}};
}  // namespace

void UI_SideSwitch::Draw() {
    const std::string& text = m_selected ? m_text : m_text2;
    const UI_StateColors& c = UI_ThemeRow(kThemeSideSwitch, m_style)[UI_StateOf(m_pressed, IsHovered())];
    DrawCaption(text, c.background, m_style == 1 ? c.text : m_fontColor, m_fontSize);
}

bool UI_SideSwitch::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Switch::ParseAttributes(node)) return false;
    UI_ReadText(node, "text", m_text);
    UI_ReadText(node, "text2", m_text2);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "fontColor", m_fontColor);
    UI_ReadKeyword(node, "style", kDarkStyle, 0, m_style);
    return true;
}

// ---------------------------------------------------------------- view switch

void UI_ViewSwitch::SetSelected(bool selected) {
    UI_Switch::SetSelected(selected);
    SwapViews();
}

// Swaps even when the state stays: the views follow every request.
void UI_ViewSwitch::SelectQuietly(bool selected) {
    m_selected = selected;
    SwapViews();
}

void UI_ViewSwitch::SwapViews() {
    if (!m_window) return;
    for (const std::string& name : m_viewNames)
        if (UI_View* view = m_window->FindView(name.c_str(), &UI_View::kClass)) view->SetHidden(!view->IsHidden());
    m_window->RefreshLayout();
}

bool UI_ViewSwitch::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_SideSwitch::ParseAttributes(node)) return false;
    std::string names;
    if (!UI_ReadText(node, "view", names)) return true;
    m_viewNames.clear();
    size_t start = names.find_first_not_of(" \t");
    while (start != std::string::npos) {
        const size_t end = names.find_first_of(" \t", start);
        m_viewNames.push_back(names.substr(start, end - start));
        start = names.find_first_not_of(" \t", end);
    }
    return true;
}

// ---------------------------------------------------------------- text switch

void UI_TextSwitch::Draw() { m_caption.Draw(*this, UI_ThemeRow(kThemeTextSwitch, m_caption.style), m_selected); }

bool UI_TextSwitch::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Switch::ParseAttributes(node)) return false;
    m_caption.Parse(node, kTextSwitchStyles);
    return true;
}

// ---------------------------------------------------------------- panel switch

void UI_PanelSwitch::SetSelected(bool selected) {
    if (selected == m_selected) return;
    SelectQuietly(selected);
}

void UI_PanelSwitch::SelectQuietly(bool selected) {
    m_selected = selected;
    ShowPanel();
}

void UI_PanelSwitch::ShowPanel() {
    if (!m_panel || m_panel->IsHidden() != m_selected) return;
    m_panel->SetHidden(!m_selected);
    if (m_window) m_window->RefreshLayout();
}

void UI_PanelSwitch::Draw() {
    // Darker while pressed, lighter under the pointer; an open panel's
    // header carries a marker on its left.
    const int shift = m_pressed ? -20 : IsHovered() ? 25 : 0;
    const int r = OMB_Red(m_bgColor) + shift, g = OMB_Green(m_bgColor) + shift, b = OMB_Blue(m_bgColor) + shift;
    auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    FillRect(OMB_RGBA(clamp(r), clamp(g), clamp(b), OMB_Alpha(m_bgColor)), m_rect);
    DrawText(m_text.c_str(), m_fontColor, m_rect, m_fontSize[0], m_fontSize[1], UI_ALIGN_LEFT);
    if (m_selected) {
        const OMB_Rect marker = {m_rect.x0, m_rect.y0, m_rect.x0 + 3, m_rect.y1};
        FillRect(kThemeAccent, marker);
    }
}

bool UI_PanelSwitch::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Switch::ParseAttributes(node)) return false;
    UI_ReadText(node, "text", m_text);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "fontColor", m_fontColor);
    UI_ReadColor(node, "bgColor", m_bgColor);
    return true;
}

// ---------------------------------------------------------------- panel column

bool UI_VPanel::AddChild(std::unique_ptr<UI_View> owned, const OMB_LmpNode* node) {
    UI_View* before = m_children.empty() ? nullptr : m_children.back().get();
    UI_View* child = owned.get();
    if (!UI_VBox::AddChild(std::move(owned), node)) return false;
    UI_PanelSwitch* header = UI_Cast<UI_PanelSwitch>(before);
    if (header && !UI_Cast<UI_PanelSwitch>(child)) {
        header->SetPanel(child);
        child->SetHidden(!header->IsSelected());
    }
    return true;
}
