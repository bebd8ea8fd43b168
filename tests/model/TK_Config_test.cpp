// Configuration file: folder overrides, colour readers and defaults; where
// a portable and an installed copy find their folders.
#include "model/TK_Config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TK_TestSupport.h"
#include "model/TK_Workspace.h"

namespace {

TK_Workspace Load(const std::string& text, std::string* output = nullptr) {
    std::string path = testing::TempDir() + "tarsk_config.txt";
    {
        std::ofstream f(path, std::ios::binary);
        f << text;
    }
    TK_Workspace ws;
    ws.SetDefaults("/opt/tarsk");
    testing::internal::CaptureStdout();
    LoadConfig(ws, path);
    std::string out = testing::internal::GetCapturedStdout();
    if (output) *output = out;
    return ws;
}

// A missing file says so; a file with a syntax error changes nothing.
TEST(Config, UnreadableFilesKeepDefaults) {
    TK_Workspace ws;
    ws.SetDefaults("/opt/tarsk");
    testing::internal::CaptureStdout();
    LoadConfig(ws, "/nonexistent/config.txt");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "TextFile : failed to open file : /nonexistent/config.txt\n");
    EXPECT_EQ(ws.modelFolder, "/opt/tarsk/vox");
    std::string out;
    ws = Load("workspace ( dir_model = '/x' \n", &out);
    EXPECT_EQ(ws.modelFolder, "/opt/tarsk/vox");
    EXPECT_NE(out.find("[Error] OMB_LmpParser"), std::string::npos);
}

TEST(Config, FoldersAndColours) {
    TK_Workspace ws = Load(
        "RENDER ( GROUND_COLOR = '1 2 3' Ambient_Color = '0.5 0.25' bgColor_top = '0.3 0.2 0.1' )\n"
        "workspace ( dir_model = '$/models/' dir_pattern = 'C:\\\\data\\\\patterns' file_dialog = 'own' )\n"
        "workspace ( dir_model = '/ignored' )\n");
    EXPECT_EQ(ws.modelFolder, "/opt/tarsk/models");
    EXPECT_EQ(ws.patternFolder, "C:/data/patterns");
    EXPECT_TRUE(ws.ownFileDialog);
    const uint8_t ground[4] = {1, 2, 3, 255};
    EXPECT_TRUE(std::equal(ground, ground + 4, ws.groundColor));
    EXPECT_EQ(ws.edgeColor[1], 51);  // untouched default
    EXPECT_FLOAT_EQ(ws.ambientColor[0], 0.5f);
    EXPECT_FLOAT_EQ(ws.ambientColor[1], 0.25f);
    EXPECT_FLOAT_EQ(ws.ambientColor[2], 0.0f);
    EXPECT_FLOAT_EQ(ws.bgColorTop[2], 0.1f);
}

TEST(Config, ShippedFileHoldsTheDefaults) {
    TK_Workspace shipped = Load([] {
        std::ifstream f(std::string(TK_SOURCE_DIR) + "/config/config.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }());
    TK_Workspace defaults;
    defaults.SetDefaults("/opt/tarsk");
    EXPECT_EQ(shipped.modelFolder, defaults.modelFolder);
    EXPECT_EQ(shipped.patternFolder, defaults.patternFolder);
    EXPECT_EQ(shipped.ownFileDialog, defaults.ownFileDialog);
    EXPECT_TRUE(std::equal(defaults.groundColor, defaults.groundColor + 4, shipped.groundColor));
    EXPECT_TRUE(std::equal(defaults.edgeColor, defaults.edgeColor + 4, shipped.edgeColor));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(shipped.ambientColor[i], defaults.ambientColor[i]);
        EXPECT_FLOAT_EQ(shipped.bgColorBottom[i], defaults.bgColorBottom[i]);
        EXPECT_FLOAT_EQ(shipped.bgColorTop[i], defaults.bgColorTop[i]);
    }
}

TEST(Config, NormalizeFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"$/vox/", "/p/vox"}, {"$", "/p"}, {"a\\b\\", "a/b"}, {"/", ""}, {"", ""}, {"x$", "x$"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeFolder("/p", c.first), c.second) << c.first;
}

// HOME=/h, XDG_CONFIG_HOME=/xc; XDG_DATA_HOME is relative, so it is ignored.
const char* FakeEnv(const char* name) {
    if (!std::strcmp(name, "HOME")) return "/h";
    if (!std::strcmp(name, "XDG_CONFIG_HOME")) return "/xc/";
    if (!std::strcmp(name, "XDG_DATA_HOME")) return "rel";
    return nullptr;
}

TEST(Config, PortableAndInstalledLayouts) {
    tk_test::TempFolder temp("tk_layouts");
    const std::string root = temp.Dir().string();
    for (const char* dir : {"build/config", "usr/bin", "usr/share/tarsk/config", "bare/bin"})
        std::filesystem::create_directories(temp.Dir() / dir);
    struct Case {
        std::string exeDir, data, config, work;
        bool perUser;
    };
    const Case cases[] = {
        {root + "/build", root + "/build", root + "/build/config", root + "/build", false},
        {root + "/usr/bin", root + "/usr/share/tarsk", "/xc/tarsk", "/h/.local/share/tarsk", true},
        {root + "/bare/bin", root + "/bare/bin", root + "/bare/bin/config", root + "/bare/bin", false},
    };
    for (const Case& c : cases) {
        const TK_ProgramFolders f = TK_FindProgramFolders(c.exeDir, &FakeEnv);
        EXPECT_EQ(f.dataDir, c.data);
        EXPECT_EQ(f.configDir, c.config);
        EXPECT_EQ(f.workDir, c.work);
        EXPECT_EQ(f.perUser, c.perUser) << c.exeDir;
    }
    // The user's configuration once it exists, the shipped one before.
    const std::string shipped = root + "/usr/share/tarsk/config/config.txt";
    EXPECT_EQ(TK_ConfigFile(root + "/user", root + "/usr/share/tarsk"), shipped);
    std::filesystem::create_directories(temp.Dir() / "user");
    std::ofstream(root + "/user/config.txt") << "render ( )\n";
    EXPECT_EQ(TK_ConfigFile(root + "/user", root + "/usr/share/tarsk"), root + "/user/config.txt");
}

}  // namespace
