// Framebuffer read-back and PNG writing (see TK_Snapshot.h).
#include "render/TK_Snapshot.h"

#include <cstring>

#include "core/OMB_Log.h"
#include "plugins/TK_Plugin_PNG.h"
#include "render/GLLoader.h"

bool TK_ReadPixels(const OMB_Rect& rect, bool alpha, Image& out) {
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

bool TK_SavePNG(const Image& image, const std::string& path) { return TK_Plugin_PNG::SaveImage(image, path); }
