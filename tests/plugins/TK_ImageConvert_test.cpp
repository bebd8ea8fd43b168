// A picture turned into a standing one-cell-thick model: orientation,
// transparency, scaling, colour matching into the palette. (The palette
// conversion is tested with the palette image files.)
#include "plugins/TK_ImageConvert.h"

#include <gtest/gtest.h>

#include <set>

#include "TK_PluginTest.h"

using tk_test::RgbImage;

// (The whole picture's orientation and exact matches are checked through the
// import command too.)
TEST(ImageConvert, PixelsBelowHalfAlphaStayEmpty) {
    Image image;
    image.Allocate(IMAGE_RGBA, 2, 1);
    image.pixels = {9, 9, 9, 127, 9, 9, 9, 128};
    TK_Model model;
    ASSERT_TRUE(ImageToModel(image, model));
    ASSERT_EQ(model.voxels.Count(), 1);
    EXPECT_EQ(model.voxels[0].x, 1);
    EXPECT_FALSE(ImageToModel(Image(), model));
}

TEST(ImageConvert, ColoursTakeFreeEntriesThenTheNearest) {
    // 126 x 3 distinct colours into a palette holding one of them (grey 40):
    // that one keeps entry 40, 254 others take the free entries, the rest
    // go to the nearest.
    TK_Model model;
    model.palette[40] = PackRGBA(40, 40, 40);
    auto color = [](int x, int y) { return x == 5 && y == 1 ? PackRGBA(40, 40, 40) : PackRGBA(2 * x, 80 * y, 5); };
    ASSERT_TRUE(ImageToModel(RgbImage(126, 3, color), model));
    ASSERT_EQ(model.voxels.Count(), 378);
    std::set<int> used;
    for (const Voxel& v : model.voxels) {
        const uint32_t c = color(v.x, 2 - v.z);
        used.insert(v.colorIndex);
        EXPECT_TRUE(!((model.palette[v.colorIndex] ^ c) & 0xFFFFFFu) || v.colorIndex == model.FindNearestColor(c));
    }
    EXPECT_EQ(tk_test::RgbAt(model, 5, 0, 1), PackRGBA(40, 40, 40));
    EXPECT_EQ(model.palette[40], PackRGBA(40, 40, 40));
    EXPECT_EQ(used.size(), 255u);
    // A tall picture is scaled to fit; its short side keeps one cell.
    ASSERT_TRUE(ImageToModel(RgbImage(2, 1000, [](int, int y) { return PackRGBA(y % 256, 0, 0); }), model));
    EXPECT_EQ(std::vector<int>(model.size, model.size + 3), (std::vector<int>{1, 1, 126}));
}
