// libFuzzer target for the ACT reader and the palette conversion after it:
// any bytes through TK_Plugin_ACT::ParseBytes, then ImageToPalette in both
// modes. The image holds exactly the whole triples of the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_Plugin_ACT.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    if (!TK_Plugin_ACT::ParseBytes(data, size, image)) return 0;
    if (image.format != IMAGE_RGB || image.height != 1 || size_t(image.width) != size / 3) std::abort();
    Palette palette;
    if (!ImageToPalette(image, palette, false) || !ImageToPalette(image, palette, true)) std::abort();
    return 0;
}
