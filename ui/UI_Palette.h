// UI_Palette: the palette as a grid of swatches ("dim" columns by rows,
// index 0 at the top left, rows running left to right). It reads the palette
// it is given (the document's, owned elsewhere) at every frame, so a changed
// palette shows at the next frame; the editor calls Invalidate on palette
// messages. Gestures, each running a command line followed by the indices:
//   click                 "onSelect" index
//   Ctrl-drag a to b      "onCopy" a b    (copy colour a onto b)
//   Shift-drag a to b     "onSwap" a b
//   Alt-drag a to b       "onGroup" a b   (the range from a to b)
// Index 0 belongs to no voxel and is never picked. The selected swatch is
// outlined; "selected" selects an index without running anything.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UI_View.h"


class UI_Palette : public UI_View {
public:
    UI_DECLARE_CLASS()
    // The 256 colours shown (RGBA, red in the lowest byte); not owned.
    void SetPalette(const uint32_t* colors) { m_palette = colors; }
    void Select(int index);
    int Selected() const { return m_selected; }
    // The palette index under a point; -1 outside the swatches.
    int IndexAt(int x, int y) const;
    // The swatch rectangle of an index (empty when it has none).
    OMB_Rect SwatchRect(int index) const;

    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

private:
    void RunPair(const std::string& command, int a, int b);

    const uint32_t* m_palette = nullptr;
    int m_columns = 16, m_rows = 16;
    int m_selected = 1;
    int m_pressIndex = -1;  // the swatch a gesture started on
    int m_dragIndex = -1;   // the swatch under the pointer during a gesture
    int m_pressModifiers = 0;
    std::string m_onSelect, m_onCopy, m_onSwap, m_onGroup;
};
