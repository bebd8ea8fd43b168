// glTF binary export (see TK_Plugin_GLTF.h). The file is planned first
// (faces ordered by material, shared vertices, counts, bounds, the palette
// picture) because the JSON chunk, which describes the data, comes before
// it; the plan keeps a 4-byte key per vertex and a 2-byte number per
// triangle corner, and the written data is streamed out in blocks.
//
//   plan ..... primitives, vertex sharing, bounds
//   JSON ..... the description chunk
//   binary ... block writer, vertex and index data, the file
//
// Binary chunk layout, every section a multiple of 4 bytes long: positions,
// normals, texture coordinates (all vertices, primitive by primitive),
// indices (two triangles per face, more for a face with watertight
// corners; padded), the PNG. Each primitive's accessors start at its own
// first vertex, so its indices count from 0. Indices are 16-bit: the faces
// of one material are cut into primitives of fewer than 65536 vertices.
//
// Vertices are shared: corners of one primitive with the same position,
// normal and texture coordinate are one vertex. Such corners lie in one
// plane of one direction, and a primitive's faces come plane by plane, so
// the corners are matched run by run on a grid of the plane's corners,
// comparing a packed key (direction, plane, u, v, colour: 32 bits, which
// also give the vertex's data back). Primitives are cut between planes, so the
// cut costs no sharing.
#include "plugins/TK_Plugin_GLTF.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/OMB_BitFile.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_MeshMaterial.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kChunkJson = 0x4E4F534A;  // "JSON"
constexpr uint32_t kChunkBin = 0x004E4942;   // "BIN\0"

// Bytes per vertex in each attribute section of the binary chunk.
constexpr uint64_t kPositionBytes = 12, kNormalBytes = 12, kTexcoordBytes = 8;
// Vertices of a primitive, so that 16-bit indices reach every one and never
// take the value 65535 that glTF reserves.
constexpr size_t kMaxPrimitiveVertices = 65535;
// One plane's corners always fit in a primitive of their own.
static_assert(4 * kMaxModelSize * kMaxModelSize <= kMaxPrimitiveVertices, "a plane fits one primitive");

static_assert(sizeof(float) == 4, "the binary chunk holds 32-bit floats");

uint64_t Pad4(uint64_t n) { return (n + 3) & ~uint64_t(3); }

// ---- plan ----------------------------------------------------------------

struct Primitive {
    size_t material = 0;  // into Plan::materials
    size_t firstFace = 0, faces = 0;
    size_t firstVertex = 0, vertices = 0;
    size_t firstIndex = 0, indices = 0;
    int cellLo[3] = {255, 255, 255}, cellHi[3] = {0, 0, 0};  // corner coordinates
    float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};               // written positions
    // Where its indices start in the index section.
    uint64_t IndexOffset() const { return 2 * uint64_t(firstIndex); }
};

// A face corner (u, v in its plane, see TK_Plugin_Mesh::FaceUV) as a
// vertex: direction, plane, v, u (7 bits each, cells are at most 126) and
// colour.
uint32_t VertexKey(const TK_MeshFace& face, int u, int v) {
    return uint32_t(face.direction) << 29 | uint32_t(face.plane) << 22 | uint32_t(v) << 15 | uint32_t(u) << 8 |
           face.colour;
}

inline int KeyDirection(uint32_t key) { return int(key >> 29); }
inline int KeyColour(uint32_t key) { return int(key & 255); }
inline void KeyCorner(uint32_t key, int c[3]) {
    const int a = KeyDirection(key) / 2;
    c[a] = int(key >> 22 & 127), c[(a + 1) % 3] = int(key >> 8 & 127), c[(a + 2) % 3] = int(key >> 15 & 127);
}

// Vertex numbers by corner, for the faces of one plane: each corner (u, v)
// heads a chain of the vertices there, one per colour and at most four, so
// a lookup reads a small grid where a hash would probe. Entries hold 1 + the
// number (0: none); Clear empties just the corners a run touched.
class CornerGrid {
public:
    CornerGrid() : m_head(kSide * kSide, 0), m_chain(kMaxPrimitiveVertices, 0) {}

