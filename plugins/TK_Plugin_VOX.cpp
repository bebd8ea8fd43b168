// The ".vox" plugin (see TK_Plugin_VOX.h).
#include "plugins/TK_Plugin_VOX.h"

#include "core/OMB_BitFile.h"
#include "model/TK_VoxFile.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_Plugin_SLAB.h"

namespace {

// True when the file opens and starts with the native magic.
bool StartsWithVoxMagic(const std::string& path) {
    OMB_LoadBitFile file;
    uint8_t magic[4];
    return file.Open(path.c_str()) && file.ReadBytes(magic, 4) && HasVoxMagic(magic, 4);
}

}  // namespace

bool TK_Plugin_VOX::LoadModel(const std::string& path, const std::string&, TK_Model& model) {
    return Load(path, model, nullptr);
}

bool TK_Plugin_VOX::Load(const std::string& path, TK_Model& model, TK_ModelLook* look) {
    if (StartsWithVoxMagic(path)) return ReadVox(model, path.c_str(), look);
    if (look) *look = TK_ModelLook();
    return TK_Plugin_SLAB().LoadModel(path, std::string(), model);
}

bool TK_Plugin_VOX::SaveModel(const std::string& path, const std::string& options, const TK_Model& model) {
    return WriteVox(model, path.c_str(), m_look);
}

bool TK_Plugin_VOX::LoadImage(const std::string& path, const std::string& options, Image& image) {
    if (!StartsWithVoxMagic(path)) return TK_Plugin_SLAB().LoadImage(path, options, image);
    TK_Model model;
    return ReadVox(model, path.c_str()) && PaletteToImage(model.palette, image);
}
