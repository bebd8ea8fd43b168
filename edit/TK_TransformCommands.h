// Own-undo model commands that move or recolour voxels inside the box:
// "flip", "loop", "rot90" and "fill". Each stores only what it needs to
// invert itself and relies on the history to undo it on exactly the model it
// left. The box commands ("shrink", "expand", "size") are in
// TK_BoxCommands.h and share TK_AxisRemap from here.
#pragma once

#include <cstdint>

#include "edit/TK_CMD.h"

// A coordinate map applied to every voxel in one pass: output axis a takes
// table[a][input coordinate on axis source[a]]. Built per command, so the
// per-voxel work is three table reads whatever the transform.
struct TK_AxisRemap {
    int source[3] = {0, 1, 2};
    uint8_t table[3][256];

    TK_AxisRemap();  // identity
    // table[a][p] = p + delta, for a translation on axis a.
    void Shift(int a, int delta);
    // table[a][p] = s - 1 - p, for a mirror on an axis of size s.
    void Reverse(int a, int s);
    void ApplyTo(VoxelList& voxels) const;
};

// "flip <axis words>": mirrors the model in place; its own inverse.
class TK_CMD_Flip : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Flip, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;   // false on any token that is not a word
    bool Execute() override;                 // false on an empty model or no axis
    void Undo() override { FlipModel(); }
    void Redo() override { FlipModel(); }
    bool Merge(OMB_Command* next) override;  // XOR of the axis flags
    bool HasEffect() const override;

private:
    void FlipModel();
    int m_axis[3] = {0, 0, 0};
};

// "loop <axis word> <int> ...": shifts every voxel with wrap-around.
class TK_CMD_Loop : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Loop, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // false unless word/integer pairs
    bool Execute() override;                // false on an empty model or no offset
    void Undo() override { Shift(-1); }
    void Redo() override { Shift(1); }
    bool Merge(OMB_Command* next) override;  // offsets add
    bool HasEffect() const override;         // some offset is not a whole turn

private:
    // Offset of axis a reduced into (-size, size), so sums and negation of
    // any 32-bit input stay in range.
    int Remainder(int a) const;
    // Moves the voxels by sign times the offsets; false when nothing moves.
    bool Shift(int sign);
    int m_offset[3] = {0, 0, 0};
};

// "rot90 x|y|z": a quarter turn about one axis; the sizes of the other two
// axes swap.
class TK_CMD_Rot90 : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Rot90, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // exactly "x", "y" or "z", any case
    bool Execute() override;                // false on an empty model or no turn
    void Undo() override { Rotate(4 - m_count); }
    void Redo() override { Rotate(m_count); }
    bool Merge(OMB_Command* next) override;  // same axis: turns add modulo 4
    bool HasEffect() const override { return m_count != 0; }

private:
    void Rotate(int quarterTurns);
    int m_axis = 0;
    int m_count = 0;  // 0..3
};

// "fill": every voxel takes the current colour; undo writes back the voxels
// it recoloured.
class TK_CMD_Fill : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Fill, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // takes the current colour
    bool Execute() override;  // false for colour 0 or when no voxel differs
    void Undo() override;
    void Redo() override;

private:
    int m_colorIndex = 0;
    VoxelList m_saved;  // the recoloured voxels as they were
};
