// The offscreen snapshot and thumbnail modes end to end: build/tarsk --snap
// writes an RGBA PNG of the requested size showing the model and reports
// failures in its exit status; --thumbnail writes the model alone or nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "TK_AppTest.h"
#include "TK_TestAnimation.h"
#include "TK_TestSupport.h"
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
        {{"--snap", Temp("snap_unused.jpg")}, 2, "[Error] snap : unknown picture type"},
        {{"--snap", Temp("snap_unused.exr")}, 2, "[Error] snap : .exr holds the path tracer's linear radiance"},
        {{"--snap", Temp("snap_%d_%d.png"), "--turntable", "2"}, 2, "[Error] snap : bad frame pattern"},
        {{"--snap", Temp("snap_unused.png"), "--turntable", "2"}, 2, "[Error] snap : an animation is written as"},
        {{"--snap", Temp("snap_unused.gif"), "--turntable", "0"}, 2, ""},
    };
    for (const Case& c : cases) {
        const TK_ProcessResult r = RunTarsk(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
    }
    std::remove(Temp("snap_unused.png").c_str());
}

// Columns the model covers in a frame: pixels that differ from the first of
// their row (the background is even along a row); -1 when the model
// touches the right, top or bottom edge.
int ModelWidth(const std::vector<unsigned char>& rgba, int width, int height) {
    int lo = width, hi = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char *p = &rgba[size_t(y * width + x) * 4], *first = &rgba[size_t(y * width) * 4];
            if (std::abs(p[0] - first[0]) + std::abs(p[1] - first[1]) + std::abs(p[2] - first[2]) < 24) continue;
            if (x == width - 1 || y == 0 || y == height - 1) return -1;
            lo = std::min(lo, x), hi = std::max(hi, x);
        }
    return hi - lo + 1;
}

// Every animation kind holds N frames of the asked size that turn: frames
// differ, the model never leaves the picture and fills it well when seen
// from the side.
TEST(Snap, TurntableInEveryKind) {
    const tk_test::TempFolder folder("tk_snap_turn");
    for (const char* name : {"turn.webp", "turn.gif", "turn_%02d.png"}) {
        const std::string out = folder.Path(name);
        const TK_ProcessResult r =
            RunTarsk({"--snap", out, "--turntable", "4", "--size", "80x60", "-q", "-c", "size 16 2 2"});
        EXPECT_EQ(r.status, 0) << r.out;
        std::vector<std::vector<unsigned char>> frames;
        if (std::string(name).find('%') != std::string::npos) {
            for (const char* frame : {"turn_00.png", "turn_01.png", "turn_02.png", "turn_03.png"}) {
                TK_TestImage image;
                ASSERT_TRUE(ReadTestPNG(folder.Path(frame), image)) << frame;
                EXPECT_EQ(image.width * 1000 + image.height, 80060);
                frames.push_back(image.rgba);
            }
        } else {
            tk_test::Animation animation;
            ASSERT_TRUE(tk_test::ReadAnimation(out, animation)) << name;
            EXPECT_EQ(animation.width * 1000 + animation.height, 80060);
            EXPECT_EQ(animation.delaysMs[0], 900) << "a turn takes 3.6 s";
            frames = animation.frames;
        }
        ASSERT_EQ(frames.size(), 4u) << name;
        EXPECT_NE(frames[0], frames[1]) << name;
        int widest = 0;
        for (const auto& frame : frames) {
            const int covered = ModelWidth(frame, 80, 60);
            EXPECT_GE(covered, 0) << name;
            widest = std::max(widest, covered);
        }
        EXPECT_GE(widest, 56) << name;
    }
}

}  // namespace
