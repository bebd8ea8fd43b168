// TK_Material: the per-colour surface record the path tracer reads. The
// environment keeps one per palette index beside the palette, and commands
// that move colours between indices ("swap") move these records with them.
//
// Rule: keep it a plain 52-byte record of 32-bit fields. It is copied with
// memcpy, exchanged as a block and uploaded as a table, so no constructors,
// no pointers and no change of size without changing every reader.
#pragma once

#include <cstdint>

// The kinds of surface; the numbers are stored in the records and read by
// the tracer's shaders.
enum TK_MaterialType : int32_t {
    TK_MATERIAL_DIFFUSE = 0,
    TK_MATERIAL_METAL = 1,
    TK_MATERIAL_GLASS = 2,
    TK_MATERIAL_EMIT = 3,
};
constexpr int kMaterialTypeCount = 4;

struct TK_Material {
    int32_t type;       // a TK_MaterialType
    float roughness;
    float specular;
    float plastic;      // above 0.5: a clear coat over the base colour
    float ior;          // index of refraction (glass)
    float attenuation;  // absorption inside glass
    float flux;         // emitted power (emissive)
    float glow;         // emission seen directly, without lighting
    float total;        // above 0.5: total internal reflection only
    float spare[4];     // room for later parameters without changing the size
};
static_assert(sizeof(TK_Material) == 52, "material records are 52-byte blocks");

// The words of the kinds for "pt_mtl", in TK_MaterialType order.
inline constexpr const char* kMaterialTypeWords[kMaterialTypeCount] = {"diffuse", "metal", "glass", "emit"};

// The numbers of a record: the word "pt_mtl" sets each by, its field and
// the range that "pt_mtl" and the file readers clamp it to.
struct TK_MaterialParam {
    const char* word;
    float TK_Material::*field;
    float lo, hi;
};
constexpr int kMaterialParamCount = 8;
inline constexpr TK_MaterialParam kMaterialParams[kMaterialParamCount] = {
    {"rough", &TK_Material::roughness, 0, 1}, {"spec", &TK_Material::specular, 0, 1},
    {"plastic", &TK_Material::plastic, 0, 1}, {"ior", &TK_Material::ior, 1, 3},
    {"att", &TK_Material::attenuation, 0, 1}, {"flux", &TK_Material::flux, 0, 100},
    {"glow", &TK_Material::glow, 0, 1},       {"total", &TK_Material::total, 0, 1},
};

// The record every colour starts with: diffuse, with the parameters the
// other kinds need ready (a "glass" or "emit" switch alone gives a sensible
// surface).
inline TK_Material TK_DefaultMaterial() {
    TK_Material m = {};
    m.roughness = 0.2f;
    m.specular = 0.5f;
    m.ior = 1.5f;
    m.attenuation = 0.3f;
    m.flux = 4.0f;
    m.glow = 0.5f;
    return m;
}
