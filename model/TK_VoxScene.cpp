// The scene chunks of a model file (see TK_VoxScene.h): their checks, the
// scene graph, the MATL materials and the kept record's models.
#include "model/TK_VoxScene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/OMB_BitFile.h"
#include "core/OMB_XIFF.h"
#include "model/TK_Model.h"

namespace {

constexpr uint32_t kTransform = OMB_ChunkId("nTRN");
constexpr uint32_t kGroup = OMB_ChunkId("nGRP");
constexpr uint32_t kShape = OMB_ChunkId("nSHP");
constexpr uint32_t kLayer = OMB_ChunkId("LAYR");
constexpr uint32_t kRender = OMB_ChunkId("rOBJ");
constexpr uint32_t kCamera = OMB_ChunkId("rCAM");
constexpr uint32_t kNote = OMB_ChunkId("NOTE");
constexpr uint32_t kIndexMap = OMB_ChunkId("IMAP");

std::string IdText(uint32_t id) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) {
        const char c = char(id >> (8 * i));
        s[size_t(i)] = c >= 32 && c < 127 ? c : '?';
    }
    return s;
}

// Reads of one chunk's content: every read is bounded by its end, and the
// first failure names what ran past it.
class Reader {
public:
    Reader(const uint8_t* p, const uint8_t* end, std::string& error) : m_p(p), m_end(end), m_error(error) {}

    bool Int(int32_t& v, const char* what) {
        if (m_end - m_p < 4) return Fail(std::string(what) + " runs past the chunk");
        v = OMB_GetInt32LE(m_p);
        m_p += 4;
        return true;
    }
    // A count of items of at least `itemBytes` each, bounded by the bytes left.
    bool Count(int32_t& n, size_t itemBytes, const char* what) {
        if (!Int(n, what)) return false;
        if (n < 0 || size_t(n) > size_t(m_end - m_p) / itemBytes)
            return Fail(std::string(what) + " of " + std::to_string(n) + " is more than the chunk holds");
        return true;
    }
    bool Dict(TK_VoxDict* dict) { return TK_ReadVoxDict(m_p, m_end, dict, m_error); }
    bool String(std::string* s) {
        int32_t n = 0;
        if (!Int(n, "string length")) return false;
        if (n < 0 || n > m_end - m_p)
            return Fail("string of " + std::to_string(n) + " bytes is longer than its chunk");
        if (s) s->assign(reinterpret_cast<const char*>(m_p), size_t(n));
        m_p += n;
        return true;
    }
    const uint8_t* Position() const { return m_p; }
    bool Fail(const std::string& why) {
        m_error = why;
        return false;
    }

private:
    const uint8_t* m_p;
    const uint8_t* m_end;
    std::string& m_error;
};

const std::string* Find(const TK_VoxDict& dict, const char* key) {
    const std::string* found = nullptr;
    for (const auto& kv : dict)
        if (kv.first == key) found = &kv.second;  // the last one counts
    return found;
}

bool CheckTransform(Reader& r, TK_VoxGraph::Node& node) {
    TK_VoxDict attributes;
    int32_t child = 0, reserved = 0, layer = 0, frames = 0;
    if (!r.Int(node.id, "node id") || !r.Dict(&attributes) || !r.Int(child, "child id") ||
        !r.Int(reserved, "reserved id") || !r.Int(layer, "layer id") || !r.Count(frames, 4, "frame count"))
        return false;
    for (int32_t k = 0; k < frames; ++k)
        if (!r.Dict(nullptr)) return false;
    if (const std::string* name = Find(attributes, "_name")) node.name = *name;
    node.children.push_back(child);
    return true;
}

bool CheckGroup(Reader& r, TK_VoxGraph::Node& node) {
    int32_t count = 0;
    if (!r.Int(node.id, "node id") || !r.Dict(nullptr) || !r.Count(count, 4, "child count")) return false;
    node.children.resize(size_t(count));
    for (int32_t& child : node.children) r.Int(child, "child id");
    return true;
}

