// TK_Plugin_RAW: raw indexed volumes (".xraw"): "XRAW", the header bytes
// 0, 4, 8, 8 (unsigned RGBA channels of 8 bits, 8-bit indices), width,
// height and depth, a palette size of 256, one index byte per cell (x
// fastest, 0 empty), then 256 RGBA palette entries. Only that layout is
// written and read; others are refused without a message.
//
// The index block is read only when the file really holds all of it, so a
// forged size fails instead of allocating.
#pragma once

#include "plugins/TK_BinaryPlugin.h"

class TK_Plugin_RAW : public TK_BinaryPlugin<TK_Plugin_RAW> {
public:
    // The file's palette as a 256 x 1 RGBA image (pixel k = entry k + 1).
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override {
        return LoadPaletteImage(path, options, image);
    }

    static bool Read(OMB_LoadBitFile& file, TK_Model& model);
    static bool Write(OMB_SaveBitFile& file, const TK_Model& model);
};
