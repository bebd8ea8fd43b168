// A picture turned into a standing one-cell-thick model: orientation,
// transparency, scaling, colour matching into the palette. (The palette
// conversion is tested with the palette image files.)
#include "plugins/TK_ImageConvert.h"

#include <gtest/gtest.h>

#include <set>

#include "TK_PluginTest.h"

using tk_test::RgbImage;

TEST(ImageConvert, PictureStandsUpWithTransparentPixelsEmpty) {
    Image image;
    image.Allocate(IMAGE_RGBA, 2, 2);
    image.pixels = {255, 0, 0, 255, 9, 9, 9, 100, 0, 0, 255, 255, 0, 0, 255, 128};
    TK_Model model;
    model.palette = DefaultPalette();
    const Palette before = model.palette;
    ASSERT_TRUE(ImageToModel(image, model));
    EXPECT_EQ(std::vector<int>(model.size, model.size + 3), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(model.voxels.Count(), 3) << "alpha below 128 stays empty";
    EXPECT_EQ(tk_test::RgbAt(model, 0, 0, 1), PackRGBA(255, 0, 0)) << "the top row is the highest layer";
    EXPECT_EQ(tk_test::RgbAt(model, 1, 0, 0), PackRGBA(0, 0, 255));
    EXPECT_TRUE(model.palette == before) << "exact matches change no entry";
    Image none;
    EXPECT_FALSE(ImageToModel(none, model));
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