bool CheckShape(Reader& r, TK_VoxGraph::Node& node) {
    int32_t count = 0;
    if (!r.Int(node.id, "node id") || !r.Dict(nullptr) || !r.Count(count, 8, "model count")) return false;
    node.models.resize(size_t(count));
    for (int32_t& model : node.models)
        if (!r.Int(model, "model id") || !r.Dict(nullptr)) return false;
    return true;
}

bool CheckOther(uint32_t id, Reader& r, size_t size) {
    int32_t value = 0;
    if (id == kLayer || id == kVoxMatlChunk || id == kCamera) return r.Int(value, "id") && r.Dict(nullptr);
    if (id == kRender) return r.Dict(nullptr);
    if (id == kIndexMap) return size >= 256 || r.Fail("index map of " + std::to_string(size) + " bytes, not 256");
    if (id == kNote) {
        if (!r.Count(value, 4, "note count")) return false;
        for (int32_t k = 0; k < value; ++k)
            if (!r.String(nullptr)) return false;
    }
    return true;
}

// The editor's MATL keys: the record's field each one says.
struct MatlKey {
    const char* key;
    float TK_Material::*field;
};
constexpr MatlKey kMatlKeys[] = {
    {"_rough", &TK_Material::roughness}, {"_spec", &TK_Material::specular}, {"_ior", &TK_Material::ior},
    {"_att", &TK_Material::attenuation}, {"_flux", &TK_Material::flux},     {"_emit", &TK_Material::glow},
};
// MATL "_type" words in TK_MaterialType order.
constexpr const char* kMatlTypes[kMaterialTypeCount] = {"_diffuse", "_metal", "_glass", "_emit"};

const TK_MaterialParam& ParamOf(float TK_Material::*field) {
    for (const TK_MaterialParam& p : kMaterialParams)
        if (p.field == field) return p;
    return kMaterialParams[0];
}

std::string Number(float v) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

void Put(std::vector<uint8_t>& out, int32_t v) {
    out.resize(out.size() + 4);
    OMB_PutInt32LE(&out[out.size() - 4], v);
}

