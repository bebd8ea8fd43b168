// The ".vox" plugin (see TK_Plugin_VOX.h).
#include "plugins/TK_Plugin_VOX.h"

#include "core/OMB_Cause.h"
#include "model/TK_VoxFile.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_Plugin_SLAB.h"

bool TK_Plugin_VOX::LoadModel(const std::string& path, const std::string&, TK_Model& model) {
    return Load(path, model, nullptr);
}

bool TK_Plugin_VOX::Load(const std::string& path, TK_Model& model, TK_ModelLook* look) {
    if (FileHasVoxMagic(path.c_str())) return ReadVox(model, path.c_str(), look);
    if (look) *look = TK_ModelLook();
    OMB_ClearCause();
    if (TK_Plugin_SLAB().LoadModel(path, std::string(), model)) return true;
    // Readable, but neither of the two formats.
    if (!OMB_HasCause()) OMB_SetCause("not a model file");
    return false;
}

bool TK_Plugin_VOX::SaveModel(const std::string& path, const std::string& options, const TK_Model& model) {
    return WriteVox(model, path.c_str(), m_look);
}

bool TK_Plugin_VOX::LoadImage(const std::string& path, const std::string& options, Image& image) {
    if (!FileHasVoxMagic(path.c_str())) return TK_Plugin_SLAB().LoadImage(path, options, image);
    TK_Model model;
    return ReadVox(model, path.c_str()) && PaletteToImage(model.palette, image);
}
