// Where a portable and an installed copy find their folders on a POSIX
// system (the program's folder, the XDG variables), and which configuration
// file they read. The Windows layout has its own test
// (tests/core/OS_Windows_win_test.cpp).
#include "model/TK_Workspace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "TK_TestSupport.h"

namespace {

const char* FakeEnv(const char* name) {
    if (!std::strcmp(name, "HOME")) return "/h";
    if (!std::strcmp(name, "XDG_CONFIG_HOME")) return "/xc/";
    if (!std::strcmp(name, "XDG_DATA_HOME")) return "rel";
    return nullptr;
}

TEST(ProgramFolders, PortableAndInstalledLayouts) {
    tk_test::TempFolder temp("tk_layouts");
    const std::string root = temp.Dir().string();
    for (const char* dir : {"build/config", "usr/bin", "usr/share/tarsk/config", "bare/bin"})
        std::filesystem::create_directories(temp.Dir() / dir);
    const struct {
        std::string exeDir, data, config, work;
        bool perUser;
    } cases[] = {
        {root + "/build", root + "/build", root + "/build/config", root + "/build", false},
        {root + "/usr/bin", root + "/usr/share/tarsk", "/xc/tarsk", "/h/.local/share/tarsk", true},
        {root + "/bare/bin", root + "/bare/bin", root + "/bare/bin/config", root + "/bare/bin", false},
    };
    for (const auto& c : cases) {
        const TK_ProgramFolders f = TK_FindProgramFolders(c.exeDir, &FakeEnv);
        EXPECT_EQ(std::tie(f.dataDir, f.configDir, f.workDir, f.perUser), std::tie(c.data, c.config, c.work, c.perUser))
            << c.exeDir;
    }
    // The user's configuration once it exists, the shipped one before.
    const std::string shipped = root + "/usr/share/tarsk/config/config.txt";
    EXPECT_EQ(TK_ConfigFile(root + "/user", root + "/usr/share/tarsk"), shipped);
    std::filesystem::create_directories(temp.Dir() / "user");
    std::ofstream(root + "/user/config.txt") << "render ( )\n";
    EXPECT_EQ(TK_ConfigFile(root + "/user", root + "/usr/share/tarsk"), root + "/user/config.txt");
}

}  // namespace
