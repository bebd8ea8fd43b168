// The offscreen picture modes end to end: build/tarsk --snap writes an RGBA
// PNG of the requested size showing the model and reports failures in its
// exit status; --thumbnail writes the model alone or nothing; --render
// path-traces a picture, a linear OpenEXR or a turntable.
#include <gtest/gtest.h>

#include <ImfRgbaFile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "TK_AppTest.h"
#include "TK_TestAnimation.h"
#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

// A floor of white voxels (colour 1) at the bottom of a box of 4.
bool WriteFloor(const std::string& path) {
    return WriteVox(tk_test::ShapeModel(4, 4, 4, [](int, int, int z) { return z == 0 ? 1 : 0; }), path.c_str());
}

TEST(Snap, ModelFileAndAngle) {
    const tk_test::TempFolder folder("tk_snap");
    const std::string vox = folder.Path("floor.vox"), out = folder.Path("floor.png");
    ASSERT_TRUE(WriteFloor(vox));
    // From straight above the floor fills the centre; the corner shows the
    // background's top colour (0.1 grey).
    const TK_ProcessResult r = RunTarsk({"--snap", out, "--size", "96x64", "--angle", "90", "0", "-q", vox});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(std::make_tuple(image.width, image.height, image.hasAlpha), std::make_tuple(96, 64, true));
    EXPECT_NEAR(image.At(0, 0)[0], 26, 3);
    EXPECT_EQ(image.At(0, 0)[3], 255);
    EXPECT_GE(image.At(48, 32)[0], 250);
    EXPECT_GE(image.At(48, 32)[2], 250);
}

// The thumbnailer: the model alone on a transparent square; a file that
// does not load gives no picture at all.
TEST(Snap, ThumbnailIsTheModelAloneOrNothing) {
    const tk_test::TempFolder folder("tk_thumb");
    const std::string vox = folder.Path("floor.vox"), junk = folder.Path("junk.vox"), out = folder.Path("thumb.png");
    ASSERT_TRUE(WriteFloor(vox));
    TK_ProcessResult r = RunTarsk({"--thumbnail", out, "--size", "48", vox});
    EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, std::string()));
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(std::make_tuple(image.width, image.height, int(image.At(0, 0)[3]), int(image.At(24, 24)[3])),
              std::make_tuple(48, 48, 0, 255));
    std::remove(out.c_str());
    std::ofstream(junk, std::ios::binary) << "VOX junk";
    r = RunTarsk({"--thumbnail", out, junk});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(ReadTestPNG(out, image));
}

TEST(PictureModes, Failures) {
    const tk_test::TempFolder folder("tk_snap_fail");
    const std::string unused = folder.Path("unused"), snapped = folder.Path("lines.png"),
                      rendered = folder.Path("lines_render.png");
    // arguments, exit status, part of the standard output
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        // A failing line is reported in the status; the picture is still made.
        {{"--snap", snapped, "--size", "32x32", "-c", "nosuch"}, 1, "[Error] cmd is not registered : nosuch"},
        {{"--render", rendered, "--size", "16x16", "--spp", "1", "-c", "set nosuch 1"}, 1, "[Error]"},
        {{"--snap", "/nonexistent-folder/out.png", "--size", "16x16"}, 1, "[Error] snap : failed to write"},
        {{"--snap", unused + ".png", "/nonexistent/model.vox"}, 1, "[Error] failed to load model : "},
        {{"--snap", unused + ".jpg"}, 2, "[Error] snap : unknown picture type"},
        {{"--snap", unused + ".exr"}, 2, "[Error] snap : .exr holds the path tracer's linear radiance"},
        {{"--snap", folder.Path("snap_%d_%d.png"), "--turntable", "2"}, 2, "[Error] snap : bad frame pattern"},
        {{"--snap", unused + ".png", "--turntable", "2"}, 2, "[Error] snap : an animation is written as"},
        // Several frames cannot go into one OpenEXR file.
        {{"--render", unused + ".exr", "--turntable", "2"}, 2, "[Error] render : frames to OpenEXR need one frame"},
    };
    for (const auto& [args, status, message] : cases) {
        const TK_ProcessResult r = RunTarsk(args);
        EXPECT_EQ(r.status, status) << testing::PrintToString(args);
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
    }
    TK_TestImage image;
    for (const std::string& made : {snapped, rendered}) EXPECT_TRUE(ReadTestPNG(made, image)) << made;
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

