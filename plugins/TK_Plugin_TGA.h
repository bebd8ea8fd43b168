// TK_Plugin_TGA: palette images in TGA: writes the model's palette as an
// uncompressed 32-bit 256 x 1 image (B, G, R, A pixels) and reads true-colour
// files (image types 2 and 10, 24 or 32 bits) into an RGB or RGBA Image with
// the top row first, whichever origin the file names.
//
// The rule: every run-length packet and the pixel count are checked against
// the image size and the bytes the file holds, so a hostile file never
// writes past the pixel buffer, and the size is bounded before allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/TK_Plugin.h"

class TK_Plugin_TGA : public TK_Plugin {
public:
    // The model's palette; false for an empty path or a failed write.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    // False, after an "[Error] TGA : ..." line, for a file it does not accept.
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override;

    static constexpr size_t kMaxFileSize = size_t(256) << 20;

    static void WriteBytes(const Palette& palette, std::vector<uint8_t>& out);
    static bool ParseBytes(const uint8_t* data, size_t size, Image& image);
};
