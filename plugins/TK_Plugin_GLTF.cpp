// glTF binary export (see TK_Plugin_GLTF.h). The file is planned first
// (faces ordered by material, counts, bounds, the palette picture) because
// the JSON chunk, which describes the data, comes before it; the vertex data
// is then streamed in blocks and never held in memory whole.
//
// Binary chunk layout, every section a multiple of 4 bytes long: positions,
// normals, texture coordinates (all faces, primitive by primitive; four
// corners per face), indices (two triangles per face), the PNG. Each
// primitive's accessors start at its own first face, so its indices count
// from 0.
#include "plugins/TK_Plugin_GLTF.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/OMB_BitFile.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kChunkJson = 0x4E4F534A;  // "JSON"
constexpr uint32_t kChunkBin = 0x004E4942;   // "BIN\0"

// Bytes per face in each section of the binary chunk.
constexpr uint64_t kPositionBytes = 4 * 12, kNormalBytes = 4 * 12, kTexcoordBytes = 4 * 8, kIndexBytes = 6 * 4;

static_assert(sizeof(float) == 4, "the binary chunk holds 32-bit floats");

uint64_t Pad4(uint64_t n) { return (n + 3) & ~uint64_t(3); }

// ---- plan ----------------------------------------------------------------

struct Primitive {
    TK_GltfMaterial material;
    size_t firstFace = 0, faces = 0;
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
};

struct Plan {
    std::vector<TK_MeshFace> faces;  // in primitive order
    std::vector<Primitive> primitives;
    std::vector<float> axis[3];  // written component i of corner coordinate c
    float normal[6][3];
    bool reverse = false;  // a mirroring scale turns the faces
    std::vector<uint8_t> png;

    // Written position of a cell corner: (x, y, z) -> (x, z, -y).
    void Position(const int c[3], float out[3]) const {
        out[0] = axis[0][size_t(c[0])], out[1] = axis[1][size_t(c[2])], out[2] = axis[2][size_t(c[1])];
    }
};

// False when an option makes a coordinate that a float cannot hold.
bool PlanGeometry(const TK_Model& model, const TK_MeshOptions& o, Plan& plan) {
    const int source[3] = {0, 2, 1};
    const float sign[3] = {1, 1, -1};
    int mirrors = 0;
    for (int i = 0; i < 3; ++i) {
        const int a = source[i];
        for (int c = 0; c <= model.size[a]; ++c) {
            plan.axis[i].push_back(float(sign[i] * (c - double(o.pivot[a]) * model.size[a]) * o.scale[a] + 0.0));
            if (!std::isfinite(plan.axis[i].back())) return false;
        }
        mirrors += o.scale[a] < 0;
    }
    plan.reverse = mirrors % 2 == 1;
    for (int d = 0; d < 6; ++d) {
        float n[3] = {0, 0, 0};
        n[d / 2] = (d % 2 ? 1.0f : -1.0f) * (o.scale[d / 2] < 0 ? -1.0f : 1.0f);
        plan.normal[d][0] = n[0], plan.normal[d][1] = n[2], plan.normal[d][2] = -n[1] + 0.0f;
    }
    return true;
}

// Colours grouped by material, the faces counted into primitive order.
void PlanPrimitives(const TK_MeshSurface& surface, const TK_Material* materials, Plan& plan) {
    size_t count[256] = {};
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) ++count[face.colour];
    int primitiveOf[256] = {};
    for (int c = 1; c < 256; ++c) {
        if (!count[c]) continue;
        const TK_GltfMaterial m = materials ? TK_GltfMaterial::FromRecord(materials[c]) : TK_GltfMaterial();
        auto it = std::find_if(plan.primitives.begin(), plan.primitives.end(),
                               [&](const Primitive& p) { return p.material == m; });
        if (it == plan.primitives.end()) it = plan.primitives.insert(it, Primitive{m});
        primitiveOf[c] = int(it - plan.primitives.begin());
        it->faces += count[c];
    }
    std::vector<size_t> next(plan.primitives.size());
    size_t first = 0;
    for (size_t i = 0; i < next.size(); ++i) {
        plan.primitives[i].firstFace = next[i] = first;
        first += plan.primitives[i].faces;
    }
    plan.faces.resize(surface.Count());
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) plan.faces[next[size_t(primitiveOf[face.colour])]++] = face;
}

