// The brush stroke commands: TK_CMD_AddVoxels attaches, TK_CMD_EraseVoxels
// erases and TK_CMD_PaintVoxels recolours the cells of one committed stroke.
// Brushes build them from a copy of their stroke list and run them through
// the executor; they have no console name.
//
// Each Execute keeps only the entries that changed the model (and, for erase
// and paint, stores each cell's previous colour in its entry), and fails when
// none is left, so a stroke that changes nothing leaves no history entry.
// The commands keep the environment's lookup grid up to date themselves and
// notify geometry (32) or colour (128) changes, never a full grid rebuild.
//
// Rule: Undo must find the model exactly as Execute or Redo left it; the
// kept entries are only valid in that state.
#pragma once

#include "edit/TK_CMD.h"

// The shared part: the entry list and the cell edits on the model.
class TK_CMD_VoxelStroke : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_VoxelStroke, TK_CMD)
public:
    explicit TK_CMD_VoxelStroke(const VoxelList& stroke) : m_voxels(stroke) {}
    bool IsUndoable() const override { return true; }
    // The entries kept by Execute.
    const VoxelList& Voxels() const { return m_voxels; }

protected:
    // Appends every entry to the model and enters it in the lookup grid; the
    // cells must be empty and inside the model.
    void AppendAll();
    // Removes the voxels at the entries' cells; the cells must be filled.
    void RemoveAll();
    // Drops entries [kept, count) and gives back the unused capacity.
    void KeepFirst(int kept);

    VoxelList m_voxels;
};

// Attaches the entries whose cell lies inside the model and is empty.
class TK_CMD_AddVoxels : public TK_CMD_VoxelStroke {
    OMB_COMMAND_CLASS(TK_CMD_AddVoxels, TK_CMD_VoxelStroke)
public:
    using TK_CMD_VoxelStroke::TK_CMD_VoxelStroke;
    bool Execute() override;  // false when no entry could be added
    void Undo() override;
    void Redo() override;
};

// Erases the voxels at the entries' cells; each entry keeps the erased colour.
class TK_CMD_EraseVoxels : public TK_CMD_VoxelStroke {
    OMB_COMMAND_CLASS(TK_CMD_EraseVoxels, TK_CMD_VoxelStroke)
public:
    using TK_CMD_VoxelStroke::TK_CMD_VoxelStroke;
    bool Execute() override;  // false when every entry's cell was empty
    void Undo() override;
    void Redo() override;
};

// Gives filled cells the entries' colours; each entry keeps the old colour.
class TK_CMD_PaintVoxels : public TK_CMD_VoxelStroke {
    OMB_COMMAND_CLASS(TK_CMD_PaintVoxels, TK_CMD_VoxelStroke)
public:
    using TK_CMD_VoxelStroke::TK_CMD_VoxelStroke;
    bool Execute() override;  // false when no cell changed colour
    void Undo() override;
    void Redo() override;

private:
    // Swaps each entry's colour with its cell's; `forward` picks the order
    // (backwards undoes a forward pass even if two entries share a cell).
    void Exchange(bool forward);
};
