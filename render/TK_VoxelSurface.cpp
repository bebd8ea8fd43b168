// Exposed faces, culling ranges, quads, edge lines and the occlusion volume
// (see TK_VoxelSurface.h).
#include "render/TK_VoxelSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/TK_VoxelVolume.h"

namespace {

int Axis(int dir) { return (dir - 1) >> 1; }
bool IsNegative(int dir) { return (dir & 1) != 0; }

// Corner offsets of each direction's quad, packed like a vertex (x, y, z and
// index as four 16-bit lanes) so that a corner is one 64-bit add.
constexpr uint64_t Offset(int dx, int dy, int dz) {
    return uint64_t(dx) | uint64_t(dy) << 16 | uint64_t(dz) << 32;
}
constexpr uint64_t kCorners[6][4] = {
    {Offset(0, 0, 0), Offset(0, 1, 0), Offset(0, 1, 1), Offset(0, 0, 1)},  // -X
    {Offset(1, 0, 0), Offset(1, 0, 1), Offset(1, 1, 1), Offset(1, 1, 0)},  // +X
    {Offset(0, 0, 0), Offset(0, 0, 1), Offset(1, 0, 1), Offset(1, 0, 0)},  // -Y
    {Offset(0, 1, 0), Offset(1, 1, 0), Offset(1, 1, 1), Offset(0, 1, 1)},  // +Y
    {Offset(0, 0, 0), Offset(1, 0, 0), Offset(1, 1, 0), Offset(0, 1, 0)},  // -Z
    {Offset(0, 0, 1), Offset(0, 1, 1), Offset(1, 1, 1), Offset(1, 0, 1)},  // +Z
};

// Voxel word x | y << 8 | z << 16 | c << 24 spread into four 16-bit lanes.
// Lanes never carry into each other: coordinates stay below 256.
inline uint64_t Expand(uint32_t w) {
    const uint64_t v = w;
    return (v & 0xFF) | (v & 0xFF00) << 8 | (v & 0xFF0000) << 16 | (v & 0xFF000000) << 24;
}

inline void Store(TK_QuadVertex* out, uint64_t packed) { std::memcpy(out, &packed, sizeof packed); }

// floor(v) as a slice number, kept within [-2, limit + 1]; a value that is
// not a number shows every slice (-2).
int FloorSlice(float v, int limit) {
    if (std::isnan(v)) return -2;
    return int(std::clamp(std::floor(double(v)), -2.0, double(limit) + 1.0));
}

}  // namespace

// ---------------------------------------------------------------- buffer

void TK_QuadBuffer::Reserve(size_t vertices) {
    if (vertices <= m_capacity) return;
    // Default-initialised: the corners are written before they are read.
    m_data.reset(new TK_QuadVertex[vertices]);
    m_capacity = vertices;
    m_count = 0;
}

// ---------------------------------------------------------------- build

void TK_VoxelSurface::Build(const TK_Model& model) {
    FillGrid(model);
    SortFaces(model);
}

void TK_VoxelSurface::FillGrid(const TK_Model& model) {
    for (int a = 0; a < 3; ++a) {
        m_size[a] = std::clamp(model.size[a], 0, kMaxModelSize);
        m_dims[a] = m_size[a] + 2;
    }
    m_occupied.assign(size_t(m_dims[0]) * size_t(m_dims[1]) * size_t(m_dims[2]), 0);
    m_voxelCount = 0;
    for (const Voxel& v : model.voxels) {
        if (v.x >= m_size[0] || v.y >= m_size[1] || v.z >= m_size[2]) continue;
        m_occupied[size_t(GridIndex(v.x, v.y, v.z))] = 1;
        ++m_voxelCount;
    }
}

// Counting sort of the exposed faces into slices: one pass records each
// voxel's exposed directions, the second writes them at their slice offsets.
void TK_VoxelSurface::SortFaces(const TK_Model& model) {
    const int step[3] = {1, m_dims[0], m_dims[0] * m_dims[1]};
    std::vector<uint8_t> masks;
    masks.reserve(size_t(model.voxels.Count()));
    for (int d = 0; d < 6; ++d) m_sliceStart[d].assign(size_t(m_size[d >> 1]) + 1, 0);
    for (const Voxel& v : model.voxels) {
        uint8_t mask = 0;
        if (v.x < m_size[0] && v.y < m_size[1] && v.z < m_size[2]) {
            const uint8_t* cell = &m_occupied[size_t(GridIndex(v.x, v.y, v.z))];
            const int coord[3] = {v.x, v.y, v.z};
            for (int d = 0; d < 6; ++d) {
                const int offset = (d & 1) ? step[d >> 1] : -step[d >> 1];
                if (cell[offset]) continue;
                mask |= uint8_t(1 << d);
                ++m_sliceStart[d][size_t(coord[d >> 1]) + 1];
            }
        }
        masks.push_back(mask);
    }
    for (int d = 0; d < 6; ++d) {
        std::vector<int>& start = m_sliceStart[d];
        for (size_t s = 1; s < start.size(); ++s) start[s] += start[s - 1];
        m_faces[d].resize(size_t(start.back()));
    }
    std::vector<int> cursor[6];
    for (int d = 0; d < 6; ++d) cursor[d].assign(m_sliceStart[d].begin(), m_sliceStart[d].end() - 1);
    const Voxel* voxels = model.voxels.Data();
    for (size_t i = 0; i < masks.size(); ++i) {
        if (!masks[i]) continue;
        const Voxel& v = voxels[i];
        const int coord[3] = {v.x, v.y, v.z};
        for (int d = 0; d < 6; ++d)
            if (masks[i] & (1 << d)) m_faces[d][size_t(cursor[d][size_t(coord[d >> 1])]++)] = v.Word();
    }
}

