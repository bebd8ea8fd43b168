// The box brush's stroke: an axis-aligned box between the cells under the
// press point and the current point, stretched over the whole model on the
// loft axes, mirrored, clipped to the model.
//
// Rule: the stroke holds the union of the box and its mirror images, each
// cell once, so a full-model box stays one cell per model cell.
#pragma once

#include "brush/TK_ModelBrush.h"

struct TK_StrokeBox {
    int lo[3] = {0, 0, 0};
    int hi[3] = {-1, -1, -1};  // inclusive

    // Cells per axis (the hint's numbers).
    int Extent(int axis) const { return hi[axis] - lo[axis] + 1; }
    bool operator==(const TK_StrokeBox& o) const;
    bool operator!=(const TK_StrokeBox& o) const { return !(*this == o); }
};

// The box of two picks: min and max of their stroke cells per axis, clipped
// to the model in attach mode, then the whole model on each loft axis.
// False when a pick missed or an attach box lies outside the model.
bool TK_MakeStrokeBox(const TK_EditorEnv& env, const TK_BrushOptions& options, const TK_Pick& press,
                      const TK_Pick& current, TK_StrokeBox& box);

// Rebuilds `stroke` from the box: every cell of the box and of its mirror
// images that lies in the model and suits the mode, in the stroke colour.
void TK_BuildBoxStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                       const TK_StrokeBox& box);

// The responder: the box between the press and the pointer.
class TK_BoxBrush : public TK_ModelBrush {
public:
    using TK_ModelBrush::TK_ModelBrush;

protected:
    bool BeginStroke(const UI_MouseState& m) override;
    void DragStroke(const UI_MouseState& m) override;
    bool StrokeHint(char* text, int size) const override;

private:
    void Rebuild(const TK_Pick& current);

    TK_Pick m_press;
    TK_StrokeBox m_box;
    bool m_valid = false;
};
