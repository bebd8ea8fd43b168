// OBJ import: scaling of large meshes, refused texts, many materials.
// (Round trips through the files and material colours are checked with the
// 3DS reader's.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "TK_PluginTest.h"
#include "plugins/TK_MeshFiles.h"
#include "plugins/TK_ObjImport.h"
#include "plugins/TK_Plugin_OBJ.h"

namespace {

bool ParseText(const std::string& text, TK_ObjMesh& mesh, std::string* output = nullptr) {
    return tk_test::ReadLogged(&TK_ParseObj, text, mesh, output);
}

const char kCube[] =
    "v 0 0 0\nv 4 0 0\nv 4 4 0\nv 0 4 0\nv 0 0 4\nv 4 0 4\nv 4 4 4\nv 0 4 4\nusemtl red\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

}  // namespace

TEST(ObjImport, LargeMeshesFillTheLargestModel) {
    // A cube 250 units wide.
    TK_ObjMesh mesh;
    ASSERT_TRUE(ParseText(kCube, mesh));
    for (float& p : mesh.positions) p *= 62.5f;
    TK_Model model;
    ASSERT_TRUE(TK_VoxeliseMesh(mesh, std::vector<TK_ObjMaterial>(1), {false}, TK_MeshOptions(), model));
    EXPECT_EQ(model.size[0], kMaxModelSize);
    EXPECT_EQ(model.voxels.Count(), kMaxModelSize * kMaxModelSize * kMaxModelSize);
}

TEST(ObjImport, RefusesBadTexts) {
    const char* cases[] = {
        "v 0 0 0\nv 1 0 0\nf 1 2 3\n",  // vertex 3 undefined
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2\n",
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1/4 2 3\n",  // texture coordinate 4 undefined
        "v 0 zero 0\n",
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nf -4 2 3\n",
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 0 2 3\n",
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 4294967297 4294967298 4294967299\n",  // 1 2 3 after a wrap
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0\nf 1/4294967297 2 3\n",
        "vt\n",
    };
    for (const char* text : cases) {
        TK_ObjMesh mesh;
        std::string output;
        EXPECT_FALSE(ParseText(text, mesh, &output)) << text;
        EXPECT_EQ(output.rfind("[Error] OBJ : line ", 0), 0u) << output;
        EXPECT_EQ(mesh.FaceCount(), 0u);
    }
    TK_ObjMesh empty;
    ASSERT_TRUE(ParseText("# nothing\nv 1 2 3\n", empty));
    TK_Model model;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(TK_VoxeliseMesh(empty, {}, {}, TK_MeshOptions(), model));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Error] OBJ : no faces\n") << "no line to name";
    // A file past the size limit says so (sparse: no disk is spent).
    const tk_test::TempFolder folder("tk_obj_huge");
    const std::string huge = folder.Path("huge.obj");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, kMaxObjFileSize + 1);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(TK_Plugin_OBJ().LoadModel(huge, "", model));
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("[Error] OBJ : file too large : " + huge, 0), 0u);
}

// Each "usemtl" name used to be searched for among all the earlier ones.
TEST(ObjImport, ManyMaterialNamesTakeLinearTime) {
    std::string text = "v 0 0 0\nv 1 0 0\nv 1 1 0\n";
    for (int i = 0; i < 100000; ++i) text += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    const auto start = std::chrono::steady_clock::now();
    TK_ObjMesh mesh;
    ASSERT_TRUE(ParseText(text, mesh));
    std::vector<TK_ObjMaterial> found(3), materials;
    found[1].name = "m99999";
    Palette palette;
    std::vector<bool> textured;
    TK_ResolveMaterials(mesh, found, "", palette, materials, textured);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    ASSERT_EQ(materials.size(), 100000u);
    EXPECT_EQ(materials[99999].name, "m99999");
}
