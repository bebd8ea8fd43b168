// 3D Studio mesh export and import (see TK_Plugin_3DS.h).
//
// Vertices are shared by the faces of one object that meet at a corner in
// the same colour (the texture coordinate is per colour). Objects are cut
// before a face rectangle could push either list past the u16 counts, and
// each object holds a full material group. The main and editor chunks are
// written first with their lengths patched at the end, so that only one
// object at a time sits in memory.
#include "plugins/TK_Plugin_3DS.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/OMB_BitFile.h"
#include "plugins/TK_3dsFile.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_MeshFiles.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

using namespace tk3ds;

const char kMaterialNameText[] = "palette";
// Names hold at most ten bytes, the format's classic limit.
constexpr size_t kMaxNameBytes = 10;

// Little-endian bytes; End writes the length of the chunk Begin opened.
class ChunkBytes {
public:
    std::vector<uint8_t> bytes;

    void U16(unsigned v) { bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)}); }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void F32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        U32(bits);
    }
    void Text(const std::string& s) { bytes.insert(bytes.end(), s.c_str(), s.c_str() + s.size() + 1); }
    void Begin(uint16_t id) {
        m_open.push_back(bytes.size());
        U16(id);
        U32(0);
    }
    void End() {
        const size_t at = m_open.back();
        m_open.pop_back();
        const uint32_t length = uint32_t(bytes.size() - at);
        for (int i = 0; i < 4; ++i) bytes[at + 2 + size_t(i)] = uint8_t(length >> (8 * i));
    }

private:
    std::vector<size_t> m_open;
};

// `base` cut to fit the name limit with `_k` appended for k > 0; the cut
// never splits a UTF-8 sequence.
std::string ObjectName(const std::string& base, int k) {
    const std::string suffix = k ? "_" + std::to_string(k) : std::string();
    size_t keep = std::min(base.size(), kMaxNameBytes - suffix.size());
    while (keep > 0 && keep < base.size() && (uint8_t(base[keep]) & 0xC0) == 0x80) --keep;
    return base.substr(0, keep) + suffix;
}

void WriteMaterial(const std::string& texture, ChunkBytes& out) {
    out.Begin(kMaterial);
    out.Begin(kMaterialName);
    out.Text(kMaterialNameText);
    out.End();
    // White, as the OBJ material: the texture carries the colours.
    out.Begin(kDiffuse);
    out.Begin(kColourBytes);
    out.bytes.insert(out.bytes.end(), {255, 255, 255});
    out.End();
    out.End();
    out.Begin(kTextureMap);
    out.Begin(kPercent);
    out.U16(100);
    out.End();
    out.Begin(kMapFile);
    out.Text(texture);
    out.End();
    out.End();
    out.End();
}

// The lists of the object being filled.
class ObjectLists {
public:
    ObjectLists(const TK_Model& model, const TK_MeshOptions& options) : m_model(model), m_options(options) {}

    size_t VertexCount() const { return m_positions.size() / 3; }
    size_t FaceCount() const { return m_faces.size() / 4; }

    // Two triangles; the quad's diagonal is the hidden edge of both.
    void AddQuad(const int corners[4][3], int colour) {
        uint16_t v[4];
        for (int k = 0; k < 4; ++k) v[k] = Vertex(corners[k], colour);
        m_faces.insert(m_faces.end(), {v[0], v[1], v[2], 0x3, v[0], v[2], v[3], 0x6});
    }

    // The triangles of a face with more corners; an edge is visible where
    // it joins neighbours on the ring.
    void AddRing(const TK_MeshFace& face, const std::vector<int>& ring, const std::vector<int>& triangles) {
        const size_t n = ring.size() / 2;
        std::vector<uint16_t> v(n);
        int corner[3];
        for (size_t k = 0; k < n; ++k) {
            TK_Plugin_Mesh::Corner(face, ring[2 * k], ring[2 * k + 1], corner);
            v[k] = Vertex(corner, face.colour);
        }
        auto side = [n](int p, int q) { return (size_t(p) + 1) % n == size_t(q) || (size_t(q) + 1) % n == size_t(p); };
        for (size_t k = 0; k < triangles.size(); k += 3) {
            const int a = triangles[k], b = triangles[k + 1], c = triangles[k + 2];
            const uint16_t flags = uint16_t(side(a, b) | side(b, c) << 1 | side(c, a) << 2);
            m_faces.insert(m_faces.end(), {v[size_t(a)], v[size_t(b)], v[size_t(c)], flags});
        }
    }

    void Write(const std::string& name, ChunkBytes& out) const {
        out.Begin(kObject);
        out.Text(name);
        out.Begin(kTriangleMesh);
        out.Begin(kVertices);
        out.U16(unsigned(VertexCount()));
        for (float f : m_positions) out.F32(f);
        out.End();
        out.Begin(kTexcoords);
        out.U16(unsigned(VertexCount()));
        for (float f : m_texcoords) out.F32(f);
        out.End();
        out.Begin(kFaces);
        out.U16(unsigned(FaceCount()));
        for (uint16_t i : m_faces) out.U16(i);
        out.Begin(kFaceMaterial);
        out.Text(kMaterialNameText);
        out.U16(unsigned(FaceCount()));
        for (size_t f = 0; f < FaceCount(); ++f) out.U16(unsigned(f));
        out.End();
        out.End();
        out.End();
        out.End();
    }

