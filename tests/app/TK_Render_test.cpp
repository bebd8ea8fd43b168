// The offscreen path-traced render end to end: build/tarsk --render writes a
// picture of the asked size that shows something, and reports failures in
// its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "TK_AppTest.h"

namespace {

std::string Temp(const char* name) { return testing::TempDir() + name; }

TEST(Render, WritesAPicture) {
    const std::string out = Temp("render_start.png");
    std::remove(out.c_str());
    TK_ProcessResult r = RunTarsk({"--render", out, "--size", "64x48", "--spp", "4", "-q", "-c", "size 8 8 8", "-c",
                                   "prim elli", "-c", "set pt_mtl glass 1"});
    EXPECT_EQ(r.status, 0) << r.out;
    TK_TestImage image;
    ASSERT_TRUE(ReadTestPNG(out, image));
    EXPECT_EQ(image.width, 64);
    EXPECT_EQ(image.height, 48);
    EXPECT_TRUE(image.hasAlpha);
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
    std::remove(out.c_str());
    EXPECT_EQ(RunTarsk({"--render", out, "--spp", "-3"}).status, 2);
}

}  // namespace
