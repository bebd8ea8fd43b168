// The ray caster's CPU mirror: indices, occlusion, bricks and the face
// count, patched by comparing with the model (see TK_VoxelVolume.h).
#include "render/TK_VoxelVolume.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The cells where two volumes of `bytes` bytes per cell differ; rows are
// compared whole first, as most of them are equal after a stroke.
TK_CellBox DiffBox(const int size[3], int bytes, const uint8_t* before, const uint8_t* after) {
    TK_CellBox box;
    const size_t row = size_t(size[0]) * size_t(bytes);
    for (int z = 0; z < size[2]; ++z)
        for (int y = 0; y < size[1]; ++y) {
            const size_t start = (size_t(y) + size_t(size[1]) * size_t(z)) * row;
            if (std::memcmp(before + start, after + start, row) == 0) continue;
            for (int x = 0; x < size[0]; ++x)
                if (std::memcmp(before + start + size_t(x) * size_t(bytes), after + start + size_t(x) * size_t(bytes),
                                size_t(bytes)) != 0)
                    box.Add(x, y, z);
        }
    return box;
}

TK_CellBox WholeBox(const int size[3]) {
    TK_CellBox box;
    for (int a = 0; a < 3; ++a) box.lo[a] = 0, box.hi[a] = size[a] - 1;
    return box;
}

}  // namespace

void TK_CellBox::Add(int x, int y, int z) {
    const int p[3] = {x, y, z};
    if (Empty()) {
        for (int a = 0; a < 3; ++a) lo[a] = hi[a] = p[a];
        return;
    }
    for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
}

void TK_CellBox::Add(const TK_CellBox& other) {
    if (other.Empty()) return;
    Add(other.lo[0], other.lo[1], other.lo[2]);
    Add(other.hi[0], other.hi[1], other.hi[2]);
}

void TK_SweepShadow(const int size[3], uint8_t* occlusion) {
    const int sx = size[0], sy = size[1], sz = size[2];
    auto at = [&](int x, int y, int z) { return (size_t(x) + size_t(sx) * (size_t(y) + size_t(sy) * size_t(z))) * 2; };
    for (int z = sz - 1; z >= 0; --z)
        for (int y = 0; y < sy; ++y)
            for (int x = 0; x < sx; ++x) {
                const int lx = x + 1, ly = y - 1, lz = z + 1;
                const bool inside = lx < sx && ly >= 0 && lz < sz;
                const uint8_t* light = inside ? &occlusion[at(lx, ly, lz)] : nullptr;
                occlusion[at(x, y, z) + 1] = light && (light[0] || light[1]) ? 255 : 0;
            }
}

TK_CellBox TK_VoxelVolume::Update(const TK_Model& model, bool shadow) {
    int size[3];
    for (int a = 0; a < 3; ++a) size[a] = std::clamp(model.size[a], 0, kMaxModelSize);
    m_resized = !std::equal(size, size + 3, m_size);
    if (m_resized) {
        std::copy(size, size + 3, m_size);
        for (int a = 0; a < 3; ++a) m_bricks[a] = (m_size[a] + kBrickCells - 1) >> kBrickShift;
        const size_t cells = size_t(m_size[0]) * size_t(m_size[1]) * size_t(m_size[2]);
        m_indices.assign(cells, 0);
        m_occlusion.assign(cells * 2, 0);
        m_brickBytes.assign(size_t(m_bricks[0]) * size_t(m_bricks[1]) * size_t(m_bricks[2]), 0);
        m_brickFilled.assign(m_brickBytes.size(), 0);
    }
    TK_CellBox changed = FillIndices(model);
    if (m_resized) changed = WholeBox(m_size);
    const bool anyCell = !changed.Empty();
    FillBricks(changed);
    changed.Add(FillOcclusion(changed, shadow));
    if (anyCell || m_resized) CountFaces();
    return changed;
}

TK_CellBox TK_VoxelVolume::FillIndices(const TK_Model& model) {
    m_scratch.assign(m_indices.size(), 0);
    for (const Voxel& v : model.voxels)
        if (v.x < m_size[0] && v.y < m_size[1] && v.z < m_size[2]) m_scratch[Index(v.x, v.y, v.z)] = v.colorIndex;
    const TK_CellBox box = DiffBox(m_size, 1, m_indices.data(), m_scratch.data());
    m_indices.swap(m_scratch);
    return box;
}