    void Clear() {
        m_positions.clear(), m_texcoords.clear(), m_faces.clear();
        m_vertexOf.clear();
    }

private:
    uint16_t Vertex(const int corner[3], int colour) {
        const uint32_t sx = uint32_t(m_model.size[0] + 1), sy = uint32_t(m_model.size[1] + 1);
        const uint32_t cell = uint32_t(corner[0]) + sx * (uint32_t(corner[1]) + sy * uint32_t(corner[2]));
        auto [it, added] = m_vertexOf.try_emplace(cell << 8 | uint32_t(colour), uint16_t(VertexCount()));
        if (!added) return it->second;
        double p[3];
        TK_Plugin_Mesh::Position(m_options, m_model, corner, p);
        m_positions.insert(m_positions.end(), {float(p[0]), float(p[1]), float(p[2])});
        const float u = float((colour - 1 + double(m_options.tcOffset[0])) / 256);
        m_texcoords.insert(m_texcoords.end(), {u, m_options.tcOffset[1]});
        return it->second;
    }

    const TK_Model& m_model;
    const TK_MeshOptions& m_options;
    std::vector<float> m_positions, m_texcoords;
    std::vector<uint16_t> m_faces;  // a, b, c, edge flags
    std::unordered_map<uint32_t, uint16_t> m_vertexOf;  // corner << 8 | colour
};

bool PatchLength(OMB_SaveBitFile& file, int64_t chunk, uint64_t length) {
    const uint8_t bytes[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
    return length <= UINT32_MAX && file.Seek(chunk + 2) && file.WriteBytes(bytes, 4);
}

}  // namespace

bool TK_Plugin_3DS::Write3ds(const TK_Model& model, const TK_MeshOptions& o, const std::string& name,
                             const std::string& texture, OMB_SaveBitFile& file) {
    ChunkBytes head;
    head.Begin(kMain);
    head.Begin(kVersion);
    head.U32(3);
    head.End();
    const size_t editorAt = head.bytes.size();
    head.Begin(kEditor);
    head.Begin(kMeshVersion);
    head.U32(3);
    head.End();
    WriteMaterial(texture, head);
    const int64_t start = file.Tell();
    if (start < 0 || !file.WriteBytes(head.bytes.data(), head.bytes.size())) return false;
    uint64_t total = head.bytes.size();

    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, o.optimize, surface);
    ObjectLists lists(model, o);
    int objects = 0;
    auto flush = [&]() {
        if (lists.FaceCount() == 0) return true;
        ChunkBytes object;
        lists.Write(ObjectName(name, objects++), object);
        lists.Clear();
        total += object.bytes.size();
        return file.WriteBytes(object.bytes.data(), object.bytes.size());
    };
    const bool reverse = ReverseWinding(o);
    const TK_MeshJoints joints(model, surface, o.watertight);
    int corners[4][3];
    std::vector<int> ring, triangles;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            // A face adds at most a vertex per corner, and two triangles fewer.
            const bool more = joints.Ring(face, ring);
            const size_t points = more ? ring.size() / 2 : 4;
            if ((lists.VertexCount() + points > size_t(kMaxListCount) ||
                 lists.FaceCount() + points - 2 > size_t(kMaxListCount)) &&
                !flush())
                return false;
            if (more) {
                TK_MeshJoints::Triangulate(face, reverse, ring, triangles);
                lists.AddRing(face, ring, triangles);
                continue;
            }
            FaceCorners(face, reverse, corners);
            lists.AddQuad(corners, face.colour);
        }
    if (!flush()) return false;
    return PatchLength(file, start, total) && PatchLength(file, start + int64_t(editorAt), total - editorAt) &&
           file.Seek(start + int64_t(total));
}

bool TK_Plugin_3DS::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    const std::string base = TK_BaseNameOf(path), folder = TK_FolderOf(path);
    const std::string name = model.ModelBaseName();
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    if (!Write3ds(model, options, name.empty() ? "model" : name, base + ".png", file) || !file.Close()) {
        file.Discard();
        return false;
    }
    return TK_Plugin_PNG::SavePalette(folder + base + ".png", model.palette);
}

bool TK_Plugin_3DS::LoadModel(const std::string& path, const std::string&, TK_Model& model) {
    std::vector<uint8_t> bytes;
    if (!TK_ReadFileBytes(path, kMax3dsFileSize, bytes)) return false;
    TK_ObjMesh mesh;
    std::vector<TK_ObjMaterial> found, materials;
    if (!TK_Parse3ds(bytes.data(), bytes.size(), mesh, found)) return false;
    bytes = std::vector<uint8_t>();
    TK_Model fresh;
    std::vector<bool> textured;
    TK_ResolveMaterials(mesh, found, TK_FolderOf(path), fresh.palette, materials, textured);
    if (!TK_VoxeliseMesh(mesh, materials, textured, options, fresh, "3DS")) return false;
    for (int a = 0; a < 3; ++a) model.size[a] = fresh.size[a];
    model.voxels = std::move(fresh.voxels);
    model.palette = fresh.palette;
    return true;
}
