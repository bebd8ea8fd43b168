// TK_CMD_Shape: the base of every model command that has no cheap inverse
// (zero, mir, full, inv, and the generators). Execute keeps a copy of the
// model's size and voxel list, then runs the subclass's Apply; Undo puts the
// copy back; Redo runs Apply again on the restored model. A new shape command
// is one subclass with CanApply and Apply plus one line in TK_Commands.cpp.
//
// The rule not to break: Apply must leave a valid model (every voxel inside
// the size, one voxel per cell, colours 1..255) and must be repeatable, since
// Redo calls it again on the same starting model.
#pragma once

#include "edit/TK_CMD.h"

class TK_CMD_Shape : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Shape, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    // False when CanApply or Apply is false; the model is then as it was.
    bool Execute() override;
    void Undo() override;
    void Redo() override;

    // Whether Apply can run on the current model (checked before the copy).
    virtual bool CanApply() { return true; }
    // Changes the current model; false when nothing changed.
    virtual bool Apply() = 0;

protected:
    TK_Model& Model() const { return m_env->model; }

private:
    void RestoreSnapshot();
    void NotifyChangedSince(const int oldSize[3]);

    int m_savedSize[3] = {0, 0, 0};
    VoxelList m_savedVoxels;
};
