// Colour quantisation for palette pictures (the animated GIF writer): a
// palette of at most 256 colours chosen for one RGBA picture by variance-
// based median cut over a 6-bit-per-channel histogram, and each pixel mapped
// to its nearest palette colour. Pixels with alpha below 128 become one
// transparent entry.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Image.h"

struct TK_QuantizedImage {
    std::vector<uint8_t> palette;  // r, g, b per entry; at most 256 entries
    std::vector<uint8_t> indices;  // one per pixel, rows as in the picture
    int transparent = -1;          // the transparent entry, -1 when none
    int Colors() const { return int(palette.size() / 3); }
};

// False for anything but a non-empty RGBA picture. `maxColors` is clamped to
// 2..256 (one of them is the transparent entry when a pixel needs it).
bool TK_QuantizeImage(const Image& rgba, int maxColors, TK_QuantizedImage& out);
