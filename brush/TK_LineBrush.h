// The line brush's stroke: a straight 3D line between the cells under the
// press point and the current point, or (projected) the surface cells under
// the screen segment between them, which the brush collects by walking the
// segment and picking at each step.
//
// Rule: every cell goes through the stroke's mirroring and mode filter;
// cells outside the model are skipped, never clamped.
#pragma once

#include "brush/TK_ModelBrush.h"

// Rebuilds `stroke` as the straight line from `from` to `to` (stroke cells):
// one cell per step along the driving axis (z, unless |dx| is larger; y when
// |dy| is larger than that), the other two coordinates rounded to nearest.
void TK_BuildLineStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const int from[3], const int to[3]);

// The projected line's rule for one step of the screen walk: the stroke
// cell of the pick, when it lies in the model, goes into the begun stroke.
// False when the pick missed or its cell lies outside.
bool TK_AddPickedCell(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick);

// The responder: a straight line, or with "b_line_proj" the surface under
// the screen segment from the press to the pointer.
class TK_LineBrush : public TK_ModelBrush {
public:
    using TK_ModelBrush::TK_ModelBrush;

protected:
    bool BeginStroke(const UI_MouseState& m) override;
    void DragStroke(const UI_MouseState& m) override;

private:
    void Rebuild(int x, int y);

    TK_Pick m_press;
    int m_pressX = 0, m_pressY = 0;
};
