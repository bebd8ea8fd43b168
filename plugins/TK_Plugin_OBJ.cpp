// OBJ mesh export (see TK_Plugin_OBJ.h). Vertices are numbered on their
// first use, direction by direction, so faces of all directions share them.
#include "plugins/TK_Plugin_OBJ.h"

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
void WriteTexcoords(const TK_Model& model, const TK_MeshOptions& o, TK_MeshText& out, int number[256]) {
    bool used[256] = {};
    for (const Voxel& v : model.voxels) used[v.colorIndex] = true;
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

void WriteFaces(const TK_MeshOptions& o, const TK_MeshSurface& surface, const TK_MeshJoints& joints,
                CornerIndex& index, const int texcoord[256], TK_MeshText& out) {
    const bool reverse = TK_Plugin_Mesh::ReverseWinding(o);
    // "/t/n" of each colour and direction, made once.
    std::string tail[256][6];
    for (int c = 1; c < 256; ++c)
        for (int d = 0; d < 6; ++d)
            if (texcoord[c]) tail[c][d] = "/" + std::to_string(texcoord[c]) + "/" + std::to_string(d + 1);
    int corners[4][3], corner[3];
    std::vector<int> ring, triangles;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) {
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
    const uintmax_t size = std::filesystem::file_size(path, error);
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
                                 std::string& obj) {
    TK_MeshText out;
    WriteObj(model, o, base, out);
    obj.swap(out.text);
}

void TK_Plugin_OBJ::WriteObj(const TK_Model& model, const TK_MeshOptions& o, const std::string& base, TK_MeshText& out) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, o.optimize, surface);
    out.Str(kBanner).Str("# material\n").Str("mtllib ").Str(base.c_str()).Str(".mtl\n").Str("usemtl palette\n\n");
    out.Str("# normals\n");
    for (int d = 0; d < 6; ++d) {
        int n[3];
        Normal(o, d, n);
        out.Str("vn ").Int(n[0]).Ch(' ').Int(n[1]).Ch(' ').Int(n[2]).Ch('\n');
    }
    out.Str("\n# texcoords\n");
    int texcoord[256];
    WriteTexcoords(model, o, out, texcoord);
    out.Str("\n# verts\n");
    CornerIndex index(model);
    const TK_MeshJoints joints(model, surface, o.watertight);
    WriteVertices(model, o, surface, joints, index, out);
    out.Str("\n# faces\n");
    WriteFaces(o, surface, joints, index, texcoord, out);
}

void TK_Plugin_OBJ::WriteMtlText(const std::string& base, std::string& mtl) {
    mtl = std::string(kBanner) + "newmtl palette\n" + "illum 1\n" + "Ka 0.000 0.000 0.000\n" +
          "Kd 1.000 1.000 1.000\n" + "Ks 0.000 0.000 0.000\n" + "map_Kd " + base + ".png\n";
}

bool TK_Plugin_OBJ::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    if (model.voxels.Empty() || path.empty()) return false;
    const std::string base = TK_BaseNameOf(path), folder = TK_FolderOf(path);
    OMB_SaveBitFile file;
    if (!file.Open(path.c_str())) return false;
    TK_MeshText out(&file);
    WriteObj(model, options, base, out);
    if (!out.Finish() || !file.Close()) {
        file.Discard();
        return false;
    }
    std::string mtl;
    WriteMtlText(base, mtl);
    return TK_WriteFileBytes(folder + base + ".mtl", mtl) &&
           TK_Plugin_PNG::SavePalette(folder + base + ".png", model.palette);
}