void PutString(std::vector<uint8_t>& out, const std::string& s) {
    Put(out, int32_t(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}

TK_VoxDict MaterialDict(const TK_Material& m, const TK_VoxDict* original) {
    TK_VoxDict mine = {{"_type", kMatlTypes[m.type >= 0 && m.type < kMaterialTypeCount ? m.type : 0]}};
    for (const MatlKey& k : kMatlKeys) mine.emplace_back(k.key, Number(m.*k.field));
    if (!original) return mine;
    TK_VoxDict merged = *original;
    for (const auto& kv : mine) {
        bool found = false;
        for (auto& old : merged)
            if (old.first == kv.first) old.second = kv.second, found = true;
        if (!found) merged.push_back(kv);
    }
    return merged;
}

const TK_VoxKept::Chunk* FindModelChunk(const TK_VoxKept& kept, uint32_t id, int index) {
    for (const TK_VoxKept::Chunk& c : kept.chunks)
        if (c.id == id && c.model == index) return &c;
    return nullptr;
}

// The content of a kept chunk, bounded by its bytes.
size_t ContentSize(const TK_VoxKept::Chunk& c) {
    if (c.bytes.size() < kVoxChunkHeader) return 0;
    const int32_t n = OMB_GetInt32LE(c.bytes.data() + 4);
    return n < 0 ? 0 : std::min(size_t(n), c.bytes.size() - kVoxChunkHeader);
}

}  // namespace

std::string TK_VoxKept::Label(int index) const {
    std::string label = "model " + std::to_string(index + 1) + " of " + std::to_string(modelCount);
    const std::string name = index >= 0 && index < int(names.size()) ? names[size_t(index)] : std::string();
    return name.empty() ? label : label + " (" + name + ")";
}

bool TK_ReadVoxDict(const uint8_t*& p, const uint8_t* end, TK_VoxDict* dict, std::string& error) {
    Reader r(p, end, error);
    int32_t count = 0;
    // Every entry is at least two lengths.
    if (!r.Count(count, 8, "DICT entry count")) return false;
    for (int32_t k = 0; k < count; ++k) {
        std::string key, value;
        if (!r.String(dict ? &key : nullptr) || !r.String(dict ? &value : nullptr)) return false;
        if (dict) dict->emplace_back(std::move(key), std::move(value));
    }
    p = r.Position();
    return true;
}

bool TK_CheckVoxChunk(uint32_t id, const uint8_t* content, size_t size, TK_VoxGraph& graph, std::string& error) {
    Reader r(content, content + size, error);
    bool ok = true;
    if (id == kTransform || id == kGroup || id == kShape) {
        TK_VoxGraph::Node node;
        node.kind = id;
        ok = id == kTransform ? CheckTransform(r, node) : id == kGroup ? CheckGroup(r, node) : CheckShape(r, node);
        if (ok) graph.nodes.push_back(std::move(node));
    } else {
        ok = CheckOther(id, r, size);
    }
    if (!ok) error = IdText(id) + " : " + error;
    return ok;
}

bool TK_VoxGraph::Resolve(int modelCount, std::vector<std::string>& names, std::string& error) const {
    std::vector<std::pair<int32_t, int>> byId;
    for (size_t i = 0; i < nodes.size(); ++i) byId.emplace_back(nodes[i].id, int(i));
    std::sort(byId.begin(), byId.end());
    for (size_t i = 1; i < byId.size(); ++i)
        if (byId[i].first == byId[i - 1].first) {
            error = "scene : two nodes have the id " + std::to_string(byId[i].first);
            return false;
        }
    auto indexOf = [&](int32_t id) {
        auto it = std::lower_bound(byId.begin(), byId.end(), std::make_pair(id, -1));
        return it != byId.end() && it->first == id ? it->second : -1;
    };
    std::vector<std::vector<int>> edges(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (int32_t child : nodes[i].children) {
            const int c = indexOf(child);
            if (c < 0) {
                error = "scene : node " + std::to_string(nodes[i].id) + " names child " + std::to_string(child) +
                        ", which is no node";
                return false;
            }
            edges[i].push_back(c);
        }
        for (int32_t m : nodes[i].models)
            if (m < 0 || m >= modelCount) {
                error = "scene : node " + std::to_string(nodes[i].id) + " shows model " + std::to_string(m) +
                        " of a file of " + std::to_string(modelCount);
                return false;
            }
    }
    // Depth-first walks without recursion: 1 on the path, 2 done.
    std::vector<char> state(nodes.size(), 0);
    std::vector<std::pair<int, size_t>> stack;
    for (size_t start = 0; start < nodes.size(); ++start) {
        if (state[start]) continue;
        stack.assign(1, {int(start), 0});
        state[start] = 1;
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next == edges[size_t(node)].size()) {
                state[size_t(node)] = 2;
                stack.pop_back();
                continue;
            }
            const int child = edges[size_t(node)][next++];
            if (state[size_t(child)] == 1) {
                error = "scene : node " + std::to_string(nodes[size_t(child)].id) + " is its own ancestor";
                return false;
            }
            if (!state[size_t(child)]) {
                state[size_t(child)] = 1;
                stack.emplace_back(child, 0);
            }
        }
    }
    names.assign(size_t(std::max(modelCount, 0)), std::string());
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].kind != kTransform || nodes[i].name.empty()) continue;
        for (int c : edges[i])
            for (int32_t m : nodes[size_t(c)].models)
                if (names[size_t(m)].empty()) names[size_t(m)] = nodes[i].name;
    }
    return true;
}

TK_Material TK_MaterialFromVoxDict(const TK_VoxDict& dict) {
    TK_Material m = TK_DefaultMaterial();
    if (const std::string* type = Find(dict, "_type"))
        for (int t = 0; t < kMaterialTypeCount; ++t)
            if (*type == kMatlTypes[t]) m.type = t;
    for (const MatlKey& k : kMatlKeys) {
        const std::string* text = Find(dict, k.key);
        if (!text) continue;
        float v = 0;
        const auto result = std::from_chars(text->data(), text->data() + text->size(), v);
        if (result.ec != std::errc() || result.ptr != text->data() + text->size() || !std::isfinite(v)) continue;
        const TK_MaterialParam& p = ParamOf(k.field);
        m.*k.field = std::clamp(v, p.lo, p.hi);
    }
    return m;
}

