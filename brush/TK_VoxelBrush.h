// The voxel brush's stamp: a cube or a sphere of "b_vox_size" cells (1 to
// 64) added at each cell the brush's drag passes over, and shown alone as
// the hover preview.
//
// Stamp extent: exactly `size` cells per axis. Centred on the stroke cell,
// the lower middle for even sizes (cells cell - (size - 1) / 2 onwards); with
// "b_vox_vol" the stamp instead stands on the picked face: centred in the
// face's plane and reaching `size` cells from the stroke cell along the face
// axis, out of the surface when attaching, into the model otherwise. The
// sphere keeps the cells whose middles lie within size / 2 of the stamp's
// middle (so sizes 1 and 2 fill their whole cube).
#pragma once

#include "brush/TK_Stroke.h"

constexpr int kMinVoxelSize = 1;
constexpr int kMaxVoxelSize = 64;

// The size after the minus (-1) or plus (+1) key, within 1 to 64.
int TK_StepVoxelSize(int size, int delta);

// Adds one stamp at the pick to the begun stroke (mirrored, clipped, only
// cells suited to the mode). False when the pick missed.
bool TK_AddVoxelStamp(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick);
