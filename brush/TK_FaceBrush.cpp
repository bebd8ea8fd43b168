// The face brush's selection and extrusion (see TK_FaceBrush.h).
#include "brush/TK_FaceBrush.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/TK_EditorEnv.h"

namespace {

constexpr int kPlaneSide = 128;  // plane bitmaps cover the world's side

// In-plane neighbours: the 4 edge neighbours first, then the diagonals.
const int kNeighbours[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

bool InModel(const int size[3], const int c[3]) {
    return unsigned(c[0]) < unsigned(size[0]) && unsigned(c[1]) < unsigned(size[1]) &&
           unsigned(c[2]) < unsigned(size[2]);
}

int ColorAt(const TK_EditorEnv& env, const int c[3]) {
    if (!InModel(env.model.size, c)) return 0;
    const int pos = env.VoxelAt(c[0], c[1], c[2]);
    return pos < 0 ? 0 : env.model.voxels[pos].colorIndex;
}

}  // namespace

TK_FaceRegion::TK_FaceRegion() : m_visited(kPlaneSide * kPlaneSide, 0) {}

bool TK_FaceRegion::Select(const TK_EditorEnv& env, const TK_BrushOptions& options, const TK_Pick& pick) {
    m_cells.clear();
    m_face = pick.face;
    m_ground = pick.IsGround();
    if (!pick.Hit() || pick.face > 6) return false;
    std::copy(pick.cell, pick.cell + 3, m_start);
    const int axis = TK_FaceAxis(m_face), u = (axis + 1) % 3, v = (axis + 2) % 3;
    const int* size = env.model.size;
    if (unsigned(m_start[u]) >= unsigned(size[u]) || unsigned(m_start[v]) >= unsigned(size[v])) return false;
    const int color = m_ground ? 0 : ColorAt(env, m_start);
    if (!m_ground && color == 0) return false;
    m_pickedColor = options.faceSameColor ? color : 0;
    // Painting always lays the current colour; "b_face_pal" chooses only for
    // extrusions whether the new layers copy the cells they grow from.
    m_entryColor = m_ground || options.facePalette || options.mode == TK_BRUSH_PAINT ? options.color : 0;
    std::fill(m_visited.begin(), m_visited.end(), 0);
    Add(env, m_start);
    // The entry list doubles as the flood's queue.
    const int directions = options.face4 ? 4 : 8;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const TK_FaceCell from = m_cells[i];
        for (int d = 0; d < directions; ++d) {
            int c[3] = {from.x, from.y, from.z};
            c[u] += kNeighbours[d][0];
            c[v] += kNeighbours[d][1];
            if (unsigned(c[u]) >= unsigned(size[u]) || unsigned(c[v]) >= unsigned(size[v])) continue;
            uint8_t& seen = m_visited[c[u] + kPlaneSide * c[v]];
            if (seen) continue;
            seen = 1;
            if (Joins(env, c)) Add(env, c);
        }
    }
    return true;
}

// A cell joins when its face of the region's direction is exposed: a voxel
// (of the picked colour, when asked) with an empty cell in front, or on the
// ground a floor cell left empty.
bool TK_FaceRegion::Joins(const TK_EditorEnv& env, const int c[3]) const {
    const int* n = kFaceOffset[m_face];
    const int front[3] = {c[0] + n[0], c[1] + n[1], c[2] + n[2]};
    if (ColorAt(env, front) != 0) return false;
    if (m_ground) return true;
    const int color = ColorAt(env, c);
    return color != 0 && (m_pickedColor == 0 || color == m_pickedColor);
}

void TK_FaceRegion::Add(const TK_EditorEnv& env, const int c[3]) {
    const int axis = TK_FaceAxis(m_face), u = (axis + 1) % 3, v = (axis + 2) % 3;
    m_visited[c[u] + kPlaneSide * c[v]] = 1;
    m_cells.push_back({c[0], c[1], c[2], m_entryColor ? m_entryColor : ColorAt(env, c)});
}

