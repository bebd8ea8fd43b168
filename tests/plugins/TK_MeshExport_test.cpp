// Mesh export: the options and their clamps, the OBJ and PLY texts line by
// line for small models, and the surface itself: only exposed faces, merged
// rectangles, and a closed, consistently wound surface when faces are not
// merged.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TK_PluginTest.h"
#include "core/OMB_LmpParser.h"
#include "plugins/TK_ImageFile.h"
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

}  // namespace

TEST(MeshExport, OptionsReadClampAndKeepDefaults) {
    TK_MeshOptions o = Options("file_obj ( ambient = '1.7' gamma = '-2' axis = 'X-zY' cw = '1' scale = '2 3 4' )");
    // Missing keys (optimize, pivot) keep their defaults.
    EXPECT_EQ((std::vector<float>{o.ambient, o.gamma, float(o.cw), float(o.optimize), o.pivot[2], o.scale[2]}),
              (std::vector<float>{1, 0, 1, 1, -1, 4}));
    const int order[3] = {0, 2, 1}, sign[3] = {1, -1, 1};
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(o.axisOrder[i] == order[i] && o.axisSign[i] == sign[i]) << i;
    EXPECT_EQ(Options("file_obj ( ambient = '-0.5' )").ambient, 0.0f);
}

TEST(MeshExport, ObjTextHasItsHeaderTexcoordsAndNormals) {
    const TK_Model m = Box(2, 1, 1, {{0, 0, 0, 9}, {1, 0, 0, 5}});
    const std::string obj = Obj(m, TK_MeshOptions());
    EXPECT_EQ(obj.substr(0, obj.find("# verts")),
              "# Tarsk @ Ombrel\n\n# material\nmtllib B.mtl\nusemtl palette\n\n# normals\n"
              "vn -1 0 0\nvn 1 0 0\nvn 0 -1 0\nvn 0 1 0\nvn 0 0 -1\nvn 0 0 1\n\n"
              "# texcoords\nvt 0.0175781 0.5\nvt 0.0332031 0.5\n\n");
    EXPECT_NE(obj.find("\n\n# faces\nf "), std::string::npos);
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

// (That merged rectangles cover exactly the exposed faces is checked through
// the glTF writer, which counts every unit face.)
TEST(MeshExport, MergingJoinsTheFacesOfABox) {
    const TK_Model full = tk_test::ShapeModel(3, 4, 5, [](int, int, int) { return 7; });
    TK_MeshSurface surface;
    TK_BuildMeshSurface(full, true, surface);
    EXPECT_EQ(surface.Count(), 6u);
    TK_BuildMeshSurface(full, false, surface);
    EXPECT_EQ(surface.Count(), size_t(2 * (12 + 15 + 20)));
}

// Outward winding (shared by every mesh writer) is checked by the 3DS and
// baked PLY volumes.
TEST(MeshExport, UnmergedObjSurfaceIsClosed) {
    // A staircase: manifold, with inner and outer edges.
    const TK_Model stairs = tk_test::ShapeModel(4, 3, 4, [](int x, int, int z) { return x >= z ? 1 + x : 0; });
    for (const char* config : {"file_obj ( optimize = '0' )", "file_obj ( optimize = '0' axis = '-xyz' cw = '1' )"}) {
        SCOPED_TRACE(config);
        std::map<std::pair<int, int>, int> directed;
        for (const std::string& line : Lines(Obj(stairs, Options(config)), "f ")) {
            std::istringstream in(line.substr(2));
            std::vector<int> f;
            for (std::string corner; in >> corner;) f.push_back(std::stoi(corner));
            for (size_t k = 0; k < f.size(); ++k) directed[{f[k], f[(k + 1) % f.size()]}]++;
        }
        for (const auto& [edge, count] : directed)
            ASSERT_TRUE(count == 1 && directed.count({edge.second, edge.first})) << "edge used once each way: "
                                                                                 << edge.first << "-" << edge.second;
    }
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
    const auto faces = Lines(ply, "4 ");
    ASSERT_EQ(faces.size(), 10u);
    EXPECT_EQ(faces[9], "4 36 37 38 39");
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
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.pixels[4], 2) << "pixel 1 is colour 2";
    EXPECT_TRUE(TK_Plugin_PLY().SaveModel(dir + "mesh.ply", "", m));
    EXPECT_FALSE(TK_Plugin_PLY().SaveModel(dir + "missing/mesh.ply", "", m));
}
