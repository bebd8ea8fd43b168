// 3D Studio reader (see TK_3dsFile.h).
//
// Only the chunks that hold mesh or material data are entered, each from
// its own parent, so the nesting is bounded by the layout (main > editor >
// object > triangle mesh > face list > material group), never by the file.
// Every chunk consumes at least its header, so the walk is linear in the
// file size; the vertex, face and material totals are capped besides.
#include "plugins/TK_3dsFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

#include "core/OMB_Log.h"

namespace {

using namespace tk3ds;

// Distinct material names a file may use or define; ordinary files hold a
// handful, and binding names to materials is quadratic.
constexpr size_t kMaxMaterials = 1024;

struct Chunk {
    uint16_t id;
    size_t at;     // offset of the header
    size_t begin;  // first byte of the payload
    size_t end;    // one past the chunk
};

// One mesh object's lists. They are joined to the mesh only when the
// object is complete, since its faces may come before its vertices.
struct Part {
    std::vector<float> positions, texcoords;
    std::vector<uint16_t> corners;  // a, b, c per face
    std::vector<int> faceMaterial;
    bool hasVertices = false, hasTexcoords = false, hasFaces = false;
    size_t facesAt = 0;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size, TK_ObjMesh& mesh, std::vector<TK_ObjMaterial>& materials)
        : m_data(data), m_size(size), m_mesh(mesh), m_materials(materials) {}

    bool Read() {
        if (m_size < kHeaderSize || U16(0) != kMain) return Fail(0, "not a 3DS file");
        const uint32_t length = U32(2);
        if (length < kHeaderSize) return Fail(0, "chunk shorter than its header");
        if (length > m_size) return Fail(0, "file shorter than its main chunk");
        return Children(kHeaderSize, length, [this](const Chunk& c) { return c.id == kEditor ? Editor(c) : true; });
    }

private:
    static bool Fail(size_t at, const char* what) {
        OMB_Printf("[Error] 3DS : offset %zu : %s\n", at, what);
        return false;
    }