// Occupancy follows the changed cells; the shadow reaches beyond them, so
// with the shadow on the whole occlusion is swept again and compared.
TK_CellBox TK_VoxelVolume::FillOcclusion(const TK_CellBox& changed, bool shadow) {
    const bool whole = m_resized || shadow || shadow != m_shadow;
    m_shadow = shadow;
    if (!whole) {
        if (changed.Empty()) return changed;
        for (int z = changed.lo[2]; z <= changed.hi[2]; ++z)
            for (int y = changed.lo[1]; y <= changed.hi[1]; ++y)
                for (int x = changed.lo[0]; x <= changed.hi[0]; ++x)
                    m_occlusion[Index(x, y, z) * 2] = m_indices[Index(x, y, z)] ? 255 : 0;
        return changed;
    }
    m_scratch.assign(m_occlusion.size(), 0);
    for (size_t i = 0; i < m_indices.size(); ++i) m_scratch[i * 2] = m_indices[i] ? 255 : 0;
    if (shadow) TK_SweepShadow(m_size, m_scratch.data());
    const TK_CellBox box = DiffBox(m_size, 2, m_occlusion.data(), m_scratch.data());
    m_occlusion.swap(m_scratch);
    return box;
}

void TK_VoxelVolume::FillBricks(const TK_CellBox& changed) {
    if (changed.Empty()) return;
    int lo[3], hi[3];
    for (int a = 0; a < 3; ++a) lo[a] = changed.lo[a] >> kBrickShift, hi[a] = changed.hi[a] >> kBrickShift;
    for (int bz = lo[2]; bz <= hi[2]; ++bz)
        for (int by = lo[1]; by <= hi[1]; ++by)
            for (int bx = lo[0]; bx <= hi[0]; ++bx) {
                uint8_t any = 0;
                const int x1 = std::min((bx + 1) << kBrickShift, m_size[0]);
                const int y1 = std::min((by + 1) << kBrickShift, m_size[1]);
                const int z1 = std::min((bz + 1) << kBrickShift, m_size[2]);
                for (int z = bz << kBrickShift; z < z1 && !any; ++z)
                    for (int y = by << kBrickShift; y < y1 && !any; ++y)
                        for (int x = bx << kBrickShift; x < x1; ++x) any |= m_indices[Index(x, y, z)];
                m_brickFilled[size_t(bx) + size_t(m_bricks[0]) * (size_t(by) + size_t(m_bricks[1]) * size_t(bz))] =
                    any != 0;
            }
    BrickDistances();
}

// The distance transform of the Chebyshev metric is a dilation by cubes,
// and cubes are products of intervals: one pass per axis, each taking the
// smallest max(step along the axis, distance so far) along its line.
void TK_VoxelVolume::BrickDistances() {
    const int* n = m_bricks;
    const size_t count = m_brickFilled.size();
    std::vector<int>& d = m_brickDistance;
    d.assign(count, kFarBricks);
    for (size_t i = 0; i < count; ++i)
        if (m_brickFilled[i]) d[i] = 0;
    const size_t step[3] = {1, size_t(n[0]), size_t(n[0]) * size_t(n[1])};
    std::vector<int> line;
    for (int a = 0; a < 3; ++a) {
        const int u = (a + 1) % 3, v = (a + 2) % 3;
        line.resize(size_t(n[a]));
        for (int j = 0; j < n[v]; ++j)
            for (int i = 0; i < n[u]; ++i) {
                const size_t base = size_t(i) * step[u] + size_t(j) * step[v];
                for (int k = 0; k < n[a]; ++k) line[size_t(k)] = d[base + size_t(k) * step[a]];
                for (int k = 0; k < n[a]; ++k) {
                    int best = kFarBricks;
                    for (int q = 0; q < n[a]; ++q) best = std::min(best, std::max(std::abs(k - q), line[size_t(q)]));
                    d[base + size_t(k) * step[a]] = best;
                }
            }
    }
    for (size_t i = 0; i < count; ++i) m_brickBytes[i] = uint8_t(std::min(d[i], kFarBricks));
}

// Along each axis, every change between filled and empty (the outside
// counting as empty) is one exposed face. One pass in memory order: each
// cell is compared with the cells before it in x, y and z, and the last
// cell of each line with the outside.
void TK_VoxelVolume::CountFaces() {
    int64_t faces = 0;
    const int sx = m_size[0], sy = m_size[1], sz = m_size[2];
    const size_t row = size_t(sx), slice = size_t(sx) * size_t(sy);
    const uint8_t* p = m_indices.data();
    for (int z = 0; z < sz; ++z)
        for (int y = 0; y < sy; ++y)
            for (int x = 0; x < sx; ++x, ++p) {
                const bool filled = *p != 0;
                faces += filled != (x > 0 && p[-1] != 0);
                faces += filled != (y > 0 && p[-ptrdiff_t(row)] != 0);
                faces += filled != (z > 0 && p[-ptrdiff_t(slice)] != 0);
                faces += filled && x == sx - 1;
                faces += filled && y == sy - 1;
                faces += filled && z == sz - 1;
            }
    m_faces = faces;
}
