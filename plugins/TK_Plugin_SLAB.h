// TK_Plugin_SLAB: Slab6 voxel files (".vox" without the native magic): three
// sizes, one byte per cell (x slowest, z fastest, both y and z stored
// reversed; colour index - 1, 255 empty), then 256 colours of 6-bit R, G, B.
// A file that does start with "VOX " is the editor's own format and is read
// with the native reader instead, so either kind of ".vox" file imports.
//
// A Slab6 file's length must be exactly its cell count + 780; that check
// comes before anything is allocated, so a forged size fails cleanly.
#pragma once

#include <cstddef>
#include <cstdint>
#include "plugins/TK_BinaryPlugin.h"

class TK_Plugin_SLAB : public TK_BinaryPlugin<TK_Plugin_SLAB> {
public:
    // Native or Slab6 by the first four bytes. The caller normalises the
    // model. Prints the SLAB size messages for a bad size or length.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;
    // The file's palette as a 256 x 1 RGBA image (pixel k = entry k + 1).
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override {
        return LoadPaletteImage(path, options, image);
    }

    // Slab6 layout only (no native dispatch).
    static bool Read(OMB_LoadBitFile& file, TK_Model& model);
    static bool Write(OMB_SaveBitFile& file, const TK_Model& model);
    // Native or Slab6, like LoadModel (the Slab6 writer is the base's).
    static bool ReadBytes(const void* data, size_t size, TK_Model& model);
};
