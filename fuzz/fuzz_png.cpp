// libFuzzer target for the PNG reader: any bytes through
// TK_Plugin_PNG::ParseBytes; an accepted image is RGBA within the image
// bounds and survives a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_PNG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    if (!TK_Plugin_PNG::ParseBytes(data, size, image)) return 0;
    if (image.format != IMAGE_RGBA || !TK_IsImageSizeAllowed(image.width, image.height)) std::abort();
    std::vector<uint8_t> bytes;
    Image again;
    if (!TK_Plugin_PNG::WriteBytes(image, bytes) || !TK_Plugin_PNG::ParseBytes(bytes.data(), bytes.size(), again))
        std::abort();
    if (again.pixels != image.pixels) std::abort();
    return 0;
}
