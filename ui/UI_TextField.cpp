// The single-line text editor (see UI_TextField.h).
//
//   Focus and mouse ... caret placement, click selection
//   Keys .............. editing, moving, clipboard, history
//   Drawing
//   Attributes
#include "ui/UI_TextField.h"

#include <algorithm>

#include "core/OMB_Utf8.h"
#include "core/OS_Keys.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Text.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_TextField, UI_View)

// ---------------------------------------------------------------- text

namespace {
// The longest start of the text within `bytes` that ends on a character
// boundary.
std::string CutAtBoundary(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = 0;
    for (size_t next = 0; next <= bytes && end < text.size(); next = size_t(OMB_Utf8Next(text, int(end))))
        end = next;
    return text.substr(0, end);
}
}  // namespace

int UI_TextField::Boundary(int offset) const {
    offset = std::clamp(offset, 0, int(m_text.size()));
    int at = 0;
    for (int next = 0; next <= offset && at < int(m_text.size()); next = OMB_Utf8Next(m_text, at)) at = next;
    return offset == int(m_text.size()) ? offset : at;
}

void UI_TextField::SetText(const std::string& text) {
    m_text = CutAtBoundary(text, size_t(m_maxLength));
    m_caret = Boundary(m_caret);
    m_anchor = Boundary(m_anchor);
    m_scroll = Boundary(m_scroll);
    Invalidate();
}

void UI_TextField::Select(int anchor, int caret) {
    m_anchor = Boundary(anchor);
    m_caret = Boundary(caret);
    KeepCaretVisible();
    Invalidate();
}

void UI_TextField::EraseSelection() {
    const int start = SelectionStart(), end = SelectionEnd();
    m_text.erase(size_t(start), size_t(end - start));
    m_caret = m_anchor = start;
}

void UI_TextField::Insert(const std::string& text) { Edit(text, false); }

void UI_TextField::KeepStep(bool typing) {
    if (!(typing && m_typing)) {
        if (m_undo.size() == kMaxSteps) m_undo.erase(m_undo.begin());
        m_undo.push_back({m_text, m_caret, m_anchor});
    }
    m_redo.clear();
    m_typing = typing;
}

void UI_TextField::Edit(const std::string& text, bool typing) {
    KeepStep(typing);
    EraseSelection();
    // One line of characters: controls go, malformed bytes become U+FFFD.
    std::string clean;
    for (const char *p = text.data(), *end = p + text.size(); p < end;) {
        const uint32_t c = OMB_DecodeUtf8(p, end);
        if (c >= 32 && !(c >= 0x7F && c < 0xA0)) OMB_AppendUtf8(clean, c);
    }
    clean = CutAtBoundary(clean, size_t(std::max(0, m_maxLength - int(m_text.size()))));
    m_text.insert(size_t(m_caret), clean);
    m_caret = m_anchor = m_caret + int(clean.size());
    m_edited = true;
    KeepCaretVisible();
    Invalidate();
}

void UI_TextField::Leave() {
    SetText(m_textAtFocus);
    m_edited = false;
    if (m_window && m_focused) m_window->SetFocus(nullptr);
}

void UI_TextField::Enter() {
    RunLine();
    if (m_once && m_window) m_window->SetFocus(nullptr);
}

void UI_TextField::Remember(const std::string& line) {
    if (m_history && !line.empty() && (m_lines.empty() || m_lines.back() != line)) {
        m_lines.push_back(line);
        if (int(m_lines.size()) > kMaxHistory) m_lines.erase(m_lines.begin());
    }
    m_historyPos = int(m_lines.size());
}

void UI_TextField::RunLine() {
    const std::string line = m_text;
    Remember(line);
    m_edited = false;
    if (m_clear) SetText(std::string());
    RunCommand(m_onEnter.empty() ? line : m_onEnter + " " + line);
}

// ---------------------------------------------------------------- focus and mouse

