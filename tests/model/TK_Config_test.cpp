// Configuration file: folder overrides, colour readers and defaults.
#include "model/TK_Config.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TK_TestSupport.h"
#include "core/OMB_TestFiles.h"
#include "model/TK_Workspace.h"

namespace {

// The workspace a configuration file of this text gives; what it printed goes to `output`.
TK_Workspace Load(const std::string& text, std::string* output = nullptr) {
    const tk_test::TempFolder folder("tk_config");
    std::ofstream(folder.Path("config.txt"), std::ios::binary) << text;
    TK_Workspace ws;
    ws.SetDefaults("/opt/tarsk");
    testing::internal::CaptureStdout();
    LoadConfig(ws, folder.Path("config.txt"));
    const std::string out = testing::internal::GetCapturedStdout();
    if (output) *output = out;
    return ws;
}

// The settings the file sets, as text (colours first whole, then as floats).
std::string Settings(const TK_Workspace& ws) {
    std::ostringstream out;
    out << ws.modelFolder << " " << ws.patternFolder << " " << ws.ownFileDialog << " |";
    for (const uint8_t* colour : {ws.groundColor, ws.edgeColor})
        for (int i = 0; i < 4; ++i) out << " " << int(colour[i]);
    out << " |";
    for (const float* colour : {ws.ambientColor, ws.bgColorBottom, ws.bgColorTop})
        for (int i = 0; i < 3; ++i) out << " " << colour[i];
    return out.str();
}

// A file with a syntax error changes nothing (as a missing one: the parser's case).
TEST(Config, UnreadableFileKeepsDefaults) {
    std::string out;
    EXPECT_EQ(Load("workspace ( dir_model = '/x' \n", &out).modelFolder, "/opt/tarsk/vox");
    EXPECT_NE(out.find("[Error] OMB_LmpParser"), std::string::npos);
}

TEST(Config, FoldersAndColours) {
    TK_Workspace ws = Load(
        "RENDER ( GROUND_COLOR = '1 2 3' Ambient_Color = '0.5 0.25' bgColor_top = '0.3 0.2 0.1' )\n"
        "workspace ( dir_model = '$/models/' dir_pattern = 'C:\\\\data\\\\patterns' file_dialog = 'own' )\n"
        "workspace ( dir_model = '/ignored' )\n");
    EXPECT_EQ(Settings(ws), "/opt/tarsk/models C:/data/patterns 1 | 1 2 3 255 255 51 102 255 | "
                            "0.5 0.25 0 0.5 0.5 0.5 0.3 0.2 0.1");
}

TEST(Config, ShippedFileHoldsTheDefaults) {
    TK_Workspace defaults;
    defaults.SetDefaults("/opt/tarsk");
    EXPECT_EQ(Settings(Load(tk_test::FileText(std::string(TK_SOURCE_DIR) + "/config/config.txt"))), Settings(defaults));
}

TEST(Config, NormalizeFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"$/vox/", "/p/vox"},
        {"$", "/p"},
        {"a\\b\\", "a/b"},
        {"/", ""},
        {"", ""},
        {"x$", "x$"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeFolder("/p", c.first), c.second) << c.first;
}

// HOME=/h, XDG_CONFIG_HOME=/xc; XDG_DATA_HOME is relative, so it is ignored.
// "auto" is 0 (the display decides); numbers are rounded to a quarter and
// clamped to 1..3; anything else is refused and changes nothing.
TEST(ConfigUiScale, AutoQuartersAndClamps) {
    const struct Case {
        const char* text;
        bool ok;
        float scale;
    } cases[] = {{"auto", true, 0}, {"2", true, 2}, {"1.6", true, 1.5f}, {"7", true, 3}, {"0.5", true, 1},
                 {"big", false, -1}};
    for (const Case& c : cases) {
        float scale = -1;
        EXPECT_EQ(TK_ParseUiScale(c.text, scale), c.ok) << c.text;
        EXPECT_EQ(scale, c.scale) << c.text;
    }
}

}  // namespace
