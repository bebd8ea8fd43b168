// Image: an in-memory picture with tightly packed rows, channels in the order
// R, G, B, A. Image plugins fill it, snapshots and sprites build it, and the
// palette and model importers read it. An image with pixels has a width and a
// height of at least 1 and exactly width * height * BytesPerPixel bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Values of Image::format (they are also the numbers the plugins report).
enum : int {
    IMAGE_NONE = 0,
    IMAGE_RGB = 1,    // 3 bytes per pixel
    IMAGE_RGBA = 2,   // 4 bytes per pixel
    IMAGE_GRAY8 = 3,  // one 8-bit channel
    IMAGE_GRAY16 = 4, // one 16-bit channel
};

struct Image {
    int format = IMAGE_NONE;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    static int BytesPerPixel(int format) {
        switch (format) {
        case IMAGE_RGB: return 3;
        case IMAGE_RGBA: return 4;
        case IMAGE_GRAY8: return 1;
        case IMAGE_GRAY16: return 2;
        default: return 0;
        }
    }
    // Zeroed pixels of the given shape; false (and an empty image) when the
    // format is unknown or a side is below 1.
    bool Allocate(int newFormat, int newWidth, int newHeight) {
        *this = Image();
        int bpp = BytesPerPixel(newFormat);
        if (bpp == 0 || newWidth < 1 || newHeight < 1) return false;
        format = newFormat;
        width = newWidth;
        height = newHeight;
        pixels.assign(size_t(newWidth) * size_t(newHeight) * size_t(bpp), 0);
        return true;
    }
    bool Empty() const { return pixels.empty(); }
};