bool UI_TextField::FocusIn() {
    m_focused = true;
    m_undo.clear();
    m_redo.clear();
    m_typing = false;
    m_textAtFocus = m_text;
    Invalidate();
    return true;
}

void UI_TextField::Compose(const std::string& text) {
    m_composition = text;
    Invalidate();
}

bool UI_TextField::FocusOut() {
    m_focused = false;
    m_composition.clear();
    m_anchor = m_caret;
    // Only the line: the focus is already on its way elsewhere.
    if (m_enter && m_edited) RunLine();
    Invalidate();
    return true;
}

float UI_TextField::TextX() const {
    const float inset = m_border + float(kInset);
    if (m_align != UI_ALIGN_CENTER) return float(m_rect.x0) + inset;
    const int shown = UI_TextColumns(m_text) - UI_ColumnsBefore(m_text, m_scroll);
    const float width = float(m_rect.Width());
    return std::max(float(m_rect.x0) + inset, float(m_rect.x0) + (width - float(shown) * m_fontSize[0]) / 2);
}

int UI_TextField::OffsetAt(int x) const {
    const float column = (float(x) - TextX()) / std::max(m_fontSize[0], 1.0f);
    return m_scroll + UI_OffsetAtColumn(m_text.substr(size_t(m_scroll)), std::max(0.0f, column));
}

void UI_TextField::KeepCaretVisible() {
    const float inner = float(m_rect.Width()) - 2 * (m_border + float(kInset));
    const int columns = std::max(2, int(inner / std::max(m_fontSize[0], 1.0f)));
    m_scroll = std::min(Boundary(m_scroll), m_caret);
    // Whole characters leave the left edge until the caret's cell shows.
    while (UI_ColumnsBefore(m_text, m_caret) - UI_ColumnsBefore(m_text, m_scroll) > columns)
        m_scroll = OMB_Utf8Next(m_text, m_scroll);
}

bool UI_TextField::LeftDown(const UI_MouseState& m) {
    if (m_click && !m_focused) {
        // The window focuses the field after this press.
        Select(0, int(m_text.size()));
        return true;
    }
    MoveCaret(OffsetAt(m.x), (m.modifiers & OS_MOD_SHIFT) != 0);
    return true;
}

bool UI_TextField::LeftDrag(const UI_MouseState& m) {
    MoveCaret(OffsetAt(m.x), true);
    return true;
}

// ---------------------------------------------------------------- keys

void UI_TextField::MoveCaret(int to, bool extend) {
    m_caret = Boundary(to);
    if (!extend) m_anchor = m_caret;
    KeepCaretVisible();
    Invalidate();
}

namespace {
bool IsWordChar(char c) { return c != ' ' && c != '\t' && c != '|'; }
}  // namespace

int UI_TextField::WordLeft() const {
    int i = m_caret;
    while (i > 0 && !IsWordChar(m_text[size_t(i - 1)])) --i;
    while (i > 0 && IsWordChar(m_text[size_t(i - 1)])) --i;
    return i;
}

int UI_TextField::WordRight() const {
    const int n = int(m_text.size());
    int i = m_caret;
    while (i < n && IsWordChar(m_text[size_t(i)])) ++i;
    while (i < n && !IsWordChar(m_text[size_t(i)])) ++i;
    return i;
}

void UI_TextField::WalkHistory(int step) {
    if (m_lines.empty()) return;
    m_historyPos = std::clamp(m_historyPos + step, 0, int(m_lines.size()));
    KeepStep(false);
    SetText(m_historyPos < int(m_lines.size()) ? m_lines[size_t(m_historyPos)] : std::string());
    Select(int(m_text.size()), int(m_text.size()));
}

