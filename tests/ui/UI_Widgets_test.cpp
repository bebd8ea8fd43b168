// Widget behaviour through synthetic input: buttons, switches, options, tabs,
// sliders, the palette, the file views, the colour views and the console.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "TK_TestSupport.h"
#include "UI_TestWindow.h"
#include "core/OS_Keys.h"
#include "ui/UI_ColorView.h"
#include "ui/UI_Console.h"
#include "ui/UI_FileDialog.h"
#include "ui/UI_Label.h"
#include "ui/UI_List.h"
#include "ui/UI_TextField.h"

namespace {

namespace fs = std::filesystem;

TEST(Button, RepeatTiming) {
    RecordingWindow window;
    window.Load("vbox { button (onClick='up' repeated='1' size='20') }");
    window.Down(5, 95);
    EXPECT_EQ(window.commands.size(), 1u);  // on the press
    // Hold for one second in ticks of 0.01 s: 0.45 s plus one tick, then every 0.05 s.
    std::vector<int> fired;
    for (int i = 1; i <= 100; ++i) {
        const size_t before = window.commands.size();
        window.Broadcast(UI_Event::Tick(UI_TickData{i * 0.01, (i - 1) * 0.01}));
        if (window.commands.size() > before) fired.push_back(i);
    }
    EXPECT_EQ(fired, (std::vector<int>{46, 51, 56, 61, 66, 71, 76, 81, 86, 91, 96}));
    window.Up(5, 95);
    window.Broadcast(UI_Event::Tick(UI_TickData{1.5, 1.0}));
    EXPECT_EQ(window.commands.size(), 12u);
}

// The command lines a few pointer gestures give, from loading on: a loaded
// tree runs nothing by itself.
TEST(Widgets, GesturesRunTheirCommands) {
    // The left button's gestures, as a host reports them: a move drags while the button is down.
    enum { kClick, kMove, kDown, kUp, kWheel };
    struct Gesture {
        int what, x, y;
        int notches = 0;
        int modifiers = 0;
    };
    struct Case {
        const char* what;
        const char* ui;
        std::vector<Gesture> gestures;
        const char* commands;
    } cases[] = {
        {"a delayed button fires only on a release over it, a disabled one never",
         "vbox { button (onClick='go' delayed='1' size='20') button (disabled='1' onClick='no') }",
         {{kMove, 5, 95}, {kDown, 5, 95}, {kMove, 5, 10}, {kUp, 5, 10}, {kClick, 5, 95}, {kClick, 5, 40}},
         "go"},
        {"a switch toggles on the press: dragging off does not undo it",
         "vbox { switch (onClick='r_show edge' delayed='0' size='20') }",
         {{kDown, 5, 95}, {kMove, 5, 10}, {kUp, 5, 10}, {kClick, 5, 95}}, "r_show edge 1|r_show edge 0"},
        {"an option group selects one and tells the group, once",
         "optionGroup (onClick='brush' value='b') { hbox {"
         " option (id='a' onSelect='pick a' flex='1') option (id='b' onDeselect='drop b' flex='1') } }",
         {{kClick, 10, 50}, {kClick, 10, 50}}, "drop b|pick a|brush a"},
        {"a slider follows a click, a drag and the wheel", "hbox { slider (onChange='v' size='100') }",
         {{kDown, 25, 50}, {kMove, 250, 50}, {kUp, 250, 50}, {kWheel, 50, 50, -1}},
         "v 0.250000|v 1.000000|v 0.950000"},
        {"a slider button steps every 10 pixels once 3 pixels away, and back",
         "vbox { sbutton (onDrag='size' step='1' space='10' flex='1') }",
         {{kDown, 50, 50}, {kMove, 52, 51}, {kMove, 60, 52}, {kMove, 65, 52}, {kMove, 70, 52}, {kMove, 85, 52},
          {kMove, 50, 50}, {kUp, 50, 50}},
         "size 1.000000|size 1.000000|size 1.000000|size -3.000000"},
        {"a palette selects on a plain press, copies on a Ctrl drag, swaps on a Shift drag; 0 is not for picking",
         "hbox { palette (dim='4 2' onSelect='ci' onCopy='pcopy' onSwap='pswap' size='40') }",
         {{kClick, 15, 75},
          {kDown, 25, 75, 0, OS_MOD_CTRL},
          {kMove, 5, 25, 0, OS_MOD_CTRL},
          {kUp, 5, 25, 0, OS_MOD_CTRL},
          {kDown, 25, 75, 0, OS_MOD_SHIFT}, {kUp, 35, 25, 0, OS_MOD_SHIFT}, {kClick, 5, 75}},
         "ci 1|pcopy 2 4|pswap 2 7"},
    };
    for (const Case& c : cases) {
        RecordingWindow window;
        window.Load(c.ui);
        for (const Gesture& g : c.gestures) {
            switch (g.what) {
                case kClick: window.Click(g.x, g.y, g.modifiers); break;
                case kMove: window.Move(g.x, g.y, g.modifiers); break;
                case kDown: window.Down(g.x, g.y, g.modifiers); break;
                case kUp: window.Up(g.x, g.y, g.modifiers); break;
                case kWheel:
                    window.Move(g.x, g.y);
                    window.InputWheel(g.notches, g.modifiers);
                    break;
            }
        }
        EXPECT_EQ(window.TakeCommands(), c.commands) << c.what;
    }
}

// A tab shows the page of the selected option (labels share the options' ids), a view switch swaps its views on
// every request, a panel switch folds the panel below it; none runs a command.
TEST(Switches, ShowAndHideTheirViews) {
    RecordingWindow window;
    window.Load("vbox { tab (size='20' value='p1') { hbox { option (id='p1' flex='1') option (id='p2' flex='1') } }"
                " label (id='p1' flex='1') label (id='p2' flex='1' hidden='1') }");
    window.Click(150, 90);
    EXPECT_TRUE(window.FindView("p1", &UI_Label::kClass)->IsHidden());
    EXPECT_FALSE(window.FindView("p2", &UI_Label::kClass)->IsHidden());
    EXPECT_EQ(window.FindView("p2", &UI_Label::kClass)->Rect().Height(), 80);

    window.Load("vbox { viewSwitch (id='vs' view='x y' size='20') label (id='x' flex='1') label (id='y' hidden='1') }");
    UI_View* x = window.FindView("x", &UI_View::kClass);
    UI_View* y = window.FindView("y", &UI_View::kClass);
    window.Click(5, 95);
    EXPECT_TRUE(x->IsHidden());
    EXPECT_FALSE(y->IsHidden());
    window.SetViewAttribute("vs", "selected", "1");  // unchanged state: swaps all the same
    EXPECT_FALSE(x->IsHidden());
    EXPECT_EQ(x->Rect().Height(), 80);

    window.Load("vpanel { panelSwitch (id='h' size='20') label (id='body' size='50') panelSwitch (selected='1')"
                " label (id='open' size='30') }");
    UI_View* body = window.FindView("body", &UI_View::kClass);
    EXPECT_TRUE(body->IsHidden());
    EXPECT_FALSE(window.FindView("open", &UI_View::kClass)->IsHidden());
    window.Click(5, 95);
    EXPECT_FALSE(body->IsHidden());
    EXPECT_EQ(body->Rect(), (OMB_Rect{0, 30, 199, 79}));
    EXPECT_EQ(window.TakeCommands(), "");
}

// A file list and the dialog built on one show ".." first, folders, then the
// files of the requested kinds, in name order whatever the case. Accepting
// the dialog hands on the request's line with the path (a save gains its one
// extension), cancelling an empty line.
TEST(FileDialog, ListsBrowsesAndHandsOnTheLine) {
    const tk_test::TempFolder folder("ui_files");
    const fs::path& dir = folder.Dir();
    fs::create_directories(dir / "Sub");
    for (const char* name : {"b.vox", "A.VOX", "b.qb", "c.txt"}) std::ofstream(dir / name) << "x";
    RecordingWindow window;
    const std::string text = "vbox { fileList (id='file' ext='vox' onSelect='open' onSelectFolder='cd' root='" +
                             dir.generic_u8string() + "' selected='b.vox' flex='1') fileDialog (id='dlg' flex='1') }";
    window.Load(text.c_str(), 400, 400);
    auto* list = UI_Cast<UI_FileList>(window.FindView("file", &UI_View::kClass));
    auto* dialog = UI_Cast<UI_FileDialog>(window.FindView("dlg", &UI_View::kClass));
    ASSERT_TRUE(list && dialog && dialog->List() && dialog->NameField());
    EXPECT_EQ(list->Items(), (std::vector<std::string>{"../", "Sub/", "A.VOX", "b.vox"}));
    EXPECT_EQ(list->Selected(), 3);
    window.Click(20, list->Rect().y1 - 20 - 5);  // the second row
    window.Click(20, list->Rect().y1 - 40 - 5);
    EXPECT_EQ(window.TakeCommands(),
              "cd \"" + (dir / "Sub").generic_u8string() + "\"|open \"" + (dir / "A.VOX").generic_u8string() + "\"");

    std::vector<std::string> lines;
    dialog->SetDoneHandler([&](const std::string& line) { lines.push_back(line); });
    OS_FileRequest request;
    request.folder = dir.generic_u8string();
    request.filter = "Models (*.vox *.qb)";
    request.command = "i";
    dialog->Open(request);
    EXPECT_EQ(dialog->List()->Items(), (std::vector<std::string>{"../", "Sub/", "A.VOX", "b.qb", "b.vox"}));
    EXPECT_EQ(window.FocusView(), dialog->NameField());
    dialog->NameField()->SetText("Sub");
    dialog->Accept();  // a folder's name goes there
    EXPECT_EQ(dialog->Folder(), (dir / "Sub").generic_u8string());
    // A folder that cannot be listed still offers the way up, and says why.
    dialog->RunCommand("dlg_folder " + (dir / "c.txt").generic_u8string());
    EXPECT_EQ(dialog->List()->Items(), std::vector<std::string>{"../"});
    EXPECT_EQ(dialog->List()->Problem(), std::error_code(ENOTDIR, std::generic_category()).message());
    dialog->RunCommand("dlg_folder " + dir.generic_u8string());
    dialog->RunCommand("dlg_pick " + (dir / "A.VOX").generic_u8string());
    EXPECT_EQ(dialog->NameField()->Text(), "A.VOX");
    dialog->RunCommand("dlg_pick " + (dir / "A.VOX").generic_u8string());  // a double click
    EXPECT_FALSE(dialog->IsOpen());

    request.save = true;
    request.filter = "PNG (*.png)";
    request.command = "snap scene";
    request.name = "my shot.png";
    dialog->Open(request);  // the name shows from its start, all but the extension selected
    EXPECT_EQ(std::make_tuple(dialog->NameField()->Caret(), dialog->NameField()->SelectionEnd()), std::make_tuple(0, 7));
    window.Key(OS_KEY_ENTER);
    dialog->Open(request);
    window.Key(OS_KEY_ESCAPE);
    EXPECT_FALSE(dialog->IsOpen());
    // A save over a file asks first; "New folder" makes the typed folder and goes in.
    request.filter = "OBJ (*.obj) Models (*.vox)";  // the extension picks the kind: all of the name selected
    request.name = "b.vox";
    dialog->Open(request);
    EXPECT_EQ(dialog->NameField()->SelectionEnd(), 5);
    window.Key(OS_KEY_ENTER);
    EXPECT_TRUE(dialog->IsOpen());
    window.Key(OS_KEY_ENTER);  // "Replace b.vox?"
    EXPECT_FALSE(dialog->IsOpen());
    dialog->Open(request);
    dialog->NameField()->SetText("Made");
    dialog->RunCommand("dlg_mkdir");
    EXPECT_EQ(dialog->Folder(), (dir / "Made").generic_u8string());
    dialog->Cancel();
    EXPECT_EQ(lines, (std::vector<std::string>{"i \"" + (dir / "A.VOX").generic_u8string() + "\"",
                                               "snap scene \"" + (dir / "my shot.png").generic_u8string() + "\"", "",
                                               "snap scene \"" + (dir / "b.vox").generic_u8string() + "\"", ""}));
    EXPECT_EQ(window.TakeCommands(), "") << "the dialog's own lines never reach the window";
    fs::remove_all(dir);
    window.SetViewAttribute("file", "update", "");
    EXPECT_EQ(list->Items(), std::vector<std::string>{"../"}) << "a folder gone: only the way up";
}

// Over a row cut with an ellipsis the hint line shows the whole name; over
// one that fits, the list's own hint.
TEST(Hint, ShowsTheWholeTextOfACutRow) {
    RecordingWindow window;
    const std::string name = "a model whose name is far too long.vox";
    window.Load(("vbox { list (items='short.vox;" + name + "' hint='models' flex='1') hint (id='h' size='20') }").c_str(),
                120, 80);
    auto* hint = UI_Cast<UI_Hint>(window.FindView("h", &UI_View::kClass));
    const OMB_Rect list = window.Root()->Child(0)->Rect();
    window.Move(list.x0 + 20, list.y1 - 5);
    EXPECT_EQ(hint->CurrentHint(), "models");
    window.Move(list.x0 + 20, list.y1 - 25);  // the second row
    EXPECT_EQ(hint->CurrentHint(), name);
}

TEST(ColorViews, ShowAColourAndReportDrags) {
    RecordingWindow window;
    window.Load("vbox { rgbView (id='rgb' onChange='rgb' size='30') hsvView (id='hsv' rgb='255 0 0' size='30') }",
                256, 60);
    window.SetViewAttribute("rgb", "rgb", "10 20 30");  // no command: the press's is the first
    UI_RGBView* rgb = UI_Cast<UI_RGBView>(window.FindView("rgb", &UI_View::kClass));
    ASSERT_TRUE(rgb);
    const OMB_Rect red = rgb->Slider(0)->Rect();
    window.Down((red.x0 + red.x1 + 1) / 2, (red.y0 + red.y1) / 2);
    EXPECT_EQ(window.TakeCommands(), "rgb 127 20 30");
    ASSERT_TRUE(window.LoadFont());
    window.BuildFrame();
    EXPECT_EQ(window.Canvas().Text().Count(), 2 * 3 * 4) << "each slider has its channel's letter";
    const int hsv[3] = {120, 255, 255};
    EXPECT_EQ(UI_HSVToRGB(hsv), OMB_RGBA(0, 255, 0));
    int back[3];
    UI_RGBToHSV(OMB_RGBA(0, 255, 0), back);
    EXPECT_EQ(back[0], 120);
}

TEST(Console, ScrollsWithinTheLogAndHoldsItsPlace) {
    RecordingWindow window;
    window.Load("vbox { console (id='log' flex='1') statusLine (id='status' minSize='0 20') }", 200, 110);
    auto* console = UI_Cast<UI_Console>(window.FindView("log", &UI_View::kClass));
    auto* status = UI_Cast<UI_StatusLine>(window.FindView("status", &UI_View::kClass));
    ASSERT_TRUE(console && status);
    OMB_MessageLog log;
    const auto addLines = [&log](int from, int to) {
        for (int i = from; i < to; ++i) log.AddLine("line " + std::to_string(i));
    };
    addLines(0, 20);
    console->SetLog(&log);
    status->SetLog(&log);
    ASSERT_EQ(console->VisibleLines(), 5);
    const struct {
        int key;
        int notches;
        int bottom;
    } steps[] = {
        {0, 1, 16},                    // one notch up: three lines older
        {OS_KEY_PAGE_UP, 0, 12},       // a page keeps one line of overlap
        {OS_KEY_HOME, 0, 4},           // the oldest line is in the top row
        {OS_KEY_PAGE_UP, 0, 4},        // no further
        {OS_KEY_END, 0, 19},           // back to the newest
        {OS_KEY_PAGE_DOWN, 0, 19},
    };
    for (const auto& step : steps) {
        if (step.key) {
            console->KeyDown(UI_KeyState{0, step.key});
        } else {
            window.Move(100, 60);
            window.InputWheel(step.notches, 0);
        }
        EXPECT_EQ(console->BottomLine(), step.bottom) << step.key;
    }
    addLines(20, 22);
    window.BuildFrame();
    EXPECT_EQ(console->BottomLine(), 21);  // following
    console->ScrollBy(3);
    addLines(22, 25);
    window.BuildFrame();
    EXPECT_EQ(console->BottomLine(), 18);  // scrolled back: the same lines
    EXPECT_EQ(status->Message(), "line 24");
}

}  // namespace
