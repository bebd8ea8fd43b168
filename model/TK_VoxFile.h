// The editor's own model file (.vox): the magic "VOX ", version 150, then a
// chunk tree "MAIN" { "SIZE", "XYZI", and "RGBA" when the palette is not the
// default one }. Written by "save", the cache copy and the ".vox" export;
// read by "open", patterns and palette imports.
//
// ReadVox does not validate voxels or sizes beyond the file's structure: every
// caller runs NormalizeModel on the result. Read into a fresh model: a failed
// read leaves the target half-cleared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/TK_Model.h"

constexpr int kVoxVersion = 150;

// True when the file was written and closed without error. The previous file
// at `path` is replaced only on success.
bool WriteVox(const TK_Model& model, const char* path);
// The same bytes into memory.
bool WriteVoxBytes(const TK_Model& model, std::vector<uint8_t>& out);

// True when magic, version and chunk tree are valid. Fills size, voxels and
// palette and empties the name. A malformed tree prints the container's
// message; a missing file, wrong magic or version fails silently.
bool ReadVox(TK_Model& model, const char* path);
// True when the file at `path` starts as a native model file does (magic and
// version); the Slab6 files that share the extension do not.
bool IsNativeModelFile(const std::string& path);
bool ReadVoxBytes(TK_Model& model, const void* data, size_t size);

// The first four bytes of a native file.
bool HasVoxMagic(const void* data, size_t size);
