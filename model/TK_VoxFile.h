// The editor's own model file (.vox): the magic "VOX ", version 150, then a
// chunk tree "MAIN" { "SIZE", "XYZI", "RGBA" when the palette is not the
// default one, and "TRSK" (TK_ModelLook.h) when the materials or scene
// settings are not the defaults }. Written by "save", the cache copy and the
// ".vox" export; read by "open", patterns and palette imports. Chunks of
// other ids are skipped, so other readers of the layout skip "TRSK" and we
// skip theirs.
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
// defaults, is written too.
bool WriteVox(const TK_Model& model, const char* path, const TK_ModelLook* look = nullptr);
// The same bytes into memory.
bool WriteVoxBytes(const TK_Model& model, std::vector<uint8_t>& out, const TK_ModelLook* look = nullptr);

// True when magic, version and chunk tree are valid. Fills size, voxels and
// palette and empties the name. A malformed tree prints the container's
// message; a missing file, wrong magic or version fails silently. `look`,
// when given, receives the file's look, or the defaults when it has none;
// a damaged look is only a warning (the defaults, the model still reads).
bool ReadVox(TK_Model& model, const char* path, TK_ModelLook* look = nullptr);
bool ReadVoxBytes(TK_Model& model, const void* data, size_t size, TK_ModelLook* look = nullptr);

// The first four bytes of a native file.
bool HasVoxMagic(const void* data, size_t size);
// True when the file at `path` opens and starts with them.
bool FileHasVoxMagic(const char* path);
