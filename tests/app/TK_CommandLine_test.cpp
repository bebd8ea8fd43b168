// Parsing of the command line's three modes: which options each accepts,
// their values, and the usage errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TK_CommandLine.h"

namespace {

bool Parse(const std::vector<const char*>& args, TK_Options& options) {
    testing::internal::CaptureStderr();
    const bool ok = TK_ParseOptions(int(args.size()), args.data(), options);
    testing::internal::GetCapturedStderr();
    return ok;
}

TEST(CommandLine, Modes) {
    TK_Options o;
    ASSERT_TRUE(Parse({}, o));
    EXPECT_EQ(int(o.mode), int(TK_RunMode::Window));
    ASSERT_TRUE(Parse({"model.vox"}, o));
    EXPECT_EQ(o.modelPath, "model.vox");
    // The mode flag may come last; a value that looks like a flag is a value.
    ASSERT_TRUE(Parse({"-c", "--snap", "--headless"}, o));
    EXPECT_EQ(int(o.mode), int(TK_RunMode::Headless));
    EXPECT_EQ(o.lines, std::vector<std::string>{"--snap"});
    ASSERT_TRUE(Parse({"--size", "800x600", "--snap", "out.png", "--angle", "-20.5", "45", "-c", "a", "-c", "b", "m.vox"},
                      o));
    EXPECT_EQ(int(o.mode), int(TK_RunMode::Snap));
    EXPECT_EQ(o.snapPath, "out.png");
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_FLOAT_EQ(o.pitch, -20.5f);
    EXPECT_FLOAT_EQ(o.yaw, 45);
    EXPECT_EQ(o.lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(o.modelPath, "m.vox");
    ASSERT_TRUE(Parse({"--render", "r.png", "--spp", "7", "--size", "64x48", "-q", "m.vox"}, o));
    EXPECT_EQ(int(o.mode), int(TK_RunMode::Render));
    EXPECT_EQ(o.snapPath, "r.png");
    EXPECT_EQ(o.samples, 7);
    EXPECT_EQ(o.height, 48);
    ASSERT_TRUE(Parse({"--thumbnail", "t.png", "m.vox"}, o));
    EXPECT_EQ(int(o.mode), int(TK_RunMode::Thumbnail));
    EXPECT_EQ(o.width, 256);
    ASSERT_TRUE(Parse({"--thumbnail", "t.png", "--size", "128", "m.vox"}, o));
    EXPECT_EQ(o.height, 128);
    // A turntable is square unless --size says otherwise.
    ASSERT_TRUE(Parse({"--snap", "t.webp", "--turntable", "36"}, o));
    EXPECT_EQ(o.turntable, 36);
    EXPECT_EQ(o.width * 10000 + o.height, kTurntableSide * 10001);
    ASSERT_TRUE(Parse({"--render", "t.gif", "--size", "64x48", "--turntable", "2"}, o));
    EXPECT_EQ(o.width, 64);
}

TEST(CommandLine, UsageErrors) {
    const std::vector<std::vector<const char*>> cases = {
        {"--headless", "--snap", "x.png"},  // two modes
        {"--headless", "model.vox"},        // no model without a window
        {"--size", "640x480"},              // snapshot options need --snap
        {"a.vox", "b.vox"},
        {"--snap"},
        {"--snap", "x.png", "--size", "0x10"},
        {"--snap", "x.png", "--size", "8193x10"},
        {"--snap", "x.png", "--size", "64x"},
        {"--snap", "x.png", "--size", "64x48junk"},
        {"--snap", "x.png", "--angle", "10"},
        {"--snap", "x.png", "--angle", "10", "up"},
        {"--snap", "x.png", "--angle", "nan", "0"},
        {"--snap", "x.png", "--script", "/nonexistent/script.txt"},
        {"--bogus"},
        {"--render", "x.png", "--snap", "y.png"},
        {"--snap", "x.png", "--spp", "4"},  // samples need --render
        {"--render", "x.png", "--spp", "0"},
        {"--render", "x.png", "--spp", "many"},
        {"--thumbnail", "x.png"},  // needs a model
        {"--thumbnail", "x.png", "-c", "full", "m.vox"},
        {"--thumbnail", "x.png", "--size", "1025", "m.vox"},
        {"--snap", "x.gif", "--turntable", "3601"},
        {"--headless", "--turntable", "2"},
    };
    for (const auto& args : cases) {
        TK_Options o;
        EXPECT_FALSE(Parse(args, o)) << args.back();
    }
}

}  // namespace
