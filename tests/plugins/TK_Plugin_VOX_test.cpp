// The ".vox" plugin: native files load and save through it, foreign and
// missing files fail cleanly, and the palette import yields the 256 x 1 form.
#include "plugins/TK_Plugin_VOX.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

namespace fs = std::filesystem;

class PluginVOX : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return folder.Path(name); }

    tk_test::TempFolder folder{"tk_pvox"};
    TK_Model model = tk_test::MakeModel(3, 3, 3, {Voxel{1, 2, 0, 4}});
    TK_Plugin_VOX plugin;
};

}  // namespace

TEST_F(PluginVOX, SavesAndLoadsNativeFilesOnDisk) {
    const std::string path = Path("a.vox");
    ASSERT_TRUE(plugin.SaveModel(path, "", model));
    TK_Model back;
    ASSERT_TRUE(plugin.LoadModel(path, "", back));
    ASSERT_EQ(back.voxels.Count(), 1);
    EXPECT_EQ(back.voxels[0], model.voxels[0]);
    EXPECT_EQ(back.size[1], 3);
}

TEST_F(PluginVOX, ForeignAndMissingFilesFail) {
    std::ofstream(Path("slab.vox"), std::ios::binary) << "\x02\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00";
    // "" names the folder itself, which is not a file.
    for (const char* name : {"slab.vox", "missing.vox", ""}) {
        TK_Model back;
        Image image;
        EXPECT_FALSE(plugin.LoadModel(Path(name), "", back)) << name;
        EXPECT_FALSE(plugin.LoadImage(Path(name), "", image)) << name;
    }
    EXPECT_FALSE(plugin.SaveModel(Path("none/x.vox"), "", model));
}

TEST_F(PluginVOX, PaletteImageOfAFileWithoutPalette) {
    const std::string path = Path("p.vox");
    ASSERT_TRUE(WriteVox(model, path.c_str()));
    Image image;
    ASSERT_TRUE(plugin.LoadImage(path, "", image));
    EXPECT_EQ(image.format, IMAGE_RGBA);
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 1);
    ASSERT_EQ(image.pixels.size(), 1024u);
    for (int k = 0; k < 255; ++k) {
        const uint32_t e = DefaultPalette()[k + 1];
        const uint8_t* p = &image.pixels[size_t(4 * k)];
        ASSERT_TRUE(p[0] == ColorR(e) && p[1] == ColorG(e) && p[2] == ColorB(e) && p[3] == ColorA(e)) << k;
    }
    EXPECT_EQ(std::vector<uint8_t>(image.pixels.end() - 4, image.pixels.end()), (std::vector<uint8_t>{0, 0, 0, 255}));
}