bool UI_TextField::MoveKey(const UI_KeyState& k) {
    const bool shift = (k.modifiers & OS_MOD_SHIFT) != 0, ctrl = (k.modifiers & OS_MOD_CTRL) != 0;
    switch (k.key) {
        case OS_KEY_LEFT:
            if (!shift && !ctrl && m_anchor != m_caret) MoveCaret(SelectionStart(), false);
            else MoveCaret(ctrl ? WordLeft() : OMB_Utf8Prev(m_text, m_caret), shift);
            return true;
        case OS_KEY_RIGHT:
            if (!shift && !ctrl && m_anchor != m_caret) MoveCaret(SelectionEnd(), false);
            else MoveCaret(ctrl ? WordRight() : OMB_Utf8Next(m_text, m_caret), shift);
            return true;
        case OS_KEY_HOME: MoveCaret(0, shift); return true;
        case OS_KEY_END: MoveCaret(int(m_text.size()), shift); return true;
        case OS_KEY_UP:
        case OS_KEY_DOWN:
            if (!m_history) return false;
            WalkHistory(k.key == OS_KEY_UP ? -1 : 1);
            return true;
        default: return false;
    }
}

bool UI_TextField::ClipboardKey(const UI_KeyState& k) {
    if ((k.modifiers & OS_MOD_CTRL) == 0 || !m_window) return false;
    const std::string selected = m_text.substr(size_t(SelectionStart()), size_t(SelectionEnd() - SelectionStart()));
    switch (k.key) {
        case OS_KeyOf('A'): Select(0, int(m_text.size())); return true;
        case OS_KeyOf('C'):
            if (!selected.empty()) m_window->SetClipboardText(selected.c_str());
            return true;
        case OS_KeyOf('X'):
            if (selected.empty()) return true;
            m_window->SetClipboardText(selected.c_str());
            Insert(std::string());
            return true;
        case OS_KeyOf('V'): {
            std::string text;
            if (m_window->GetClipboardText(text)) Insert(text);
            return true;
        }
        default: return false;
    }
}

bool UI_TextField::UndoKey(const UI_KeyState& k) {
    const int mods = k.modifiers & (OS_MOD_CTRL | OS_MOD_SHIFT | OS_MOD_ALT);
    const bool undo = k.key == OS_KeyOf('Z') && mods == OS_MOD_CTRL;
    const bool redo = (k.key == OS_KeyOf('Y') && mods == OS_MOD_CTRL) ||
                      (k.key == OS_KeyOf('Z') && mods == (OS_MOD_CTRL | OS_MOD_SHIFT));
    if (!undo && !redo) return false;
    std::vector<Step>& from = undo ? m_undo : m_redo;
    std::vector<Step>& to = undo ? m_redo : m_undo;
    if (from.empty()) return true;
    to.push_back({m_text, m_caret, m_anchor});
    const Step step = from.back();
    from.pop_back();
    m_text = step.text;
    m_caret = step.caret;
    m_anchor = step.anchor;
    m_edited = true;
    m_typing = false;
    KeepCaretVisible();
    Invalidate();
    return true;
}

bool UI_TextField::EditKey(const UI_KeyState& k) {
    switch (k.key) {
        case OS_KEY_BACKSPACE:
        case OS_KEY_DELETE:
            if (m_anchor == m_caret) {
                const bool back = k.key == OS_KEY_BACKSPACE;
                const bool ctrl = (k.modifiers & OS_MOD_CTRL) != 0;
                const int to = back ? (ctrl ? WordLeft() : OMB_Utf8Prev(m_text, m_caret))
                                    : (ctrl ? WordRight() : OMB_Utf8Next(m_text, m_caret));
                m_anchor = Boundary(to);
            }
            Insert(std::string());
            return true;
        case OS_KEY_ENTER: Enter(); return true;
        default: return false;
    }
}

bool UI_TextField::KeyDown(const UI_KeyState& k) {
    if (k.key == OS_KEY_NONE && k.character >= 32) {
        m_composition.clear();
        std::string typed;
        OMB_AppendUtf8(typed, k.character);
        Edit(typed, true);
        return true;
    }
    if (k.key == OS_KEY_ESCAPE) {
        Leave();
        return false;  // a dialog around the field cancels on the same key
    }
    if (UndoKey(k)) return true;
    m_typing = false;  // any other key ends a run of typing
    return ClipboardKey(k) || MoveKey(k) || EditKey(k);
}

