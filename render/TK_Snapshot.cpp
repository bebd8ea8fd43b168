// Framebuffer read-back and PNG writing (see TK_Snapshot.h). libpng reports
// errors by longjmp, so the encoder keeps no objects with destructors alive
// between setjmp and the calls that may jump.
#include "render/TK_Snapshot.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "core/OMB_AtomicFile.h"
#include "core/OMB_Log.h"
#include "render/OMB_OpenGL.h"

bool TK_ReadPixels(const TK_Rect& rect, bool alpha, Image& out) {
    const int width = rect.Width(), height = rect.Height();
    if (width < 1 || height < 1) {
        OMB_Printf("[Warning] snap : empty rect ( %d %d : %d %d )\n", rect.x0, rect.y0, rect.x1, rect.y1);
        return false;
    }
    if (!out.Allocate(alpha ? IMAGE_RGBA : IMAGE_RGB, width, height)) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(rect.x0, rect.y0, width, height, alpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, out.pixels.data());
    // OpenGL rows run bottom up; images top down.
    const size_t stride = size_t(width) * size_t(Image::BytesPerPixel(out.format));
    std::vector<uint8_t> row(stride);
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* a = &out.pixels[size_t(y) * stride];
        uint8_t* b = &out.pixels[size_t(height - 1 - y) * stride];
        std::memcpy(row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row.data(), stride);
    }
    return true;
}

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// The libpng calls proper; false when libpng reported an error.
bool WritePNG(png_structp png, png_infop info, const Image& image, png_bytepp rows, std::vector<uint8_t>* out) {
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

bool TK_EncodePNG(const Image& image, std::vector<uint8_t>& out) {
    out.clear();
    if ((image.format != IMAGE_RGB && image.format != IMAGE_RGBA) || image.width < 1 || image.height < 1) return false;
    const size_t stride = size_t(image.width) * size_t(Image::BytesPerPixel(image.format));
    if (image.pixels.size() != stride * size_t(image.height)) return false;
    std::vector<png_bytep> rows(size_t(image.height));
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(&image.pixels[y * stride]);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    bool ok = info && WritePNG(png, info, image, rows.data(), &out);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) out.clear();
    return ok;
}

bool TK_SavePNG(const Image& image, const std::string& path) {
    std::vector<uint8_t> bytes;
    return TK_EncodePNG(image, bytes) && OMB_WriteFileAtomic(path, bytes.data(), bytes.size());
}