void PlanBounds(Plan& plan) {
    int corners[4][3];
    float p[3];
    for (Primitive& prim : plan.primitives) {
        std::fill_n(prim.lo, 3, 1e30f);
        std::fill_n(prim.hi, 3, -1e30f);
        for (size_t f = prim.firstFace; f < prim.firstFace + prim.faces; ++f) {
            TK_Plugin_Mesh::FaceCorners(plan.faces[f], false, corners);
            for (const auto& corner : corners) {
                plan.Position(corner, p);
                for (int i = 0; i < 3; ++i) prim.lo[i] = std::min(prim.lo[i], p[i]), prim.hi[i] = std::max(prim.hi[i], p[i]);
            }
        }
    }
}

// ---- JSON ----------------------------------------------------------------

class Json {
public:
    std::string text;
    Json& Raw(const char* s) { return text += s, *this; }
    Json& Int(uint64_t v) {
        char b[24];
        return text.append(b, std::to_chars(b, b + sizeof b, v).ptr), *this;
    }
    // The shortest text that reads back as the same double: a float's value
    // exactly, so that bounds compare equal to the data they bound.
    Json& Num(float v) {
        char b[32];
        return text.append(b, std::to_chars(b, b + sizeof b, double(v) + 0.0).ptr), *this;
    }
    Json& Vec(const float* v, int n) {
        Raw("[");
        for (int i = 0; i < n; ++i) Num(v[i]).Raw(i + 1 < n ? "," : "]");
        return *this;
    }
    Json& Str(const std::string& s);
};

// Length of the valid UTF-8 sequence at s[i], 0 when there is none.
size_t Utf8Length(const std::string& s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (!n || i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// Names are 8-bit texts: valid UTF-8 passes, any other byte is taken as
// Latin-1, so the JSON stays valid whatever a file name holds.
Json& Json::Str(const std::string& s) {
    static const char kHex[] = "0123456789abcdef";
    text += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            if (const size_t n = Utf8Length(s, i)) {
                text.append(s, i, n), i += n - 1;
                continue;
            }
        }
        if (c == '"' || c == '\\') {
            text += '\\', text += char(c);
        } else if (c < 0x20 || c >= 0x80) {
            text += "\\u00", text += kHex[c >> 4], text += kHex[c & 15];
        } else {
            text += char(c);
        }
    }
    text += '"';
    return *this;
}

void WriteMaterials(const Plan& plan, Json& j) {
    j.Raw(",\"materials\":[");
    for (size_t i = 0; i < plan.primitives.size(); ++i) {
        const TK_GltfMaterial& m = plan.primitives[i].material;
        j.Raw(i ? ",{" : "{").Raw("\"name\":").Str(m.name);
        j.Raw(",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0},\"metallicFactor\":").Num(m.metallic);
        j.Raw(",\"roughnessFactor\":").Num(m.roughness).Raw("}");
        if (m.emissive) j.Raw(",\"emissiveTexture\":{\"index\":0},\"emissiveFactor\":[1,1,1]");
        j.Raw("}");
    }
    j.Raw("]");
}

void WriteAccessors(const Plan& plan, Json& j) {
    j.Raw(",\"accessors\":[");
    for (size_t i = 0; i < plan.primitives.size(); ++i) {
        const Primitive& p = plan.primitives[i];
        const uint64_t vertices = 4 * uint64_t(p.faces), first = p.firstFace;
        j.Raw(i ? "," : "").Raw("{\"bufferView\":0,\"byteOffset\":").Int(first * kPositionBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC3\",\"min\":").Vec(p.lo, 3);
        j.Raw(",\"max\":").Vec(p.hi, 3).Raw("}");
        j.Raw(",{\"bufferView\":1,\"byteOffset\":").Int(first * kNormalBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC3\"}");
        j.Raw(",{\"bufferView\":2,\"byteOffset\":").Int(first * kTexcoordBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC2\"}");
        j.Raw(",{\"bufferView\":3,\"byteOffset\":").Int(first * kIndexBytes);
        j.Raw(",\"componentType\":5125,\"count\":").Int(6 * uint64_t(p.faces)).Raw(",\"type\":\"SCALAR\"}");
    }
    j.Raw("]");
}

