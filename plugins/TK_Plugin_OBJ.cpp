// OBJ mesh export (see TK_Plugin_OBJ.h). Vertices are numbered on their
// first use, direction by direction, so faces of all directions share them.
// With materials, each direction's faces come material by material, so a
// "usemtl" line starts each run.
#include "plugins/TK_Plugin_OBJ.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/OMB_Log.h"
#include "core/OMB_BitFile.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_MeshFiles.h"
#include "plugins/TK_ObjImport.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

const char kBanner[] = "# Tarsk @ Ombrel\n\n";

// Texture coordinate numbers by colour (0: colour unused), rising colours.
void WriteTexcoords(const bool used[256], const TK_MeshOptions& o, TK_MeshText& out, int number[256]) {
    int next = 1;
    for (int c = 1; c < 256; ++c) {
        number[c] = used[c] ? next++ : 0;
        if (used[c]) out.Str("vt ").Num((c - 1 + double(o.tcOffset[0])) / 256).Ch(' ').Num(o.tcOffset[1] + 0.0).Ch('\n');
    }
}

// Corner (x, y, z) -> vertex number, 0 until first written.
struct CornerIndex {
    int stride[3];
    OMB_LargeVector<int> numbers;
    explicit CornerIndex(const TK_Model& m)
        : stride{1, m.size[0] + 1, (m.size[0] + 1) * (m.size[1] + 1)},
          numbers(size_t(m.size[0] + 1) * (m.size[1] + 1) * (m.size[2] + 1), 0) {}
    int& At(const int c[3]) { return numbers[size_t(c[0] * stride[0] + c[1] * stride[1] + c[2] * stride[2])]; }
};

void WriteVertices(const TK_Model& model, const TK_MeshOptions& o, const TK_MeshSurface& surface,
                   const TK_MeshJoints& joints, CornerIndex& index, TK_MeshText& out) {
    const bool reverse = TK_Plugin_Mesh::ReverseWinding(o);
    const TK_MeshCoordinates coordinates(o, model);
    int next = 1;
    auto number = [&](const int corner[3]) {
        int& n = index.At(corner);
        if (n) return;
        n = next++;
        coordinates.Append(corner, out.Str("v "));
        out.Ch('\n').Flush();
    };
    int corners[4][3], corner[3];
    std::vector<int> ring;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            if (joints.Ring(face, ring)) {
                for (size_t k = 0; k < ring.size(); k += 2) {
                    TK_Plugin_Mesh::Corner(face, ring[k], ring[k + 1], corner);
                    number(corner);
                }
                continue;
            }
            TK_Plugin_Mesh::FaceCorners(face, reverse, corners);
            for (const auto& c : corners) number(c);
        }
}

// Each direction's faces material by material, in their order otherwise.
void SortByMaterial(const TK_UsedMaterials& materials, TK_MeshSurface& surface) {
    for (auto& list : surface.faces)
        std::stable_sort(list.begin(), list.end(), [&](const TK_MeshFace& a, const TK_MeshFace& b) {
            return materials.of[a.colour] < materials.of[b.colour];
        });
}

// The face lines; a "usemtl" line before each run of a material unless
// the model has plain materials (the header named the one material).
void WriteFaces(const TK_MeshOptions& o, const TK_MeshSurface& surface, const TK_MeshJoints& joints,
                CornerIndex& index, const int texcoord[256], const TK_UsedMaterials& materials, TK_MeshText& out) {
    const bool reverse = TK_Plugin_Mesh::ReverseWinding(o);
    // "/t/n" of each colour and direction, made once.
    std::string tail[256][6];
    for (int c = 1; c < 256; ++c)
        for (int d = 0; d < 6; ++d)
            if (texcoord[c]) tail[c][d] = "/" + std::to_string(texcoord[c]) + "/" + std::to_string(d + 1);
    int corners[4][3], corner[3];
    std::vector<int> ring, triangles;
    const bool named = !materials.Plain();
    size_t current = materials.list.size();
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
            if (named && materials.of[face.colour] != current) {
                current = materials.of[face.colour];
                out.Str("usemtl ").Str(materials.list[current].Name()).Ch('\n');
            }
            const std::string& t = tail[face.colour][face.direction];
            if (joints.Ring(face, ring)) {
                TK_MeshJoints::Triangulate(face, reverse, ring, triangles);
                for (size_t k = 0; k < triangles.size(); ++k) {
                    const size_t p = 2 * size_t(triangles[k]);
                    TK_Plugin_Mesh::Corner(face, ring[p], ring[p + 1], corner);
                    out.Str(k % 3 ? " " : "f ").Int(index.At(corner)).Str(t);
                    if (k % 3 == 2) out.Ch('\n');
                }
                out.Flush();
                continue;
            }
            TK_Plugin_Mesh::FaceCorners(face, reverse, corners);
            out.Ch('f');
            for (const auto& c : corners) out.Ch(' ').Int(index.At(c)).Str(t);
            out.Ch('\n').Flush();
        }
}

// Materials of the mesh's "mtllib" files, in the order they are named.
void ReadMaterialLibraries(const TK_ObjMesh& mesh, const std::string& folder, std::vector<TK_ObjMaterial>& all) {
    std::vector<TK_ObjMaterial> found;
    for (const std::string& library : mesh.materialLibraries) {
        std::vector<uint8_t> bytes;
        if (!TK_ReadFileBytes(folder + library, kMaxObjFileSize, bytes)) {
            OMB_Printf("[Warning] OBJ : material file not found : %s\n", library.c_str());
            continue;
        }
        TK_ParseMtl(reinterpret_cast<const char*>(bytes.data()), bytes.size(), found);
        all.insert(all.end(), found.begin(), found.end());
    }
}

}  // namespace

