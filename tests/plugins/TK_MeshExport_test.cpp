// Mesh export: the options and their clamps, the OBJ and PLY texts line by
// line for small models, merged rectangles, and the watertight surfaces of
// the OBJ, PLY and 3DS writers. (The OBJ vertex numbers are checked by
// reading the files back, with the 3DS reader's tests.)
#include <sstream>

#include "TK_PluginTest.h"
#include "core/OMB_BitFile.h"
#include "plugins/TK_3dsFile.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_3DS.h"
#include "plugins/TK_Plugin_OBJ.h"
#include "plugins/TK_Plugin_PLY.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

TK_Model Box(int sx, int sy, int sz, std::initializer_list<Voxel> voxels = {}) {
    TK_Model m = tk_test::MakeModel(sx, sy, sz, voxels);
    for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 2 * i, 3 * i);
    return m;
}

std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
    return out;
}

TK_MeshOptions Options(const char* config) { return tk_test::ReadOptions(config, "file_obj"); }

std::string Obj(const TK_Model& m, const TK_MeshOptions& o) {
    std::string text;
    TK_Plugin_OBJ::WriteObjText(m, o, "B", text);
    return text;
}

// The faces of a PLY text, as a mesh.
TK_ObjMesh PlyMesh(const std::string& ply) {
    TK_ObjMesh mesh;
    std::istringstream in(ply);
    long long vertices = 0, faces = 0;
    for (std::string word; in >> word && word != "end_header";)
        if (word == "vertex") in >> vertices;
        else if (word == "face") in >> faces;
    for (long long k = 0; k < vertices; ++k) {
        float p[3];
        int rgb[3];
        in >> p[0] >> p[1] >> p[2] >> rgb[0] >> rgb[1] >> rgb[2];
        mesh.positions.insert(mesh.positions.end(), p, p + 3);
    }
    for (long long f = 0; f < faces; ++f) {
        int n = 0;
        in >> n;
        for (int k = 0, i = 0; k < n && in >> i; ++k) mesh.cornerPosition.push_back(i);
        mesh.faceStart.push_back(int(mesh.cornerPosition.size()));
    }
    return mesh;
}

// The mesh of one writer, read back.
TK_ObjMesh Written(const char* format, const TK_Model& m, const TK_MeshOptions& o) {
    TK_ObjMesh mesh;
    std::string text;
    if (format[0] == 'o') {
        TK_Plugin_OBJ::WriteObjText(m, o, "B", text);
        EXPECT_TRUE(TK_ParseObj(text.data(), text.size(), mesh));
    } else if (format[0] == 'p') {
        TK_Plugin_PLY::WritePlyText(m, o, "B", text);
        mesh = PlyMesh(text);
    } else {
        std::vector<uint8_t> bytes;
        std::vector<TK_ObjMaterial> materials;
        OMB_SaveBitFile file;
        EXPECT_TRUE(file.OpenMemory(&bytes) && TK_Plugin_3DS::Write3ds(m, o, "B", "B.png", file) && file.Close());
        EXPECT_TRUE(TK_Parse3ds(bytes.data(), bytes.size(), mesh, materials));
    }
    return mesh;
}

}  // namespace

TEST(MeshExport, OptionsReadClampAndKeepDefaults) {
    TK_MeshOptions o = Options("file_obj ( ambient = '1.7' gamma = '-2' axis = 'X-zY' cw = '1' scale = '2 3 4' )");
    // Missing keys (optimize, pivot) keep their defaults.
    EXPECT_EQ((std::vector<float>{o.ambient, o.gamma, float(o.cw), float(o.optimize), o.pivot[2], o.scale[2]}),
              (std::vector<float>{1, 0, 1, 1, -1, 4}));
    const int order[3] = {0, 2, 1}, sign[3] = {1, -1, 1};
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(o.axisOrder[i] == order[i] && o.axisSign[i] == sign[i]) << i;
    EXPECT_EQ(Options("file_obj ( ambient = '-0.5' )").ambient, 0.0f);
    EXPECT_TRUE(o.watertight);
    EXPECT_FALSE(Options("file_obj ( watertight = '0' )").watertight);
}

TEST(MeshExport, ObjTextHasItsHeaderTexcoordsAndNormals) {
    const TK_Model m = Box(2, 1, 1, {{0, 0, 0, 9}, {1, 0, 0, 5}});
    const std::string obj = Obj(m, TK_MeshOptions());
    EXPECT_EQ(obj.substr(0, obj.find("# verts")),
              "# Tarsk @ Ombrel\n\n# material\nmtllib B.mtl\nusemtl palette\n\n# normals\n"
              "vn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\nvn 0 0 -1\nvn 0 0 1\n\n"
              "# texcoords\nvt 0.0175781 0.5\nvt 0.0332031 0.5\n\n");
    // The -X face belongs to the colour 9 voxel only, the +X face to colour 5.
    const auto faces = Lines(obj, "f ");
    ASSERT_EQ(faces.size(), 10u) << "the shared inner faces are not written";
    EXPECT_NE(faces[0].find("/2/1 "), std::string::npos) << faces[0];
    EXPECT_NE(faces[1].find("/1/2 "), std::string::npos) << faces[1];
}