void WriteBufferViews(const Plan& plan, uint64_t& binLength, Json& j) {
    const uint64_t faces = plan.faces.size();
    const uint64_t lengths[4] = {faces * kPositionBytes, faces * kNormalBytes, faces * kTexcoordBytes, faces * kIndexBytes};
    const int strides[3] = {12, 12, 8};
    uint64_t offset = 0;
    j.Raw(",\"bufferViews\":[");
    for (int v = 0; v < 4; ++v) {
        j.Raw(v ? ",{" : "{").Raw("\"buffer\":0,\"byteOffset\":").Int(offset).Raw(",\"byteLength\":").Int(lengths[v]);
        if (v < 3) j.Raw(",\"byteStride\":").Int(uint64_t(strides[v])).Raw(",\"target\":34962}");
        else j.Raw(",\"target\":34963}");
        offset += lengths[v];
    }
    j.Raw(",{\"buffer\":0,\"byteOffset\":").Int(offset).Raw(",\"byteLength\":").Int(plan.png.size()).Raw("}]");
    binLength = offset + plan.png.size();
    j.Raw(",\"buffers\":[{\"byteLength\":").Int(binLength).Raw("}]");
}

// The JSON chunk's text; `binLength` receives the buffer's length.
std::string JsonText(const Plan& plan, const std::string& name, uint64_t& binLength) {
    Json j;
    j.Raw("{\"asset\":{\"version\":\"2.0\",\"generator\":\"Tarsk @ Ombrel\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}]");
    j.Raw(",\"nodes\":[{\"name\":").Str(name).Raw(",\"mesh\":0}],\"meshes\":[{\"name\":").Str(name);
    j.Raw(",\"primitives\":[");
    for (size_t i = 0; i < plan.primitives.size(); ++i) {
        const uint64_t a = 4 * i;
        j.Raw(i ? ",{" : "{").Raw("\"attributes\":{\"POSITION\":").Int(a).Raw(",\"NORMAL\":").Int(a + 1);
        j.Raw(",\"TEXCOORD_0\":").Int(a + 2).Raw("},\"indices\":").Int(a + 3).Raw(",\"material\":").Int(i);
        j.Raw(",\"mode\":4}");
    }
    j.Raw("]}]");
    WriteMaterials(plan, j);
    j.Raw(",\"textures\":[{\"sampler\":0,\"source\":0}]");
    j.Raw(",\"samplers\":[{\"magFilter\":9728,\"minFilter\":9728,\"wrapS\":33071,\"wrapT\":33071}]");
    j.Raw(",\"images\":[{\"name\":\"palette\",\"bufferView\":4,\"mimeType\":\"image/png\"}]");
    WriteAccessors(plan, j);
    WriteBufferViews(plan, binLength, j);
    j.Raw("}");
    return j.text;
}

// ---- binary --------------------------------------------------------------

// Collects bytes and hands them to the file in large blocks.
class BlockWriter {
public:
    explicit BlockWriter(OMB_SaveBitFile& file) : m_file(file), m_block(kBlock) {}
    void Put(const void* data, size_t n) {
        if (m_used + n > kBlock) Flush();
        std::memcpy(m_block.data() + m_used, data, n);
        m_used += n;
    }
    void U32(uint32_t v) {
        uint8_t b[4];
        OMB_PutInt32LE(b, int32_t(v));
        Put(b, 4);
    }
    // Floats in the host's order: the hosts this builds for are little-endian.
    void Floats(const float* v, size_t n) { Put(v, 4 * n); }
    bool Flush() {
        m_ok = (m_used == 0 || m_file.WriteBytes(m_block.data(), m_used)) && m_ok;
        m_used = 0;
        return m_ok;
    }

private:
    static constexpr size_t kBlock = size_t(1) << 20;
    OMB_SaveBitFile& m_file;
    std::vector<uint8_t> m_block;
    size_t m_used = 0;
    bool m_ok = true;
};

