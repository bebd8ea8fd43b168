// Fixture of the file command tests: every command and format registered,
// headless (dialogs report "cancelled"), every workspace folder in one fresh
// temporary folder, a 4 x 3 x 2 model named "mine.vox", and two test
// formats whose model readers fail so that "i" takes the picture route:
// "img" reads a 3 x 2 picture, "blank" a picture without pixels. A fake
// window can be attached for the commands that ask the window.
#pragma once

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "TK_EditFixture.h"
#include "TK_TestSupport.h"
#include "model/TK_WindowLink.h"

namespace tk_test {

struct FakeWindow : TK_WindowLink {
    bool hasFileList = true;
    std::string folder;
    std::vector<std::tuple<std::string, std::string, std::string>> attributes;

    bool FileListFolder(std::string& out) const override { return out = folder, hasFileList; }
    bool SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) override {
        attributes.emplace_back(view, key, value);
        return true;
    }
};

class FileCommandTest : public EditEnvTest {
protected:
    void SetUp() override;

    std::string Path(const std::string& name) const { return folder.Path(name); }
    // A 3 x 2 x 1 model with two voxels, one of them in `color` = (1, 2, 3).
    void WriteModel(const std::string& name, int color = 9) const;
    size_t History() const { return env->executor.UndoCount(); }
    // Runs the line; its output after the "cmd" line must be `out`.
    void Expect(const std::string& line, bool result, const std::string& out);
    // Runs a line that must fail, print `message` and change nothing.
    void ExpectRefused(const std::string& line, const std::string& message);

    TempFolder folder{"tk_fc_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    const std::filesystem::path& dir = folder.Dir();
    FakeWindow window;
};

}  // namespace tk_test