bool TK_Plugin_OBJ::LoadModel(const std::string& path, const std::string&, TK_Model& model) {
    std::vector<uint8_t> bytes;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    if (!error && size > kMaxObjFileSize) {
        OMB_Printf("[Error] OBJ : file too large : %s (%ju bytes, at most %zu)\n", path.c_str(), size, kMaxObjFileSize);
        return false;
    }
    if (!TK_ReadFileBytes(path, kMaxObjFileSize, bytes)) return false;
    TK_ObjMesh mesh;
    if (!TK_ParseObj(reinterpret_cast<const char*>(bytes.data()), bytes.size(), mesh)) return false;
    bytes = std::vector<uint8_t>();
    const std::string folder = TK_FolderOf(path);
    std::vector<TK_ObjMaterial> found, materials;
    std::vector<bool> textured;
    ReadMaterialLibraries(mesh, folder, found);
    TK_ResolveMaterials(mesh, found, folder, model.palette, materials, textured);
    return TK_VoxeliseMesh(mesh, materials, textured, options, model);
}

void TK_Plugin_OBJ::WriteObjText(const TK_Model& model, const TK_MeshOptions& o, const std::string& base,
                                 std::string& obj, const TK_Material* records) {
    TK_MeshText out;
    WriteObj(model, o, base, out, TK_UsedMaterials(model, records));
    obj.swap(out.text);
}

void TK_Plugin_OBJ::WriteObj(const TK_Model& model, const TK_MeshOptions& o, const std::string& base, TK_MeshText& out,
                             const TK_UsedMaterials& materials) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, o.optimize, surface);
    if (!materials.Plain()) SortByMaterial(materials, surface);
    out.Str(kBanner).Str("# material\n").Str("mtllib ").Str(base.c_str()).Str(".mtl\n");
    out.Str(materials.Plain() ? "usemtl palette\n\n" : "\n");
    out.Str("# normals\n");
    for (int d = 0; d < 6; ++d) {
        int n[3];
        Normal(o, d, n);
        out.Str("vn ").Int(n[0]).Ch(' ').Int(n[1]).Ch(' ').Int(n[2]).Ch('\n');
    }
    out.Str("\n# texcoords\n");
    int texcoord[256];
    WriteTexcoords(materials.used, o, out, texcoord);
    out.Str("\n# verts\n");
    CornerIndex index(model);
    const TK_MeshJoints joints(model, surface, o.watertight);
    WriteVertices(model, o, surface, joints, index, out);
    out.Str("\n# faces\n");
    WriteFaces(o, surface, joints, index, texcoord, materials, out);
}

namespace {

std::string Line(const char* key, float a) {
    char b[64];
    std::snprintf(b, sizeof b, "%s %.3f\n", key, double(a));
    return b;
}

std::string Line(const char* key, float a, float b, float c) {
    char t[96];
    std::snprintf(t, sizeof t, "%s %.3f %.3f %.3f\n", key, double(a), double(b), double(c));
    return t;
}

// One material's entry: the palette texture as diffuse colour, the PBR
// keys for roughness, metalness and clear coat, emission, and glass's
// refraction, dissolve and transmission filter; "illum" by kind (7, or 6
// without Fresnel reflection, for glass).
std::string MtlEntry(const TK_MeshMaterial& m, const std::string& base) {
    using Kind = TK_MeshMaterial::Kind;
    const int illum = m.kind == Kind::kGlass     ? (m.fresnel ? 7 : 6)
                      : m.kind == Kind::kMetal   ? 3
                      : m.kind == Kind::kPlastic ? 2
                                                 : 1;
    const float k = m.reflectance, ks = m.kind == Kind::kMetal ? k : 0;
    std::string e = "newmtl " + m.Name() + "\nillum " + std::to_string(illum) + "\n" + Line("Ka", 0, 0, 0) +
                    Line("Kd", k, k, k) + Line("Ks", ks, ks, ks) + "map_Kd " + base + ".png\n";
    e += Line("Pr", m.roughness) + Line("Pm", m.metallic);
    if (m.kind == Kind::kPlastic) e += Line("Pc", 1) + Line("Pcr", m.coatRoughness);
    if (m.kind == Kind::kEmit) e += Line("Ke", m.flux, m.flux, m.flux) + "map_Ke " + base + ".png\n";
    if (m.kind == Kind::kGlass) {
        e += Line("Ni", m.ior) + Line("d", 0) + Line("Tr", 1);
        e += Line("Tf", m.transmittance[0], m.transmittance[1], m.transmittance[2]);
    }
    return e;
}

}  // namespace

void TK_Plugin_OBJ::WriteMtlText(const TK_UsedMaterials& materials, const std::string& base, std::string& mtl) {
    mtl = kBanner;
    if (materials.Plain()) {
        mtl += "newmtl palette\nillum 1\nKa 0.000 0.000 0.000\nKd 1.000 1.000 1.000\nKs 0.000 0.000 0.000\nmap_Kd " +
               base + ".png\n";
        return;
    }
    for (size_t i = 0; i < materials.list.size(); ++i) mtl += (i ? "\n" : "") + MtlEntry(materials.list[i], base);
}

bool TK_Plugin_OBJ::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    const std::string base = TK_BaseNameOf(path), folder = TK_FolderOf(path);
    const TK_UsedMaterials materials(model, m_look ? m_look->materials : nullptr);
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    TK_MeshText out(&file);
    WriteObj(model, options, base, out, materials);
    if (!out.Finish() || !file.Close()) {
        file.Discard();
        return false;
    }
    std::string mtl;
    WriteMtlText(materials, base, mtl);
    return TK_WriteFileBytes(folder + base + ".mtl", mtl) &&
           TK_Plugin_PNG::SavePalette(folder + base + ".png", model.palette);
}