void WriteVertexData(const Plan& plan, BlockWriter& out) {
    int corners[4][3];
    float p[12];
    for (const TK_MeshFace& face : plan.faces) {
        TK_Plugin_Mesh::FaceCorners(face, plan.reverse, corners);
        for (int k = 0; k < 4; ++k) plan.Position(corners[k], p + 3 * k);
        out.Floats(p, 12);
    }
    for (const TK_MeshFace& face : plan.faces)
        for (int k = 0; k < 4; ++k) out.Floats(plan.normal[face.direction], 3);
    for (const TK_MeshFace& face : plan.faces) {
        const float u = (face.colour - 0.5f) / 256, uv[8] = {u, 0.5f, u, 0.5f, u, 0.5f, u, 0.5f};
        out.Floats(uv, 8);
    }
    for (const Primitive& prim : plan.primitives)
        for (uint32_t f = 0; f < prim.faces; ++f) {
            const uint32_t b = 4 * f, triangles[6] = {b, b + 1, b + 2, b, b + 2, b + 3};
            for (uint32_t i : triangles) out.U32(i);
        }
}

bool WriteFile(const Plan& plan, const std::string& json, uint64_t binLength, OMB_SaveBitFile& file) {
    const uint64_t jsonPadded = Pad4(json.size()), binPadded = Pad4(binLength);
    const uint64_t total = 12 + 8 + jsonPadded + 8 + binPadded;
    if (total > UINT32_MAX) return false;
    BlockWriter out(file);
    out.U32(kMagic), out.U32(2), out.U32(uint32_t(total));
    out.U32(uint32_t(jsonPadded)), out.U32(kChunkJson);
    out.Put(json.data(), json.size());
    for (uint64_t i = json.size(); i < jsonPadded; ++i) out.Put(" ", 1);
    out.U32(uint32_t(binPadded)), out.U32(kChunkBin);
    WriteVertexData(plan, out);
    out.Put(plan.png.data(), plan.png.size());
    for (uint64_t i = binLength; i < binPadded; ++i) out.Put("", 1);
    return out.Flush();
}

}  // namespace

TK_GltfMaterial TK_GltfMaterial::FromRecord(const TK_Material& record) {
    // NaN fails both comparisons and becomes 0.
    const float rough = record.roughness >= 0 ? std::min(record.roughness, 1.0f) : 0.0f;
    switch (record.type) {
        case 1: return {1, rough, false, "metal"};
        case 2: return {0, rough, false, "glass"};
        case 3: return {0, 1, true, "emissive"};
        default: return {0, record.plastic > 0.5f ? rough : 1.0f, false, "diffuse"};
    }
}

TK_MeshOptions TK_Plugin_GLTF::Defaults() {
    TK_MeshOptions o;
    o.pivot[0] = o.pivot[1] = 0.5f, o.pivot[2] = 0;
    return o;
}

TK_Plugin_GLTF::TK_Plugin_GLTF() : TK_Plugin_Mesh("file_gltf", Defaults()) {}

bool TK_Plugin_GLTF::WriteGlb(const TK_Model& model, const TK_MeshOptions& options, const TK_Material* materials,
                              OMB_SaveBitFile& file, size_t* faceCount) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, options.optimize, surface);
    if (!surface.Count()) return false;
    Plan plan;
    if (!PlanGeometry(model, options, plan)) return false;
    PlanPrimitives(surface, materials, plan);
    surface = TK_MeshSurface();
    PlanBounds(plan);
    Image palette;
    if (!PaletteToImage(model.palette, palette) || !TK_Plugin_PNG::WriteBytes(palette, plan.png)) return false;
    const std::string name = model.ModelBaseName();
    uint64_t binLength = 0;
    const std::string json = JsonText(plan, name.empty() ? "model" : name, binLength);
    if (faceCount) *faceCount = plan.faces.size();
    return WriteFile(plan, json, binLength, file);
}

bool TK_Plugin_GLTF::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    if (WriteGlb(model, options, m_materials, file) && file.Close()) return true;
    file.Discard();
    return false;
}
