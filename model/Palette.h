// The 256-entry model palette and the built-in default palette. An entry is
// the bytes R, G, B, A (as a little-endian word R | G << 8 | B << 16 | A << 24).
// Entry 0 belongs to no voxel.
#pragma once

#include <cstdint>

inline uint32_t PackRGBA(int r, int g, int b, int a = 255) {
    return uint32_t(r & 255) | uint32_t(g & 255) << 8 | uint32_t(b & 255) << 16 | uint32_t(a & 255) << 24;
}
inline int ColorR(uint32_t c) { return int(c & 255); }
inline int ColorG(uint32_t c) { return int(c >> 8 & 255); }
inline int ColorB(uint32_t c) { return int(c >> 16 & 255); }
inline int ColorA(uint32_t c) { return int(c >> 24); }

struct Palette {
    uint32_t entries[256] = {};

    uint32_t& operator[](int i) { return entries[i]; }
    const uint32_t& operator[](int i) const { return entries[i]; }
    bool operator==(const Palette& o) const;
    bool operator!=(const Palette& o) const { return !(*this == o); }
};

// The palette used when a file carries none: a 215-colour cube, then red,
// green, blue and grey ramps of ten levels.
const Palette& DefaultPalette();
