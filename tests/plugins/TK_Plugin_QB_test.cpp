// Qubicle Binary: round trip, hand-made files for matrix merging, BGRA,
// palette overflow and run-length slices (cut short or past the voxel
// budget), the exact log and error lines of refused files.
#include "plugins/TK_Plugin_QB.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TK_PluginTest.h"

namespace {

using tk_test::Bytes;
using tk_test::RgbAt;

Bytes Header(uint32_t format, uint32_t compression, uint32_t matrices) {
    return Bytes().U8(1).U8(1).U8(0).U8(0).U32(format).U32(1).U32(compression).U32(0).U32(matrices);
}

Bytes& Matrix(Bytes& b, const std::string& name, int sx, int sy, int sz, int px = 0, int py = 0, int pz = 0) {
    b.U8(int(name.size())).Text(name);
    for (int v : {sx, sy, sz, px, py, pz}) b.U32(uint32_t(v));
    return b;
}

bool Read(const Bytes& b, TK_Model& m, std::string* log = nullptr) {
    return tk_test::ReadLogged(&TK_Plugin_QB::ReadBytes, b.data, m, log);
}

}  // namespace

TEST(PluginQB, RoundTripOrdersThePaletteByFirstUseCutsLongNamesAndRefusesEmptyModels) {
    TK_Model model = tk_test::MakeModel(3, 4, 2, {{0, 0, 0, 9}, {2, 0, 0, 5}, {1, 3, 1, 9}});
    model.name = "folder/ship.vox";
    model.palette[5] = PackRGBA(10, 20, 30);
    model.palette[9] = PackRGBA(40, 50, 60);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(TK_Plugin_QB::WriteBytes(model, bytes));
    EXPECT_EQ(bytes.size(), 24u + 1 + 4 + 24 + 3 * 2 * 4 * 4) << "one plain matrix of x * z * y cells";
    TK_Model back;
    std::string log;
    ASSERT_TRUE(Read(Bytes{bytes}, back, &log));
    EXPECT_EQ(log, "[Log] QB : colorFormat : 0\n[Log] QB : compression : 0\n[Log] QB : numModels   : 1\n"
                   "[Log] QB : # 0 : ship : ( 3 2 4 ) : ( 0 0 0 )\n");
    EXPECT_EQ(tk_test::ColoredCells(back), tk_test::ColoredCells(model));
    EXPECT_EQ(back.size[1], 4);
    // QB x is mirrored: (2,0,0) in colour 5 is met before (0,0,0) in colour
    // 9; the grey ramp follows.
    EXPECT_EQ((std::vector<uint32_t>(&back.palette[1], &back.palette[4])),
              (std::vector<uint32_t>{model.palette[5], model.palette[9], PackRGBA(253, 253, 253)}));
    model.name = std::string(300, 'n') + ".vox";
    ASSERT_TRUE(TK_Plugin_QB::WriteBytes(model, bytes));
    EXPECT_EQ(bytes[24], 127);
    EXPECT_EQ(bytes.size(), 24u + 1 + 127 + 24 + 3 * 2 * 4 * 4);
    const tk_test::TempFolder folder("tk_qb");
    EXPECT_FALSE(TK_Plugin_QB().SaveModel(folder.Path("empty.qb"), "", tk_test::MakeModel(1, 1, 1)));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Dir())) << "nothing is created for a refused export";
}

TEST(PluginQB, TwoMatricesAtDifferentPositionsMergeIntoOneBox) {
    Bytes b = Header(0, 0, 2);
    Matrix(b, "a", 2, 1, 1).U32(PackRGBA(255, 0, 0)).U32(PackRGBA(0, 255, 0));
    Matrix(b, "b", 1, 1, 1, 5, 2, 3).U32(PackRGBA(0, 0, 255));
    TK_Model m;
    std::string log;
    ASSERT_TRUE(Read(b, m, &log));
    EXPECT_NE(log.find("[Log] QB : # 1 : b : ( 1 1 1 ) : ( 5 3 2 )\n"), std::string::npos) << log;
    // QB x 0..5 mirrored as a whole; QB z 0..3 is model y; QB y 0..2 model z.
    EXPECT_EQ(std::vector<int>(m.size, m.size + 3), (std::vector<int>{6, 4, 3}));
    EXPECT_EQ(m.voxels.Count(), 3);
    EXPECT_EQ(RgbAt(m, 5, 0, 0), PackRGBA(255, 0, 0));
    EXPECT_EQ(RgbAt(m, 4, 0, 0), PackRGBA(0, 255, 0));
    EXPECT_EQ(RgbAt(m, 0, 3, 2), PackRGBA(0, 0, 255));
}

TEST(PluginQB, BgraFilesGiveTheSamePaletteAsRgba) {
    Bytes rgba = Header(0, 0, 1), bgra = Header(1, 0, 1);
    Matrix(rgba, "m", 3, 1, 1);
    Matrix(bgra, "m", 3, 1, 1);
    for (uint32_t c : {PackRGBA(10, 20, 30), 0u, PackRGBA(200, 100, 50)}) {
        rgba.U32(c);
        bgra.U32(PackRGBA(ColorB(c), ColorG(c), ColorR(c), ColorA(c)));
    }
    TK_Model a, b;
    ASSERT_TRUE(Read(rgba, a) && Read(bgra, b));
    EXPECT_TRUE(tk_test::ModelState::Of(a) == tk_test::ModelState::Of(b));
    EXPECT_EQ(a.palette[2], PackRGBA(200, 100, 50));
}

