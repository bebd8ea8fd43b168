// The box brush's stroke (see TK_BoxBrush.h).
#include "brush/TK_BoxBrush.h"

#include <algorithm>
#include <cstdio>

#include "model/TK_EditorEnv.h"

namespace {

struct Run {
    int lo, hi;
};

// The box's cells on one axis together with their mirror image: one run, or
// two disjoint ones in ascending order. Mirroring every axis independently
// makes the union of the mirrored boxes the product of these runs.
int AxisRuns(int lo, int hi, int size, bool mirror, Run runs[2]) {
    lo = std::max(lo, 0);
    hi = std::min(hi, size - 1);
    if (lo > hi) return 0;
    runs[0] = {lo, hi};
    if (!mirror) return 1;
    const Run image = {size - 1 - hi, size - 1 - lo};
    if (image.lo <= hi + 1 && image.hi >= lo - 1) {
        runs[0] = {std::min(lo, image.lo), std::max(hi, image.hi)};
        return 1;
    }
    runs[1] = image;
    if (image.lo < lo) std::swap(runs[0], runs[1]);
    return 2;
}

// The cells of one row that suit the mode, straight from the lookup grid.
void AddRow(VoxelList& out, const uint32_t* row, int y, int z, Run x, bool wantFilled, uint8_t color) {
    for (int i = x.lo; i <= x.hi; ++i)
        if ((row[i] != 0) == wantFilled) out.Add(Voxel{uint8_t(i), uint8_t(y), uint8_t(z), color});
}

}  // namespace

bool TK_StrokeBox::operator==(const TK_StrokeBox& o) const {
    return std::equal(lo, lo + 3, o.lo) && std::equal(hi, hi + 3, o.hi);
}

bool TK_MakeStrokeBox(const TK_EditorEnv& env, const TK_BrushOptions& options, const TK_Pick& press,
                      const TK_Pick& current, TK_StrokeBox& box) {
    int a[3], b[3];
    if (!TK_StrokeCell(press, options.mode, a) || !TK_StrokeCell(current, options.mode, b)) return false;
    const int* size = env.model.size;
    for (int i = 0; i < 3; ++i) {
        box.lo[i] = std::min(a[i], b[i]);
        box.hi[i] = std::max(a[i], b[i]);
        if (options.mode == TK_BRUSH_ATTACH) {
            box.lo[i] = std::max(box.lo[i], 0);
            box.hi[i] = std::min(box.hi[i], size[i] - 1);
            if (box.lo[i] > box.hi[i]) return false;
        }
    }
    for (int i = 0; i < 3; ++i)
        if (options.loft[i]) box.lo[i] = 0, box.hi[i] = size[i] - 1;
    return true;
}

void TK_BuildBoxStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                       const TK_StrokeBox& box) {
    stroke.Begin(env, options);
    const int* size = stroke.Size();
    Run runs[3][2];
    int counts[3];
    int64_t cells = 1;
    for (int a = 0; a < 3; ++a) {
        counts[a] = AxisRuns(box.lo[a], box.hi[a], size[a], stroke.Mirror()[a] != 0, runs[a]);
        int length = 0;
        for (int r = 0; r < counts[a]; ++r) length += runs[a][r].hi - runs[a][r].lo + 1;
        cells *= length;
    }
    if (cells == 0) return;
    VoxelList& out = stroke.RawVoxels();
    out.Reserve(int(cells));
    const bool wantFilled = options.mode != TK_BRUSH_ATTACH;
    const uint8_t color = uint8_t(options.StrokeColor());
    const uint32_t* grid = env.voxelLookupGrid.data();
    for (int rz = 0; rz < counts[2]; ++rz)
        for (int z = runs[2][rz].lo; z <= runs[2][rz].hi; ++z)
            for (int ry = 0; ry < counts[1]; ++ry)
                for (int y = runs[1][ry].lo; y <= runs[1][ry].hi; ++y)
                    for (int rx = 0; rx < counts[0]; ++rx)
                        AddRow(out, grid + TK_EditorEnv::GridIndex(0, y, z), y, z, runs[0][rx], wantFilled, color);
}

// ---------------------------------------------------------------- responder

bool TK_BoxBrush::BeginStroke(const UI_MouseState& m) {
    m_press = m_host->PickAt(m.x, m.y);
    if (!m_press.Hit()) return false;
    m_valid = false;
    m_box = TK_StrokeBox();
    Rebuild(m_press);
    return true;
}

void TK_BoxBrush::DragStroke(const UI_MouseState& m) { Rebuild(m_host->PickAt(m.x, m.y)); }

void TK_BoxBrush::Rebuild(const TK_Pick& current) {
    TK_EditorEnv& env = *Env();
    const TK_BrushOptions options = Options();
    TK_StrokeBox box;
    const bool valid = TK_MakeStrokeBox(env, options, m_press, current, box);
    // A pointer that stays within one cell keeps the stroke as it is.
    if (valid == m_valid && (!valid || box == m_box) && !m_stroke.Empty()) return;
    m_valid = valid;
    m_box = box;
    m_stroke.Begin(env, options);
    if (valid) TK_BuildBoxStroke(m_stroke, env, options, box);
}

bool TK_BoxBrush::StrokeHint(char* text, int size) const {
    if (!m_valid) return false;
    std::snprintf(text, size_t(size), "\a %-3d \a %-3d \a %-3d", m_box.Extent(0), m_box.Extent(1), m_box.Extent(2));
    return true;
}
