// The palette grid (see UI_Palette.h).
#include "ui/UI_Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/OS_Keys.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Theme.h"

UI_DEFINE_CLASS(UI_Palette, UI_View)

int UI_Palette::IndexAt(int x, int y) const {
    if (!m_rect.Contains(x, y) || m_columns < 1 || m_rows < 1) return -1;
    const int col = int(float(x - m_rect.x0) * float(m_columns) / float(m_rect.Width()));
    const int row = int(float(m_rect.y1 - y) * float(m_rows) / float(m_rect.Height()));
    const int index = row * m_columns + col;
    return col < m_columns && row < m_rows && index < 256 ? index : -1;
}

OMB_Rect UI_Palette::SwatchRect(int index) const {
    if (index < 0 || index >= std::min(256, m_columns * m_rows)) return OMB_Rect();
    const float w = float(m_rect.Width()) / float(m_columns), h = float(m_rect.Height()) / float(m_rows);
    const int col = index % m_columns, row = index / m_columns;
    const int x0 = m_rect.x0 + int(std::floor(float(col) * w)), x1 = m_rect.x0 + int(std::floor(float(col + 1) * w)) - 1;
    const int y1 = m_rect.y1 - int(std::floor(float(row) * h)), y0 = m_rect.y1 - int(std::floor(float(row + 1) * h)) + 1;
    return {x0, y0, x1, y1};
}

void UI_Palette::Select(int index) {
    if (index < 1 || index > 255) return;
    m_selected = index;
    Invalidate();
}

bool UI_Palette::LeftDown(const UI_MouseState& m) {
    const int index = IndexAt(m.x, m.y);
    if (index < 1) return false;
    m_pressIndex = m_dragIndex = index;
    m_pressModifiers = m.modifiers & (OS_MOD_CTRL | OS_MOD_SHIFT | OS_MOD_ALT);
    if (m_pressModifiers == 0) {
        Select(index);
        RunPair(m_onSelect, index, -1);
    }
    return true;
}

bool UI_Palette::LeftDrag(const UI_MouseState& m) {
    if (m_pressIndex < 0) return false;
    const int index = IndexAt(m.x, m.y);
    if (index != m_dragIndex) Invalidate();
    m_dragIndex = index;
    return true;
}

bool UI_Palette::LeftUp(const UI_MouseState& m) {
    if (m_pressIndex < 0) return false;
    const int from = m_pressIndex, to = IndexAt(m.x, m.y);
    m_pressIndex = m_dragIndex = -1;
    Invalidate();
    if (to < 1 || to == from) return true;
    if (m_pressModifiers & OS_MOD_CTRL)
        RunPair(m_onCopy, from, to);
    else if (m_pressModifiers & OS_MOD_SHIFT)
        RunPair(m_onSwap, from, to);
    else if (m_pressModifiers & OS_MOD_ALT)
        RunPair(m_onGroup, from, to);
    return true;
}

void UI_Palette::RunPair(const std::string& command, int a, int b) {
    if (command.empty()) return;
    char text[32];
    if (b < 0)
        std::snprintf(text, sizeof text, " %d", a);
    else
        std::snprintf(text, sizeof text, " %d %d", a, b);
    RunCommand(command + text);
}

void UI_Palette::Draw() {
    FillRect(kThemePaletteBackground, m_rect);
    if (!m_palette) return;
    const int count = std::min(256, m_columns * m_rows);
    for (int i = 1; i < count; ++i) {
        OMB_Rect r = SwatchRect(i);
        // One pixel of the background between swatches.
        if (r.Width() > 3) --r.x1;
        if (r.Height() > 3) ++r.y0;
        FillRect(m_palette[i] | 0xff000000u, r);
    }
    auto outline = [this](int index, OMB_Color outer, OMB_Color inner) {
        const OMB_Rect r = SwatchRect(index);
        if (r.IsEmpty()) return;
        FillRect(outer, {r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y1 + 1});
        FillRect(inner, r);
        FillRect(m_palette[index] | 0xff000000u, {r.x0 + 1, r.y0 + 1, r.x1 - 1, r.y1 - 1});
    };
    outline(m_selected, kThemeSwatchOutline, kThemeSwatchSelected);
    if (m_pressIndex > 0 && m_dragIndex > 0 && m_dragIndex != m_pressIndex)
        outline(m_dragIndex, kThemeSwatchOutline, kThemeSwatchDropTarget);
}

bool UI_Palette::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadText(node, "onSelect", m_onSelect);
    UI_ReadText(node, "onCopy", m_onCopy);
    UI_ReadText(node, "onSwap", m_onSwap);
    UI_ReadText(node, "onGroup", m_onGroup);
    int dim[2] = {m_columns, m_rows};
    if (UI_ReadInts(node, "dim", dim, 2)) {
        // Unusable sizes keep a grid that still shows the whole palette.
        m_columns = std::clamp(dim[0], 1, 256);
        m_rows = std::clamp(dim[1], 1, 256);
    }
    int selected = m_selected;
    if (UI_ReadInt(node, "selected", selected)) Select(selected);
    Invalidate();
    return true;
}
