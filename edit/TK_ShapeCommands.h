// The whole-model shape commands with snapshot undo: "zero" empties the box,
// "mir" copies the lower half onto the upper half, "full" fills every cell
// and "inv" swaps empty and filled cells. Each one only says whether it can
// run (CanApply) and what it does (Apply); TK_CMD_Shape keeps the copy that
// undo restores.
#pragma once

#include "edit/TK_CMD_Shape.h"

// "zero": removes every voxel and releases their storage; the size stays.
class TK_CMD_Clear : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Clear, TK_CMD_Shape)
public:
    bool CanApply() override;  // false on an empty model
    bool Apply() override;
};

// "mir [x|y|z]": the upper half on the axis (default x) becomes the mirror
// image of the lower half; an odd middle slice is kept once.
class TK_CMD_MirrorModel : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_MirrorModel, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // never fails
    bool CanApply() override;               // false on an empty model
    bool Apply() override;                  // false when no voxel moved
    bool Merge(OMB_Command* next) override; // mirroring twice is mirroring once

private:
    int m_axis = 0;
};

// "full": every cell of the box in the current colour.
class TK_CMD_Full : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Full, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // takes the current colour
    bool CanApply() override;  // false for colour 0 or a box already full of it
    bool Apply() override;

private:
    int m_colorIndex = 0;
};

// "inv": empty cells become voxels of the current colour, voxels become
// empty cells (their colours live on only in the snapshot).
class TK_CMD_Inverse : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Inverse, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // takes the current colour
    bool CanApply() override;               // false for a colour outside 1..255
    bool Apply() override;

private:
    int m_colorIndex = 0;
};