// A small model in a large box: the turn frames the voxels, and the box's
// wire frame (which would reach past the picture) stays off.
TEST(Snap, TurntableFramesTheVoxelsNotTheBox) {
    const tk_test::TempFolder folder("tk_snap_turn_box");
    const TK_ProcessResult r = RunTarsk({"--snap", folder.Path("t_%d.png"), "--turntable", "2", "--size", "80x60",
                                         "-q", "-c", "size 16 2 2", "-c", "size 60 60 60"});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(folder.Path("t_0.png"), image));
    EXPECT_GE(ModelWidth(image.rgba, 80, 60), 56);
}

TEST(Render, WritesAPicture) {
    const tk_test::TempFolder folder("tk_render");
    const std::string out = folder.Path("render.png");
    const TK_ProcessResult r = RunTarsk({"--render", out, "--size", "64x48", "--spp", "4", "-q", "-c", "size 8 8 8",
                                         "-c", "prim elli", "-c", "set pt_mtl glass 1"});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(std::make_tuple(image.width, image.height, image.hasAlpha), std::make_tuple(64, 48, true));
    int lo = 765, hi = 0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        const int sum = image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2];
        lo = std::min(lo, sum), hi = std::max(hi, sum);
    }
    EXPECT_GT(hi - lo, 60);
}

// The mean linear radiance of an EXR render, its brightest channel and the
// first pixel's alpha.
double MeanRadiance(const std::string& path, float& brightest, float& alpha) {
    Imf::RgbaInputFile file(path.c_str());
    const Imath::Box2i window = file.dataWindow();
    const int width = window.max.x - window.min.x + 1, height = window.max.y - window.min.y + 1;
    std::vector<Imf::Rgba> pixels(size_t(width) * size_t(height));
    file.setFrameBuffer(pixels.data() - window.min.x - size_t(window.min.y) * size_t(width), 1, size_t(width));
    file.readPixels(window.min.y, window.max.y);
    double sum = 0;
    brightest = 0;
    for (const Imf::Rgba& p : pixels) {
        sum += float(p.r) + float(p.g) + float(p.b);
        brightest = std::max({brightest, float(p.r), float(p.g), float(p.b)});
    }
    alpha = float(pixels[0].a);
    return sum / double(pixels.size());
}

// The EXR holds radiance before the display curve: twice the sky light is
// twice the value (the tone-mapped PNG would be far from that), and the bright
// sky exceeds 1.
TEST(Render, ExrIsLinear) {
    const tk_test::TempFolder folder("tk_render_exr");
    double mean[2];
    float brightest = 0;
    for (int i = 0; i < 2; ++i) {
        const std::string out = folder.Path("sky" + std::to_string(i) + ".exr");
        const TK_ProcessResult r = RunTarsk({"--render", out, "--size", "32x24", "--spp", "2", "-q", "-c", "size 6 6 6",
                                             "-c", "prim elli", "-c", "set pt_isun 0", "-c",
                                             i ? "set pt_isky 1" : "set pt_isky 0.5"});
        ASSERT_EQ(r.status, 0) << r.out;
        float alpha = 0;
        mean[i] = MeanRadiance(out, brightest, alpha);
        EXPECT_EQ(alpha, 1.0f);
    }
    EXPECT_NEAR(mean[1] / mean[0], 2.0, 0.02);
    EXPECT_GT(brightest, 1.05f) << "the full sky is brighter than white";
}

// A path-traced turntable takes --spp samples per frame and writes every
// frame: lossy WebP for the noise, or a series of OpenEXR files.
TEST(Render, Turntable) {
    const tk_test::TempFolder folder("tk_render_turn");
    for (const char* name : {"turn.webp", "turn_%d.exr"}) {
        const std::string out = folder.Path(name);
        const TK_ProcessResult r = RunTarsk(
            {"--render", out, "--turntable", "3", "--size", "24x16", "--spp", "2", "-q", "-c", "size 6 3 2"});
        EXPECT_EQ(r.status, 0) << r.out;
    }
    tk_test::Animation animation;
    ASSERT_TRUE(tk_test::ReadAnimation(folder.Path("turn.webp"), animation));
    ASSERT_EQ(animation.frames.size(), 3u);
    EXPECT_EQ(animation.width, 24);
    EXPECT_NE(animation.frames[0], animation.frames[1]);
    float brightest = 0, alpha = 0;
    EXPECT_NE(MeanRadiance(folder.Path("turn_0.exr"), brightest, alpha),
              MeanRadiance(folder.Path("turn_1.exr"), brightest, alpha));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("turn_2.exr")));
}

}  // namespace