void TK_VoxMaterialChunk(int index, const TK_Material& m, const TK_VoxDict* original, std::vector<uint8_t>& out) {
    out.clear();
    Put(out, index);
    const TK_VoxDict dict = MaterialDict(m, original);
    Put(out, int32_t(dict.size()));
    for (const auto& kv : dict) {
        PutString(out, kv.first);
        PutString(out, kv.second);
    }
}

bool TK_MaterialFitsVox(const TK_Material& m) {
    const TK_Material back = TK_MaterialFromVoxDict(MaterialDict(m, nullptr));
    return std::memcmp(&back, &m, sizeof m) == 0;
}

void TK_PutVoxChunk(std::vector<uint8_t>& out, uint32_t id, const void* content, size_t size) {
    Put(out, int32_t(id));
    Put(out, int32_t(size));
    Put(out, 0);
    const uint8_t* bytes = static_cast<const uint8_t*>(content);
    out.insert(out.end(), bytes, bytes + size);
}

void TK_PutVoxModelChunk(std::vector<uint8_t>& out, uint32_t id, const TK_Model& model) {
    if (id == kVoxSizeChunk) {
        uint8_t size[12];
        for (int a = 0; a < 3; ++a) OMB_PutInt32LE(size + 4 * a, model.size[a]);
        TK_PutVoxChunk(out, kVoxSizeChunk, size, sizeof size);
        return;
    }
    const size_t n = size_t(model.voxels.Count());
    Put(out, int32_t(kVoxXyziChunk));
    Put(out, int32_t(4 + 4 * n));
    Put(out, 0);
    Put(out, int32_t(n));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(model.voxels.Data());
    if (n) out.insert(out.end(), bytes, bytes + 4 * n);
}

bool TK_VoxKeptModel(const TK_VoxKept& kept, int index, TK_Model& model) {
    if (index < 0 || index >= kept.modelCount) return false;
    model.size[0] = model.size[1] = model.size[2] = 0;
    model.voxels.Clear();
    const TK_VoxKept::Chunk* size = FindModelChunk(kept, kVoxSizeChunk, index);
    if (size && size->bytes.size() >= kVoxChunkHeader) {
        uint8_t bytes[12] = {};
        std::memcpy(bytes, size->bytes.data() + kVoxChunkHeader, std::min(sizeof bytes, ContentSize(*size)));
        for (int a = 0; a < 3; ++a) model.size[a] = std::clamp(OMB_GetInt32LE(bytes + 4 * a), 1, 256);
    }
    const TK_VoxKept::Chunk* xyzi = FindModelChunk(kept, kVoxXyziChunk, index);
    const size_t content = xyzi ? ContentSize(*xyzi) : 0;
    if (content < 4) return true;
    const int32_t n = OMB_GetInt32LE(xyzi->bytes.data() + kVoxChunkHeader);
    const size_t present = std::min<size_t>(n < 0 ? 0 : size_t(n), (content - 4) / 4);
    model.voxels.Resize(int(present));
    if (present) std::memcpy(model.voxels.Data(), xyzi->bytes.data() + kVoxChunkHeader + 4, present * 4);
    return true;
}

void TK_VoxSwapColors(TK_Model& model, int a, int b) {
    if (!model.kept || !model.kept->HasChunks() || a == b) return;
    auto kept = std::make_shared<TK_VoxKept>(*model.kept);
    auto swapped = [a, b](int32_t c) { return c == a ? b : c == b ? a : c; };
    for (TK_VoxKept::Chunk& c : kept->chunks) {
        const size_t content = ContentSize(c);
        if (content < 4) continue;
        uint8_t* p = c.bytes.data() + kVoxChunkHeader;
        if (c.id == kVoxXyziChunk && c.model != kept->current) {
            const int32_t n = OMB_GetInt32LE(p);
            const size_t present = std::min<size_t>(n < 0 ? 0 : size_t(n), (content - 4) / 4);
            for (size_t v = 0; v < present; ++v) p[4 + 4 * v + 3] = uint8_t(swapped(p[4 + 4 * v + 3]));
        } else if (c.id == kVoxMatlChunk) {
            OMB_PutInt32LE(p, swapped(OMB_GetInt32LE(p)));
        }
    }
    model.kept = std::move(kept);
}
