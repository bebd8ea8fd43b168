// TK_MeshMaterial: the surface of a palette colour as the mesh exports
// (glTF, OBJ/MTL) describe it, made from the colour's material record and
// palette entry. Both writers take their materials from here, so a value
// reaches every format the same way; each writer says what its format can
// hold of it.
//
//   diffuse ... rough and not metallic (every record with "plastic" off)
//   plastic ... the same under a clear coat of the record's roughness
//   metal ..... metallic, the record's roughness; "spec" scales the
//               reflectance as the path tracer does: 0.55 + 0.45 spec
//   glass ..... fully transmissive, the record's roughness and index of
//               refraction; its colour absorbs inside ("att"), given as what
//               one cell lets through; "total" drops the surface's Fresnel
//               reflection (only MTL can say so)
//   emit ...... glowing in the palette colour with the record's flux
//
// Rule: plain diffuse is the one material that every colour without a
// record has, named "diffuse"; every other material is named after its kind
// and the first colour that uses it ("glass_12", "emit_79"), so names are
// unique in a file and the files of models without such materials keep
// their bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Palette.h"
#include "model/TK_Model.h"
#include "model/TK_Material.h"

struct TK_MeshMaterial {
    enum class Kind { kDiffuse, kPlastic, kMetal, kGlass, kEmit };
    Kind kind = Kind::kDiffuse;
    int colour = 0;          // the first colour using it (its name's number)
    float metallic = 0;      // 0 or 1
    float roughness = 1;     // 0..1
    float reflectance = 1;   // metal: the factor on the base colour
    float coatRoughness = 0; // plastic
    float ior = 1.5f;        // glass, 1..3
    bool fresnel = true;     // glass: false for total internal reflection only
    float transmittance[3] = {1, 1, 1};  // glass: linear R, G, B left after one cell
    float flux = 0;          // emit: the emission's strength, 0..100

    // The material of colour `colour` with record `record` and palette
    // entry `entry`. Values are clamped to the ranges "pt_mtl" allows (NaN
    // to the low end), so a damaged record still gives a valid file.
    static TK_MeshMaterial FromRecord(const TK_Material& record, uint32_t entry, int colour);

    // "diffuse", or the kind's word and the colour: "metal_3".
    std::string Name() const;
    // True for a glass that absorbs some light.
    bool Absorbs() const { return transmittance[0] < 1 || transmittance[1] < 1 || transmittance[2] < 1; }
    // Same surface (the colour aside).
    bool operator==(const TK_MeshMaterial& o) const;
};

// The materials of the colours `model` uses, in rising order of their first
// colour, and each colour's index into them (`materialOf`, 0 for unused
// colours). `records` holds 256 records, or is null for every colour
// plain diffuse. Colours whose surfaces are the same share a material.
void TK_MeshMaterials(const bool used[256], const Palette& palette, const TK_Material* records,
                      std::vector<TK_MeshMaterial>& materials, size_t materialOf[256]);

// The materials of the colours a model's voxels use (see TK_MeshMaterials),
// found in one pass over the voxels.
struct TK_UsedMaterials {
    bool used[256] = {};
    std::vector<TK_MeshMaterial> list;
    size_t of[256] = {};

    TK_UsedMaterials(const TK_Model& model, const TK_Material* records);
    // True for the single plain diffuse material of a model without
    // materials.
    bool Plain() const { return list.size() == 1 && list[0].kind == TK_MeshMaterial::Kind::kDiffuse; }
};
