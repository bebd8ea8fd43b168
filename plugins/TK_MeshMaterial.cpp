// Export materials from surface records (see TK_MeshMaterial.h).
#include "plugins/TK_MeshMaterial.h"

#include <algorithm>
#include <cmath>

namespace {

// A record value into [lo, hi]; NaN becomes lo.
float Clamp(float v, float lo, float hi) { return v >= lo ? std::min(v, hi) : lo; }

// The path tracer's linear colour of a palette channel (gamma 2.2).
float Linear(int c) { return std::pow(float(c) / 255.0f, 2.2f); }

}  // namespace

TK_MeshMaterial TK_MeshMaterial::FromRecord(const TK_Material& record, uint32_t entry, int colour) {
    TK_MeshMaterial m;
    m.colour = colour;
    const float rough = Clamp(record.roughness, 0, 1);
    switch (record.type) {
        case TK_MATERIAL_METAL:
            m.kind = Kind::kMetal, m.metallic = 1, m.roughness = rough;
            m.reflectance = 0.55f + 0.45f * Clamp(record.specular, 0, 1);
            break;
        case TK_MATERIAL_GLASS: {
            m.kind = Kind::kGlass, m.roughness = rough;
            m.ior = Clamp(record.ior, 1, 3);
            m.fresnel = !(record.total > 0.5f);
            // The tracer's absorption over one cell of the glass's colour.
            const float perCell = 0.02f + 0.3f * Clamp(record.attenuation, 0, 1);
            const int rgb[3] = {ColorR(entry), ColorG(entry), ColorB(entry)};
            for (int i = 0; i < 3; ++i) m.transmittance[i] = std::exp(-(1 - Linear(rgb[i])) * perCell);
            break;
        }
        case TK_MATERIAL_EMIT: m.kind = Kind::kEmit, m.flux = Clamp(record.flux, 0, 100); break;
        default:
            if (record.plastic > 0.5f) m.kind = Kind::kPlastic, m.coatRoughness = rough;
            break;
    }
    return m;
}

std::string TK_MeshMaterial::Name() const {
    static const char* const kWords[] = {"diffuse", "plastic", "metal", "glass", "emit"};
    const char* word = kWords[int(kind)];
    return kind == Kind::kDiffuse ? word : word + ("_" + std::to_string(colour));
}

bool TK_MeshMaterial::operator==(const TK_MeshMaterial& o) const {
    return kind == o.kind && metallic == o.metallic && roughness == o.roughness && reflectance == o.reflectance &&
           coatRoughness == o.coatRoughness && ior == o.ior && fresnel == o.fresnel &&
           std::equal(transmittance, transmittance + 3, o.transmittance) && flux == o.flux;
}

void TK_MeshMaterials(const bool used[256], const Palette& palette, const TK_Material* records,
                      std::vector<TK_MeshMaterial>& materials, size_t materialOf[256]) {
    materials.clear();
    std::fill(materialOf, materialOf + 256, size_t(0));
    for (int c = 1; c < 256; ++c) {
        if (!used[c]) continue;
        TK_MeshMaterial m;
        if (records) m = TK_MeshMaterial::FromRecord(records[c], palette[c], c);
        m.colour = c;
        const size_t i = size_t(std::find(materials.begin(), materials.end(), m) - materials.begin());
        if (i == materials.size()) materials.push_back(m);
        materialOf[c] = i;
    }
}

TK_UsedMaterials::TK_UsedMaterials(const TK_Model& model, const TK_Material* records) {
    for (const Voxel& v : model.voxels) used[v.colorIndex] = true;
    TK_MeshMaterials(used, model.palette, records, list, of);
}
