// The centre brush's stroke (see TK_CenterBrush.h).
#include "brush/TK_CenterBrush.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/TK_EditorEnv.h"

namespace {

// An offset from the centre as the even shapes count it: cells below the
// corner are one closer.
int EvenOffset(int d, bool even) { return d < 0 && even ? d + 1 : d; }

bool Accepts(int du, int dv, int radius, bool circle) {
    if (radius == 0) return true;
    if (!circle) return std::max(du, dv) >= 1;
    const int r2 = int((radius + 0.5f) * (radius + 0.5f));
    const int d2 = du * du + dv * dv;
    return d2 >= 1 && d2 <= r2;
}

}  // namespace

bool TK_BeginCenterShape(const TK_BrushOptions& options, const TK_Pick& press, TK_CenterShape& shape) {
    if (!TK_StrokeCell(press, options.mode, shape.center)) return false;
    shape.axis = TK_FaceAxis(press.face);
    shape.radius = 0;
    return true;
}

int TK_CenterRadius(const TK_CenterShape& shape, const int modelSize[3], const TK_BrushOptions& options,
                    const int hit[3]) {
    const int largest = std::max({modelSize[0], modelSize[1], modelSize[2]});
    int d[3];
    for (int a = 0; a < 3; ++a)
        d[a] = a == shape.axis ? 0 : EvenOffset(std::clamp(hit[a] - shape.center[a], -4096, 4096), options.centerEven);
    if (options.centerCircle) {
        const float length = std::sqrt(float(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
        return std::min(int(length), 2 * largest);
    }
    return std::min(std::max({std::abs(d[0]), std::abs(d[1]), std::abs(d[2])}), largest);
}

bool TK_CenterRadiusFromRay(TK_CenterShape& shape, const int modelSize[3], const TK_BrushOptions& options,
                            const TK_Ray& ray) {
    float point[3];
    if (!TK_RayPlaneHit(ray, shape.axis, float(shape.center[shape.axis]) + 0.5f, point)) return false;
    int hit[3];
    for (int a = 0; a < 3; ++a) hit[a] = int(std::floor(std::clamp(point[a], -4096.0f, 4096.0f)));
    shape.radius = TK_CenterRadius(shape, modelSize, options, hit);
    return true;
}

void TK_BuildCenterStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                          const TK_CenterShape& shape) {
    stroke.Begin(env, options);
    const int* size = stroke.Size();
    const int u = (shape.axis + 1) % 3, v = (shape.axis + 2) % 3;
    const int even = options.centerEven ? 1 : 0;
    const int uLo = std::max(shape.center[u] - shape.radius - even, 0);
    const int uHi = std::min(shape.center[u] + shape.radius, size[u] - 1);
    const int vLo = std::max(shape.center[v] - shape.radius - even, 0);
    const int vHi = std::min(shape.center[v] + shape.radius, size[v] - 1);
    int cell[3];
    cell[shape.axis] = shape.center[shape.axis];
    for (cell[v] = vLo; cell[v] <= vHi; ++cell[v])
        for (cell[u] = uLo; cell[u] <= uHi; ++cell[u]) {
            const int du = std::abs(EvenOffset(cell[u] - shape.center[u], options.centerEven));
            const int dv = std::abs(EvenOffset(cell[v] - shape.center[v], options.centerEven));
            if (Accepts(du, dv, shape.radius, options.centerCircle))
                stroke.AddMirrored(cell[0], cell[1], cell[2], options.StrokeColor());
        }
}

// ---------------------------------------------------------------- responder

bool TK_CenterBrush::BeginStroke(const UI_MouseState& m) {
    const TK_BrushOptions options = Options();
    if (!TK_BeginCenterShape(options, m_host->PickAt(m.x, m.y), m_shape)) return false;
    m_stroke.Begin(*Env(), options);
    TK_BuildCenterStroke(m_stroke, *Env(), options, m_shape);
    return true;
}

void TK_CenterBrush::DragStroke(const UI_MouseState& m) {
    TK_Ray ray;
    const TK_BrushOptions options = Options();
    const int radius = m_shape.radius;
    if (!m_host->RayAt(m.x, m.y, ray) || !TK_CenterRadiusFromRay(m_shape, Env()->model.size, options, ray)) return;
    if (radius == m_shape.radius) return;
    m_stroke.Begin(*Env(), options);
    TK_BuildCenterStroke(m_stroke, *Env(), options, m_shape);
}

bool TK_CenterBrush::StrokeHint(char* text, int size) const {
    std::snprintf(text, size_t(size), "radius:%d", m_shape.radius + 1);
    return true;
}
