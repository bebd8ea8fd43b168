// TK_Plugin_ACT: palette files in ACT: exactly 768 bytes, 256 triples R, G, B
// with no header: palette entries 1 to 255, then entry 0. Alpha is not
// stored. Any file of at least 3 bytes reads back as an RGB image of
// floor(length / 3) by 1 pixels, which "ipal" turns into a palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/TK_Plugin.h"

class TK_Plugin_ACT : public TK_Plugin {
public:
    // The model's palette; false for an empty path or a failed write.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    // False for a missing, empty or over-long file.
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override;

    // Longest file read: nothing past entry 255 is ever used, so a large
    // file is a wrong file.
    static constexpr size_t kMaxFileSize = size_t(1) << 20;

    static void WriteBytes(const Palette& palette, std::vector<uint8_t>& out);
    static bool ParseBytes(const uint8_t* data, size_t size, Image& image);
};
