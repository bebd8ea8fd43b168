// The line brush's stroke (see TK_LineBrush.h).
#include "brush/TK_LineBrush.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "model/TK_EditorEnv.h"

namespace {

int DrivingAxis(const int d[3]) {
    int axis = std::abs(d[0]) > std::abs(d[2]) ? 0 : 2;
    if (std::abs(d[1]) > std::abs(d[axis])) axis = 1;
    return axis;
}

}  // namespace

void TK_BuildLineStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const int from[3], const int to[3]) {
    stroke.Begin(env, options);
    // Stroke cells come from picks next to the model; anything far off is
    // not a line the model could hold.
    for (int i = 0; i < 3; ++i)
        if (std::abs(from[i]) > 1024 || std::abs(to[i]) > 1024) return;
    const int* a = from;
    const int* b = to;
    int d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const int axis = DrivingAxis(d);
    if (d[axis] < 0) {
        std::swap(a, b);
        for (int& c : d) c = -c;
    }
    // Single precision steps, as the preview and the commit must agree.
    float pos[3] = {float(a[0]), float(a[1]), float(a[2])};
    float step[3];
    for (int i = 0; i < 3; ++i) step[i] = d[axis] ? float(d[i]) / float(d[axis]) : 0.0f;
    for (int k = 0; k <= d[axis]; ++k) {
        int cell[3];
        for (int i = 0; i < 3; ++i) cell[i] = i == axis ? a[axis] + k : int(std::floor(pos[i] + 0.5f));
        stroke.AddMirrored(cell[0], cell[1], cell[2], options.StrokeColor());
        for (int i = 0; i < 3; ++i) pos[i] += step[i];
    }
}

bool TK_AddPickedCell(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick) {
    int cell[3];
    if (!TK_StrokeCell(pick, options.mode, cell) || !stroke.Model().InBox(cell[0], cell[1], cell[2])) return false;
    stroke.AddMirrored(cell[0], cell[1], cell[2], options.StrokeColor());
    return true;
}

// ---------------------------------------------------------------- responder

bool TK_LineBrush::BeginStroke(const UI_MouseState& m) {
    m_press = m_host->PickAt(m.x, m.y);
    if (!m_press.Hit()) return false;
    m_pressX = m.x, m_pressY = m.y;
    Rebuild(m.x, m.y);
    return true;
}

void TK_LineBrush::DragStroke(const UI_MouseState& m) { Rebuild(m.x, m.y); }

void TK_LineBrush::Rebuild(int x, int y) {
    TK_EditorEnv& env = *Env();
    const TK_BrushOptions options = Options();
    m_stroke.Begin(env, options);
    if (options.lineProjected) {
        // One pick per pixel step of the screen segment.
        const int steps = std::max(std::abs(x - m_pressX), std::abs(y - m_pressY));
        for (int i = 0; i <= steps; ++i) {
            const float t = steps ? float(i) / float(steps) : 0.0f;
            const int px = m_pressX + int(std::lround(float(x - m_pressX) * t));
            const int py = m_pressY + int(std::lround(float(y - m_pressY) * t));
            TK_AddPickedCell(m_stroke, options, m_host->PickAt(px, py));
        }
        return;
    }
    int from[3], to[3];
    if (!TK_StrokeCell(m_press, options.mode, from)) return;
    if (!TK_StrokeCell(m_host->PickAt(x, y), options.mode, to)) return;
    TK_BuildLineStroke(m_stroke, env, options, from, to);
}
