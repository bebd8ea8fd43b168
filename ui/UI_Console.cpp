// The message log's console panel and status line (see UI_Console.h).
#include "ui/UI_Console.h"

#include <algorithm>

#include "core/OS_Keys.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Text.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Console, UI_View)
UI_DEFINE_CLASS(UI_StatusLine, UI_View)

OMB_Color UI_MessageColor(OMB_MessageKind kind) {
    switch (kind) {
        case OMB_MessageKind::Error: return kThemeMessageError;
        case OMB_MessageKind::Warning: return kThemeMessageWarning;
        default: return kThemeMessageInfo;
    }
}

// ---------------------------------------------------------------- console

void UI_Console::SetLog(const OMB_MessageLog* log) {
    m_log = log;
    m_scroll = 0;
    m_seen = log ? log->Serial() : 0;
    Invalidate();
}

int UI_Console::VisibleLines() const { return std::max(1, m_rect.Height() / std::max(LineHeight(), 1)); }

void UI_Console::ScrollBy(int lines) {
    const int count = m_log ? int(m_log->Count()) : 0;
    m_scroll = std::clamp(m_scroll + lines, 0, std::max(0, count - VisibleLines()));
    Invalidate();
}

void UI_Console::ShowFrom(uint64_t serial) {
    if (!m_log) return;
    m_seen = m_log->Serial();
    const uint64_t lines = std::min<uint64_t>(m_seen - std::min(serial, m_seen), m_log->Count());
    m_scroll = std::max(0, int(lines) - VisibleLines());
    Invalidate();
}

int UI_Console::BottomLine() const {
    const int count = m_log ? int(m_log->Count()) : 0;
    return count == 0 ? -1 : std::max(0, count - 1 - m_scroll);
}

bool UI_Console::Wheel(const UI_MouseState& m) {
    // Wheel up (positive) shows older lines.
    const int lines = int((m.wheel - m.prevWheel) / kWheelNotch * float(kLinesPerNotch));
    if (lines == 0) return false;
    ScrollBy(lines);
    return true;
}

bool UI_Console::KeyDown(const UI_KeyState& k) {
    const int count = m_log ? int(m_log->Count()) : 0;
    switch (k.key) {
        case OS_KEY_PAGE_UP: Page(1); return true;
        case OS_KEY_PAGE_DOWN: Page(-1); return true;
        case OS_KEY_HOME: ScrollBy(count); return true;
        case OS_KEY_END: ScrollBy(-count); return true;
        default: return false;
    }
}

void UI_Console::Draw() {
    FillRect(m_bgColor, m_rect);
    if (!m_log || !Window()) return;
    // Scrolled back, the same lines stay in view while new ones arrive (the
    // oldest may have been dropped meanwhile: the clamp keeps it in range).
    const uint64_t added = m_log->Serial() - m_seen;
    m_seen = m_log->Serial();
    if (m_scroll > 0) m_scroll = int(std::min<uint64_t>(uint64_t(m_scroll) + added, m_log->Count()));
    m_scroll = std::clamp(m_scroll, 0, std::max(0, int(m_log->Count()) - VisibleLines()));
    const int height = LineHeight();
    const int columns = std::max(0, int(float(m_rect.Width() - 8) / std::max(m_fontSize[0], 1.0f)));
    int y = m_rect.y0 + 1;
    for (int line = BottomLine(); line >= 0 && y + height - 1 <= m_rect.y1; --line, y += height) {
        const OMB_Message& message = m_log->Line(size_t(line));
        Window()->Canvas().SetTextColor(UI_MessageColor(message.kind));
        DrawString(message.text.c_str(), columns, float(m_rect.x0 + 4), float(y + 1), m_fontSize[0], m_fontSize[1],
                   UI_ALIGN_LEFT);
    }
}

bool UI_Console::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "bgColor", m_bgColor);
    return true;
}

// ---------------------------------------------------------------- status line

std::string UI_StatusLine::Message() const {
    return m_log ? m_log->Status().text : std::string();
}

void UI_StatusLine::SetRightText(const std::string& text) {
    if (text == m_right) return;
    m_right = text;
    Invalidate();
}

void UI_StatusLine::Draw() {
    FillRect(m_bgColor, m_rect);
    if (!Window()) return;
    const float charW = std::max(m_fontSize[0], 1.0f);
    const int rightColumns = UI_TextColumns(m_right);
    const int columns = std::max(0, int(float(m_rect.Width() - 12) / charW) - rightColumns - 2);
    const float y = float(m_rect.y0) + (float(m_rect.Height()) - m_fontSize[1]) / 2;
    if (m_log && !m_log->Status().text.empty()) {
        const OMB_Message& status = m_log->Status();
        Window()->Canvas().SetTextColor(UI_MessageColor(status.kind));
        DrawString(status.text.c_str(), columns, float(m_rect.x0 + 6), y, charW, m_fontSize[1], UI_ALIGN_LEFT);
    }
    if (m_right.empty()) return;
    Window()->Canvas().SetTextColor(UI_MessageColor(OMB_MessageKind::Info));
    DrawString(m_right.c_str(), rightColumns, float(m_rect.x1 - 6), y, charW, m_fontSize[1], UI_ALIGN_RIGHT);
}

bool UI_StatusLine::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "bgColor", m_bgColor);
    std::string text;
    if (UI_ReadText(node, "text", text)) SetRightText(text);
    return true;
}
