// The file command fixture (see TK_FileCommandFixture.h).
#include "TK_FileCommandFixture.h"

#include <fstream>
#include <iterator>

#include "model/TK_VoxFile.h"
#include "plugins/TK_PluginRegistry.h"
#include "plugins/TK_Plugins.h"

namespace tk_test {

namespace {

struct PicturePlugin : TK_Plugin {
    bool LoadImage(const std::string&, const std::string&, Image& image) override {
        // Top row red, clear, red; bottom row blue.
        image.Allocate(IMAGE_RGBA, 3, 2);
        image.pixels = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255};
        return true;
    }
};

struct BlankPlugin : TK_Plugin {
    bool LoadImage(const std::string&, const std::string&, Image& image) override { return image = Image(), true; }
};

}  // namespace

void FileCommandTest::SetUp() {
    EditEnvTest::SetUp();
    TK_Workspace& ws = env->workspace;
    ws.modelFolder = ws.importFolder = ws.exportFolder = ws.paletteFolder = ws.patternFolder = dir.generic_u8string();
    ws.cacheFolder = folder.Path("cache");
    env->headless = true;
    env->plugins = std::make_shared<TK_PluginRegistry>();
    TK_RegisterPlugins(*env->plugins);
    env->plugins->Add("img", "img", "Test Picture", &TK_MakePlugin<PicturePlugin>);
    env->plugins->Add("blank", "blank", "Test Blank", &TK_MakePlugin<BlankPlugin>);
    SetBox(4, 3, 2);
    Add(0, 0, 0, 5);
    Add(3, 2, 1, 7);
    env->model.name = "mine.vox";
}

TK_Model FileCommandTest::WriteModel(const std::string& name, int color) const {
    TK_Model m = MakeModel(3, 2, 1, {{2, 1, 0, uint8_t(color)}, {0, 0, 0, 1}});
    m.palette[color] = PackRGBA(1, 2, 3);
    EXPECT_TRUE(WriteVox(m, Path(name).c_str())) << name;
    return m;
}

void FileCommandTest::Expect(const std::string& line, bool result, const std::string& out) {
    EXPECT_EQ(Run(line), result) << line;
    const size_t end = output.find('\n');
    EXPECT_EQ(output.substr(end == std::string::npos ? output.size() : end + 1), out) << line;
}

std::string FileCommandTest::Text(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tk_test
