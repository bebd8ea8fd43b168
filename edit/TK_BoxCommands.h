// Own-undo commands that change the model's box: "shrink" crops it to the
// voxels, "expand" grows it by a cell on each side, "size" sets it and drops
// the voxels that no longer fit. Each keeps its old and new sizes and the
// offset it moved the voxels by; "size" also keeps the voxels it dropped, so
// undo gives back exactly the model it started from.
#pragma once

#include "edit/TK_CMD.h"

// "shrink [axis word]": the size becomes the voxels' bounds on the named
// axes (all three by default), and the voxels move to the origin.
class TK_CMD_Shrink : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Shrink, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // never fails
    bool Execute() override;  // false on an empty model or one already tight
    void Undo() override;
    void Redo() override { Forward(); }

private:
    void Forward();
    int m_oldSize[3] = {0, 0, 0};
    int m_newSize[3] = {0, 0, 0};
    int m_offset[3] = {0, 0, 0};  // lowest occupied coordinate per shrunk axis
    int m_axes[3] = {0, 0, 0};
};

// "expand [axis word]": two more cells on the named axes (all three by
// default), up to the largest model size, with the voxels centred.
class TK_CMD_Expand : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Expand, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // never fails
    bool Execute() override;                // false when no axis can grow
    void Undo() override { Move(m_oldSize, -1); }
    void Redo() override { Move(m_newSize, 1); }

private:
    void Move(const int size[3], int sign);
    int m_oldSize[3] = {0, 0, 0};
    int m_newSize[3] = {0, 0, 0};
    int m_offset[3] = {0, 0, 0};
    int m_axes[3] = {0, 0, 0};
};

// "size x [y [z]]": sets the box (each axis clamped to 1..126), keeping the
// model centred in x and y and its floor in place.
class TK_CMD_Resize : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Resize, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // false without a number
    bool Execute() override;                // false when the size stays the same
    void Undo() override;
    void Redo() override;

private:
    // Sets the new size, moves the voxels and drops those outside, keeping
    // them (as they were) when `record` is set.
    void Forward(bool record);
    VoxelList m_removed;
    int m_oldSize[3] = {0, 0, 0};
    int m_size[3] = {0, 0, 0};  // requested, clamped by Execute
    int m_offset[3] = {0, 0, 0};
};
