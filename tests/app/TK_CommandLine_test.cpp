// Parsing of the command line's three modes: which options each accepts,
// their values, the usage errors, and the scripts' bounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "TK_TestSupport.h"
#include "app/TK_CommandLine.h"

namespace {

bool Parse(const std::vector<const char*>& args, TK_Options& o) {
    return TK_ParseOptions(int(args.size()), args.data(), o);
}

// What a parse sets: mode, lines, quiet, model, output, size, angle, samples
// and frames.
using Fields =
    std::tuple<int, std::vector<std::string>, bool, std::string, std::string, int, int, float, float, int, int>;

Fields Of(const TK_Options& o) {
    return Fields(int(o.mode), o.lines, o.quiet, o.modelPath, o.snapPath, o.width, o.height, o.pitch, o.yaw, o.samples,
                  o.turntable);
}

TEST(CommandLine, Modes) {
    const int window = int(TK_RunMode::Window), headless = int(TK_RunMode::Headless), snap = int(TK_RunMode::Snap),
              render = int(TK_RunMode::Render), thumb = int(TK_RunMode::Thumbnail), side = kTurntableSide;
    const struct {
        std::vector<const char*> args;
        Fields fields;
    } cases[] = {
        {{"model.vox"}, {window, {}, false, "model.vox", "", 640, 480, 30, -30, 256, 0}},
        // The mode flag may come last; a value that looks like a flag is a value.
        {{"-c", "--snap", "--headless"}, {headless, {"--snap"}, false, "", "", 640, 480, 30, -30, 256, 0}},
        {{"--size", "800x600", "--snap", "out.png", "--angle", "-20.5", "45", "-c", "a", "-c", "b", "m.vox"},
         {snap, {"a", "b"}, false, "m.vox", "out.png", 800, 600, -20.5f, 45, 256, 0}},
        {{"--render", "r.png", "--spp", "7", "--size", "64x48", "-q", "m.vox"},
         {render, {}, true, "m.vox", "r.png", 64, 48, 30, -30, 7, 0}},
        {{"--thumbnail", "t.png", "m.vox"}, {thumb, {}, false, "m.vox", "t.png", 256, 256, 30, -30, 256, 0}},
        {{"--thumbnail", "t.png", "--size", "128", "m.vox"},
         {thumb, {}, false, "m.vox", "t.png", 128, 128, 30, -30, 256, 0}},
        // A turntable is square unless --size says otherwise.
        {{"--snap", "t.webp", "--turntable", "36"}, {snap, {}, false, "", "t.webp", side, side, 30, -30, 256, 36}},
        {{"--render", "t.gif", "--size", "64x48", "--turntable", "2"},
         {render, {}, false, "", "t.gif", 64, 48, 30, -30, 256, 2}},
    };
    for (const auto& c : cases) {
        TK_Options o;
        ASSERT_TRUE(Parse(c.args, o)) << testing::PrintToString(c.args);
        EXPECT_EQ(Of(o), c.fields) << testing::PrintToString(c.args);
    }
}

TEST(CommandLine, UsageErrors) {
    const std::vector<std::vector<const char*>> cases = {
        {"--headless", "--snap", "x.png"},  // two modes
        {"--render", "x.png", "--snap", "y.png"},
        {"--headless", "model.vox"},  // no model without a window
        {"a.vox", "b.vox"},  // nor two
        {"--size", "640x480"},  // --snap options
        {"--snap", "x.png", "--spp", "4"},  // --render's samples
        {"--snap"},
        {"--bogus"},
        {"--snap", "x.png", "--size", "0x10"},
        {"--snap", "x.png", "--size", "8193x10"},
        {"--snap", "x.png", "--size", "64x"},
        {"--snap", "x.png", "--size", "64x48junk"},
        {"--snap", "x.png", "--angle", "10"},
        {"--snap", "x.png", "--angle", "10", "up"},
        {"--snap", "x.png", "--angle", "nan", "0"},
        {"--snap", "x.png", "--script", "/nonexistent/script.txt"},
        {"--render", "x.png", "--spp", "0"},
        {"--render", "x.png", "--spp", "many"},
        {"--render", "x.png", "--spp", "-3"},
        {"--thumbnail", "x.png"},  // the thumbnail needs a model
        {"--thumbnail", "x.png", "-c", "full", "m.vox"},
        {"--thumbnail", "x.png", "--size", "1025", "m.vox"},
        {"--snap", "x.gif", "--turntable", "3601"},
        {"--snap", "x.gif", "--turntable", "0"},
        {"--headless", "--turntable", "2"},
    };
    for (const auto& args : cases) {
        TK_Options o;
        EXPECT_FALSE(Parse(args, o)) << testing::PrintToString(args);
    }
}

// A script is bounded (an endless stream is refused, not swallowed) and "-"
// is standard input.
TEST(CommandLine, ScriptsAreBoundedAndMayComeFromStandardInput) {
    TK_Options o;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Parse({"--headless", "--script", "/dev/zero"}, o));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("tarsk: cannot read script: /dev/zero : too large (more than 16 MB)\n", 0), 0u) << err;
    const tk_test::TempFolder folder("tk_script");
    std::ofstream(folder.Path("in.txt"), std::ios::binary) << "undo\r\n# note\nredo";
    ASSERT_TRUE(std::freopen(folder.Path("in.txt").c_str(), "rb", stdin));
    ASSERT_TRUE(Parse({"--headless", "-c", "full", "--script", "-"}, o));
    EXPECT_EQ(o.lines, (std::vector<std::string>{"full", "undo", "# note", "redo"}));
}

}  // namespace
