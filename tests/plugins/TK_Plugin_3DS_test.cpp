// 3DS export and import (and the OBJ round trip): what is written reads back
// cell for cell; a hand-made file, broken files and failed saves.
#include <filesystem>

#include "TK_PluginTest.h"
#include "core/OMB_BitFile.h"
#include "plugins/TK_3dsFile.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_3DS.h"
#include "plugins/TK_Plugin_OBJ.h"

namespace {

using namespace tk3ds;
namespace fs = std::filesystem;

bool LShape(int x, int, int z) { return x == 0 || z == 0; }
// A shell around a cavity holding a few voxels.
bool Shell(int x, int y, int z) { return x % 4 == 0 || y % 4 == 0 || z % 4 == 0 || (x + y + z) % 5 == 0; }
int Two(int x, int, int) { return x ? 40 : 200; }
int Many(int x, int y, int z) { return 1 + (x * 7 + y * 13 + z * 29) % 250; }

TK_Model MakeModel(int sx, int sy, int sz, bool (*shape)(int, int, int), int (*colour)(int, int, int)) {
    return tk_test::ShapeModel(sx, sy, sz, [=](int x, int y, int z) { return shape(x, y, z) ? colour(x, y, z) : 0; });
}

// The written bytes, read back by the reader; the main chunk must hold the
// whole file (the reader itself accepts trailing bytes).
struct Written {
    std::vector<uint8_t> bytes;
    TK_ObjMesh mesh;
    std::vector<TK_ObjMaterial> materials;
};
Written WriteAndRead(const TK_Model& m, const TK_MeshOptions& o) {
    Written w;
    OMB_SaveBitFile file;
    EXPECT_TRUE(file.OpenMemory(&w.bytes));
    EXPECT_TRUE(TK_Plugin_3DS::Write3ds(m, o, "model", "model.png", file) && file.Close());
    EXPECT_EQ(size_t(OMB_GetInt32LE(&w.bytes[2])), w.bytes.size());
    EXPECT_TRUE(TK_Parse3ds(w.bytes.data(), w.bytes.size(), w.mesh, w.materials));
    return w;
}

bool Holds(const std::vector<uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// A file as another program might write it: a 4-unit cube whose faces come
// before its vertices, a red material in float colour, unknown chunks.
struct Node {
    uint16_t id;
    std::vector<uint8_t> payload;
    std::vector<Node> children;
    long long lengthDelta;
};
Node Chunk(uint16_t id, std::vector<uint8_t> payload, std::vector<Node> children = {}) {
    return Node{id, std::move(payload), std::move(children), 0};
}

std::vector<uint8_t> Serialise(const Node& n) {
    tk_test::Bytes body{n.payload};
    for (const Node& c : n.children) body.Add(Serialise(c));
    return tk_test::Bytes().U16(n.id).U32(uint32_t(body.data.size() + 6 + n.lengthDelta)).Add(body.data).data;
}

Node Cube() {
    const std::string name("red", 4);
    tk_test::Bytes vertices = tk_test::Bytes().U16(8), faces = tk_test::Bytes().U16(12);
    tk_test::Bytes group = tk_test::Bytes().Text(name).U16(12);
    for (int i = 0; i < 8; ++i)
        for (int a = 0; a < 3; ++a) vertices.F32(float(4 * (i >> a & 1)));
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (int f = 0; f < 12; ++f) {
        for (int k : {0, f % 2 ? 2 : 1, f % 2 ? 3 : 2}) faces.U16(quads[f / 2][k]);
        faces.U16(0);
        group.U16(f);
    }
    const Node diffuse = Chunk(kDiffuse, {}, {Chunk(kColourFloat, tk_test::Bytes().F32(1).F32(0).F32(0).data)});
    const Node material = Chunk(kMaterial, {}, {Chunk(kMaterialName, tk_test::Bytes().Text(name).data), diffuse});
    const Node mesh = Chunk(kTriangleMesh, {},
                            {Chunk(kFaces, faces.data, {Chunk(kFaceMaterial, group.data)}),
                             Chunk(0x4160, std::vector<uint8_t>(48, 0)), Chunk(kVertices, vertices.data)});
    const Node object = Chunk(kObject, {'c', 0}, {mesh});
    const Node editor = Chunk(kEditor, {}, {Chunk(0x0100, {0, 0, 128, 63}), material, object});
    return Chunk(kMain, {}, {editor, Chunk(0xB000, {1, 2, 3})});
}

}  // namespace

// Both mesh formats read back what they wrote.
TEST(MeshImport, ExportedModelsComeBackCellForCell) {
    TK_Plugin_3DS tds;
    TK_Plugin_OBJ obj;
    const TK_Model shell = MakeModel(5, 5, 5, Shell, Many);
    const TK_Model odd = MakeModel(6, 5, 4, [](int x, int y, int z) { return (x * y + z) % 3 != 1; }, Many);
    const struct {
        TK_Plugin_Mesh* plugin;
        TK_Model model;
        const char* config;  // its section named first
    } cases[] = {
        {&tds, shell, "file_3ds ( )"},
        {&tds, odd, "file_3ds ( axis = 'x-zy' scale = '2 1 0.5' cw = '1' optimize = '0' tc_offset = '0.25 0.1' )"},
        {&obj, shell, "file_obj ( )"},
        {&obj, odd, "file_obj ( optimize = '0' )"},
        {&obj, odd, "file_obj ( axis = 'x-zy' scale = '2 1 0.5' )"},
    };
    const tk_test::TempFolder folder("tk_mesh_import");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        const std::string section(c.config, 8), path = folder.Path("model." + section.substr(5));
        c.plugin->options = tk_test::ReadOptions(c.config, section.c_str());
        ASSERT_TRUE(c.plugin->SaveModel(path, "", c.model));
        TK_Model back;
        ASSERT_TRUE(c.plugin->LoadModel(path, "", back));
        tk_test::ExpectSameModel(c.model, back);
    }
}