int TK_FaceLayers(const TK_FaceRegion& region, const TK_BrushOptions& options, const TK_Ray& press,
                  const TK_Ray& current) {
    const int face = region.Face();
    if (face < 1 || face > 6) return 1;
    const int axis = TK_FaceAxis(face);
    const int* n = kFaceOffset[face];
    const int* start = region.Start();
    float p[3];
    if (!TK_RayPlaneHit(press, axis, float(start[axis] + (n[axis] > 0)), p))
        for (int a = 0; a < 3; ++a) p[a] = float(start[a]) + (a == axis ? float(n[axis] > 0) : 0.5f);
    const float sign = options.mode == TK_BRUSH_ATTACH ? 1.0f : -1.0f;
    const float g[3] = {sign * float(n[0]), sign * float(n[1]), sign * float(n[2])};
    // The nearest points of the line p + s g and the ray (both unit vectors).
    const float* d = current.dir;
    const float w[3] = {p[0] - current.origin[0], p[1] - current.origin[1], p[2] - current.origin[2]};
    const float b = g[0] * d[0] + g[1] * d[1] + g[2] * d[2];
    const float denom = 1.0f - b * b;
    if (!(denom > 1e-6f)) return 1;
    const float gw = g[0] * w[0] + g[1] * w[1] + g[2] * w[2];
    const float dw = d[0] * w[0] + d[1] * w[1] + d[2] * w[2];
    const float s = (b * dw - gw) / denom;
    return std::max(1, int(std::floor(std::fmin(s, 4096.0f))));
}

void TK_BuildFaceStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const TK_FaceRegion& region, int layers) {
    stroke.Begin(env, options);
    const int face = region.Face();
    if (face < 1 || face > 6 || region.Cells().empty()) return;
    const int* size = stroke.Size();
    const int axis = TK_FaceAxis(face), u = (axis + 1) % 3, v = (axis + 2) % 3;
    const int n = kFaceOffset[face][axis];
    layers = std::clamp(layers, 1, kPlaneSide);
    // Attach layers start in front of the face; erase and paint start at it.
    const bool outward = options.mode == TK_BRUSH_ATTACH;
    const int first = outward ? n : 0;
    const int last = first + (outward ? n : -n) * (layers - 1);
    // A loft in the plane makes entries of one row or column give the same
    // cells: the first of them stands for the rest.
    const bool sweeps = options.loft[u] || options.loft[v];
    std::bitset<kPlaneSide * kPlaneSide> swept;
    for (const TK_FaceCell& e : region.Cells()) {
        const int at[3] = {e.x, e.y, e.z};
        int lo[3], hi[3];
        for (int a = 0; a < 3; ++a) lo[a] = hi[a] = at[a];
        lo[axis] = at[axis] + std::min(first, last);
        hi[axis] = at[axis] + std::max(first, last);
        for (int a = 0; a < 3; ++a)
            if (options.loft[a]) lo[a] = 0, hi[a] = size[a] - 1;
        if (sweeps) {
            const int key = (options.loft[u] ? 0 : at[u]) + kPlaneSide * (options.loft[v] ? 0 : at[v]);
            if (swept[key]) continue;
            swept[key] = true;
        }
        for (int a = 0; a < 3; ++a) lo[a] = std::max(lo[a], 0), hi[a] = std::min(hi[a], size[a] - 1);
        int c[3];
        for (c[2] = lo[2]; c[2] <= hi[2]; ++c[2])
            for (c[1] = lo[1]; c[1] <= hi[1]; ++c[1])
                for (c[0] = lo[0]; c[0] <= hi[0]; ++c[0]) stroke.AddMirrored(c[0], c[1], c[2], e.color);
    }
}

// ---------------------------------------------------------------- responder

bool TK_FaceBrush::BeginStroke(const UI_MouseState& m) {
    const TK_BrushOptions options = Options();
    if (!m_host->RayAt(m.x, m.y, m_pressRay)) return false;
    if (!m_region.Select(*Env(), options, m_host->PickAt(m.x, m.y))) return false;
    m_layers = 1;
    m_stroke.Begin(*Env(), options);
    TK_BuildFaceStroke(m_stroke, *Env(), options, m_region, m_layers);
    return true;
}

void TK_FaceBrush::DragStroke(const UI_MouseState& m) {
    TK_Ray ray;
    if (!m_host->RayAt(m.x, m.y, ray)) return;
    const TK_BrushOptions options = Options();
    const int layers = TK_FaceLayers(m_region, options, m_pressRay, ray);
    if (layers == m_layers) return;
    m_layers = layers;
    m_stroke.Begin(*Env(), options);
    TK_BuildFaceStroke(m_stroke, *Env(), options, m_region, m_layers);
}

bool TK_FaceBrush::StrokeHint(char* text, int size) const {
    // The stroke's extent along the face axis: the loft may reach further
    // than the layer count.
    const int axis = TK_FaceAxis(m_region.Face());
    int lo = 1 << 30, hi = -1;
    for (const Voxel& v : m_stroke.Voxels()) {
        const int c = axis == 0 ? v.x : axis == 1 ? v.y : v.z;
        lo = std::min(lo, c), hi = std::max(hi, c);
    }
    std::snprintf(text, size_t(size), "layer:%d", hi >= lo ? hi - lo + 1 : 0);
    return true;
}
