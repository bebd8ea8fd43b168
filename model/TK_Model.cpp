// Model operations shared by many commands, importers and exporters
// (see TK_Model.h).
#include "model/TK_Model.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void TK_Model::ResetPaletteAlpha() {
    palette[0] = 0;
    for (int i = 1; i < 256; ++i) palette[i] |= 0xFF000000u;
}

bool TK_Model::IsDefaultPalette() const {
    const Palette& d = DefaultPalette();
    for (int i = 1; i < 256; ++i)
        if ((palette[i] ^ d[i]) & 0x00FFFFFFu) return false;
    return true;
}

void TK_Model::MakeGreyPalette() {
    palette[0] = 0;
    for (int i = 1; i < 256; ++i) palette[i] = PackRGBA(256 - i, 256 - i, 256 - i);
}

int TK_Model::FindExactColor(uint32_t rgb, int n) const {
    int limit = std::min(n, 256);
    for (int i = 1; i < limit; ++i)
        if (((palette[i] ^ rgb) & 0x00FFFFFFu) == 0) return i;
    return 0;
}

int TK_Model::FindNearestColor(uint32_t rgb) const {
    int best = 768, result = 0;
    for (int i = 1; i < 256; ++i) {
        uint32_t c = palette[i];
        int d = std::abs(ColorR(rgb) - ColorR(c)) + std::abs(ColorG(rgb) - ColorG(c)) +
                std::abs(ColorB(rgb) - ColorB(c));
        if (d < best) {
            best = d;
            result = i;
        }
    }
    // Only reachable if every distance were 768 or more, which three bytes
    // cannot reach; keep the result a valid colour all the same.
    return result ? result : 1;
}

bool TK_Model::ComputeBounds(int lo[3], int hi[3]) const {
    if (voxels.Empty()) return false;
    lo[0] = lo[1] = lo[2] = 255;
    hi[0] = hi[1] = hi[2] = 0;
    for (const Voxel& v : voxels) {
        const int c[3] = {v.x, v.y, v.z};
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], c[a]);
            hi[a] = std::max(hi[a], c[a]);
        }
    }
    return true;
}

std::string TK_Model::ModelBaseName() const {
    size_t slash = name.find_last_of("/\\");
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot + 1 < base.size()) base.erase(dot);
    return base;
}

namespace {

// What NormalizeModel must know before it changes anything: the highest
// coordinate per axis, the lowest colour, and whether the cells strictly
// rise in (z, y, x) order, in which case no two voxels can share a cell.
struct VoxelScan {
    int hi[3] = {-1, -1, -1};
    int minColor = 256;
    bool ordered = true;
};

uint32_t CellKey(const Voxel& v) { return v.Word() & 0x00FFFFFFu; }

void ScanOne(VoxelScan& scan, const Voxel& v) {
    scan.hi[0] = std::max<int>(scan.hi[0], v.x);
    scan.hi[1] = std::max<int>(scan.hi[1], v.y);
    scan.hi[2] = std::max<int>(scan.hi[2], v.z);
    scan.minColor = std::min<int>(scan.minColor, v.colorIndex);
}

VoxelScan ScanVoxels(const Voxel* v, int n) {
    VoxelScan scan;
    if (n == 0) return scan;
    ScanOne(scan, v[0]);
    int i = 1;
#if defined(__SSE2__)
    // Four voxels per step: byte-wise max and min, and each cell key against
    // the one before it (keys are below 2^24, so signed compares are exact).
    __m128i hi = _mm_setzero_si128(), lo = _mm_set1_epi8(-1), rising = _mm_set1_epi32(-1);
    const __m128i keyMask = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= n; i += 4) {
        __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i - 1));
        hi = _mm_max_epu8(hi, cur);
        lo = _mm_min_epu8(lo, cur);
        rising = _mm_and_si128(rising, _mm_cmpgt_epi32(_mm_and_si128(cur, keyMask), _mm_and_si128(prev, keyMask)));
    }
    Voxel his[4], los[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(his), hi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(los), lo);
    for (int l = 0; l < 4 && i > 1; ++l) {
        ScanOne(scan, Voxel{his[l].x, his[l].y, his[l].z, 255});
        scan.minColor = std::min<int>(scan.minColor, los[l].colorIndex);
    }
    scan.ordered = _mm_movemask_epi8(rising) == 0xFFFF;
#endif
    for (; i < n; ++i) {
        ScanOne(scan, v[i]);
        scan.ordered = scan.ordered && CellKey(v[i]) > CellKey(v[i - 1]);
    }
    return scan;
}

// The occupancy walk: voxels at or past the cap, of colour 0, or in a cell
// taken by an earlier kept voxel are removed (the last voxel moves into the
// place and is examined next). One bit per cell over the kept voxels' bounds
// (at most 250 KB, so a shuffled list's random probes stay in cache); lists
// in rising cell order never get here.
void DropInvalidVoxels(VoxelList& voxels, const int cap[3], const int hi[3], int color) {
    const size_t dx = size_t(std::min(hi[0] + 1, cap[0])), dy = size_t(std::min(hi[1] + 1, cap[1]));
    const size_t cells = dx * dy * size_t(std::min(hi[2] + 1, cap[2]));
    std::vector<uint64_t> taken((cells + 63) / 64, 0);
    Voxel* v = voxels.Data();
    int n = voxels.Count();
    for (int i = 0; i < n;) {
        Voxel& cur = v[i];
        if (cur.colorIndex == 0) cur.colorIndex = uint8_t(color);
        bool drop = cur.x >= cap[0] || cur.y >= cap[1] || cur.z >= cap[2] || cur.colorIndex == 0;
        if (!drop) {
            const size_t cell = cur.x + dx * (cur.y + dy * cur.z);
            const uint64_t bit = uint64_t(1) << (cell & 63);
            drop = (taken[cell >> 6] & bit) != 0;
            taken[cell >> 6] |= bit;
        }
        if (drop) {
            cur = v[--n];
            continue;
        }
        ++i;
    }
    voxels.Truncate(n);
}

}  // namespace

void TK_Model::NormalizeModel(const int limit[3], int color) {
    int cap[3];
    for (int a = 0; a < 3; ++a) cap[a] = std::max(1, std::min(limit[a], kMaxModelSize));
    // A colour-0 voxel left without a replacement colour is dropped: no valid
    // model stores an empty cell.
    const int fill = color >= 1 && color <= 255 ? color : 0;
    const VoxelScan scan = ScanVoxels(voxels.Data(), voxels.Count());
    // The size only grows to the bounds and is then clamped to the cap, so a
    // voxel leaves the box exactly when it lies at or past the cap.
    const bool inCap = scan.hi[0] < cap[0] && scan.hi[1] < cap[1] && scan.hi[2] < cap[2];
    if (scan.ordered && inCap && (scan.minColor > 0 || fill)) {
        // Nothing to drop (the lists "full" and "new" build take this road).
        if (scan.minColor == 0)
            for (Voxel& v : voxels)
                if (v.colorIndex == 0) v.colorIndex = uint8_t(fill);
    } else {
        DropInvalidVoxels(voxels, cap, scan.hi, fill);
    }
    for (int a = 0; a < 3; ++a) size[a] = std::clamp(std::max(size[a], scan.hi[a] + 1), 1, cap[a]);
    ResetPaletteAlpha();
}
