// TK_ModelLook: what a model file carries for the path tracer besides its
// palette: the material record of every colour and the settings that
// describe the scene (voxel shape, sun, sky, shadow, bounces). The window's
// settings (image size, samples, camera, exposure) stay with the editor.
// "save" and the exports capture it from the environment, "open" installs
// it; a file without one means the defaults.
//
// In the native file the materials travel as the standard MATL chunks
// (model/TK_VoxScene.h), one per colour that is not the default, and the
// rest as one chunk "TRSK" inside "MAIN", after the standard chunks, written
// only when the scene settings differ from the defaults or a material has
// what MATL cannot say (then its whole record is there, and wins over its
// MATL): plain models keep their bytes. Its content (little-endian):
//
//   version (1) | setting count S | S x {4-byte tag, 4-byte value} |
//   material count M (0..255) | M x {palette index 1..255, 52-byte record}
//
// A setting's value is an int32, a float32 or the bytes R, G, B, 0; tags a
// reader does not know are skipped. Every value is clamped to the range
// its "set" key allows, as the settings command would clamp it.
//
// Rule: Decode trusts nothing: counts are checked against the bytes given
// before anything is read, and a damaged chunk leaves the look untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/TK_Material.h"
#include "model/TK_Settings.h"

class TK_EditorEnv;

// The record equals TK_DefaultMaterial bit for bit.
bool TK_IsDefaultMaterial(const TK_Material& m);

struct TK_ModelLook {
    static constexpr int kVersion = 1;

    TK_Material materials[256];
    // Only the scene fields are the look's; the others keep their defaults.
    TK_Settings settings;

    // Every record TK_DefaultMaterial, the settings' defaults.
    TK_ModelLook();

    // True when records 1..255 and the scene fields equal the defaults.
    bool IsDefault() const;
    // True when the model file needs the look's own chunk: scene fields
    // other than the defaults, or a material that MATL cannot say.
    bool NeedsOwnChunk() const;
    // The environment's records and scene fields.
    void Capture(const TK_EditorEnv& env);
    // Into the environment, then the renderers and listeners are told.
    void Install(TK_EditorEnv& env) const;

    // The chunk's content; with `beyondMatl`, only the records of the
    // materials that MATL cannot say (the others travel as MATL).
    void Encode(std::vector<uint8_t>& out, bool beyondMatl = false) const;
    // False for a damaged content or another version; the look is then
    // unchanged. Unknown setting tags are skipped; scene fields the chunk
    // does not hold take the defaults, records it does not hold stay.
    bool Decode(const uint8_t* data, size_t size);
};
