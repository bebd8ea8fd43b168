// The colour brushes: a click on a voxel hands its colour to ApplyColor.
// TK_PickColorBrush makes it the current colour, TK_ReplaceColorBrush
// recolours every voxel of it with the current colour, TK_RemoveColorBrush
// removes every voxel of it. Clicks on empty space do nothing.
//
// Rule: each click runs at most one command, through the executor, so
// replace and remove are one undo step each.
#pragma once

#include "brush/TK_ModelBrush.h"

class TK_ColorBrush : public TK_ModelBrush {
public:
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override { return m_captured; }
    bool LeftUp(const UI_MouseState& m) override;
};

class TK_PickColorBrush : public TK_ColorBrush {
public:
    bool ApplyColor(int index) override;
};

class TK_ReplaceColorBrush : public TK_ColorBrush {
public:
    bool ApplyColor(int index) override;
};

class TK_RemoveColorBrush : public TK_ColorBrush {
public:
    bool ApplyColor(int index) override;
};
