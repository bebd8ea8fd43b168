// Fixture of the file command tests: every command and format registered,
// headless (dialogs report "cancelled"), every workspace folder in one fresh
// temporary folder, a 4 x 3 x 2 model named "mine.vox", and two test
// formats whose model readers fail so that "i" takes the picture route:
// "img" reads a 3 x 2 picture, "blank" a picture without pixels. A fake
// window can be attached for the commands that ask the window.
#pragma once

#include <filesystem>
#include <string>

#include "TK_EditFixture.h"
#include "TK_TestSupport.h"

namespace tk_test {

class FileCommandTest : public EditEnvTest {
protected:
    void SetUp() override;

    std::string Path(const std::string& name) const { return folder.Path(name); }
    // The whole content of a file in the folder.
    std::string Text(const std::string& name) const;
    // Writes a 3 x 2 x 1 model with two voxels, one of them in `color` = (1, 2, 3), and returns it.
    TK_Model WriteModel(const std::string& name, int color = 9) const;
    // Runs the line; its output after the "cmd" line must be `out`.
    void Expect(const std::string& line, bool result, const std::string& out);

    TempFolder folder{"tk_fc_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    const std::filesystem::path& dir = folder.Dir();
    FakeWindow window;
};

}  // namespace tk_test
