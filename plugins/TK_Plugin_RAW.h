// TK_Plugin_RAW: raw indexed volumes (".xraw"): "XRAW", the header bytes
// 0, 4, 8, 8 (unsigned RGBA channels of 8 bits, 8-bit indices), width,
// height and depth, a palette size of 256, one index byte per cell (x
// fastest, 0 empty), then 256 RGBA palette entries. Only that layout is
// written and read; others are refused without a message.
//
// The index block is read only when the file really holds all of it, so a
// forged size fails instead of allocating.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/OMB_BitFile.h"
#include "plugins/TK_Plugin.h"

class TK_Plugin_RAW : public TK_Plugin {
public:
    // The caller normalises the model.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;
    // False for a model without voxels or a file that cannot be written.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    // The file's palette as a 256 x 1 RGBA image (pixel k = entry k + 1).
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override;

    static bool Read(OMB_LoadBitFile& file, TK_Model& model);
    static bool Write(OMB_SaveBitFile& file, const TK_Model& model);
    static bool ReadBytes(const void* data, size_t size, TK_Model& model);
    static bool WriteBytes(const TK_Model& model, std::vector<uint8_t>& out);
};