// ---------------------------------------------------------------- culling

TK_SliceRange TK_VisibleSlices(int dir, int sliceCount, const TK_FaceView& view) {
    const int axis = Axis(dir);
    const bool negative = IsNegative(dir);
    TK_SliceRange range;
    if (view.ortho) {
        const float along = view.viewDir[axis];
        // The view looks the same way as the normal: the faces point away.
        if (negative ? along < 0 : along > 0) return range;
        range.count = sliceCount;
    } else {
        const int e = FloorSlice(view.eye[axis], sliceCount);
        if (negative) {
            const int first = std::max(e + 1, 0);
            range.count = std::max(sliceCount - first, 0);
        } else {
            range.count = e == -2 && std::isnan(view.eye[axis]) ? sliceCount : std::clamp(e, 0, sliceCount);
        }
    }
    // Nearest slice first: the eye sits on the side the normal points to.
    range.step = negative ? 1 : -1;
    range.first = negative ? sliceCount - range.count : range.count - 1;
    return range;
}

bool TK_GroundVisible(const TK_FaceView& view) {
    if (view.ortho) return !(view.viewDir[2] > 0);
    return std::isnan(view.eye[2]) || view.eye[2] >= 0;
}

size_t TK_AppendFaceQuads(const TK_VoxelSurface& surface, int dir, const TK_FaceView& view, TK_QuadBuffer& out) {
    const TK_SliceRange range = TK_VisibleSlices(dir, surface.Size()[Axis(dir)], view);
    const uint64_t* corners = kCorners[dir - 1];
    TK_QuadVertex* dst = out.End();
    for (int i = 0, s = range.first; i < range.count; ++i, s += range.step) {
        for (const uint32_t *p = surface.SliceBegin(dir, s), *end = surface.SliceEnd(dir, s); p != end; ++p) {
            const uint64_t base = Expand(*p);
            Store(dst + 0, base + corners[0]);
            Store(dst + 1, base + corners[1]);
            Store(dst + 2, base + corners[2]);
            Store(dst + 3, base + corners[3]);
            dst += 4;
        }
    }
    const size_t corners4 = size_t(dst - out.End());
    out.Grow(corners4);
    return corners4 / 4;
}

size_t TK_AppendGroundQuads(int sizeX, int sizeY, TK_QuadBuffer& out) {
    TK_QuadVertex* dst = out.End();
    for (int y = 0; y < sizeY; ++y) {
        for (int x = 0; x < sizeX; ++x) {
            const int16_t x0 = int16_t(x), y0 = int16_t(y), x1 = int16_t(x + 1), y1 = int16_t(y + 1);
            dst[0] = {x0, y0, 0, 0};
            dst[1] = {x0, y1, 0, 0};
            dst[2] = {x1, y1, 0, 0};
            dst[3] = {x1, y0, 0, 0};
            dst += 4;
        }
    }
    const size_t quads = size_t(std::max(sizeX, 0)) * size_t(std::max(sizeY, 0));
    out.Grow(quads * 4);
    return quads;
}

// ---------------------------------------------------------------- edges

// An edge is drawn where an exposed face of a voxel meets either its own
// exposed side face (a convex edge) or a face of the voxel diagonally beyond
// an occupied side neighbour (a concave edge). Each pair of face axes is
// visited once (face axis below side axis), so every edge appears once.
void TK_VoxelSurface::BuildEdges(std::vector<TK_EdgePoint>& out) const {
    out.clear();
    for (int z = 0; z < m_size[2]; ++z)
        for (int y = 0; y < m_size[1]; ++y)
            for (int x = 0; x < m_size[0]; ++x) {
                if (!Occupied(x, y, z)) continue;
                const int cell[3] = {x, y, z};
                for (int a = 0; a < 3; ++a)
                    for (int sa = -1; sa <= 1; sa += 2) {
                        int n[3] = {x, y, z};
                        n[a] += sa;
                        if (Occupied(n[0], n[1], n[2])) continue;
                        for (int b = a + 1; b < 3; ++b)
                            for (int sb = -1; sb <= 1; sb += 2) {
                                int t[3] = {x, y, z};
                                t[b] += sb;
                                int tn[3] = {t[0], t[1], t[2]};
                                tn[a] += sa;
                                const bool side = Occupied(t[0], t[1], t[2]);
                                if (side && !Occupied(tn[0], tn[1], tn[2])) continue;
                                const int c = 3 - a - b;
                                int p[3];
                                p[a] = cell[a] + (sa > 0);
                                p[b] = cell[b] + (sb > 0);
                                p[c] = cell[c];
                                out.push_back({uint8_t(p[0]), uint8_t(p[1]), uint8_t(p[2]), 0});
                                p[c] += 1;
                                out.push_back({uint8_t(p[0]), uint8_t(p[1]), uint8_t(p[2]), 0});
                            }
                    }
            }
}

// ---------------------------------------------------------------- occlusion

// Occupancy per cell, then the shadow sweep shared with the ray caster's
// mirror (TK_SweepShadow).
void TK_VoxelSurface::BuildOcclusion(bool shadow, std::vector<uint8_t>& out) const {
    const int sx = m_size[0], sy = m_size[1], sz = m_size[2];
    out.assign(size_t(sx) * size_t(sy) * size_t(sz) * 2, 0);
    size_t i = 0;
    for (int z = 0; z < sz; ++z)
        for (int y = 0; y < sy; ++y)
            for (int x = 0; x < sx; ++x, i += 2) out[i] = Occupied(x, y, z) ? 255 : 0;
    if (shadow) TK_SweepShadow(m_size, out.data());
}
