// TK_Plugin_PNG: palette images in PNG: writes the model's palette as a
// 256 x 1 RGBA image (pixel k is entry k + 1, pixel 255 opaque black) and
// reads any PNG into an RGBA Image, rows top first (for "ipal", and for "i",
// which turns a picture into a one-voxel-thick model). WriteBytes is the
// program's one PNG encoder: the mesh exporters' palette textures, sprites
// and the renderer's snapshots are written with it.
//
// A picture's size is checked against the image bounds before any pixel
// memory is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/TK_Plugin.h"

class TK_Plugin_PNG : public TK_Plugin {
public:
    // The model's palette; false for an empty path or a failed write.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    // False for a missing file or one libpng does not accept.
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override;

    static constexpr size_t kMaxFileSize = size_t(256) << 20;

    // An RGB or RGBA image (8 bits per channel) as PNG bytes; false for any
    // other format, an empty image or pixels that do not match the size.
    static bool WriteBytes(const Image& image, std::vector<uint8_t>& out);
    // Encodes and writes through a temporary file; false when either fails.
    static bool SaveImage(const Image& image, const std::string& path);
    // Any PNG as an RGBA image; false (image empty) for bad or oversized data.
    static bool ParseBytes(const uint8_t* data, size_t size, Image& image);
    // The palette as its 256 x 1 PNG file, written atomically.
    static bool SavePalette(const std::string& path, const Palette& palette);
};
