// Helpers shared by the voxel format plugins: bounded arithmetic on sizes
// read from a file, and moving voxels between a model and a dense grid.
//
// The rule they keep: nothing read from a file is trusted before it has been
// compared with the bytes the file really holds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/OMB_BitFile.h"
#include "model/TK_Model.h"

// Largest size per axis a reader keeps (the native reader's clamp too).
constexpr int kMaxFileAxis = 256;

inline int ClampFileAxis(int32_t value) { return std::clamp<int32_t>(value, 1, kMaxFileAxis); }

// a * b * c for positive a, b, c when it is at most `limit`; -1 when it is
// larger (so no product can overflow, whatever the file says).
inline int64_t BoundedVolume(int64_t a, int64_t b, int64_t c, int64_t limit) {
    if (a <= 0 || b <= 0 || c <= 0 || a > limit || b > limit / a) return -1;
    const int64_t ab = a * b;
    return c > limit / ab ? -1 : ab * c;
}

// Stores the voxel word x | y << 8 | z << 16 | colour << 24 with a single
// 32-bit write: the readers' inner loops store one per cell.
inline void StoreVoxelWord(Voxel* out, uint32_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(out, &word, sizeof word);
#else
    *out = Voxel::FromWord(word);
#endif
}

// Writes each voxel's colour index into a dense grid at cell(x, y, z) (the
// format's own cell order); voxels outside the size are skipped. The sizes
// are copied first, so the stores cannot make the loop reload them.
template <typename CellIndex>
void ScatterVoxels(const TK_Model& model, uint8_t* grid, CellIndex cell) {
    const unsigned sx = unsigned(model.size[0]), sy = unsigned(model.size[1]), sz = unsigned(model.size[2]);
    for (const Voxel& v : model.voxels)
        if (v.x < sx && v.y < sy && v.z < sz) grid[cell(size_t(v.x), size_t(v.y), size_t(v.z))] = v.colorIndex;
}
