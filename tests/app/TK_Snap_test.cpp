// The offscreen snapshot and thumbnail modes end to end: build/tarsk --snap
// writes an RGBA PNG of the requested size showing the model and reports
// failures in its exit status; --thumbnail writes the model alone or nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "TK_AppTest.h"
#include "model/TK_Model.h"
#include "model/TK_VoxFile.h"

namespace {

std::string Temp(const char* name) { return testing::TempDir() + name; }

TEST(Snap, WritesTheStartModel) {
    const std::string out = Temp("snap_start.png");
    std::remove(out.c_str());
    const TK_ProcessResult r = RunTarsk({"--snap", out, "--size", "96x64", "-q"});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(image.width, 96);
    EXPECT_EQ(image.height, 64);
    EXPECT_TRUE(image.hasAlpha);
    // The corner shows the background's top colour (0.1 grey), the centre
    // the start model (a full box of colour 79).
    const unsigned char* corner = image.At(0, 0);
    EXPECT_NEAR(corner[0], 26, 3);
    EXPECT_EQ(corner[3], 255);
    const unsigned char* centre = image.At(48, 32);
    EXPECT_GT(std::abs(int(centre[0]) - int(corner[0])) + std::abs(int(centre[2]) - int(corner[2])), 40);
    std::remove(out.c_str());
}

TEST(Snap, ModelFileLinesAndAngle) {
    TK_Model model;
    model.size[0] = model.size[1] = model.size[2] = 4;
    for (int i = 0; i < 16; ++i) model.voxels.Add(Voxel{uint8_t(i & 3), uint8_t(i >> 2), 0, 1});
    model.palette = DefaultPalette();
    const std::string vox = Temp("snap_model.vox"), out = Temp("snap_model.png");
    ASSERT_TRUE(WriteVox(model, vox.c_str()));
    // From straight above the floor of white voxels fills the centre.
    TK_ProcessResult r = RunTarsk({"--snap", out, "--size", "64x64", "--angle", "90", "0", vox});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_GE(image.At(32, 32)[0], 250);
    EXPECT_GE(image.At(32, 32)[2], 250);
    // A failing line is reported in the status; the picture is still made.
    std::remove(out.c_str());
    r = RunTarsk({"--snap", out, "--size", "32x32", "-c", "nosuch", vox});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("[Error] cmd is not registered : nosuch"), std::string::npos);
    EXPECT_TRUE(ReadTestPNG(out, image));
    std::remove(out.c_str());
    std::remove(vox.c_str());
}

// The thumbnailer: the model alone on a transparent square; a file that
// does not load gives no picture at all.
TEST(Snap, ThumbnailIsTheModelAloneOrNothing) {
    TK_Model model;
    model.size[0] = model.size[1] = model.size[2] = 4;
    for (int i = 0; i < 16; ++i) model.voxels.Add(Voxel{uint8_t(i & 3), uint8_t(i >> 2), 0, 1});
    model.palette = DefaultPalette();
    const std::string vox = Temp("thumb_model.vox"), junk = Temp("thumb_junk.vox"), out = Temp("thumb.png");
    ASSERT_TRUE(WriteVox(model, vox.c_str()));
    TK_ProcessResult r = RunTarsk({"--thumbnail", out, "--size", "48", vox});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(image.width, 48);
    EXPECT_EQ(image.height, 48);
    EXPECT_EQ(image.At(0, 0)[3], 0);
    EXPECT_EQ(image.At(24, 24)[3], 255);
    std::remove(out.c_str());
    std::ofstream(junk, std::ios::binary) << "VOX junk";
    r = RunTarsk({"--thumbnail", out, junk});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(ReadTestPNG(out, image));
    std::remove(vox.c_str());
    std::remove(junk.c_str());
}

TEST(Snap, Failures) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"--snap", "/nonexistent-folder/out.png", "--size", "16x16"}, 1, "[Error] snap : failed to write"},
        {{"--snap", Temp("snap_unused.png"), "/nonexistent/model.vox"}, 1, "[Error] failed to load model : "},
        {{"--snap", Temp("snap_unused.png"), "--size", "0x16"}, 2, ""},
        {{"--snap"}, 2, ""},
    };
    for (const Case& c : cases) {
        const TK_ProcessResult r = RunTarsk(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
    }
    std::remove(Temp("snap_unused.png").c_str());
}

}  // namespace
