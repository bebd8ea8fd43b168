// TK_Plugin_VOX: the ".vox" extension. Files that start with "VOX " are the
// editor's own format (model/TK_VoxFile.h); any other ".vox" file is handed
// to the Slab6 plugin, which reads that older format of the same extension.
#pragma once

#include "plugins/TK_Plugin.h"

class TK_Plugin_VOX : public TK_Plugin {
public:
    // A native file through ReadVox, anything else through the Slab6 reader.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;
    // The same; `look` receives a native file's look, the defaults for a
    // Slab6 file.
    static bool Load(const std::string& path, TK_Model& model, TK_ModelLook* look);
    // WriteVox with the look given (materials and scene settings) and what
    // the model's file held besides it (its other models, its scene); the
    // old file is replaced only on success.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    void SetLook(const TK_ModelLook* look) override { m_look = look; }
    // The palette of a native or Slab6 file as a 256 x 1 RGBA image: pixel k
    // is entry k + 1, pixel 255 opaque black. False when the file cannot be
    // opened or read.
    bool LoadImage(const std::string& path, const std::string& options, Image& image) override;

private:
    const TK_ModelLook* m_look = nullptr;
};
