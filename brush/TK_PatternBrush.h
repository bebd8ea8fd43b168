// The pattern brush's stamp: the pattern model loaded by "ipatt", placed at
// the picked cell in its own colours (or the current colour with
// "b_patt_pal").
//
// Placement: the pattern stands on the picked face like a "b_vox_vol"
// voxel stamp: centred in the face's plane (the lower middle for even
// sizes), its first layer at the stroke cell, reaching out of the surface
// when attaching and into the model otherwise. Its own axes are kept.
#pragma once

#include "brush/TK_VoxelBrush.h"

// Adds the pattern at the pick to the begun stroke (mirrored, clipped, only
// cells suited to the mode). False when the pick missed or no pattern is
// loaded.
bool TK_AddPatternStamp(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const TK_Pick& pick);

// The responder: the voxel brush's gestures with the pattern as the stamp.
class TK_PatternBrush : public TK_VoxelBrush {
public:
    using TK_VoxelBrush::TK_VoxelBrush;

protected:
    bool Stamp(const TK_BrushOptions& options, const TK_Pick& pick) override;
    bool HoverShows(const TK_BrushOptions& options) const override { return true; }
};
