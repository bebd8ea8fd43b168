// ACT palette writer and reader (see TK_Plugin_ACT.h).
#include "plugins/TK_Plugin_ACT.h"

#include <cstring>

#include "plugins/TK_ImageFile.h"

void TK_Plugin_ACT::WriteBytes(const Palette& palette, std::vector<uint8_t>& out) {
    out.assign(768, 0);
    for (int k = 0; k < 256; ++k) {
        // Entry 0 goes last: the file's first triple is the first real colour.
        const uint32_t c = palette[(k + 1) & 255];
        out[size_t(3 * k)] = uint8_t(ColorR(c));
        out[size_t(3 * k + 1)] = uint8_t(ColorG(c));
        out[size_t(3 * k + 2)] = uint8_t(ColorB(c));
    }
}

bool TK_Plugin_ACT::ParseBytes(const uint8_t* data, size_t size, Image& image) {
    image = Image();
    const int64_t count = int64_t(size / 3);
    if (!TK_IsImageSizeAllowed(count, 1)) return false;
    image.Allocate(IMAGE_RGB, int(count), 1);
    std::memcpy(image.pixels.data(), data, image.pixels.size());
    return true;
}

bool TK_Plugin_ACT::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    std::vector<uint8_t> bytes;
    WriteBytes(model.palette, bytes);
    return TK_WriteFileBytes(path, bytes);
}

bool TK_Plugin_ACT::LoadImage(const std::string& path, const std::string&, Image& image) {
    std::vector<uint8_t> bytes;
    return TK_ReadFileBytes(path, kMaxFileSize, bytes) && ParseBytes(bytes.data(), bytes.size(), image);
}
