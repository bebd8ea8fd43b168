// The centre brush's stroke: a disc or a square around the pressed cell, in
// the plane through it perpendicular to the picked face's axis, whose radius
// follows the mouse ray's hit on that plane. With "b_c_even" the shape is
// centred on a cell corner, giving even widths.
//
// Rule: the centre cell itself belongs to the stroke only at radius 0; from
// radius 1 on the shape is the ring of cells 1 <= offset <= radius around it.
#pragma once

#include "brush/TK_ModelBrush.h"

struct TK_CenterShape {
    int center[3] = {0, 0, 0};
    int axis = 2;  // the plane's normal axis
    int radius = 0;
};

// The shape at the press: the pick's stroke cell, the face's axis, radius 0.
// False for no pick.
bool TK_BeginCenterShape(const TK_BrushOptions& options, const TK_Pick& press, TK_CenterShape& shape);

// The radius for a hit cell on the plane: the rounded-down length of the
// offset (disc, at most twice the largest model side) or its largest
// component (square, at most the largest side).
int TK_CenterRadius(const TK_CenterShape& shape, const int modelSize[3], const TK_BrushOptions& options,
                    const int hit[3]);

// Sets the radius from where a mouse ray meets the plane through the centre
// cell's middle. False (radius kept) when the ray misses the plane.
bool TK_CenterRadiusFromRay(TK_CenterShape& shape, const int modelSize[3], const TK_BrushOptions& options,
                            const TK_Ray& ray);

// Rebuilds `stroke` from the shape, clipped to the model.
void TK_BuildCenterStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                          const TK_CenterShape& shape);

// The responder: the disc or square grows with the pointer's distance from
// the pressed cell in the face's plane.
class TK_CenterBrush : public TK_ModelBrush {
public:
    using TK_ModelBrush::TK_ModelBrush;

protected:
    bool BeginStroke(const UI_MouseState& m) override;
    void DragStroke(const UI_MouseState& m) override;
    bool StrokeHint(char* text, int size) const override;

private:
    TK_CenterShape m_shape;
};