TEST(MeshExport, AxisAndPivotApplyToVerticesAndNormals) {
    const TK_Model m = Box(1, 2, 3, {{0, 1, 2, 1}});
    TK_MeshOptions o = Options("file_obj ( axis = 'x-zy' pivot = '0 0 0' scale = '1 1 2' )");
    const std::string obj = Obj(m, o);
    const auto normals = Lines(obj, "vn ");
    EXPECT_EQ(normals[2], "vn 0 0 -1") << "-Y: written z is the source y";
    EXPECT_EQ(normals[5], "vn 0 -1 0") << "+Z: written y is the negated source z";
    const auto verts = Lines(obj, "v ");
    EXPECT_NE(std::find(verts.begin(), verts.end(), "v 1 -6 2"), verts.end()) << "corner (1, 2, 3)";
    // Default pivot: z is taken relative to minus the height.
    const auto plain = Lines(Obj(m, TK_MeshOptions()), "v ");
    EXPECT_NE(std::find(plain.begin(), plain.end(), "v 1 2 6"), plain.end());
}

// (That merged and unmerged rectangles cover exactly the exposed faces is
// checked through the glTF writer, which counts every unit face.)
TEST(MeshExport, MergingJoinsTheFacesOfABox) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(tk_test::ShapeModel(3, 4, 5, [](int, int, int) { return 7; }), true, surface);
    EXPECT_EQ(surface.Count(), 6u);
}

TEST(MeshExport, PlyHeaderAndCounts) {
    const TK_Model m = Box(2, 1, 1, {{0, 0, 0, 3}, {1, 0, 0, 4}});
    TK_MeshOptions o;
    o.pivot[2] = 0;
    std::string ply;
    TK_Plugin_PLY::WritePlyText(m, o, "two", ply);
    EXPECT_EQ(ply.substr(0, ply.find("end_header\n") + 11),
              "ply\nformat ascii 1.0\ncomment : two\ncomment : Tarsk @ Ombrel\nelement vertex 40\n"
              "property float x\nproperty float y\nproperty float z\nproperty uchar red\nproperty uchar green\n"
              "property uchar blue\nelement face 10\nproperty list uchar int vertex_index\nend_header\n");
    EXPECT_EQ(Lines(ply, "0 0 0 3 6 9").size(), 3u) << "origin corner of the colour 3 voxel's faces";
}

TEST(MeshExport, SaveWritesThreeFilesOrNothing) {
    TK_Model m = Box(1, 1, 1);
    TK_Plugin_OBJ plugin;
    const tk_test::TempFolder folder("tk_mesh_export");
    const std::string dir = folder.Path("");
    EXPECT_FALSE(plugin.SaveModel(dir + "mesh.obj", "", m)) << "empty model";
    m.voxels.Add(Voxel{0, 0, 0, 2});
    ASSERT_TRUE(plugin.SaveModel(dir + "mesh.obj", "", m));
    std::vector<uint8_t> mtl;
    ASSERT_TRUE(TK_ReadFileBytes(dir + "mesh.mtl", 4096, mtl));
    EXPECT_EQ(std::string(mtl.begin(), mtl.end()),
              "# Tarsk @ Ombrel\n\nnewmtl palette\nillum 1\nKa 0.000 0.000 0.000\nKd 1.000 1.000 1.000\n"
              "Ks 0.000 0.000 0.000\nmap_Kd mesh.png\n");
    Image image;
    ASSERT_TRUE(TK_Plugin_PNG().LoadImage(dir + "mesh.png", "", image));
    EXPECT_EQ(image.pixels[4], 2) << "pixel 1 is colour 2";
    EXPECT_TRUE(TK_Plugin_PLY().SaveModel(dir + "mesh.ply", "", m));
}

// Merged rectangles take the corners of their neighbours that lie on their
// edges: every edge then meets edges of its own length, so each one is used
// by an even number of faces (two, or four where voxels touch along an
// edge) and crossed as often each way; the triangles cover the exposed
// faces. Over the table they stay within 1.35 times the triangles of plain
// merging (striped clothes alone take more).
TEST(MeshExport, WatertightMergingLeavesNoCracks) {
    size_t triangles = 0, plain = 0;
    for (const auto& c : tk_test::CrackModels()) {
        TK_MeshSurface merged;
        TK_BuildMeshSurface(c.model, true, merged);
        const double exposed = double(tk_test::ExposedFaces(c.model).size());
        for (const char* format : {"obj", "ply", "3ds"}) {
            SCOPED_TRACE(std::string(c.name) + " " + format);
            tk_test::EdgeUse edges;
            edges.AddMesh(Written(format, c.model, TK_MeshOptions()));
            EXPECT_EQ(edges.Count(true), 0u);
            EXPECT_EQ(edges.Count(false), 0u);
            EXPECT_EQ(edges.Unpaired(), 0u) << "faces turn alike";
            EXPECT_NEAR(edges.area, exposed, 1e-6);
            triangles += edges.triangles, plain += 2 * merged.Count();
        }
    }
    EXPECT_LE(double(triangles), 1.35 * double(plain));
}

// With "watertight" off the merged rectangles are written as plain quads,
// T-junctions and all.
TEST(MeshExport, WatertightOffWritesPlainRectangles) {
    const TK_Model m = tk_test::CrackModels().back().model;
    TK_MeshSurface merged;
    TK_BuildMeshSurface(m, true, merged);
    TK_MeshOptions o;
    o.watertight = false;
    const std::string obj = Obj(m, o);
    const auto faces = Lines(obj, "f ");
    EXPECT_EQ(faces.size(), merged.Count());
    EXPECT_EQ(std::count_if(faces.begin(), faces.end(), [](const std::string& f) { return std::count(f.begin(), f.end(), ' ') == 4; }),
              std::ptrdiff_t(faces.size())) << "quads only";
    tk_test::EdgeUse edges;
    edges.AddMesh(Written("obj", m, o));
    EXPECT_GT(edges.Count(true), 0u) << "the cracks of plain merging";
}