// The signed volume of a closed mesh is positive when its triangles wind
// counter-clockwise seen from outside.
TEST(Plugin3ds, TrianglesFaceOutwardsUnlessClockwise) {
    const struct {
        const char* config;
        double sign;
    } cases[] = {{"file_3ds ( )", 1}, {"file_3ds ( cw = '1' )", -1}, {"file_3ds ( axis = '-xyz' )", 1},
                 {"file_3ds ( axis = 'y-xz' cw = '1' scale = '1 2 3' optimize = '0' )", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        const TK_MeshOptions o = tk_test::ReadOptions(c.config, "file_3ds");
        const TK_ObjMesh mesh = WriteAndRead(MakeModel(3, 1, 2, LShape, Two), o).mesh;
        double volume = 0;
        for (size_t f = 0; f < mesh.FaceCount(); ++f) {
            const float* p[3];
            for (size_t k = 0; k < 3; ++k) p[k] = &mesh.positions[size_t(3 * mesh.cornerPosition[3 * f + k])];
            volume += (p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                       p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                       p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0])) / 6;
        }
        EXPECT_NEAR(volume * c.sign, 4 * o.scale[0] * o.scale[1] * o.scale[2], 1e-3) << "four voxels";
    }
}

TEST(Plugin3ds, LargeSurfacesAreCutIntoObjects) {
    const TK_Model board = MakeModel(40, 40, 40, [](int x, int y, int z) { return (x + y + z) % 2 == 0; }, Two);
    TK_MeshOptions o;
    o.optimize = false;
    // 16-bit lists that overflowed would lose faces or fail the read.
    const Written w = WriteAndRead(board, o);
    EXPECT_TRUE(Holds(w.bytes, std::string("model_2", 8)));
    EXPECT_EQ(w.mesh.FaceCount(), size_t(2 * 6 * board.voxels.Count()));
    TK_Model back;
    back.palette = board.palette;
    ASSERT_TRUE(TK_VoxeliseMesh(w.mesh, w.materials, {true}, o, back));
    tk_test::ExpectSameModel(board, back);
}

