// Native model file writer and reader (see TK_VoxFile.h). The file and memory
// entry points share one body each, so tests and the fuzzer exercise exactly
// the code that reads files.
#include "model/TK_VoxFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OMB_XIFF.h"
#include "model/TK_VoxScene.h"

namespace {

// Twice the largest model a file can hold (256 cubed cells of four bytes):
// anything bigger is not a model file, and is not read (a forged 200 MB
// voxel chunk must not cost a thumbnail seconds).
constexpr int64_t kMaxFileBytes = int64_t(128) << 20;
constexpr uint32_t kMain = OMB_ChunkId("MAIN");
constexpr uint32_t kRgba = OMB_ChunkId("RGBA");
constexpr uint32_t kLook = OMB_ChunkId("TRSK");
const uint8_t kMagic[4] = {'V', 'O', 'X', ' '};

// ---------------------------------------------------------------- writing

// The RGBA content: entries whose colour did not change keep the file's four
// bytes (alpha included), the others are the palette's.
void PutPalette(std::vector<uint8_t>& out, const Palette& palette, const TK_VoxKept::Chunk* original) {
    uint8_t bytes[1024] = {};
    const size_t had = original && original->bytes.size() > kVoxChunkHeader
                           ? std::min<size_t>(original->bytes.size() - kVoxChunkHeader, 1024)
                           : 0;
    if (had) std::memcpy(bytes, original->bytes.data() + kVoxChunkHeader, had);
    if (!original) bytes[1023] = 255;
    for (int k = 0; k < 255; ++k) {
        const uint32_t old = uint32_t(OMB_GetInt32LE(bytes + 4 * k));
        if (size_t(4 * k + 4) > had || ((old ^ palette[k + 1]) & 0x00FFFFFFu))
            OMB_PutInt32LE(bytes + 4 * k, int32_t(palette[k + 1]));
    }
    TK_PutVoxChunk(out, kRgba, bytes, sizeof bytes);
}

// A kept MATL chunk: its bytes while the colour's material is what they say,
// else the editor's keys over its dictionary.
void PutKeptMaterial(std::vector<uint8_t>& out, const TK_VoxKept::Chunk& chunk, const TK_ModelLook* look) {
    // The reader checked the chunk; the guards only keep a record built
    // elsewhere from being read past its end.
    const bool whole = chunk.bytes.size() >= kVoxChunkHeader + 4;
    const uint8_t* p = whole ? chunk.bytes.data() + kVoxChunkHeader : nullptr;
    const int32_t index = whole ? OMB_GetInt32LE(p) : 0;
    TK_VoxDict dict;
    std::string error;
    const uint8_t* q = whole ? p + 4 : nullptr;
    const bool readable = whole && TK_ReadVoxDict(q, chunk.bytes.data() + chunk.bytes.size(), &dict, error);
    if (!look || index < 1 || index > 255 || !readable) {
        out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
        return;
    }
    const TK_Material& m = look->materials[index];
    const TK_Material was = TK_MaterialFromVoxDict(dict);
    if (std::memcmp(&m, &was, sizeof m) == 0) {
        out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
        return;
    }
    std::vector<uint8_t> content;
    TK_VoxMaterialChunk(index, m, &dict, content);
    TK_PutVoxChunk(out, kVoxMatlChunk, content.data(), content.size());
}

// What the editor adds that the file did not hold: the palette, materials
// of other colours, its own chunk.
struct KeptState {
    bool size = false, xyzi = false, rgba = false, look = false;
    bool material[256] = {};
};

void PutNewMaterials(std::vector<uint8_t>& out, const TK_ModelLook* look, const KeptState& state) {
    std::vector<uint8_t> content;
    for (int i = 1; look && i < 256; ++i) {
        if (state.material[i] || TK_IsDefaultMaterial(look->materials[i])) continue;
        TK_VoxMaterialChunk(i, look->materials[i], nullptr, content);
        TK_PutVoxChunk(out, kVoxMatlChunk, content.data(), content.size());
    }
}

void PutLook(std::vector<uint8_t>& out, const TK_ModelLook& look) {
    if (!look.NeedsOwnChunk()) return;
    std::vector<uint8_t> content;
    look.Encode(content, true);
    TK_PutVoxChunk(out, kLook, content.data(), content.size());
}

// Where the children go: small chunks gather in `buf`, long runs (voxels,
// kept models) go straight to the file, so a model is never copied whole.
struct Out {
    OMB_SaveBitFile& file;
    std::vector<uint8_t> buf;
    int64_t written = 0;