    // The number of `key` (a face corner at `u`, `v`) among `vertices`, the
    // primitive's so far; a new key gets the next number and sets `added`.
    uint32_t Find(uint32_t key, int u, int v, const uint32_t* vertices, uint32_t next, bool& added) {
        uint16_t& head = m_head[size_t(u * kSide + v)];
        for (uint32_t s = head; s; s = m_chain[s - 1])
            if (vertices[s - 1] == key) return s - 1;
        if (!head) m_touched.push_back(size_t(u * kSide + v));
        m_chain[next] = head;
        head = uint16_t(next + 1);
        added = true;
        return next;
    }
    void Clear() {
        for (size_t at : m_touched) m_head[at] = 0;
        m_touched.clear();
    }

private:
    static constexpr int kSide = kMaxModelSize + 1;
    std::vector<uint16_t> m_head;
    std::vector<size_t> m_touched;
    std::vector<uint16_t> m_chain;  // the next vertex at the same corner
};

struct Plan {
    std::vector<TK_MeshFace> faces;  // in primitive order
    std::vector<uint16_t> indices;   // 3 per triangle: vertex numbers in its primitive
    std::vector<uint32_t> vertices;  // keys, primitive by primitive
    std::vector<TK_MeshMaterial> materials;
    std::vector<Primitive> primitives;
    float cell = 0;  // a cell's mean written size: the glass's thickness
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
    const double scale = std::fabs(double(o.scale[0])) + std::fabs(double(o.scale[1])) + std::fabs(double(o.scale[2]));
    plan.cell = float(scale / 3);
    for (int d = 0; d < 6; ++d) {
        float n[3] = {0, 0, 0};
        n[d / 2] = (d % 2 ? 1.0f : -1.0f) * (o.scale[d / 2] < 0 ? -1.0f : 1.0f);
        plan.normal[d][0] = n[0], plan.normal[d][1] = n[2], plan.normal[d][2] = -n[1] + 0.0f;
    }
    return true;
}

// Colours grouped by material, the faces counted into material order; one
// primitive per material until PlanVertices cuts them.
void PlanPrimitives(const TK_MeshSurface& surface, const Palette& palette, const TK_Material* records, Plan& plan) {
    size_t count[256] = {};
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) ++count[face.colour];
    bool used[256] = {};
    for (int c = 1; c < 256; ++c) used[c] = count[c] > 0;
    size_t primitiveOf[256];
    TK_MeshMaterials(used, palette, records, plan.materials, primitiveOf);
    for (size_t i = 0; i < plan.materials.size(); ++i) plan.primitives.push_back(Primitive{i});
    for (int c = 1; c < 256; ++c)
        if (count[c]) plan.primitives[primitiveOf[c]].faces += count[c];
    std::vector<size_t> next(plan.primitives.size());
    size_t first = 0;
    for (size_t i = 0; i < next.size(); ++i) {
        plan.primitives[i].firstFace = next[i] = first;
        first += plan.primitives[i].faces;
    }
    plan.faces.resize(surface.Count());
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) plan.faces[next[primitiveOf[face.colour]]++] = face;
}

// Scratch lists of one face with more than four corners.
struct RingScratch {
    std::vector<int> ring, triangles;
    std::vector<uint16_t> numbers;
};

// The vertex number of the corner (u, v) of `face` in `prim`.
uint16_t ShareCorner(Plan& plan, const TK_MeshFace& face, int u, int v, const Primitive& prim, CornerGrid& grid) {
    const uint32_t key = VertexKey(face, u, v);
    bool added = false;
    const uint32_t next = uint32_t(plan.vertices.size() - prim.firstVertex);
    const uint16_t number = uint16_t(grid.Find(key, u, v, plan.vertices.data() + prim.firstVertex, next, added));
    if (added) plan.vertices.push_back(key);
    return number;
}

// The triangles of one face: two over its corners, or those of its ring.
void ShareFace(Plan& plan, const TK_MeshJoints& joints, const TK_MeshFace& face, const Primitive& prim,
               CornerGrid& grid, RingScratch& r) {
    if (joints.Ring(face, r.ring)) {
        TK_MeshJoints::Triangulate(face, plan.reverse, r.ring, r.triangles);
        r.numbers.clear();
        for (size_t k = 0; k < r.ring.size(); k += 2)
            r.numbers.push_back(ShareCorner(plan, face, r.ring[k], r.ring[k + 1], prim, grid));
        for (int t : r.triangles) plan.indices.push_back(r.numbers[size_t(t)]);
        return;
    }
    int uv[4][2];
    TK_Plugin_Mesh::FaceUV(face, plan.reverse, uv);
    uint16_t c[4];
    for (int k = 0; k < 4; ++k) c[k] = ShareCorner(plan, face, uv[k][0], uv[k][1], prim, grid);
    plan.indices.insert(plan.indices.end(), {c[0], c[1], c[2], c[0], c[2], c[3]});
}