TEST(Plugin3ds, ReadsAnOrdinaryFileAndRefusesBrokenOnes) {
    TK_ObjMesh mesh;
    std::vector<TK_ObjMaterial> materials;
    const std::vector<uint8_t> cube = Serialise(Cube());
    ASSERT_TRUE(TK_Parse3ds(cube.data(), cube.size(), mesh, materials));
    EXPECT_EQ(mesh.cornerTexcoord[0], -1) << "no texture coordinates";
    TK_Model model = tk_test::MakeModel(1, 1, 1, {{0, 0, 0, 1}});
    ASSERT_TRUE(TK_VoxeliseMesh(mesh, materials, {false}, TK_MeshOptions(), model));
    EXPECT_EQ(model.voxels.Count(), 64);
    EXPECT_EQ(model.voxels[0].colorIndex, model.FindNearestColor(PackRGBA(255, 0, 0)));
    // 250 units wide: scaled down to fill the largest model.
    for (float& p : mesh.positions) p *= 62.5f;
    ASSERT_TRUE(TK_VoxeliseMesh(mesh, materials, {false}, TK_MeshOptions(), model));
    EXPECT_EQ(model.size[0], kMaxModelSize);
    EXPECT_EQ(model.voxels.Count(), kMaxModelSize * kMaxModelSize * kMaxModelSize);

    // The cube's mesh children: faces (with the group), matrix, vertices.
    const struct {
        const char* message;
        void (*mutate)(Node& main, std::vector<Node>& mesh);
    } cases[] = {
        {"file shorter", [](Node& main, std::vector<Node>&) { main.lengthDelta = 20; }},  // a cut file
        {"not a 3DS file", [](Node& main, std::vector<Node>&) { main.id = 0x4D4E; }},
        {"runs past its parent", [](Node&, std::vector<Node>& mesh) { mesh[2].lengthDelta = 1000; }},
        {"shorter than its header", [](Node&, std::vector<Node>& mesh) { mesh[1].lengthDelta = -54; }},
        {"list longer than its chunk", [](Node&, std::vector<Node>& mesh) { mesh[2].payload[0] = 9; }},
        {"face names a vertex", [](Node&, std::vector<Node>& mesh) { mesh[0].payload[2] = 8; }},
        {"group names a face", [](Node&, std::vector<Node>& mesh) { mesh[0].children[0].payload[6] = 12; }},
        {"not a finite number", [](Node&, std::vector<Node>& mesh) { std::memset(&mesh[2].payload[2], 0xFF, 4); }},
        {"closing zero byte",
         [](Node& main, std::vector<Node>&) { main.children[0].children[2] = Chunk(kObject, {'c'}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Node main = Cube();
        c.mutate(main, main.children[0].children[2].children[0].children);
        const std::vector<uint8_t> bytes = Serialise(main);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(TK_Parse3ds(bytes.data(), bytes.size(), mesh, materials));
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.rfind("[Error] 3DS : offset ", 0), 0u) << output;
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
        EXPECT_EQ(mesh.FaceCount() + materials.size(), 0u);
    }
}

TEST(Plugin3ds, SavesThePaletteBesideOrNothingAndFailedLoadsKeepTheModel) {
    const tk_test::TempFolder folder("tk_3ds");
    TK_Model named = MakeModel(3, 1, 2, LShape, Two);
    named.name = "dir/an_overlong_name.vox";
    ASSERT_TRUE(TK_Plugin_3DS().SaveModel(folder.Path("beside.3ds"), "", named));
    std::vector<uint8_t> file, png;
    ASSERT_TRUE(TK_ReadFileBytes(folder.Path("beside.3ds"), 1 << 20, file));
    TK_ObjMesh mesh;
    std::vector<TK_ObjMaterial> materials;
    ASSERT_TRUE(TK_Parse3ds(file.data(), file.size(), mesh, materials));
    TK_MeshSurface surface;
    TK_BuildMeshSurface(named, true, surface);
    EXPECT_EQ(mesh.FaceCount(), 2 * surface.Count() + 2) << "two triangles a rectangle, one more for the corner on an edge";
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0].texture, "beside.png");
    EXPECT_TRUE(Holds(file, std::string("an_overlon", 11))) << "names keep to ten bytes";
    EXPECT_TRUE(TK_ReadFileBytes(folder.Path("beside.png"), 1 << 16, png));
    // An empty model or a missing folder writes nothing.
    EXPECT_FALSE(TK_Plugin_3DS().SaveModel(folder.Path("empty.3ds"), "", tk_test::MakeModel(2, 2, 2)));
    EXPECT_FALSE(TK_Plugin_3DS().SaveModel(folder.Path("missing/x.3ds"), "", named));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Dir()), fs::directory_iterator()), 2);
    // A broken file and a missing one leave the model as it was.
    Node main = Cube();
    main.children[0].children[2].children[0].children[0].payload[2] = 8;
    ASSERT_TRUE(TK_WriteFileBytes(folder.Path("broken.3ds"), Serialise(main)));
    const tk_test::ModelState before = tk_test::ModelState::Of(named);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(TK_Plugin_3DS().LoadModel(folder.Path("broken.3ds"), "", named));
    EXPECT_FALSE(TK_Plugin_3DS().LoadModel(folder.Path("missing.3ds"), "", named));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(tk_test::ModelState::Of(named) == before);
}
