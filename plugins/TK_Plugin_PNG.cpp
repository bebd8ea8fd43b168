// The program's PNG encoder and the palette reader (see TK_Plugin_PNG.h).
#include "plugins/TK_Plugin_PNG.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "core/OMB_Log.h"
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

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// The libpng calls proper; false when libpng reported an error. libpng
// reports errors by longjmp, so no object with a destructor lives here.
bool Encode(png_structp png, png_infop info, const Image& image, png_bytepp rows, std::vector<uint8_t>* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, &WriteToVector, &FlushNothing);
    const int colorType = image.format == IMAGE_RGBA ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Snapshots are written while the user waits: favour speed over size.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace

bool TK_Plugin_PNG::WriteBytes(const Image& image, std::vector<uint8_t>& out) {
    out.clear();
    if ((image.format != IMAGE_RGB && image.format != IMAGE_RGBA) || image.width < 1 || image.height < 1) return false;
    const size_t stride = size_t(image.width) * size_t(Image::BytesPerPixel(image.format));
    if (image.pixels.size() != stride * size_t(image.height)) return false;
    std::vector<png_bytep> rows(size_t(image.height));
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(&image.pixels[y * stride]);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && Encode(png, info, image, rows.data(), &out);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) out.clear();
    return ok;
}

bool TK_Plugin_PNG::SaveImage(const Image& image, const std::string& path) {
    std::vector<uint8_t> bytes;
    return WriteBytes(image, bytes) && TK_WriteFileBytes(path, bytes);
}

bool TK_Plugin_PNG::ParseBytes(const uint8_t* data, size_t size, Image& image) {
    image = Image();
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data, size)) return false;
    if (!TK_IsImageSizeAllowed(png.image.width, png.image.height)) {
        OMB_Printf("[Error] PNG : image too large : %u x %u\n", png.image.width, png.image.height);
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
