// Small geometry and colour types shared by the user interface and the
// renderers. A rectangle is four inclusive integer pixel coordinates with the
// origin at the bottom left and y up: (x0, y0) left bottom, (x1, y1) right
// top; the empty rectangle is (0, 0, -1, -1). A colour is packed RGBA with red
// in the lowest byte (the palette's layout).
#pragma once

#include <algorithm>
#include <cstdint>

struct OMB_Rect {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;

    constexpr int Width() const { return x1 - x0 + 1; }
    constexpr int Height() const { return y1 - y0 + 1; }
    constexpr bool IsEmpty() const { return x1 < x0 || y1 < y0; }
    // Edges included.
    constexpr bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
    constexpr bool operator==(const OMB_Rect& o) const {
        return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
    }
    constexpr bool operator!=(const OMB_Rect& o) const { return !(*this == o); }
};

struct OMB_Size {
    int width = 0, height = 0;
    constexpr bool operator==(const OMB_Size& o) const { return width == o.width && height == o.height; }
};

using OMB_Color = uint32_t;

constexpr OMB_Color OMB_RGBA(int r, int g, int b, int a = 255) {
    return uint32_t(r & 255) | uint32_t(g & 255) << 8 | uint32_t(b & 255) << 16 | uint32_t(a & 255) << 24;
}
constexpr int OMB_Red(OMB_Color c) { return int(c & 255); }
constexpr int OMB_Green(OMB_Color c) { return int(c >> 8 & 255); }
constexpr int OMB_Blue(OMB_Color c) { return int(c >> 16 & 255); }
constexpr int OMB_Alpha(OMB_Color c) { return int(c >> 24); }