    uint16_t U16(size_t at) const { return uint16_t(m_data[at] | m_data[at + 1] << 8); }
    uint32_t U32(size_t at) const { return uint32_t(U16(at)) | uint32_t(U16(at + 2)) << 16; }
    float F32(size_t at) const {
        const uint32_t bits = U32(at);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // The sub-chunks of [begin, end), in order; stops at the first refusal.
    template <typename Visit>
    bool Children(size_t begin, size_t end, Visit visit) {
        for (size_t at = begin; at < end;) {
            if (end - at < kHeaderSize) return Fail(at, "chunk header cut short");
            const uint32_t length = U32(at + 2);
            if (length < kHeaderSize) return Fail(at, "chunk shorter than its header");
            if (length > end - at) return Fail(at, "chunk runs past its parent");
            if (!visit(Chunk{U16(at), at, at + kHeaderSize, at + length})) return false;
            at += length;
        }
        return true;
    }

    // A zero-terminated text starting at `begin`; `next` is the byte after
    // its zero.
    bool Text(const Chunk& c, size_t begin, std::string& out, size_t& next) const {
        const void* zero = std::memchr(m_data + begin, 0, c.end - begin);
        if (!zero) return Fail(c.at, "name without its closing zero byte");
        next = size_t(static_cast<const uint8_t*>(zero) - m_data) + 1;
        out.assign(reinterpret_cast<const char*>(m_data) + begin, next - 1 - begin);
        return true;
    }

    // The u16 count at the start of a list chunk, checked against the
    // chunk's bytes for `stride` bytes an entry.
    bool Count(const Chunk& c, size_t stride, size_t& count) const {
        if (c.end - c.begin < 2) return Fail(c.at, "list without its count");
        count = U16(c.begin);
        if (count * stride > c.end - c.begin - 2) return Fail(c.at, "list longer than its chunk");
        return true;
    }

    bool Floats(const Chunk& c, size_t per, std::vector<float>& out) const {
        size_t count = 0;
        if (!Count(c, 4 * per, count)) return false;
        out.resize(count * per);
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] = F32(c.begin + 2 + 4 * i);
            if (!std::isfinite(out[i])) return Fail(c.at, "coordinate is not a finite number");
        }
        return true;
    }

    bool Editor(const Chunk& editor) {
        return Children(editor.begin, editor.end, [this](const Chunk& c) {
            if (c.id == kMaterial) return Material(c);
            if (c.id == kObject) return Object(c);
            return true;
        });
    }

    bool Material(const Chunk& material) {
        if (m_materials.size() >= kMaxMaterials) return Fail(material.at, "too many materials");
        TK_ObjMaterial m;
        size_t next = 0;
        const bool ok = Children(material.begin, material.end, [&](const Chunk& c) {
            if (c.id == kMaterialName) return Text(c, c.begin, m.name, next);
            if (c.id == kDiffuse) return Colour(c, m.kd);
            if (c.id != kTextureMap || !m.texture.empty()) return true;
            return Children(c.begin, c.end, [&](const Chunk& map) {
                return map.id == kMapFile && m.texture.empty() ? Text(map, map.begin, m.texture, next) : true;
            });
        });
        if (ok) m_materials.push_back(m);
        return ok;
    }

    // The first colour sub-chunk; a colour that is not finite keeps `kd`.
    bool Colour(const Chunk& colour, float kd[3]) {
        bool taken = false;
        return Children(colour.begin, colour.end, [&](const Chunk& c) {
            const bool floats = c.id == kColourFloat || c.id == kLinearColourFloat;
            const bool bytes = c.id == kColourBytes || c.id == kLinearColourBytes;
            if (taken || (!floats && !bytes)) return true;
            taken = true;
            if (c.end - c.begin < (floats ? 12u : 3u)) return Fail(c.at, "colour chunk cut short");
            float rgb[3];
            for (size_t i = 0; i < 3; ++i) {
                rgb[i] = floats ? F32(c.begin + 4 * i) : m_data[c.begin + i] / 255.0f;
                if (!std::isfinite(rgb[i])) return true;
            }
            std::memcpy(kd, rgb, sizeof rgb);
            return true;
        });
    }

    bool Object(const Chunk& object) {
        std::string name;
        size_t next = 0;
        if (!Text(object, object.begin, name, next)) return false;
        return Children(next, object.end,
                        [this](const Chunk& c) { return c.id == kTriangleMesh ? TriangleMesh(c) : true; });
    }

    // A repeated list in one mesh is ignored: the first one wins.
    bool TriangleMesh(const Chunk& mesh) {
        Part part;
        const bool ok = Children(mesh.begin, mesh.end, [&](const Chunk& c) {
            bool* seen = c.id == kVertices ? &part.hasVertices
                         : c.id == kTexcoords ? &part.hasTexcoords
                         : c.id == kFaces ? &part.hasFaces
                                          : nullptr;
            if (!seen || *seen) return true;
            *seen = true;
            if (c.id == kVertices) return Floats(c, 3, part.positions);
            return c.id == kTexcoords ? Floats(c, 2, part.texcoords) : Faces(c, part);
        });
        return ok && AddPart(part);
    }

    bool Faces(const Chunk& faces, Part& part) {
        size_t count = 0;
        if (!Count(faces, 8, count)) return false;
        part.facesAt = faces.at;
        part.corners.resize(3 * count);
        for (size_t f = 0; f < count; ++f)
            for (size_t k = 0; k < 3; ++k) part.corners[3 * f + k] = U16(faces.begin + 2 + 8 * f + 2 * k);
        part.faceMaterial.assign(count, -1);
        return Children(faces.begin + 2 + 8 * count, faces.end, [&](const Chunk& c) {
            if (c.id != kFaceMaterial) return true;
            std::string name;
            size_t next = 0, groupCount = 0;
            if (!Text(c, c.begin, name, next)) return false;
            const Chunk list{c.id, c.at, next, c.end};
            if (!Count(list, 2, groupCount)) return false;
            const int material = MaterialIndex(name);
            if (material < 0) return Fail(c.at, "too many materials");
            for (size_t i = 0; i < groupCount; ++i) {
                const size_t face = U16(next + 2 + 2 * i);
                if (face >= count) return Fail(c.at, "material group names a face past the face list");
                part.faceMaterial[face] = material;
            }
            return true;
        });
    }

    int MaterialIndex(const std::string& name) {
        auto it = m_materialIndex.find(name);
        if (it != m_materialIndex.end()) return it->second;
        if (m_mesh.materialNames.size() >= kMaxMaterials) return -1;
        m_mesh.materialNames.push_back(name);
        return m_materialIndex[name] = int(m_mesh.materialNames.size()) - 1;
    }

    // Texture coordinates are kept only when there is one per vertex: the
    // corners share the vertex numbers.
    bool AddPart(const Part& part) {
        const size_t vertices = part.positions.size() / 3, faces = part.corners.size() / 3;
        if (faces == 0) return true;
        for (uint16_t corner : part.corners)
            if (corner >= vertices) return Fail(part.facesAt, "face names a vertex past the vertex list");
        const size_t base = m_mesh.positions.size() / 3, texBase = m_mesh.texcoords.size() / 2;
        if (base + vertices > kMax3dsVertices) return Fail(part.facesAt, "more vertices than a mesh may hold");
        if (m_mesh.FaceCount() + faces > kMax3dsFaces) return Fail(part.facesAt, "more faces than a mesh may hold");
        const bool textured = part.texcoords.size() / 2 == vertices;
        m_mesh.positions.insert(m_mesh.positions.end(), part.positions.begin(), part.positions.end());
        if (textured) m_mesh.texcoords.insert(m_mesh.texcoords.end(), part.texcoords.begin(), part.texcoords.end());
        for (size_t f = 0; f < faces; ++f) {
            for (size_t k = 0; k < 3; ++k) {
                const size_t corner = part.corners[3 * f + k];
                m_mesh.cornerPosition.push_back(int(base + corner));
                m_mesh.cornerTexcoord.push_back(textured ? int(texBase + corner) : -1);
            }
            m_mesh.faceStart.push_back(int(m_mesh.cornerPosition.size()));
            m_mesh.faceMaterial.push_back(part.faceMaterial[f]);
        }
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    TK_ObjMesh& m_mesh;
    std::vector<TK_ObjMaterial>& m_materials;
    std::unordered_map<std::string, int> m_materialIndex;
};

}  // namespace

bool TK_Parse3ds(const uint8_t* data, size_t size, TK_ObjMesh& mesh, std::vector<TK_ObjMaterial>& materials) {
    mesh = TK_ObjMesh();
    materials.clear();
    if (Reader(data, size, mesh, materials).Read()) return true;
    mesh = TK_ObjMesh();
    materials.clear();
    return false;
}
