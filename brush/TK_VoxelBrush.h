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

#include "brush/TK_ModelBrush.h"

constexpr int kMinVoxelSize = 1;
constexpr int kMaxVoxelSize = 64;

// The size after the minus (-1) or plus (+1) key, within 1 to 64.
int TK_StepVoxelSize(int size, int delta);

// Adds one stamp at the pick to the begun stroke (mirrored, clipped, only
// cells suited to the mode). False when the pick missed.
bool TK_AddVoxelStamp(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick);

// The responder: stamps along the pointer's path while the button is held;
// a hover preview of one stamp; minus and plus change the size; Shift alone
// held swaps attach and erase. The pattern brush stamps the pattern instead.
class TK_VoxelBrush : public TK_ModelBrush {
public:
    using TK_ModelBrush::TK_ModelBrush;

    // A Shift already swapping the mode while held swaps nothing more.
    bool LeftDown(const UI_MouseState& m) override;
    bool MouseMove(const UI_MouseState& m) override;
    bool MouseEnter(const UI_MouseState& m) override;
    bool KeyDown(const UI_KeyState& k) override;
    bool KeyUp(const UI_KeyState& k) override;

protected:
    bool BeginStroke(const UI_MouseState& m) override;
    void DragStroke(const UI_MouseState& m) override;
    // Adds one stamp at the pick to the begun stroke.
    virtual bool Stamp(const TK_BrushOptions& options, const TK_Pick& pick);
    // Whether a lone stamp is worth a hover preview.
    virtual bool HoverShows(const TK_BrushOptions& options) const { return options.voxelSize >= 2; }
    void Hover(int x, int y);
    // Stamps at every pick along the screen segment, one per pixel step.
    void StampSegment(const TK_BrushOptions& options, int x0, int y0, int x1, int y1);

    int m_lastX = 0, m_lastY = 0;
    bool m_keySwap = false;
};
