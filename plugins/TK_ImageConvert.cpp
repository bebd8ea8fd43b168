// Picture and palette conversions (see TK_ImageConvert.h).
#include "plugins/TK_ImageConvert.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

bool HasAllPixels(const Image& image) {
    const int bpp = Image::BytesPerPixel(image.format);
    return bpp > 0 && image.width > 0 && image.height > 0 &&
           image.pixels.size() == size_t(image.width) * size_t(image.height) * size_t(bpp);
}

// Any pixel as RGBA bytes packed like a palette entry.
uint32_t PixelAt(const Image& image, int x, int y) {
    const int bpp = Image::BytesPerPixel(image.format);
    const uint8_t* p = &image.pixels[(size_t(y) * size_t(image.width) + size_t(x)) * size_t(bpp)];
    switch (image.format) {
    case IMAGE_RGB: return PackRGBA(p[0], p[1], p[2]);
    case IMAGE_RGBA: return PackRGBA(p[0], p[1], p[2], p[3]);
    case IMAGE_GRAY8: return PackRGBA(p[0], p[0], p[0]);
    default: {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return PackRGBA(v >> 8, v >> 8, v >> 8);
    }
    }
}

// Palette indices for the picture's colours, given in order of first
// appearance: exact matches keep their entries, the other colours take the
// entries that no colour matches, and once those run out the nearest.
std::unordered_map<uint32_t, int> MatchColors(const std::vector<uint32_t>& colors, Palette& palette) {
    TK_Model lookup;
    lookup.palette = palette;
    std::unordered_map<uint32_t, int> index;
    bool reserved[256] = {true};
    for (uint32_t c : colors)
        if (int i = lookup.FindExactColor(c)) index[c] = i, reserved[i] = true;
    int next = 1;
    std::vector<uint32_t> unplaced;
    for (uint32_t c : colors) {
        if (index.count(c)) continue;
        while (next < 256 && reserved[next]) ++next;
        if (next == 256) {
            unplaced.push_back(c);
            continue;
        }
        palette[next] = c | 0xFF000000u;
        index[c] = next++;
    }
    lookup.palette = palette;
    for (uint32_t c : unplaced) index[c] = lookup.FindNearestColor(c);
    return index;
}

}  // namespace

bool PaletteToImage(const Palette& palette, Image& image) {
    image.Allocate(IMAGE_RGBA, 256, 1);
    for (int k = 0; k < 255; ++k) {
        const uint32_t c = palette[k + 1];
        uint8_t* p = &image.pixels[size_t(4 * k)];
        p[0] = uint8_t(ColorR(c)), p[1] = uint8_t(ColorG(c)), p[2] = uint8_t(ColorB(c)), p[3] = uint8_t(ColorA(c));
    }
    image.pixels[4 * 255 + 3] = 255;
    return true;
}

bool ImageToPalette(const Image& image, Palette& palette, bool manyColours) {
    if ((image.format != IMAGE_RGB && image.format != IMAGE_RGBA) || !HasAllPixels(image)) return false;
    for (int i = 1; i < 256; ++i) palette[i] = PackRGBA(256 - i, 256 - i, 256 - i);
    const int pixels = image.width * image.height;
    std::unordered_set<uint32_t> taken;
    int next = 1;
    for (int p = 0; p < pixels && next < 256; ++p) {
        const uint32_t rgb = PixelAt(image, p % image.width, p / image.width) | 0xFF000000u;
        if (!manyColours || taken.insert(rgb).second) palette[next++] = rgb;
    }
    return true;
}

bool ImageToModel(const Image& image, TK_Model& model) {
    if (!HasAllPixels(image)) return false;
    const int longest = std::max(image.width, image.height);
    const int w = longest > kMaxModelSize ? std::max(1, image.width * kMaxModelSize / longest) : image.width;
    const int h = longest > kMaxModelSize ? std::max(1, image.height * kMaxModelSize / longest) : image.height;
    // Each cell samples the pixel under its centre.
    std::vector<uint32_t> cells(size_t(w) * size_t(h));
    std::vector<uint32_t> order;
    std::unordered_map<uint32_t, int> seen;
    for (int z = 0; z < h; ++z)
        for (int x = 0; x < w; ++x) {
            const int px = int((2 * int64_t(x) + 1) * image.width / (2 * w));
            const int py = int((2 * int64_t(h - 1 - z) + 1) * image.height / (2 * h));
            const uint32_t c = PixelAt(image, px, py);
            cells[size_t(z) * w + x] = c;
            if (ColorA(c) >= 128 && seen.emplace(c & 0x00FFFFFFu, 0).second) order.push_back(c & 0x00FFFFFFu);
        }
    const std::unordered_map<uint32_t, int> index = MatchColors(order, model.palette);
    model.size[0] = w, model.size[1] = 1, model.size[2] = h;
    model.voxels.Clear();
    for (int z = 0; z < h; ++z)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = cells[size_t(z) * w + x];
            if (ColorA(c) >= 128)
                model.voxels.Add(Voxel{uint8_t(x), 0, uint8_t(z), uint8_t(index.at(c & 0x00FFFFFFu))});
        }
    return true;
}
