// The headless command line, end to end: runs build/tarsk and checks its
// standard output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TK_AppTest.h"

namespace {

using Result = TK_ProcessResult;

Result Tarsk(const std::vector<std::string>& args) { return RunTarsk(args); }

TEST(Headless, ConsoleLines) {
    struct Case {
        std::vector<std::string> args;
        const char* out;
        int status;
    };
    const Case cases[] = {
        {{"--headless", "-c", "UNDO"}, "cmd : UNDO : \n[Error] cmd failed : TK_CMD_Undo\n", 1},
        {{"--headless", "-c", "redo | undo"},
         "cmd : redo : \n[Error] cmd failed : TK_CMD_Redo\ncmd : undo : \n[Error] cmd failed : TK_CMD_Undo\n", 1},
        {{"--headless", "-c", "nosuch \"a|b\" | undo"},
         "cmd : nosuch : \"a|b\"\n[Error] cmd is not registered : nosuch\n"
         "cmd : undo : \n[Error] cmd failed : TK_CMD_Undo\n",
         1},
        {{"--headless", "-c", "12 undo"}, "", 1},
        {{"--headless", "-c", "/undo"}, "", 1},
        {{"--headless", "-c", "", "-c", "# only a comment"}, "", 0},
        {{"--headless"}, "", 0},
        {{"--headless", "-q", "-c", "undo"}, "[Error] cmd failed : TK_CMD_Undo\n", 1},
        {{"-c", "undo", "--headless"}, "cmd : undo : \n[Error] cmd failed : TK_CMD_Undo\n", 1},
        // The voxel shaders make their own offscreen context.
        {{"--headless", "-q", "-c", "xs sphere 10 7 | xs hollow"}, "", 0},
        {{"--headless", "-q", "-c", "xs ../config/config"},
         "[Error] xs : not a shader name : ../config/config (one of the names \"xs\" lists, no folder or extension)\n"
         "[Error] cmd failed to parse parms: TK_CMD_VoxelShader\n",
         1},
    };
    for (const Case& c : cases) {
        Result r = Tarsk(c.args);
        EXPECT_EQ(r.out, c.out) << c.args.back();
        EXPECT_EQ(r.status, c.status) << c.args.back();
    }
}

TEST(Headless, UsageAndInformation) {
    EXPECT_EQ(Tarsk({"--headless", "--bogus"}).status, 2);
    EXPECT_EQ(Tarsk({"--headless", "-c"}).status, 2);
    EXPECT_EQ(Tarsk({"--headless", "--script", "/nonexistent/script.txt"}).status, 2);
    EXPECT_EQ(Tarsk({"--bogus"}).status, 2);
    Result help = Tarsk({"--headless", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--script FILE"), std::string::npos);
    EXPECT_NE(help.out.find("\"help\""), std::string::npos) << "points to the command list";
    Result version = Tarsk({"--headless", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tarsk ", 0), 0u);
}

// The generator behind "rand" was never seeded: every session coloured alike.
TEST(Headless, RandDiffersFromSessionToSession) {
    std::vector<std::string> files;
    for (int run = 0; run < 3; ++run) {
        const std::string path = testing::TempDir() + "tarsk_rand" + std::to_string(run) + ".vox";
        ASSERT_EQ(Tarsk({"--headless", "-q", "-c", "rand", "-c", "save " + path}).status, 0);
        std::ifstream f(path, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        std::remove(path.c_str());
    }
    EXPECT_FALSE(files[0] == files[1] && files[1] == files[2]);
}

TEST(Headless, ScriptLinesRunInOrderAndSkipComments) {
    std::string path = testing::TempDir() + "tarsk_script.txt";
    {
        std::ofstream f(path);
        f << "# a comment\r\n\nundo\n   # indented comment\nredo\n";
    }
    Result r = Tarsk({"--headless", "-c", "nosuch", "--script", path});
    EXPECT_EQ(r.out,
              "cmd : nosuch : \n[Error] cmd is not registered : nosuch\n"
              "cmd : undo : \n[Error] cmd failed : TK_CMD_Undo\n"
              "cmd : redo : \n[Error] cmd failed : TK_CMD_Redo\n");
    EXPECT_EQ(r.status, 1);
    std::remove(path.c_str());
}

}  // namespace
