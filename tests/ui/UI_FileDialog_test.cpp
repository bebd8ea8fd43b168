// The toolkit's file dialog: its listing (".." first, folders, then the
// files of the requested kinds), browsing, and what accepting hands on: the
// request's line with the path (a save gains its one extension), or nothing
// when cancelled.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "UI_TestWindow.h"
#include "core/OS_Keys.h"
#include "ui/UI_FileDialog.h"
#include "ui/UI_List.h"
#include "ui/UI_TextField.h"

namespace {

namespace fs = std::filesystem;

TEST(FileDialog, ListsBrowsesAndHandsOnTheLine) {
    const fs::path dir = fs::path(testing::TempDir()) / "ui_filedialog";
    fs::create_directories(dir / "Sub");
    for (const char* name : {"b.qb", "a.vox", "c.txt"}) std::ofstream(dir / name) << "x";
    RecordingWindow window;
    window.Load("vbox { fileDialog (id='dlg' flex='1') }", 400, 300);
    auto* dialog = UI_Cast<UI_FileDialog>(window.FindView("dlg", &UI_View::kClass));
    ASSERT_TRUE(dialog && dialog->List() && dialog->NameField());
    std::vector<std::string> lines;
    dialog->SetDoneHandler([&](const std::string& line) { lines.push_back(line); });
    UI_FileRequest request;
    request.folder = dir.string();
    request.extensions = "vox qb";
    request.command = "i";
    dialog->Open(request);
    EXPECT_EQ(dialog->List()->Items(), (std::vector<std::string>{"../", "Sub/", "a.vox", "b.qb"}));
    EXPECT_EQ(window.FocusView(), dialog->NameField());
    dialog->NameField()->SetText("Sub");
    dialog->Accept();  // a folder's name goes there
    EXPECT_EQ(dialog->Folder(), (dir / "Sub").string());
    dialog->RunCommand("dlg_folder " + dir.string());
    dialog->RunCommand("dlg_pick " + (dir / "a.vox").string());
    EXPECT_EQ(dialog->NameField()->Text(), "a.vox");
    dialog->RunCommand("dlg_pick " + (dir / "a.vox").string());  // a double click
    EXPECT_FALSE(dialog->IsOpen());

    request.save = true;
    request.extensions = "png";
    request.command = "snap scene";
    request.name = "my shot";
    dialog->Open(request);
    window.Key(OS_KEY_ENTER);
    dialog->Open(request);
    window.Key(OS_KEY_ESCAPE);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(lines, (std::vector<std::string>{"i " + (dir / "a.vox").string(),
                                               "snap scene \"" + (dir / "my shot.png").string() + "\"", ""}));
    EXPECT_EQ(window.TakeCommands(), "") << "the dialog's own lines never reach the window";
}

}  // namespace
