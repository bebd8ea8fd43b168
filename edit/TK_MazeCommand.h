// "maze [N]": replaces the model by a maze in the current colour. The box's
// x-y plane is divided into square rooms N cells wide with walls one cell
// thick between them; a randomised depth-first walk opens exactly one door
// between neighbouring rooms along a spanning tree, so every room is reached
// and any two rooms are joined by exactly one path. The walls rise over the
// whole height of the box.
//
// Unlike the other generators it keeps its own undo: copies of the model
// before and after, so Redo never depends on a random draw.
#pragma once

#include "edit/TK_CMD.h"

class TK_CMD_Maze : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Maze, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Parse(const char* args) override;  // an optional positive corridor width (default 1)
    bool Execute() override;                // false when the box cannot hold 2 rooms
    void Undo() override { Restore(m_before); }
    void Redo() override { Restore(m_after); }

private:
    // Size, voxels and palette: what the maze may change.
    struct Snapshot {
        int size[3] = {0, 0, 0};
        VoxelList voxels;
        Palette palette;
    };
    void Save(Snapshot& s) const;
    void Restore(const Snapshot& s);
    void Generate(int step, unsigned seed);

    int m_color = 0;
    int m_step = 1;
    Snapshot m_before;
    Snapshot m_after;
};