// ---------------------------------------------------------------- drawing

void UI_TextField::Draw() {
    if (!m_window) return;
    UI_Canvas& canvas = m_window->Canvas();
    const int border = int(m_border);
    if (border > 0) FillRect(m_focused ? kThemeFieldBorderFocused : kThemeFieldBorder, m_rect);
    const OMB_Rect inner = {m_rect.x0 + border, m_rect.y0 + border, m_rect.x1 - border, m_rect.y1 - border};
    FillRect(m_bgColor, inner);
    const float w = m_fontSize[0], h = m_fontSize[1];
    const float y = float(m_rect.y0) + (float(m_rect.Height()) - h) / 2;
    const float x = TextX();
    const int columns = std::max(0, int((float(inner.x1) - x) / std::max(w, 1.0f)));
    if (m_text.empty() && !m_focused) {
        canvas.SetTextColor((m_fontColor & 0x00ffffffu) | OMB_RGBA(0, 0, 0, kThemeFieldPlaceholderAlpha));
        DrawString(m_default.c_str(), columns, x, y, w, h, UI_ALIGN_LEFT);
    }
    // Cells from the first shown character.
    const auto cell = [this](int offset) {
        return UI_ColumnsBefore(m_text, offset) - UI_ColumnsBefore(m_text, m_scroll);
    };
    if (m_focused && m_anchor != m_caret) {
        const int a = std::max(cell(SelectionStart()), 0), b = std::min(cell(SelectionEnd()), columns);
        if (b > a)
            FillRect(kThemeFieldSelection,
                     {int(x + float(a) * w), int(y), int(x + float(b) * w) - 1, int(y + h) - 1});
    }
    if (!m_text.empty()) {
        canvas.SetTextColor(m_fontColor);
        // While the input method composes, its text stands after the caret
        // in place of the rest.
        const bool composing = m_focused && !m_composition.empty();
        DrawString(m_text.c_str() + m_scroll, composing ? std::min(columns, cell(m_caret)) : columns, x, y, w, h,
                   UI_ALIGN_LEFT);
    }
    if (m_focused) {
        const int cx = int(x + float(cell(m_caret)) * w);
        FillRect(m_fontColor, {cx, int(y), cx, int(y + h) - 1});
        if (!m_composition.empty()) {
            // Underlined: it is not part of the text yet.
            const int room = std::max(0, columns - cell(m_caret));
            const int width = std::min(UI_TextColumns(m_composition), room);
            FillRect(m_fontColor, {cx + 1, int(y), cx + int(float(width) * w), int(y)});
            canvas.SetTextColor(m_fontColor);
            DrawString(m_composition.c_str(), room, float(cx + 1), y, w, h, UI_ALIGN_LEFT);
        }
    }
}

// ---------------------------------------------------------------- attributes

namespace {
const UI_Keyword kFieldAligns[] = {{"left", 1}, {"center", 2}, {nullptr, 0}};
}

bool UI_TextField::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    if (UI_ReadInt(node, "maxLength", m_maxLength)) m_maxLength = std::max(m_maxLength, 0);
    std::string text;
    if (UI_ReadText(node, "text", text)) ShowText(text);
    UI_ReadText(node, "default", m_default);
    UI_ReadBool(node, "click", m_click);
    UI_ReadBool(node, "clear", m_clear);
    UI_ReadBool(node, "once", m_once);
    UI_ReadBool(node, "enter", m_enter);
    UI_ReadBool(node, "history", m_history);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "bgColor", m_bgColor);
    UI_ReadColor(node, "fontColor", m_fontColor);
    if (UI_ReadFloat(node, "border", m_border)) m_border = std::clamp(m_border, 0.0f, 64.0f);
    UI_ReadKeyword(node, "align", kFieldAligns, 1, m_align);
    UI_ReadText(node, "onEnter", m_onEnter);
    return true;
}
