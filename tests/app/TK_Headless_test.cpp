// The headless command line, end to end: runs build/tarsk and checks its
// standard output and exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "core/OS_Process.h"
#include "model/TK_VoxFile.h"

namespace {

TEST(Headless, ConsoleLines) {
    const tk_test::TempFolder folder("tk_headless");
    const std::string script = folder.Path("script.txt"), in = folder.Path("in"), out = folder.Path("out");
    std::ofstream(script) << "# a comment\r\n\nundo\n   # indented comment\nredo\n";
    // A folder to convert in which one model does not load.
    std::filesystem::create_directories(in);
    ASSERT_TRUE(WriteVox(tk_test::MakeModel(2, 2, 2, {{1, 1, 0, 10}}), (in + "/m1.vox").c_str()));
    std::ofstream(in + "/bad.vox") << "garbage";
    // The reason comes first, on a line of its own; the dispatch lines stay.
    const std::string undo = "cmd : undo : \n[Error] undo: nothing to undo\n[Error] cmd failed : TK_CMD_Undo\n";
    const std::string redo = "cmd : redo : \n[Error] redo: nothing to redo\n[Error] cmd failed : TK_CMD_Redo\n";
    const std::string nosuch =
        "[Error] nosuch: no such command; help lists them\n[Error] cmd is not registered : nosuch\n";
    // arguments, standard output, exit status
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        {{"--headless", "-c", "UNDO"}, "cmd : UNDO : \n[Error] UNDO: nothing to undo\n[Error] cmd failed : TK_CMD_Undo\n", 1},
        {{"--headless", "-c", "redo | undo"}, redo + undo, 1},
        {{"--headless", "-c", "nosuch \"a|b\" | undo"}, "cmd : nosuch : \"a|b\"\n" + nosuch + undo, 1},
        {{"--headless", "-c", "12 undo"}, "", 1},
        {{"--headless", "-c", "/undo"}, "", 1},
        {{"--headless", "-c", "", "-c", "# only a comment"}, "", 0},
        {{"--headless"}, "", 0},
        {{"--headless", "-q", "-c", "undo"}, "[Error] undo: nothing to undo\n[Error] cmd failed : TK_CMD_Undo\n", 1},
        {{"-c", "undo", "--headless"}, undo, 1},
        // Script lines run after the -c lines, in order, skipping comments.
        {{"--headless", "-c", "nosuch", "--script", script}, "cmd : nosuch : \n" + nosuch + undo + redo, 1},
        // A model that fails fails the run, and its line survives -q.
        {{"--headless", "-q", "-c", "odir xraw " + in + " " + out},
         "[Error] [Export] failed to load model : " + in + "/bad.vox : not a model file\n[Error] cmd failed : TK_CMD_ExportDir\n", 1},
        {{"--headless", "-q", "-c", "xs ../config/config"},
         "[Error] xs : not a shader name : ../config/config (one of the names \"xs\" lists, no folder or extension)\n"
         "[Error] cmd failed to parse parms: TK_CMD_VoxelShader\n",
         1},
        // Usage errors go to standard error.
        {{"--headless", "--bogus"}, "", 2},
        {{"--headless", "-c"}, "", 2},
    };
    for (const auto& [args, said, status] : cases) {
        const TK_ProcessResult r = RunTarsk(args);
        EXPECT_EQ(r.out, said) << testing::PrintToString(args);
        EXPECT_EQ(r.status, status) << testing::PrintToString(args);
    }
    EXPECT_TRUE(std::filesystem::exists(out + "/m1.xraw")) << "the other models still convert";
}

TEST(Headless, HelpAndVersion) {
    const TK_ProcessResult help = RunTarsk({"--headless", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--script FILE"), std::string::npos);
    EXPECT_NE(help.out.find("\"help\""), std::string::npos) << "points to the command list";
    const TK_ProcessResult version = RunTarsk({"--headless", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tarsk ", 0), 0u);
}

// The generator behind "rand" was never seeded: every session coloured alike.
TEST(Headless, RandDiffersFromSessionToSession) {
    const tk_test::TempFolder folder("tk_rand");
    std::vector<std::string> files;
    for (const char* name : {"r0.vox", "r1.vox", "r2.vox"}) {
        ASSERT_EQ(RunTarsk({"--headless", "-q", "-c", "rand", "-c", "save " + folder.Path(name)}).status, 0);
        files.push_back(ReadTestFile(folder.Path(name)));
    }
    EXPECT_FALSE(files[0] == files[1] && files[1] == files[2]);
}

// The voxel shaders make their own offscreen context.
TEST(Headless, VoxelShadersRun) {
    const TK_ProcessResult r = RunTarsk({"--headless", "-q", "-c", "xs sphere 10 7 | xs hollow"});
    EXPECT_EQ(std::make_tuple(r.out, r.status), std::make_tuple(std::string(), 0));
}

// An editor without a display says what it asked for and why it failed
// (it used to say only "no display", also when the display was busy).
TEST(Editor, WithoutADisplaySaysWhy) {
    const tk_test::TempFolder folder("tk_nodisplay");
    OS_SetEnvironment("SDL_VIDEODRIVER", nullptr);
    OS_SetEnvironment("WAYLAND_DISPLAY", nullptr);
    OS_SetEnvironment("DISPLAY", ":4093");
    double seconds = 0;
    const pid_t pid = SpawnTarsk({}, folder.Path("out"), folder.Path("err"));
    EXPECT_EQ(WaitExit(pid, 30, seconds), 1);
    const std::string err = ReadTestFile(folder.Path("err"));
    EXPECT_NE(err.find("tarsk: no display (x11: "), std::string::npos) << err;
}

// A copied program folder holds only the program and its shipped files; the
// workspace folders appear at the first start, so relative saves work.
TEST(Headless, ACopiedProgramFolderMakesItsWorkspace) {
    const tk_test::TempFolder folder("tk_portable");
    namespace fs = std::filesystem;
    const fs::path build(TK_BUILD_DIR), copy = folder.Dir() / "tarsk";
    fs::create_directories(copy);
    fs::copy_file(build / "tarsk", copy / "tarsk");
    fs::copy(build / "config", copy / "config", fs::copy_options::recursive);
    const std::string program = (copy / "tarsk").string();
    const std::string line = program + " --headless -q -c 'size 3' -c 'save m.vox' -c 'o obj m.obj' -c 'opal p.png'";
    EXPECT_EQ(std::system(line.c_str()), 0);
    for (const char* file : {"vox/m.vox", "export/m.obj", "palette/p.png"}) EXPECT_TRUE(fs::exists(copy / file)) << file;
}

}  // namespace
