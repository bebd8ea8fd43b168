// The voxel brush's stamp (see TK_VoxelBrush.h).
#include "brush/TK_VoxelBrush.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/OS_Keys.h"
#include "model/TK_EditorEnv.h"

int TK_StepVoxelSize(int size, int delta) {
    return std::clamp(std::clamp(size, kMinVoxelSize, kMaxVoxelSize) + delta, kMinVoxelSize, kMaxVoxelSize);
}

bool TK_AddVoxelStamp(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick) {
    const int size = std::clamp(options.voxelSize, kMinVoxelSize, kMaxVoxelSize);
    const int extent[3] = {size, size, size};
    int lo[3];
    if (!TK_StampCorner(pick, options.mode, extent, options.voxelVolume, lo)) return false;
    const bool cube = options.voxelCube || size < 2;
    // Doubled coordinates keep the sphere test in integers: cell middles at
    // 2c + 1, the stamp's middle at 2 lo + size, radius size.
    const int r2 = size * size;
    const int* model = stroke.Size();
    int c[3];
    for (c[2] = std::max(lo[2], 0); c[2] < std::min(lo[2] + size, model[2]); ++c[2])
        for (c[1] = std::max(lo[1], 0); c[1] < std::min(lo[1] + size, model[1]); ++c[1])
            for (c[0] = std::max(lo[0], 0); c[0] < std::min(lo[0] + size, model[0]); ++c[0]) {
                if (!cube) {
                    int d2 = 0;
                    for (int a = 0; a < 3; ++a) {
                        const int d = 2 * (c[a] - lo[a]) + 1 - size;
                        d2 += d * d;
                    }
                    if (d2 > r2) continue;
                }
                stroke.AddMirrored(c[0], c[1], c[2], options.StrokeColor());
            }
    return true;
}

// ---------------------------------------------------------------- responder

bool TK_VoxelBrush::Stamp(const TK_BrushOptions& options, const TK_Pick& pick) {
    return TK_AddVoxelStamp(m_stroke, options, pick);
}

void TK_VoxelBrush::StampSegment(const TK_BrushOptions& options, int x0, int y0, int x1, int y1) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    // The segment's first point was stamped by the step before.
    for (int i = steps ? 1 : 0; i <= steps; ++i) {
        const float t = steps ? float(i) / float(steps) : 0.0f;
        Stamp(options, m_host->PickAt(x0 + int(std::lround(float(x1 - x0) * t)),
                                      y0 + int(std::lround(float(y1 - y0) * t))));
    }
}

bool TK_VoxelBrush::LeftDown(const UI_MouseState& m) {
    UI_MouseState press = m;
    if (m_keySwap) press.modifiers &= ~OS_MOD_SHIFT;
    return TK_ModelBrush::LeftDown(press);
}

bool TK_VoxelBrush::BeginStroke(const UI_MouseState& m) {
    const TK_BrushOptions options = Options();
    m_stroke.Begin(*Env(), options);
    m_lastX = m.x, m_lastY = m.y;
    return Stamp(options, m_host->PickAt(m.x, m.y));
}

void TK_VoxelBrush::DragStroke(const UI_MouseState& m) {
    // The stroke grows along the path: the cells stamped so far are kept,
    // picked against the model as it was at the press.
    StampSegment(Options(), m_lastX, m_lastY, m.x, m.y);
    m_lastX = m.x, m_lastY = m.y;
}

void TK_VoxelBrush::Hover(int x, int y) {
    if (!Env() || m_captured || m_host->IsBusy()) return;
    m_lastX = x, m_lastY = y;
    const TK_BrushOptions options = Options();
    m_stroke.Begin(*Env(), options);
    if (HoverShows(options)) Stamp(options, m_host->PickAt(x, y));
    if (m_stroke.Empty()) ClearPreview();
    else ShowPreview();
}

bool TK_VoxelBrush::MouseMove(const UI_MouseState& m) {
    if (m.left || m.right || m.middle) return false;
    Hover(m.x, m.y);
    return false;
}

bool TK_VoxelBrush::MouseEnter(const UI_MouseState& m) { return MouseMove(m); }

bool TK_VoxelBrush::KeyDown(const UI_KeyState& k) {
    TK_EditorEnv* env = Env();
    if (!env) return false;
    if (k.key == OS_KEY_MINUS || k.key == OS_KEY_PLUS) {
        env->settings.voxSize = TK_StepVoxelSize(env->settings.voxSize, k.key == OS_KEY_MINUS ? -1 : 1);
        env->Broadcast(TK_NOTIFY_EDITOR, TK_EDITOR_BRUSH_SIZE);
        Hover(m_lastX, m_lastY);
        return true;
    }
    if (k.modifiers == OS_MOD_SHIFT && !m_keySwap && !m_swapped && m_mode != TK_BRUSH_PAINT) {
        SwapMode();
        m_keySwap = true;
        Hover(m_lastX, m_lastY);
    }
    return false;
}

bool TK_VoxelBrush::KeyUp(const UI_KeyState& k) {
    if (m_keySwap && !(k.modifiers & OS_MOD_SHIFT)) {
        SwapMode();
        m_keySwap = false;
        Hover(m_lastX, m_lastY);
    }
    return false;
}
