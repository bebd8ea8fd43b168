// PNG palette writer and reader over libpng's simplified interfaces (see
// TK_Plugin_PNG.h).
#include "plugins/TK_Plugin_PNG.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_ImageFile.h"

namespace {

// Frees libpng's state on every path out of a read or write.
struct PngImage {
    png_image image;
    PngImage() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image); }
};

}  // namespace

bool TK_Plugin_PNG::WriteBytes(const Image& image, std::vector<uint8_t>& out) {
    out.clear();
    if ((image.format != IMAGE_RGB && image.format != IMAGE_RGBA) || image.Empty()) return false;
    PngImage png;
    png.image.width = png_uint_32(image.width);
    png.image.height = png_uint_32(image.height);
    png.image.format = image.format == IMAGE_RGBA ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png.image, size, 0, image.pixels.data(), 0, nullptr)) return false;
    out.resize(size);
    if (png_image_write_to_memory(&png.image, out.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        out.resize(size);
        return true;
    }
    out.clear();
    return false;
}

bool TK_Plugin_PNG::ParseBytes(const uint8_t* data, size_t size, Image& image) {
    image = Image();
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data, size)) return false;
    if (!TK_IsImageSizeAllowed(png.image.width, png.image.height)) {
        std::printf("[Error] PNG : image too large : %u x %u\n", png.image.width, png.image.height);
        return false;
    }
    png.image.format = PNG_FORMAT_RGBA;
    Image result;
    result.Allocate(IMAGE_RGBA, int(png.image.width), int(png.image.height));
    if (!png_image_finish_read(&png.image, nullptr, result.pixels.data(), 0, nullptr)) return false;
    image = std::move(result);
    return true;
}

bool TK_Plugin_PNG::SavePalette(const std::string& path, const Palette& palette) {
    Image image;
    std::vector<uint8_t> bytes;
    return PaletteToImage(palette, image) && WriteBytes(image, bytes) && TK_WriteFileBytes(path, bytes);
}

bool TK_Plugin_PNG::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    return SavePalette(path, model.palette);
}

bool TK_Plugin_PNG::LoadImage(const std::string& path, const std::string&, Image& image) {
    std::vector<uint8_t> bytes;
    return TK_ReadFileBytes(path, kMaxFileSize, bytes) && ParseBytes(bytes.data(), bytes.size(), image);
}
