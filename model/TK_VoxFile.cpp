// Native model file writer and reader (see TK_VoxFile.h). The file and memory
// entry points share one body each, so tests and the fuzzer exercise exactly
// the code that reads files.
#include "model/TK_VoxFile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OMB_XIFF.h"

namespace {

// Eight times the largest model the program writes (126 cubed cells of four
// bytes): anything bigger is not one of its files, and is not read.
constexpr int64_t kMaxFileBytes = int64_t(64) << 20;
constexpr uint32_t kMain = OMB_ChunkId("MAIN");
constexpr uint32_t kSize = OMB_ChunkId("SIZE");
constexpr uint32_t kXyzi = OMB_ChunkId("XYZI");
constexpr uint32_t kRgba = OMB_ChunkId("RGBA");
constexpr uint32_t kLook = OMB_ChunkId("TRSK");
const uint8_t kMagic[4] = {'V', 'O', 'X', ' '};

void WritePalette(OMB_XIFF_SaveFile& file, const Palette& palette) {
    uint8_t bytes[1024];
    for (int k = 0; k < 255; ++k) OMB_PutInt32LE(bytes + 4 * k, int32_t(palette[k + 1]));
    // Colour 255 has no entry; it is stored as opaque black.
    const uint8_t black[4] = {0, 0, 0, 255};
    std::memcpy(bytes + 1020, black, 4);
    file.WriteBytes(bytes, sizeof bytes);
}

// Writes into an open file; the caller closes it.
void WriteBody(OMB_XIFF_SaveFile& file, const TK_Model& model, const TK_ModelLook* look) {
    file.WriteBytes(kMagic, 4);
    file.WriteInt32(kVoxVersion);
    file.BeginChunk(kMain);
    file.BeginChunk(kSize);
    for (int a = 0; a < 3; ++a) file.WriteInt32(model.size[a]);
    file.EndChunk(kSize);
    file.BeginChunk(kXyzi);
    file.WriteInt32(model.voxels.Count());
    // Voxels are stored as their four bytes x, y, z, colorIndex.
    file.WriteBytes(model.voxels.Data(), size_t(model.voxels.Count()) * sizeof(Voxel));
    file.EndChunk(kXyzi);
    if (!model.IsDefaultPalette()) {
        file.BeginChunk(kRgba);
        WritePalette(file, model.palette);
        file.EndChunk(kRgba);
    }
    if (look && !look->IsDefault()) {
        std::vector<uint8_t> content;
        look->Encode(content);
        file.BeginChunk(kLook);
        file.WriteBytes(content.data(), content.size());
        file.EndChunk(kLook);
    }
    file.EndChunk(kMain);
    file.DiscardOpenChunks();
}

// The count in the file is not trusted: never more voxels than the chunk's
// content holds, nor than the bytes actually left in the source; a count of
// 0 or less reads none.
int VoxelCount(OMB_XIFF_LoadFile& file, const OMB_XIFF_Chunk& chunk) {
    int32_t n = 0;
    file.ReadInt32(n);
    int64_t present = std::max<int64_t>(0, int64_t(chunk.contentSize) - 4) / 4;
    present = std::min(present, file.Remaining() / 4);
    if (n <= 0) return 0;
    return n > present ? int(present) : n;
}

void ReadPalette(OMB_XIFF_LoadFile& file, Palette& palette) {
    uint8_t bytes[1020] = {};
    file.ReadBytes(bytes, sizeof bytes);
    palette[0] = PackRGBA(0, 0, 0, 255);
    for (int k = 0; k < 255; ++k) palette[k + 1] = uint32_t(OMB_GetInt32LE(bytes + 4 * k));
}

// The look chunk, when there is one; a content that runs past the data or
// does not decode leaves the defaults, with a warning.
void ReadLook(OMB_XIFF_LoadFile& file, TK_ModelLook& look) {
    look = TK_ModelLook();
    const OMB_XIFF_Chunk* chunk = file.FindChunk(kLook);
    if (!chunk) return;
    std::vector<uint8_t> content;
    if (chunk->contentSize <= file.Remaining()) {
        content.resize(size_t(chunk->contentSize));
        if (file.ReadBytes(content.data(), content.size()) && look.Decode(content.data(), content.size())) return;
    }
    OMB_Printf("[Warning] VOX : %s\n", "materials and render settings unreadable, defaults used");
}

// Reads from an open source; the caller closes it.
bool ReadBody(OMB_XIFF_LoadFile& file, TK_Model& model, TK_ModelLook* look) {
    uint8_t magic[4];
    int32_t version = 0;
    if (!file.ReadBytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0) {
        OMB_SetCause("not a model file");
        return false;
    }
    const bool hasVersion = file.ReadInt32(version);
    if (!hasVersion || version != kVoxVersion) {
        OMB_SetCause(hasVersion ? "unsupported version " + std::to_string(version) : "not a model file");
        return false;
    }
    if (!file.ReadTree(8)) return false;
    if (file.FindChunk(kSize)) {
        uint8_t bytes[12] = {};
        file.ReadBytes(bytes, sizeof bytes);
        for (int a = 0; a < 3; ++a) model.size[a] = std::clamp(OMB_GetInt32LE(bytes + 4 * a), 1, 256);
    }
    if (const OMB_XIFF_Chunk* xyzi = file.FindChunk(kXyzi)) {
        int n = VoxelCount(file, *xyzi);
        if (n > 0) {
            model.voxels.Resize(n);
            file.ReadBytes(model.voxels.Data(), size_t(n) * sizeof(Voxel));
        }
    }
    if (file.FindChunk(kRgba))
        ReadPalette(file, model.palette);
    else
        model.palette = DefaultPalette();
    if (look) ReadLook(file, *look);
    return true;
}

void ResetModel(TK_Model& model) {
    model.name.clear();
    model.path.clear();
    model.size[0] = model.size[1] = model.size[2] = 0;
    model.voxels.Clear();
}

}  // namespace

bool WriteVox(const TK_Model& model, const char* path, const TK_ModelLook* look) {
    OMB_XIFF_SaveFile file;
    if (!file.Open(path)) return false;
    WriteBody(file, model, look);
    return file.Close();
}

bool WriteVoxBytes(const TK_Model& model, std::vector<uint8_t>& out, const TK_ModelLook* look) {
    OMB_XIFF_SaveFile file;
    if (!file.OpenMemory(&out)) return false;
    WriteBody(file, model, look);
    return file.Close();
}

bool ReadVox(TK_Model& model, const char* path, TK_ModelLook* look) {
    ResetModel(model);
    OMB_XIFF_LoadFile file;
    if (!file.Open(path)) return false;
    if (file.Size() > kMaxFileBytes) {
        OMB_SetCause("too large");
        return false;
    }
    return ReadBody(file, model, look);
}

bool ReadVoxBytes(TK_Model& model, const void* data, size_t size, TK_ModelLook* look) {
    ResetModel(model);
    OMB_XIFF_LoadFile file;
    return file.OpenMemory(data, size) && ReadBody(file, model, look);
}

bool HasVoxMagic(const void* data, size_t size) { return size >= 4 && std::memcmp(data, kMagic, 4) == 0; }

bool FileHasVoxMagic(const char* path) {
    OMB_LoadBitFile file;
    uint8_t magic[4];
    return file.Open(path) && file.ReadBytes(magic, 4) && HasVoxMagic(magic, 4);
}