// The faces [first, end), which share one direction and plane, into
// `prim`'s vertices and indices.
void ShareRun(Plan& plan, const TK_MeshJoints& joints, size_t first, size_t end, Primitive& prim, CornerGrid& grid,
              RingScratch& scratch) {
    int lo[2] = {255, 255}, hi[2] = {0, 0};
    for (size_t f = first; f < end; ++f) {
        const TK_MeshFace& face = plan.faces[f];
        ShareFace(plan, joints, face, prim, grid, scratch);
        lo[0] = std::min({lo[0], int(face.u0), int(face.u1)}), hi[0] = std::max({hi[0], int(face.u0), int(face.u1)});
        lo[1] = std::min({lo[1], int(face.v0), int(face.v1)}), hi[1] = std::max({hi[1], int(face.v0), int(face.v1)});
    }
    grid.Clear();
    // The run's extremes in cell coordinates: the plane along its axis.
    const TK_MeshFace& face = plan.faces[first];
    const int a = face.direction / 2;
    const int runLo[3] = {face.plane, lo[0], lo[1]}, runHi[3] = {face.plane, hi[0], hi[1]};
    for (int i = 0; i < 3; ++i) {
        prim.cellLo[(a + i) % 3] = std::min(prim.cellLo[(a + i) % 3], runLo[i]);
        prim.cellHi[(a + i) % 3] = std::max(prim.cellHi[(a + i) % 3], runHi[i]);
    }
}

// At most one vertex per corner of each face of [first, end): its four, or
// with joints every cell corner along its sides.
size_t RunCorners(const Plan& plan, const TK_MeshJoints& joints, size_t first, size_t end) {
    if (joints.Empty()) return 4 * (end - first);
    size_t n = 0;
    for (size_t f = first; f < end; ++f) {
        const TK_MeshFace& face = plan.faces[f];
        n += 2 * size_t(face.u1 - face.u0 + face.v1 - face.v0);
    }
    return n;
}

// Vertex numbers for every corner and the vertices; each material's faces
// become primitives of at most kMaxPrimitiveVertices, cut between planes.
void PlanVertices(Plan& plan, const TK_MeshJoints& joints) {
    // Two triangles a face unless some face has more corners; pages are
    // touched only as they fill.
    plan.indices.reserve(6 * plan.faces.size());
    plan.vertices.reserve(4 * plan.faces.size());
    CornerGrid grid;
    RingScratch scratch;
    std::vector<Primitive> cut;
    auto close = [&](size_t end) {
        cut.back().faces = end - cut.back().firstFace;
        cut.back().vertices = plan.vertices.size() - cut.back().firstVertex;
        cut.back().indices = plan.indices.size() - cut.back().firstIndex;
    };
    for (const Primitive& whole : plan.primitives) {
        const size_t end = whole.firstFace + whole.faces;
        for (size_t f = whole.firstFace, run = f; f < end; f = run) {
            while (run < end && plan.faces[run].direction == plan.faces[f].direction &&
                   plan.faces[run].plane == plan.faces[f].plane)
                ++run;
            if (f == whole.firstFace || plan.vertices.size() - cut.back().firstVertex +
                                                RunCorners(plan, joints, f, run) >
                                            kMaxPrimitiveVertices) {
                if (f != whole.firstFace) close(f);
                Primitive next{whole.material, f, 0, plan.vertices.size()};
                next.firstIndex = plan.indices.size();
                cut.push_back(next);
            }
            ShareRun(plan, joints, f, run, cut.back(), grid, scratch);
        }
        close(end);
    }
    plan.primitives = std::move(cut);
}

