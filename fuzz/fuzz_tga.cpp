// libFuzzer target for the TGA reader: any bytes through
// TK_Plugin_TGA::ParseBytes. An accepted image must have exactly the pixel
// bytes its size says and cannot hold more pixels than the data could
// encode (catches packets written past the buffer and forged sizes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/TK_Plugin_TGA.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    if (!TK_Plugin_TGA::ParseBytes(data, size, image)) {
        if (!image.Empty()) std::abort();
        return 0;
    }
    const size_t bpp = size_t(Image::BytesPerPixel(image.format));
    const size_t pixels = size_t(image.width) * size_t(image.height);
    if (bpp < 3 || image.pixels.size() != pixels * bpp) std::abort();
    if (pixels > size * 128) std::abort();
    return 0;
}
