// TK_BinaryPlugin: the shared base of the binary voxel formats whose whole
// file is read by one Read and written by one Write on a bit file (QB, RAW,
// SLAB). It gives each of them the same four ends: load and save a path
// (through the plugin interface) and read and write bytes in memory (for
// tests and fuzz targets, which need no disk).
//
// The rule it keeps: a save writes through a temporary file renamed over the
// path only when every byte was written, so a failed export leaves an older
// file as it was; models without voxels are refused before anything exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_Plugin.h"
#include "plugins/TK_PluginFile.h"

// Format supplies
//   static bool Read(OMB_LoadBitFile&, TK_Model&);
//   static bool Write(OMB_SaveBitFile&, const TK_Model&);
template <typename Format>
class TK_BinaryPlugin : public TK_Plugin {
public:
    // The caller normalises the model.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override {
        OMB_LoadBitFile file;
        return file.Open(path.c_str()) && Format::Read(file, model);
    }
    // False for a model without voxels or a file that cannot be written.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override {
        if (model.voxels.Empty()) return false;
        OMB_SaveBitFile file;
        if (!file.Open(path.c_str())) return false;
        if (Format::Write(file, model)) return file.Close();
        file.Discard();
        return false;
    }

    static bool ReadBytes(const void* data, size_t size, TK_Model& model) {
        OMB_LoadBitFile file;
        return file.OpenMemory(data, size) && Format::Read(file, model);
    }
    static bool WriteBytes(const TK_Model& model, std::vector<uint8_t>& out) {
        OMB_SaveBitFile file;
        return file.OpenMemory(&out) && Format::Write(file, model) && file.Close();
    }

protected:
    // The file's palette as a 256 x 1 RGBA image (pixel k = entry k + 1), for
    // the formats that offer it as their LoadImage.
    bool LoadPaletteImage(const std::string& path, const std::string& options, Image& image) {
        TK_Model model;  // its palette starts all zero
        return LoadModel(path, options, model) && PaletteToImage(model.palette, image);
    }
};