TEST(PluginQB, ColoursPastTheFirst255GoToTheNearest) {
    Bytes b = Header(0, 0, 1);
    Matrix(b, "m", 150, 2, 1);
    for (int i = 0; i < 300; ++i) b.U32(PackRGBA(i % 256, i / 256 * 7, 100));
    TK_Model m;
    ASSERT_TRUE(Read(b, m));
    ASSERT_EQ(m.voxels.Count(), 300);
    for (const Voxel& v : m.voxels) {
        const int i = 149 - v.x + 150 * v.z;  // the file position
        EXPECT_EQ(v.colorIndex, i < 255 ? i + 1 : m.FindNearestColor(PackRGBA(i % 256, i / 256 * 7, 100))) << i;
    }
}

TEST(PluginQB, RunLengthSlicesWithinTheDataAndTheBudget) {
    const uint32_t a = PackRGBA(1, 1, 1), c = PackRGBA(3, 3, 3), d = PackRGBA(4, 4, 4);
    Bytes b = Header(0, 1, 1);
    // Slice 0: a at p 0, a transparent run skips p 1-2, c fills p 3-4, a
    // transparent single word takes p 5. Slice 1: an endless run fills it.
    Matrix(b, "rle", 3, 2, 2).U32(a).U32(2).U32(2).U32(0).U32(2).U32(2).U32(c).U32(PackRGBA(9, 9, 9, 0)).U32(6);
    b.U32(2).U32(0xFFFFFFFFu).U32(d).U32(6);
    TK_Model m;
    ASSERT_TRUE(Read(b, m));
    EXPECT_EQ(m.voxels.Count(), 3 + 6);
    // p -> QB x = p mod 3, QB y = p div 3 -> model (2 - QB x, QB z, QB y).
    EXPECT_EQ(RgbAt(m, 2, 0, 0), a);
    EXPECT_EQ(RgbAt(m, 2, 0, 1), c);
    EXPECT_EQ(RgbAt(m, 1, 0, 1), c);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(RgbAt(m, x, 1, 0), d);
    // A slice cut short keeps what was read.
    Bytes cut = Header(0, 1, 1);
    Matrix(cut, "r", 4, 4, 4).U32(PackRGBA(1, 1, 1)).U32(PackRGBA(2, 2, 2)).U32(2).U32(0x7FFFFFFF).U32(0).U32(2);
    ASSERT_TRUE(Read(cut, m));
    EXPECT_EQ(m.voxels.Count(), 2);
    // Runs filling two 256^3 matrices from 8 KB: the budget stops them.
    Bytes flood = Header(0, 1, 2);
    for (int k = 0; k < 2; ++k) {
        Matrix(flood, "f", 256, 256, 256, 0, 0, 256 * k);
        for (int z = 0; z < 256; ++z) flood.U32(2).U32(65536).U32(PackRGBA(k, 1, 1)).U32(6);
    }
    ASSERT_TRUE(Read(flood, m));
    EXPECT_EQ(m.voxels.Count(), kMaxQBVoxels);
}

TEST(PluginQB, RefusedFilesAndTheirMessages) {
    const std::string version = "[Error] QB : version does not match : 1.1.0.0\n";
    Bytes noVoxel = Header(0, 0, 1);
    Matrix(noVoxel, "e", 1, 1, 1).U32(PackRGBA(5, 5, 5, 0));
    Bytes huge = Header(0, 0, 1);
    Matrix(huge, "b", 100000, 100000, 100000).U32(PackRGBA(5, 5, 5));
    Bytes more = Header(0, 0, 0xFFFFFFFFu);  // a whole matrix, but a count that promises more
    Matrix(more, "m", 1, 1, 1).U32(PackRGBA(1, 2, 3));
    const std::pair<Bytes, std::string> cases[] = {
        {huge, "[Error] QB : matrix too large : b : 100000 x 100000 x 100000 (at most 256 a side)\n"},
        {Bytes().U8(1).U8(1).U8(0).U8(1), version},
        {Bytes(), version},
        {Bytes().U8(1).U8(1).U8(0).U8(0).U32(0), ""},  // short header
        {Header(0, 0, 0), "[Log] QB : numModels   : 0\n"},
        {noVoxel, "[Log] QB : # 0 : e : ( 1 1 1 ) : ( 0 0 0 )\n"},
        {more, "[Log] QB : numModels   : -1\n"},
    };
    for (const auto& [bytes, message] : cases) {
        TK_Model m;
        std::string log;
        EXPECT_FALSE(Read(bytes, m, &log)) << message;
        EXPECT_NE(log.find(message), std::string::npos) << log;
        EXPECT_EQ(log.find("[Error]") == 0, message == version) << log;
    }
}
