// The default palette, built once from its rules (see Palette.h).
#include "model/Palette.h"

#include <cstring>

bool Palette::operator==(const Palette& o) const { return std::memcmp(entries, o.entries, sizeof entries) == 0; }

namespace {
Palette BuildDefaultPalette() {
    static const int kCube[6] = {0xFF, 0xCC, 0x99, 0x66, 0x33, 0x00};
    static const int kRamp[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    Palette p;
    int i = 1;
    for (int r : kCube)
        for (int g : kCube)
            for (int b : kCube)
                if (r || g || b) p[i++] = PackRGBA(r, g, b);
    for (int channel = 0; channel < 4; ++channel) {
        for (int level : kRamp) {
            int r = (channel == 0 || channel == 3) ? level : 0;
            int g = (channel == 1 || channel == 3) ? level : 0;
            int b = (channel == 2 || channel == 3) ? level : 0;
            p[i++] = PackRGBA(r, g, b);
        }
    }
    return p;
}
}  // namespace

const Palette& DefaultPalette() {
    static const Palette palette = BuildDefaultPalette();
    return palette;
}
