// Morphology commands with snapshot undo: "flood" fills enclosed cavities,
// "dil" grows the voxels into empty neighbour cells, "ero" removes voxels
// that touch an empty cell. Dilation and erosion share the axis text
// ("", "xy", "+z", "-x +y"...) that picks the neighbourhood per axis.
//
// Rule: neighbours are always judged on the model as it was before the
// step, never on cells the same step has just changed.
#pragma once

#include "edit/TK_CMD_Shape.h"

// Axis modes of the neighbourhood: 0 none, 1 positive side, -1 negative
// side, 2 both sides. Empty text gives 2 on every axis. False (with the
// modes unspecified) on any character that is not a space, a sign or an
// axis letter.
bool TK_ParseNeighbourAxes(const char* args, int modes[3]);

// "flood": every empty cell that the outside cannot reach through face
// neighbours becomes a voxel of the current colour.
class TK_CMD_FloodFill : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_FloodFill, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // takes the current colour
    bool CanApply() override;               // false on an empty model
    bool Apply() override;                  // false when nothing was enclosed

private:
    int m_color = 0;
};

// "dil [axes]": every empty cell in the neighbourhood of a voxel becomes a
// voxel of the current colour.
class TK_CMD_Dilation : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Dilation, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;
    bool CanApply() override;  // false when empty, full, or no colour
    bool Apply() override;     // false when no voxel was added

private:
    int m_color = 0;
    int m_modes[3] = {2, 2, 2};
};

// "ero [axes]": every voxel with an empty cell in its neighbourhood goes;
// cells outside the box count as empty.
class TK_CMD_Erosion : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Erosion, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;
    bool CanApply() override;  // false on an empty model
    bool Apply() override;     // false when no voxel was removed

private:
    int m_modes[3] = {2, 2, 2};
};
