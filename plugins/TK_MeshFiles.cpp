// Paths, palette textures and material binding of the mesh plugins (see
// TK_MeshFiles.h).
#include "plugins/TK_MeshFiles.h"

#include <cstdint>
#include <unordered_map>

#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_PNG.h"

std::string TK_FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TK_BaseNameOf(const std::string& path) {
    std::string base = path.substr(TK_FolderOf(path).size());
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return base;
}

bool TK_LoadPaletteTexture(const std::string& path, Palette& palette) {
    std::vector<uint8_t> bytes;
    Image image;
    if (!TK_ReadFileBytes(path, TK_Plugin_PNG::kMaxFileSize, bytes) ||
        !TK_Plugin_PNG::ParseBytes(bytes.data(), bytes.size(), image) || image.width != 256 || image.height != 1)
        return false;
    palette = Palette();
    for (int k = 0; k < 255; ++k) {
        const uint8_t* p = &image.pixels[size_t(4 * k)];
        palette[k + 1] = PackRGBA(p[0], p[1], p[2]);
    }
    return true;
}

void TK_ResolveMaterials(const TK_ObjMesh& mesh, const std::vector<TK_ObjMaterial>& found, const std::string& folder,
                         Palette& palette, std::vector<TK_ObjMaterial>& materials, std::vector<bool>& textured) {
    std::string texture;
    palette = DefaultPalette();
    for (const TK_ObjMaterial& m : found)
        if (!m.texture.empty() && TK_LoadPaletteTexture(folder + m.texture, palette)) {
            texture = m.texture;
            break;
        }
    materials.assign(mesh.materialNames.size(), TK_ObjMaterial());
    textured.assign(mesh.materialNames.size(), false);
    // By hash, the first definition of a name winning: linear in the names.
    std::unordered_map<std::string, const TK_ObjMaterial*> byName;
    for (const TK_ObjMaterial& m : found) byName.emplace(m.name, &m);
    for (size_t i = 0; i < mesh.materialNames.size(); ++i) {
        auto it = byName.find(mesh.materialNames[i]);
        if (it == byName.end()) continue;
        materials[i] = *it->second;
        textured[i] = !texture.empty() && it->second->texture == texture;
    }
}
