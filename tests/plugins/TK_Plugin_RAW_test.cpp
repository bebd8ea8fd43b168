// Raw indexed volumes: round trip with the palette as it is, the header
// checks, clamped sizes, and a short index block or palette.
#include "plugins/TK_Plugin_RAW.h"

#include "TK_PluginTest.h"

namespace {

using tk_test::Bytes;

Bytes Header(int sx, int sy, int sz, uint32_t paletteSize = 256, const char* format = "\x00\x04\x08\x08") {
    Bytes b = Bytes().Text("XRAW");
    for (int i = 0; i < 4; ++i) b.U8(uint8_t(format[i]));
    return b.U32(uint32_t(sx)).U32(uint32_t(sy)).U32(uint32_t(sz)).U32(paletteSize);
}

}  // namespace

TEST(PluginRAW, RoundTripKeepsVoxelsAndEveryPaletteEntry) {
    TK_Model model = tk_test::MakeModel(3, 2, 4, {{2, 1, 3, 7}, {0, 0, 0, 255}});
    for (int i = 0; i < 256; ++i) model.palette[i] = PackRGBA(i, 255 - i, i / 2, i == 0 ? 0 : 255);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(TK_Plugin_RAW::WriteBytes(model, bytes));
    ASSERT_EQ(bytes.size(), 24u + 3 * 2 * 4 + 1024);
    EXPECT_EQ(bytes[24 + 2 + 3 * (1 + 2 * 3)], 7) << "x + size x * (y + size y * z)";
    TK_Model back;
    ASSERT_TRUE(TK_Plugin_RAW::ReadBytes(bytes.data(), bytes.size(), back));
    EXPECT_EQ(tk_test::SortedWords(back.voxels), tk_test::SortedWords(model.voxels));
    EXPECT_TRUE(back.palette == model.palette);
}

TEST(PluginRAW, RefusesOtherLayoutsAndMissingData) {
    const Bytes cases[] = {
        Header(1, 1, 1, 255),                       // palette size 255
        Header(1, 1, 1, 256, "\x00\x04\x08\x10"),    // 16-bit indices
        Header(0, 1, 1),                             // empty axis
        Bytes().Text("XRAV").Fill(20, 0),            // magic
        Header(4, 4, 4).Fill(63, 1),                 // one index byte short
        Header(0x40000000, 0x40000000, 0x40000000),  // forged sizes
    };
    for (const Bytes& b : cases) {
        TK_Model m;
        EXPECT_FALSE(TK_Plugin_RAW::ReadBytes(b.data.data(), b.data.size(), m)) << &b - cases;
    }
}

TEST(PluginRAW, ClampsSizesAndToleratesAShortPalette) {
    Bytes b = Header(300, 1, 1);
    for (int x = 0; x < 300; ++x) b.U8(x % 2);
    b.U32(0).U32(PackRGBA(9, 8, 7)).U8(1);  // two palette entries and a byte
    TK_Model m;
    ASSERT_TRUE(TK_Plugin_RAW::ReadBytes(b.data.data(), b.data.size(), m));
    EXPECT_EQ(m.size[0], 256);
    EXPECT_EQ(m.voxels.Count(), 128) << "cells past x = 255 are dropped";
    EXPECT_EQ(m.palette[1], PackRGBA(9, 8, 7));
    EXPECT_EQ(m.palette[2], 0u);
}