    void Flush() { Raw(nullptr, 0); }
    void Raw(const void* data, size_t n) {
        if (!buf.empty()) file.WriteBytes(buf.data(), buf.size());
        written += int64_t(buf.size() + n);
        buf.clear();
        if (n) file.WriteBytes(data, n);
    }
    // The model's XYZI chunk.
    void Voxels(const TK_Model& model) {
        const int32_t n = model.voxels.Count();
        const int32_t head[4] = {int32_t(kVoxXyziChunk), 4 + 4 * n, 0, n};
        for (int32_t v : head) {
            buf.resize(buf.size() + 4);
            OMB_PutInt32LE(&buf[buf.size() - 4], v);
        }
        Raw(model.voxels.Data(), size_t(n) * sizeof(Voxel));
    }
};

// The children of MAIN: the kept record's chunks in their order, the edited
// ones replaced (see TK_VoxScene.h). Without a record (or an empty one) that
// is SIZE, XYZI, RGBA when the palette is not the default, the materials,
// the look's own chunk.
void PutChildren(Out& o, const TK_Model& model, const TK_ModelLook* look) {
    static const TK_VoxKept kNothingKept;
    std::vector<uint8_t>& out = o.buf;
    const TK_VoxKept& kept = model.kept ? *model.kept : kNothingKept;
    KeptState state;
    int lastModel = -1, lastMaterial = -1;
    for (size_t i = 0; i < kept.chunks.size(); ++i) {
        const TK_VoxKept::Chunk& c = kept.chunks[i];
        if (c.id == kVoxSizeChunk || c.id == kVoxXyziChunk) lastModel = int(i);
        if (c.id == kRgba) state.rgba = true;
        if (c.id == kLook) state.look = true;
        if (c.id == kVoxMatlChunk && c.bytes.size() >= kVoxChunkHeader + 4) {
            const int32_t index = OMB_GetInt32LE(c.bytes.data() + kVoxChunkHeader);
            if (index >= 1 && index <= 255) state.material[index] = true;
            lastMaterial = int(i);
        }
    }
    const bool hadRgba = state.rgba;
    auto putMissingModel = [&]() {
        if (!state.size) TK_PutVoxModelChunk(out, kVoxSizeChunk, model);
        if (!state.xyzi) o.Voxels(model);
        state.size = state.xyzi = true;
        if (!hadRgba && !model.IsDefaultPalette()) PutPalette(out, model.palette, nullptr);
    };
    if (lastModel < 0) putMissingModel();
    bool rgbaDone = false, newMaterialsDone = false;
    // New materials follow the file's last one, else precede the editor's
    // own chunk, else end the file.
    auto putNewMaterials = [&]() {
        if (!newMaterialsDone) PutNewMaterials(out, look, state);
        newMaterialsDone = true;
    };
    for (size_t i = 0; i < kept.chunks.size(); ++i) {
        const TK_VoxKept::Chunk& c = kept.chunks[i];
        if (c.id == kVoxSizeChunk && c.model == kept.current) {
            TK_PutVoxModelChunk(out, c.id, model);
            state.size = true;
        } else if (c.id == kVoxXyziChunk && c.model == kept.current) {
            o.Voxels(model);
            state.xyzi = true;
        } else if (c.id == kRgba && !rgbaDone) {
            PutPalette(out, model.palette, &c);
            rgbaDone = true;
        } else if (c.id == kVoxMatlChunk) {
            PutKeptMaterial(out, c, look);
        } else if (c.id == kLook && look) {
            putNewMaterials();
            PutLook(out, *look);
        } else {
            o.Raw(c.bytes.data(), c.bytes.size());
        }
        if (int(i) == lastModel) putMissingModel();
        if (int(i) == lastMaterial) putNewMaterials();
    }
    putNewMaterials();
    if (!state.look && look) PutLook(out, *look);
}

// The whole file into an open target; the caller closes it. MAIN's size is
// patched once its children are out.
void WriteBody(OMB_SaveBitFile& file, const TK_Model& model, const TK_ModelLook* look) {
    uint8_t head[20];
    std::memcpy(head, kMagic, 4);
    OMB_PutInt32LE(head + 4, model.kept && model.kept->HasChunks() ? model.kept->version : kVoxVersion);
    OMB_PutInt32LE(head + 8, int32_t(kMain));
    OMB_PutInt32LE(head + 12, 0);
    OMB_PutInt32LE(head + 16, 0);
    file.WriteBytes(head, sizeof head);
    Out out{file, {}, 0};
    PutChildren(out, model, look);
    out.Flush();
    const int64_t end = file.Tell();
    file.Seek(16);
    file.WriteInt32(int32_t(out.written));
    file.Seek(end);
}

// The file the model was cut from, or holds chunks that could not be kept.
bool IsProtected(const TK_Model& model, const char* path) {
    if (!model.kept || model.kept->protect.empty() || model.kept->source.empty()) return false;
    std::error_code error;
    if (!std::filesystem::equivalent(std::filesystem::u8path(path), std::filesystem::u8path(model.kept->source), error)) return false;
    OMB_SetCause(model.kept->protect);
    errno = 0;  // a refusal, not a failure of the system
    return true;
}

// ---------------------------------------------------------------- reading

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

// The look chunk, when there is one, over the materials read from MATL; a
// content that runs past the data or does not decode leaves them, with a
// warning.
void ReadLook(OMB_XIFF_LoadFile& file, TK_ModelLook& look) {
    const OMB_XIFF_Chunk* chunk = file.FindChunk(kLook);
    if (!chunk) return;
    std::vector<uint8_t> content;
    if (chunk->contentSize <= file.Remaining()) {
        content.resize(size_t(chunk->contentSize));
        if (file.ReadBytes(content.data(), content.size()) && look.Decode(content.data(), content.size())) return;
    }
    OMB_Printf("[Warning] VOX : %s\n", "materials and render settings unreadable, defaults used");
}

bool Fail(const std::string& why) {
    OMB_SetCause(why);
    return false;
}

// The bytes of a chunk, header included; false when it runs past the data.
bool ReadChunkBytes(OMB_XIFF_LoadFile& file, const OMB_XIFF_Chunk& chunk, std::vector<uint8_t>& bytes) {
    if (chunk.end > file.Size()) {
        std::string id(reinterpret_cast<const char*>(&chunk.id), 4);
        for (char& c : id) c = c >= 32 && c < 127 ? c : '?';
        return Fail(id + " chunk runs past the end of the file");
    }
    bytes.resize(size_t(chunk.end - chunk.start));
    return file.Seek(chunk.start) && file.ReadBytes(bytes.data(), bytes.size());
}

bool IsModelChunk(uint32_t id) { return id == kVoxSizeChunk || id == kVoxXyziChunk || id == kRgba || id == kLook; }

// What the chunks under MAIN hold besides the first model: every chunk the
// scene reader knows is checked (a damaged one refuses the file), MATL
// materials go into `look`, and a file that holds more than the editor
// writes gets a kept record on `model`.
bool ReadScene(OMB_XIFF_LoadFile& file, int32_t version, TK_Model& model, TK_ModelLook* look, const char* source) {
    const std::vector<OMB_XIFF_Chunk>& chunks = file.Chunks();
    int sizes = 0, xyzis = 0, rgbas = 0, looks = 0;
    bool other = false, nested = false;
    TK_VoxGraph graph;
    std::vector<uint8_t> bytes;
    std::string error;
    for (size_t i = 1; i < chunks.size(); ++i) {
        const OMB_XIFF_Chunk& c = chunks[i];
        if (c.parent != 0) {
            nested = nested || IsModelChunk(c.id);
            continue;
        }
        sizes += c.id == kVoxSizeChunk, xyzis += c.id == kVoxXyziChunk, rgbas += c.id == kRgba, looks += c.id == kLook;
        if (IsModelChunk(c.id)) continue;
        other = true;
        if (!ReadChunkBytes(file, c, bytes)) return false;
        const uint8_t* content = bytes.data() + kVoxChunkHeader;
        if (!TK_CheckVoxChunk(c.id, content, size_t(c.contentSize), graph, error)) return Fail(error);
        const int32_t index = c.id == kVoxMatlChunk ? OMB_GetInt32LE(content) : 0;
        if (look && index >= 1 && index <= 255) {
            TK_VoxDict dict;
            const uint8_t* p = content + 4;
            TK_ReadVoxDict(p, content + c.contentSize, &dict, error);
            look->materials[index] = TK_MaterialFromVoxDict(dict);
        }
    }
    if ((sizes > 1 || xyzis > 1) && sizes != xyzis)
        return Fail("the file holds " + std::to_string(sizes) + " SIZE and " + std::to_string(xyzis) + " XYZI chunks");
    auto kept = std::make_shared<TK_VoxKept>();
    kept->version = version;
    kept->source = source ? source : "";
    kept->modelCount = std::max({sizes, xyzis, 1});
    if (!graph.Resolve(kept->modelCount, kept->names, error)) return Fail(error);
    if (nested) {
        kept->protect = "its model chunks are nested in other chunks: save it under another name";
    } else if (version != kVoxVersion || other || sizes > 1 || xyzis > 1 || rgbas > 1 || looks > 1) {
        int seen[2] = {0, 0};
        for (size_t i = 1; i < chunks.size(); ++i) {
            const OMB_XIFF_Chunk& c = chunks[i];
            if (c.parent != 0) continue;
            kept->chunks.emplace_back();
            TK_VoxKept::Chunk& k = kept->chunks.back();
            k.id = c.id;
            if (c.id == kVoxSizeChunk || c.id == kVoxXyziChunk) k.model = seen[c.id == kVoxXyziChunk]++;
            // The one model of a file is always written from the editor's.
            if (k.model >= 0 && kept->modelCount == 1) continue;
            if (!ReadChunkBytes(file, c, k.bytes)) return false;
        }
    } else {
        return true;
    }
    model.kept = std::move(kept);
    return true;
}

// Reads from an open source; the caller closes it.
bool ReadBody(OMB_XIFF_LoadFile& file, TK_Model& model, TK_ModelLook* look, const char* source) {
    uint8_t magic[4];
    int32_t version = 0;
    if (!file.ReadBytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0) return Fail("not a model file");
    const bool hasVersion = file.ReadInt32(version);
    if (!hasVersion) return Fail("not a model file");
    // Version 200 has the same chunk tree.
    if (version != kVoxVersion && version != 200) return Fail("unsupported version " + std::to_string(version));
    if (!file.ReadTree(8)) return false;
    if (look) *look = TK_ModelLook();
    if (!ReadScene(file, version, model, look, source)) return false;
    if (file.FindChunk(kVoxSizeChunk)) {
        uint8_t bytes[12] = {};
        file.ReadBytes(bytes, sizeof bytes);
        for (int a = 0; a < 3; ++a) model.size[a] = std::clamp(OMB_GetInt32LE(bytes + 4 * a), 1, 256);
    }
    if (const OMB_XIFF_Chunk* xyzi = file.FindChunk(kVoxXyziChunk)) {
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
    model.kept.reset();
}

}  // namespace

bool WriteVox(const TK_Model& model, const char* path, const TK_ModelLook* look) {
    if (IsProtected(model, path)) return false;
    OMB_SaveBitFile file;
    if (!file.Open(path)) return false;
    WriteBody(file, model, look);
    return file.Close();
}

bool WriteVoxBytes(const TK_Model& model, std::vector<uint8_t>& out, const TK_ModelLook* look) {
    OMB_SaveBitFile file;
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
    return ReadBody(file, model, look, path);
}

bool ReadVoxBytes(TK_Model& model, const void* data, size_t size, TK_ModelLook* look) {
    ResetModel(model);
    OMB_XIFF_LoadFile file;
    return file.OpenMemory(data, size) && ReadBody(file, model, look, nullptr);
}

bool HasVoxMagic(const void* data, size_t size) { return size >= 4 && std::memcmp(data, kMagic, 4) == 0; }

bool FileHasVoxMagic(const char* path) {
    OMB_LoadBitFile file;
    uint8_t magic[4];
    return file.Open(path) && file.ReadBytes(magic, 4) && HasVoxMagic(magic, 4);
}
