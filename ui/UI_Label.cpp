// Labels and the hint line (see UI_Label.h).
#include "ui/UI_Label.h"

#include "ui/UI_Attributes.h"
#include "ui/UI_Text.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Label, UI_View)
UI_DEFINE_CLASS(UI_Hint, UI_Label)

namespace {
const UI_Keyword kAligns[] = {{"left", 1}, {"center", 2}, {"right", 3}, {nullptr, 0}};
const UI_Keyword kLabelStyles[] = {{"normal", 0}, {"quiet", 1}, {nullptr, 0}};
}

void UI_Label::DrawLabel(const char* text) {
    // The quad batch draws opaque: a transparent background is no quad.
    if (OMB_Alpha(m_bgColor) != 0) FillRect(m_bgColor, m_rect);
    DrawText(text, m_fontColor, m_rect, m_fontSize[0], m_fontSize[1], m_align);
}

void UI_Label::Draw() { DrawLabel(m_text.c_str()); }

void UI_Label::SetText(const std::string& text) {
    // A label is a line, not a document.
    m_text.assign(text, 0, kMaxText);
    Invalidate();
}

void UI_Label::SetBackground(OMB_Color color) {
    m_bgColor = color;
    Invalidate();
}

bool UI_Label::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    std::string text;
    if (UI_ReadText(node, "text", text)) SetText(text);
    OMB_Color background = m_bgColor;
    if (UI_ReadColor(node, "bgColor", background)) SetBackground(background);
    // "quiet": the theme's colour of the panels' captions; "fontColor" wins.
    int style = 0;
    if (UI_ReadKeyword(node, "style", kLabelStyles, 0, style) && style == 1) m_fontColor = kThemeQuietText;
    UI_ReadColor(node, "fontColor", m_fontColor);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadKeyword(node, "align", kAligns, 2, m_align);
    return true;
}

std::string UI_Label::CutTextAt(int x, int y) const {
    const bool cut = UI_TextColumns(m_text) > UI_Canvas::TextColumns(m_rect, m_fontSize[0], m_align);
    return cut ? m_text : std::string();
}

const std::string& UI_Hint::CurrentHint() {
    m_current.clear();
    if (!m_window) return m_current;
    UI_View* view = m_window->CaptureView() ? m_window->CaptureView() : m_window->HoverView();
    if (view) {
        std::string cut = view->CutTextAt(m_window->Mouse().x, m_window->Mouse().y);
        if (!cut.empty()) return m_current = std::move(cut);
    }
    for (; view; view = view->Parent())
        if (!view->Hint().empty()) {
            m_current.assign(view->Hint());
            break;
        }
    return m_current;
}

void UI_Hint::Draw() { DrawLabel(CurrentHint().c_str()); }
