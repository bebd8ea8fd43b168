// The two ".vox" plugins. Slab6 files: the exact cell order and palette
// scaling, round trips, the length and size checks with their messages.
// Native files take the Slab6 path and Slab6 files the ".vox" path, with the
// palette image of both; other files fail cleanly.
#include "plugins/TK_Plugin_SLAB.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TK_PluginTest.h"
#include "plugins/TK_Plugin_VOX.h"

namespace {

using tk_test::Bytes;

bool Read(const Bytes& b, TK_Model& m, std::string* out = nullptr) {
    return tk_test::ReadLogged(&TK_Plugin_SLAB::ReadBytes, b.data, m, out);
}

// 2 x 3 x 4, empty but for one byte; file colour k is (k mod 64, 63, 64).
Bytes HandMade(size_t offset, uint8_t value) {
    Bytes b = Bytes().U32(2).U32(3).U32(4).Fill(24, 255);
    b.data[12 + offset] = value;
    for (int k = 0; k < 256; ++k) b.U8(k % 64).U8(63).U8(64);
    return b;
}

}  // namespace

TEST(PluginSLAB, CellOrderAndPaletteScaling) {
    // Byte (sz - 1 - z) + sz * (sy - 1 - y) + sy * sz * x: 21 is (1, 0, 2).
    TK_Model m;
    ASSERT_TRUE(Read(HandMade(21, 6), m));
    EXPECT_EQ(tk_test::SortedWords(m.voxels), (std::vector<uint32_t>{Voxel{1, 0, 2, 7}.Word()}));
    EXPECT_EQ(m.palette[1], PackRGBA(0, 252, 255)) << "times 4, capped at 255";
    EXPECT_EQ(m.palette[0], 0u) << "entry 0 is left alone";
    // 1 x 300 x 1 is clamped from the far end: file y' = 299 is y = 0.
    Bytes tall = Bytes().U32(1).U32(300).U32(1).Fill(300, 255).Fill(768, 0);
    tall.data[12] = 4;
    tall.data[12 + 299] = 5;
    ASSERT_TRUE(Read(tall, m));
    EXPECT_EQ(m.size[1], 256);
    EXPECT_EQ(tk_test::SortedWords(m.voxels), (std::vector<uint32_t>{Voxel{0, 0, 0, 6}.Word()}));
}

TEST(PluginSLAB, RoundTripKeepsVoxelsAndSixBitColours) {
    const TK_Model model = tk_test::MakeModel(2, 3, 4, {{1, 2, 3, 1}, {0, 0, 0, 255}, {1, 0, 2, 100}});
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(TK_Plugin_SLAB::WriteBytes(model, bytes));
    ASSERT_EQ(bytes.size(), 24u + 780);
    EXPECT_EQ(bytes[12 + 12], 0) << "(1, 2, 3) in colour 1 is stored as 0";
    TK_Model back;
    ASSERT_TRUE(TK_Plugin_SLAB::ReadBytes(bytes.data(), bytes.size(), back));
    EXPECT_EQ(tk_test::SortedWords(back.voxels), tk_test::SortedWords(model.voxels));
    for (int i = 1; i < 256; ++i) {
        const uint32_t c = model.palette[i];
        ASSERT_EQ(back.palette[i], PackRGBA(ColorR(c) & ~3, ColorG(c) & ~3, ColorB(c) & ~3)) << i;
    }
}

TEST(PluginSLAB, SizeAndLengthChecks) {
    Bytes longer = HandMade(0, 1).U8(0), shorter = HandMade(0, 1);
    shorter.data.pop_back();
    const std::string mismatch = "[Error] SLAB : file size not match\n";
    const std::pair<Bytes, std::string> cases[] = {
        {longer, mismatch},
        {shorter, mismatch},
        {Bytes().U32(INT32_MAX).U32(INT32_MAX).U32(INT32_MAX).Fill(780, 0), mismatch},
        {Bytes().U32(2).U32(0).U32(4).Fill(780, 0), "[Error] SLAB : invalid size\n"},
        {Bytes().U32(2).U32(3), ""},
    };
    for (const auto& [bytes, message] : cases) {
        TK_Model m;
        std::string out;
        EXPECT_FALSE(Read(bytes, m, &out)) << message;
        EXPECT_EQ(out, message);
    }
}

TEST(PluginSLAB, EitherKindOfVoxFileThroughEitherPlugin) {
    const tk_test::TempFolder folder("tk_vox");
    const std::string native = folder.Path("native.vox"), slab = folder.Path("slab.vox");
    TK_Model model = tk_test::MakeModel(2, 2, 2, {{1, 0, 1, 100}});
    ASSERT_TRUE(TK_Plugin_VOX().SaveModel(native, "", model));
    ASSERT_TRUE(TK_Plugin_SLAB().SaveModel(slab, "", model));
    for (const std::string& path : {native, slab}) {
        TK_Model viaSlab, viaVox;
        Image a, b;
        ASSERT_TRUE(TK_Plugin_SLAB().LoadModel(path, "", viaSlab) && TK_Plugin_VOX().LoadModel(path, "", viaVox));
        EXPECT_EQ(tk_test::SortedWords(viaSlab.voxels), tk_test::SortedWords(model.voxels)) << path;
        EXPECT_EQ(tk_test::SortedWords(viaVox.voxels), tk_test::SortedWords(model.voxels)) << path;
        ASSERT_TRUE(TK_Plugin_SLAB().LoadImage(path, "", a) && TK_Plugin_VOX().LoadImage(path, "", b));
        EXPECT_EQ(a.pixels, b.pixels) << path;
        EXPECT_EQ(a.pixels[4 * 99], ColorR(viaSlab.palette[100])) << "pixel k is entry k + 1";
        EXPECT_EQ(std::vector<uint8_t>(a.pixels.end() - 4, a.pixels.end()), (std::vector<uint8_t>{0, 0, 0, 255}));
    }
    // A file too short for either kind, a missing one, the folder itself.
    std::ofstream(folder.Path("short.vox")) << "VOX";
    for (const char* name : {"short.vox", "missing.vox", ""}) {
        Image image;
        EXPECT_FALSE(TK_Plugin_VOX().LoadModel(folder.Path(name), "", model)) << name;
        EXPECT_FALSE(TK_Plugin_VOX().LoadImage(folder.Path(name), "", image)) << name;
    }
    EXPECT_FALSE(TK_Plugin_VOX().SaveModel(folder.Path("none/x.vox"), "", model));
}
