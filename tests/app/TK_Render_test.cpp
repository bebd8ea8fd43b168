// The offscreen path-traced render end to end: build/tarsk --render writes a
// picture of the asked size that shows something, and reports failures in
// its exit status.
#include <gtest/gtest.h>

#include <ImfRgbaFile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "TK_AppTest.h"
#include "TK_TestAnimation.h"
#include "TK_TestSupport.h"

namespace {

TEST(Render, WritesAPicture) {
    const tk_test::TempFolder folder("tk_render");
    const std::string out = folder.Path("render.png");
    TK_ProcessResult r = RunTarsk({"--render", out, "--size", "64x48", "--spp", "4", "-q", "-c", "size 8 8 8", "-c",
                                   "prim elli", "-c", "set pt_mtl glass 1"});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(std::make_tuple(image.width, image.height, image.hasAlpha), std::make_tuple(64, 48, true));
    int lo = 765, hi = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = image.At(x, y);
            lo = std::min(lo, p[0] + p[1] + p[2]);
            hi = std::max(hi, p[0] + p[1] + p[2]);
        }
    EXPECT_GT(hi - lo, 60);
    // A failing line is reported in the status; the picture is still made.
    std::remove(out.c_str());
    r = RunTarsk({"--render", out, "--size", "16x16", "--spp", "1", "-c", "set nosuch 1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(ReadTestPNG(out, image));
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
    // Several frames cannot go into one OpenEXR file.
    const TK_ProcessResult r = RunTarsk({"--render", folder.Path("turn.exr"), "--turntable", "2"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("[Error] render : frames to OpenEXR need one frame number"), std::string::npos) << r.out;
}

}  // namespace