// A written coordinate depends on one corner coordinate, monotonically, so
// the extreme corners give the bounds of all the vertices.
void PlanBounds(Plan& plan) {
    float a[3], b[3];
    for (Primitive& prim : plan.primitives) {
        plan.Position(prim.cellLo, a);
        plan.Position(prim.cellHi, b);
        for (int i = 0; i < 3; ++i) prim.lo[i] = std::min(a[i], b[i]), prim.hi[i] = std::max(a[i], b[i]);
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

// The glTF extensions a material needs, in the order "extensionsUsed"
// lists them.
enum Extension { kClearcoat, kEmissiveStrength, kIor, kTransmission, kVolume, kExtensionCount };
const char* const kExtensionNames[kExtensionCount] = {
    "KHR_materials_clearcoat", "KHR_materials_emissive_strength", "KHR_materials_ior",
    "KHR_materials_transmission", "KHR_materials_volume"};

// Glass absorbs over a thickness of one cell, when a cell has a size.
bool HasVolume(const TK_MeshMaterial& m, float cell) {
    return m.kind == TK_MeshMaterial::Kind::kGlass && m.Absorbs() && cell > 0 && std::isfinite(cell);
}

void UsesExtensions(const TK_MeshMaterial& m, float cell, bool uses[kExtensionCount]) {
    using Kind = TK_MeshMaterial::Kind;
    uses[kClearcoat] |= m.kind == Kind::kPlastic;
    uses[kEmissiveStrength] |= m.kind == Kind::kEmit;
    uses[kIor] |= m.kind == Kind::kGlass;
    uses[kTransmission] |= m.kind == Kind::kGlass;
    uses[kVolume] |= HasVolume(m, cell);
}

// "extensionsUsed" for the materials that need any (never "required": a
// viewer without them still shows the surfaces).
void WriteExtensionsUsed(const Plan& plan, Json& j) {
    bool uses[kExtensionCount] = {};
    for (const TK_MeshMaterial& m : plan.materials) UsesExtensions(m, plan.cell, uses);
    bool first = true;
    for (int e = 0; e < kExtensionCount; ++e) {
        if (!uses[e]) continue;
        j.Raw(first ? ",\"extensionsUsed\":[\"" : ",\"").Raw(kExtensionNames[e]).Raw("\"");
        first = false;
    }
    if (!first) j.Raw("]");
}

// The extensions object of a material, when it needs one.
void WriteMaterialExtensions(const TK_MeshMaterial& m, float cell, Json& j) {
    bool uses[kExtensionCount] = {};
    UsesExtensions(m, cell, uses);
    if (std::count(uses, uses + kExtensionCount, true) == 0) return;
    j.Raw(",\"extensions\":{");
    const char* separator = "";
    auto open = [&](Extension e) {
        j.Raw(separator).Raw("\"").Raw(kExtensionNames[e]).Raw("\":{");
        separator = "},";
    };
    if (uses[kClearcoat])
        open(kClearcoat), j.Raw("\"clearcoatFactor\":1,\"clearcoatRoughnessFactor\":").Num(m.coatRoughness);
    if (uses[kEmissiveStrength]) open(kEmissiveStrength), j.Raw("\"emissiveStrength\":").Num(m.flux);
    if (uses[kIor]) open(kIor), j.Raw("\"ior\":").Num(m.ior);
    if (uses[kTransmission]) open(kTransmission), j.Raw("\"transmissionFactor\":1");
    if (uses[kVolume]) {
        open(kVolume), j.Raw("\"thicknessFactor\":").Num(cell).Raw(",\"attenuationDistance\":").Num(cell);
        j.Raw(",\"attenuationColor\":").Vec(m.transmittance, 3);
    }
    j.Raw("}}");
}

void WriteMaterials(const Plan& plan, Json& j) {
    j.Raw(",\"materials\":[");
    for (size_t i = 0; i < plan.materials.size(); ++i) {
        const TK_MeshMaterial& m = plan.materials[i];
        j.Raw(i ? ",{" : "{").Raw("\"name\":").Str(m.Name());
        j.Raw(",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}");
        if (m.reflectance != 1) {
            const float factor[4] = {m.reflectance, m.reflectance, m.reflectance, 1};
            j.Raw(",\"baseColorFactor\":").Vec(factor, 4);
        }
        j.Raw(",\"metallicFactor\":").Num(m.metallic).Raw(",\"roughnessFactor\":").Num(m.roughness).Raw("}");
        if (m.kind == TK_MeshMaterial::Kind::kEmit)
            j.Raw(",\"emissiveTexture\":{\"index\":0},\"emissiveFactor\":[1,1,1]");
        WriteMaterialExtensions(m, plan.cell, j);
        j.Raw("}");
    }
    j.Raw("]");
}

void WriteAccessors(const Plan& plan, Json& j) {
    j.Raw(",\"accessors\":[");
    for (size_t i = 0; i < plan.primitives.size(); ++i) {
        const Primitive& p = plan.primitives[i];
        const uint64_t vertices = p.vertices, first = p.firstVertex;
        j.Raw(i ? "," : "").Raw("{\"bufferView\":0,\"byteOffset\":").Int(first * kPositionBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC3\",\"min\":").Vec(p.lo, 3);
        j.Raw(",\"max\":").Vec(p.hi, 3).Raw("}");
        j.Raw(",{\"bufferView\":1,\"byteOffset\":").Int(first * kNormalBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC3\"}");
        j.Raw(",{\"bufferView\":2,\"byteOffset\":").Int(first * kTexcoordBytes);
        j.Raw(",\"componentType\":5126,\"count\":").Int(vertices).Raw(",\"type\":\"VEC2\"}");
        j.Raw(",{\"bufferView\":3,\"byteOffset\":").Int(p.IndexOffset());
        j.Raw(",\"componentType\":5123,\"count\":").Int(p.indices).Raw(",\"type\":\"SCALAR\"}");
    }
    j.Raw("]");
}

void WriteBufferViews(const Plan& plan, uint64_t& binLength, Json& j) {
    const uint64_t vertices = plan.vertices.size();
    const uint64_t lengths[4] = {vertices * kPositionBytes, vertices * kNormalBytes, vertices * kTexcoordBytes,
                                 Pad4(2 * uint64_t(plan.indices.size()))};
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
    j.Raw("{\"asset\":{\"version\":\"2.0\",\"generator\":\"Tarsk @ Ombrel\"}");
    WriteExtensionsUsed(plan, j);
    j.Raw(",\"scene\":0,\"scenes\":[{\"nodes\":[0]}]");
    j.Raw(",\"nodes\":[{\"name\":").Str(name).Raw(",\"mesh\":0}],\"meshes\":[{\"name\":").Str(name);
    j.Raw(",\"primitives\":[");
    for (size_t i = 0; i < plan.primitives.size(); ++i) {
        const uint64_t a = 4 * i;
        j.Raw(i ? ",{" : "{").Raw("\"attributes\":{\"POSITION\":").Int(a).Raw(",\"NORMAL\":").Int(a + 1);
        j.Raw(",\"TEXCOORD_0\":").Int(a + 2).Raw("},\"indices\":").Int(a + 3);
        j.Raw(",\"material\":").Int(plan.primitives[i].material);
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
    // Floats and indices in the host's order: the hosts this builds for are
    // little-endian.
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
    int corner[3];
    float p[3];
    for (uint32_t key : plan.vertices) {
        KeyCorner(key, corner);
        plan.Position(corner, p);
        out.Floats(p, 3);
    }
    for (uint32_t key : plan.vertices) out.Floats(plan.normal[KeyDirection(key)], 3);
    for (uint32_t key : plan.vertices) {
        const float uv[2] = {(KeyColour(key) - 0.5f) / 256, 0.5f};
        out.Floats(uv, 2);
    }
}

// The triangles, in primitive order already, padded to 4 bytes.
void WriteIndices(const Plan& plan, BlockWriter& out) {
    const size_t kBatch = 1 << 16;
    for (size_t i = 0; i < plan.indices.size(); i += kBatch)
        out.Put(&plan.indices[i], 2 * std::min(kBatch, plan.indices.size() - i));
    if (plan.indices.size() % 2) out.Put("\0", 2);
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
    WriteIndices(plan, out);
    out.Put(plan.png.data(), plan.png.size());
    for (uint64_t i = binLength; i < binPadded; ++i) out.Put("", 1);
    return out.Flush();
}

}  // namespace

TK_MeshOptions TK_Plugin_GLTF::Defaults() {
    TK_MeshOptions o;
    o.pivot[0] = o.pivot[1] = 0.5f, o.pivot[2] = 0;
    return o;
}

TK_Plugin_GLTF::TK_Plugin_GLTF() : TK_Plugin_Mesh("file_gltf", Defaults()) {}

bool TK_Plugin_GLTF::WriteGlb(const TK_Model& model, const TK_MeshOptions& options, const TK_Material* materials,
                              OMB_SaveBitFile& file, TK_GltfCounts* counts) {
    // Vertex keys hold coordinates of 7 bits.
    for (int a = 0; a < 3; ++a)
        if (model.size[a] > kMaxModelSize) return false;
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, options.optimize, surface);
    if (!surface.Count()) return false;
    Plan plan;
    if (!PlanGeometry(model, options, plan)) return false;
    PlanPrimitives(surface, model.palette, materials, plan);
    {
        const TK_MeshJoints joints(model, surface, options.watertight);
        surface = TK_MeshSurface();
        PlanVertices(plan, joints);
    }
    PlanBounds(plan);
    Image palette;
    if (!PaletteToImage(model.palette, palette) || !TK_Plugin_PNG::WriteBytes(palette, plan.png)) return false;
    const std::string name = model.ModelBaseName();
    uint64_t binLength = 0;
    const std::string json = JsonText(plan, name.empty() ? "model" : name, binLength);
    if (counts) *counts = {plan.faces.size(), plan.vertices.size(), plan.indices.size() / 3};
    return WriteFile(plan, json, binLength, file);
}

bool TK_Plugin_GLTF::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    if (WriteGlb(model, options, m_look ? m_look->materials : nullptr, file) && file.Close()) return true;
    file.Discard();
    return false;
}
