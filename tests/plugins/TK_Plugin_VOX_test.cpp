// The ".vox" plugin: native files save and load through it, foreign and
// missing files fail cleanly. (Its palette image and its Slab6 fallback are
// checked beside the Slab6 plugin's.)
#include "plugins/TK_Plugin_VOX.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TK_TestSupport.h"

TEST(PluginVOX, NativeFilesRoundTripAndOthersFail) {
    const tk_test::TempFolder folder("tk_pvox");
    const TK_Model model = tk_test::MakeModel(3, 3, 3, {Voxel{1, 2, 0, 4}});
    TK_Plugin_VOX plugin;
    ASSERT_TRUE(plugin.SaveModel(folder.Path("a.vox"), "", model));
    TK_Model back;
    ASSERT_TRUE(plugin.LoadModel(folder.Path("a.vox"), "", back));
    ASSERT_EQ(back.voxels.Count(), 1);
    EXPECT_EQ(back.voxels[0], model.voxels[0]);
    EXPECT_EQ(back.size[1], 3);

    std::ofstream(folder.Path("slab.vox"), std::ios::binary) << "\x02\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00";
    // "" names the folder itself, which is not a file.
    for (const char* name : {"slab.vox", "missing.vox", ""}) {
        Image image;
        EXPECT_FALSE(plugin.LoadModel(folder.Path(name), "", back)) << name;
        EXPECT_FALSE(plugin.LoadImage(folder.Path(name), "", image)) << name;
    }
    EXPECT_FALSE(plugin.SaveModel(folder.Path("none/x.vox"), "", model));
}
