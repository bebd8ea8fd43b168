// The editor's own model file (.vox): the magic "VOX ", version 150, then a
// chunk tree "MAIN" { "SIZE", "XYZI", "RGBA" when the palette is not the
// default one, one "MATL" per colour whose material is not the default, and
// "TRSK" (TK_ModelLook.h) when the scene settings are not the defaults or a
// material holds what MATL cannot say }. Written by "save", the cache copy
// and the ".vox" export; read by "open", patterns and palette imports.
//
// Files of other editors (version 150 or 200) may hold several models and a
// scene (model/TK_VoxScene.h). The reader reads the first model into the
// TK_Model and keeps the rest on it (`TK_Model::kept`); the writer then
// gives every kept chunk back byte for byte, in its order, and rewrites only
// the edited model's SIZE and XYZI, the palette, the MATL chunks of colours
// whose material changed, and its own chunk. A model without a kept record
// is written as above, so plain files keep their bytes.
//
// ReadVox does not validate voxels or sizes beyond the file's structure: every
// caller runs NormalizeModel on the result. Read into a fresh model: a failed
// read leaves the target half-cleared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/TK_Model.h"
#include "model/TK_ModelLook.h"

constexpr int kVoxVersion = 150;

// True when the file was written and closed without error. The previous file
// at `path` is replaced only on success. `look`, when given and not the
// defaults, is written too (without one, kept MATL and TRSK chunks stay as
// they were). False, with the cause, when `path` is the file the model's
// kept record protects (a model cut to fit).
bool WriteVox(const TK_Model& model, const char* path, const TK_ModelLook* look = nullptr);
// The same bytes into memory.
bool WriteVoxBytes(const TK_Model& model, std::vector<uint8_t>& out, const TK_ModelLook* look = nullptr);

// True when magic, version (150 or 200), chunk tree and scene chunks are
// valid. Fills size, voxels and palette (of the first model), the kept
// record when the file holds more than that, and empties the name. A
// malformed tree prints the container's message; a missing file, wrong
// magic or version, or a damaged scene fails with its cause. `look`,
// when given, receives the file's look (its MATL materials, then its own
// chunk), or the defaults when it has none;
// a damaged look is only a warning (the defaults, the model still reads).
bool ReadVox(TK_Model& model, const char* path, TK_ModelLook* look = nullptr);
bool ReadVoxBytes(TK_Model& model, const void* data, size_t size, TK_ModelLook* look = nullptr);

// The first four bytes of a native file.
bool HasVoxMagic(const void* data, size_t size);
// True when the file at `path` opens and starts with them.
bool FileHasVoxMagic(const char* path);
