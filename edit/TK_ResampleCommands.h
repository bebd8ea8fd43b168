// Resampling commands with snapshot undo: "repeat" tiles the model, "scale"
// resizes it by nearest neighbour, "x2" doubles it cell for cell and "rot"
// turns it by free angles. Each builds the new box from the model as it was
// before the step, so Redo (which runs Apply on the restored model) gives
// the same result.
//
// Rule: sizes stay within 1..126 and voxels outside the new box are dropped,
// never wrapped or clamped onto its faces.
#pragma once

#include "edit/TK_CMD_Shape.h"

// "repeat" and "scale" read up to three factors: one factor applies to every
// axis, two or three set x, y (and z) with the rest left at 1.
//
// "repeat [fx [fy [fz]]]": the new size is the old size times the factor
// (rounded, at most 126); cell (x, y, z) copies old cell (x mod ox, y mod oy,
// z mod oz), so whole and partial copies follow one another from the origin.
class TK_CMD_Repeat : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Repeat, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;
    bool CanApply() override;  // false when empty or every factor is 1
    bool Apply() override;     // false when the size would not change

private:
    float m_factors[3] = {1, 1, 1};
    int m_size[3] = {0, 0, 0};  // the size when it ran
};

// "scale [fx [fy [fz]]]": nearest-neighbour resampling, about the centre in
// x and y and about the floor in z.
class TK_CMD_Scale : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Scale, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;
    bool CanApply() override;  // false when empty or every factor is 1
    bool Apply() override;

private:
    float m_factors[3] = {1, 1, 1};
};

// "x2": every voxel becomes a 2x2x2 block in a box twice the size, centred
// in x and y when the box is clamped at 126.
class TK_CMD_Scale2X : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Scale2X, TK_CMD_Shape)
public:
    bool Apply() override;  // false on an empty model whose box keeps its size
};

// "rot AXES DEGREES [AXES DEGREES ...]": rotations about the model's centre,
// applied in the order given; the box grows to hold the turned extent.
class TK_CMD_Rotate : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Rotate, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // false without a word and angle pair
    bool Apply() override;                  // false on an empty model whose box keeps its size

private:
    float m_matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};
