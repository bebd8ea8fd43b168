// The editor window driven by synthetic toolkit events, without a display or
// a GL context: start-up, the hotkey tables, Tab focus, dropped files, the
// widget updates of the change messages, the message log, the own file
// dialog, the caption and a backup that fails. Then drawn into an offscreen
// GL context (SDL's offscreen driver on llvmpipe): panels that were shown and
// hidden leave no pixels behind, the resting pointer shows where a stroke
// would start, box strokes draw their previews, and the path tracer stops
// asking for frames at its target.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "app/MS_ShaderWorker.h"
#include "app/TK_EditorWindow.h"
#include "app/TK_SceneView.h"
#include "core/OMB_Arguments.h"
#include "core/OMB_Log.h"
#include "core/OS_Keys.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"
#include "model/TK_VoxSceneFiles.h"
#include "render/TK_Snapshot.h"
#include "ui/UI_Box.h"
#include "ui/UI_Button.h"
#include "ui/UI_Console.h"
#include "ui/UI_FileDialog.h"
#include "ui/UI_Label.h"
#include "ui/UI_Option.h"
#include "ui/UI_List.h"
#include "ui/UI_Palette.h"
#include "ui/UI_Question.h"
#include "ui/UI_Switch.h"
#include "ui/UI_TextField.h"

namespace {

constexpr int kW = 1280, kH = 800;

// Starts `window` on the shipped description at kW x kH, drawing when
// `rendering` (a GL context is current); returns what it printed.
std::string Start(TK_EditorWindow& window, bool rendering) {
    window.SetDescriptionPath(std::string(TK_SOURCE_DIR) + "/config/editor.ui");
    if (rendering) window.EnableRendering();
    testing::internal::CaptureStdout();
    window.Broadcast(UI_Event::Broadcast(UI_EVENT_CREATE));
    std::string error;
    if (rendering) window.Canvas().LoadFont(std::string(TK_BUILD_DIR) + "/fonts", error);
    window.SetRect({0, 0, kW - 1, kH - 1});
    window.Root()->SetRect({0, 0, kW - 1, kH - 1});
    window.RefreshLayout();
    window.Broadcast(UI_Event::Broadcast(UI_EVENT_START));
    return testing::internal::GetCapturedStdout();
}

// The mouse resting in the middle of `view`.
UI_MouseState Centre(UI_View* view) {
    const OMB_Rect& r = view->Rect();
    return UI_MouseState{true, (r.x0 + r.x1) / 2, (r.y0 + r.y1) / 2};
}

void Click(UI_Window& window, UI_View* view) {
    ASSERT_TRUE(view);
    const UI_MouseState m = Centre(view);
    window.InputButton(UI_BUTTON_LEFT, true, m.x, m.y, 0);
    window.InputButton(UI_BUTTON_LEFT, false, m.x, m.y, 0);
}

class EditorWindow : public testing::Test {
protected:
    void SetUp() override {
        startOutput = Start(window, false);
        env().workspace.cacheFolder = folder.Dir().generic_u8string();
    }

    TK_EditorEnv& env() { return window.Env(); }
    bool Key(int key, int mods, bool repeat = false) { return window.KeyDown(UI_KeyState{mods, key, repeat}); }
    void Run(const std::string& line) { ASSERT_TRUE(env().ExecuteText(line.c_str())) << line; }
    template <typename T>
    T* View(const char* name) { return UI_Cast<T>(window.FindView(name, &T::kClass)); }
    // What a view shows: a field's or label's text, "1" / "0" for a switch or option.
    std::string State(const char* name) {
        UI_View* view = window.FindView(name, &UI_View::kClass);
        if (auto* field = UI_Cast<UI_TextField>(view)) return field->Text();
        if (auto* label = UI_Cast<UI_Label>(view)) return label->Text();
        if (auto* on = UI_Cast<UI_Switch>(view)) return on->IsSelected() ? "1" : "0";
        if (auto* option = UI_Cast<UI_Option>(view)) return option->IsSelected() ? "1" : "0";
        return "no view " + std::string(name);
    }
    // `paths` dropped on the middle of the view `on`.
    void Drop(const std::vector<std::string>& paths, const char* on) {
        const UI_MouseState m = Centre(window.FindView(on, &UI_View::kClass));
        window.OnDropFiles(paths, m.x, m.y);
    }
    // A key through the window's input, to the view with the keyboard.
    void Press(int key) { window.InputKey(key, true, false, 0); }

    tk_test::TempFolder folder{"rezwindow"};
    TK_EditorWindow window;
    std::string startOutput;
};

TEST_F(EditorWindow, StartsWithTheShippedDescriptionAndAnEmptyHistory) {
    EXPECT_EQ(startOutput.find("[Error]"), std::string::npos) << startOutput;
    EXPECT_EQ(startOutput.find("[Warning]"), std::string::npos) << startOutput;
    ASSERT_TRUE(window.SceneView() && window.PaletteView() && window.CommandField());
    EXPECT_EQ(window.FocusView(), window.SceneView());
    // steps, colour (and the palette's), box, voxels, render width
    EXPECT_EQ(std::make_tuple(env().executor.UndoCount(), env().currentColorIndex, window.PaletteView()->Selected(),
                              env().model.size[0], env().model.voxels.Count(), env().settings.ptImage[0]),
              std::make_tuple(0u, 79, 79, 45, size_t(45 * 45 * 45), 960));
    EXPECT_EQ(View<UI_FileList>("file")->Root(), env().workspace.modelFolder);
    EXPECT_FALSE(View<UI_Button>("undo")->IsEnabled());
    EXPECT_EQ(State("name"), "untitled") << "the start-up box is no unsaved work";
}

TEST_F(EditorWindow, HotkeysAndTheirRepeatRules) {
    Run("zero");
    EXPECT_TRUE(Key(OS_KeyOf('Z'), OS_MOD_CTRL, true));  // undo fires on repetition
    EXPECT_EQ(env().model.voxels.Count(), size_t(45 * 45 * 45));
    EXPECT_TRUE(Key(OS_KeyOf('Z'), OS_MOD_CTRL | OS_MOD_SHIFT));
    EXPECT_EQ(env().model.voxels.Count(), 0u);
    Run("set b_shape line");
    EXPECT_FALSE(Key(OS_KeyOf('B'), 0, true));  // not on repetition
    EXPECT_EQ(env().settings.brushShape, 0);
    EXPECT_TRUE(Key(OS_KeyOf('B'), 0));
    EXPECT_EQ(env().settings.brushShape, 5);
    const int grid = env().settings.rasterFlags & TK_SHOW_GRID;
    EXPECT_TRUE(Key(OS_KeyOf('G'), OS_MOD_CTRL));
    EXPECT_NE(env().settings.rasterFlags & TK_SHOW_GRID, grid);
    EXPECT_EQ(State("r_grid"), grid ? "0" : "1");
    // Render mode: its own table, the display keys reach the tracer's flags.
    env().settings.renderMode = 1;
    const int ptGrid = env().settings.ptFlags & TK_SHOW_GRID;
    EXPECT_TRUE(Key(OS_KeyOf('G'), OS_MOD_CTRL));
    EXPECT_NE(env().settings.ptFlags & TK_SHOW_GRID, ptGrid);
    EXPECT_FALSE(Key(OS_KeyOf('B'), 0));
    EXPECT_FALSE(Key(0, 0));  // typed characters are not hotkeys
}

// Tab moves the keyboard to the command field and back; Enter in a value
// field runs it and gives the keyboard back, Esc leaves without running.
TEST_F(EditorWindow, TheKeyboardGoesBackToTheScene) {
    UI_TextField* cmd = window.CommandField();
    cmd->SetText("stale");
    EXPECT_TRUE(Key(OS_KEY_TAB, 0));
    EXPECT_EQ(window.FocusView(), cmd);
    EXPECT_EQ(cmd->Text(), "");
    EXPECT_FALSE(Key(OS_KeyOf('I'), 0));  // typing, not "fill"
    cmd->Insert("size 10 11 12");
    EXPECT_TRUE(Key(OS_KEY_TAB, 0));  // finishes the edit: the line runs
    EXPECT_EQ(window.FocusView(), window.SceneView());
    EXPECT_EQ(env().model.size[1], 11);
    EXPECT_EQ(State("size"), "10 11 12");
    EXPECT_FALSE(Key(OS_KEY_TAB, 0, true));
    UI_TextField* size = View<UI_TextField>("size");
    window.SetFocus(size);
    size->SetText("21 11 19");
    Press(OS_KEY_ENTER);
    EXPECT_EQ(window.FocusView(), window.SceneView());
    EXPECT_EQ(env().model.size[0], 21);
    EXPECT_TRUE(Key(OS_KEY_TAB, 0));
    cmd->Insert("size 5 5 5");
    Press(OS_KEY_ESCAPE);
    EXPECT_EQ(window.FocusView(), window.SceneView());
    EXPECT_EQ(env().model.size[0], 21);
}

// Ctrl+Z in a text field undoes the typing, never a model step.
TEST_F(EditorWindow, UndoInAFieldStaysInTheField) {
    Run("zero");
    EXPECT_TRUE(Key(OS_KEY_TAB, 0));
    window.InputText("size 9", 0);
    window.InputKey(OS_KeyOf('Z'), true, false, OS_MOD_CTRL);
    EXPECT_EQ(window.CommandField()->Text(), "");
    EXPECT_EQ(std::make_pair(env().executor.UndoCount(), size_t(env().model.voxels.Count())), std::make_pair(size_t(1), size_t(0)));
}

// Buttons, keys and lists that would replace unsaved work ask first; typed
// lines and saved work never ask.
TEST_F(EditorWindow, ReplacingUnsavedWorkAsksFirst) {
    UI_Question* question = window.Question();
    ASSERT_TRUE(question);
    const std::string a = folder.Path("a.vox"), b = folder.Path("b.vox");
    Run(OMB_CommandWithArgument("save", a) + " | " + OMB_CommandWithArgument("save", b) + " | zero");
    EXPECT_TRUE(Key(OS_KeyOf('N'), OS_MOD_CTRL));
    ASSERT_TRUE(question->IsOpen());
    EXPECT_EQ(question->Text(), "Save changes to b.vox?");
    Press(OS_KEY_ESCAPE);  // cancelled: nothing happens
    EXPECT_EQ(std::make_pair(question->IsOpen(), size_t(env().model.voxels.Count())), std::make_pair(false, size_t(0)));
    window.OnViewCommand(OMB_CommandWithArgument("open", a).c_str());  // a click in the Files tab
    ASSERT_TRUE(question->IsOpen());
    question->Reply(UI_Question::kSecond);  // discarded: the file's model comes
    EXPECT_EQ(env().model.voxels.Count(), size_t(45 * 45 * 45));
    Run("zero");
    Key(OS_KeyOf('N'), OS_MOD_CTRL);
    Press(OS_KEY_ENTER);  // saved, then the new box
    EXPECT_FALSE(question->IsOpen());
    Run(OMB_CommandWithArgument("open", a));
    EXPECT_EQ(env().model.voxels.Count(), 0u);
    env().unsaved = false;
    Key(OS_KeyOf('N'), OS_MOD_CTRL);
    EXPECT_FALSE(question->IsOpen());
}

// At 960 x 600 the command line and the status line are in the window and
// the side panels end above them: their content scrolls instead.
TEST_F(EditorWindow, FitsALaptopScreen) {
    EXPECT_LE(window.GetMinSize().height, 600);
    window.SetRect({0, 0, 959, 599});
    window.Root()->SetRect({0, 0, 959, 599});
    window.RefreshLayout();
    const OMB_Rect status = View<UI_StatusLine>("status")->Rect(), cmd = window.CommandField()->Rect();
    auto* left = UI_Cast<UI_VBox>(window.PaletteView()->Parent());
    ASSERT_TRUE(left);
    EXPECT_GE(status.y0, 0);
    EXPECT_GT(cmd.y0, status.y1);
    EXPECT_GT(left->Rect().y0, cmd.y1);
    const OMB_Rect material = View<UI_Switch>("pt_plastic")->Rect();
    window.InputPosition(left->Rect().x0 + 5, left->Rect().y0 + 5, 0);
    window.InputWheel(-3, 0);
    EXPECT_GT(left->Scroll(), 0);
    EXPECT_GT(View<UI_Switch>("pt_plastic")->Rect().y0, material.y0);
}

// The Files tab lists the models of a file that holds several; a click
// edits another.
TEST_F(EditorWindow, TheFilesTabListsTheModelsOfTheOpenFile) {
    const std::string path = folder.Path("scene.vox");
    const auto bytes = tk_test::SceneFile();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    Run(OMB_CommandWithArgument("open", path));
    auto* list = View<UI_List>("file_models");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Items().size(), 3u);
    EXPECT_EQ(std::make_pair(list->Items()[0], list->Selected()), std::make_pair(std::string("model 1 of 3 (house)"), 0));
    View<UI_VBox>("page_edit")->SetHidden(true);
    View<UI_VBox>("page_files")->SetHidden(false);
    window.RefreshLayout();
    const OMB_Rect r = list->Rect();
    int y = r.y1;
    while (y > r.y0 && list->RowAt(r.x0 + 5, y) != 1) --y;
    window.InputButton(UI_BUTTON_LEFT, true, r.x0 + 5, y, 0);
    window.InputButton(UI_BUTTON_LEFT, false, r.x0 + 5, y, 0);
    ASSERT_TRUE(env().model.kept);
    EXPECT_EQ(std::make_pair(env().model.kept->current, list->Selected()), std::make_pair(1, 1));
}

TEST_F(EditorWindow, DroppedFoldersAndFiles) {
    const std::string dir = folder.Path("models");
    std::filesystem::create_directories(dir);
    View<UI_VBox>("page_edit")->SetHidden(true);
    View<UI_VBox>("page_files")->SetHidden(false);
    window.RefreshLayout();
    Drop({dir}, "scene");  // a folder on the scene: nothing
    EXPECT_NE(View<UI_FileList>("file")->Root(), dir);
    Drop({dir, "ignored"}, "file");
    EXPECT_EQ(View<UI_FileList>("file")->Root(), dir);
    // A model file on the scene imports it; a palette file on the palette.
    Run("save " + dir + "/m.vox | opal " + dir + "/p.png | zero | pal bw");
    const Palette saved = env().model.palette;
    Drop({dir + "/p.png"}, "pal");
    EXPECT_NE(env().model.palette, saved);
    Drop({dir + "/m.vox"}, "scene");
    EXPECT_EQ(env().model.voxels.Count(), size_t(45 * 45 * 45));
    const size_t steps = env().executor.UndoCount();
    Drop({}, "scene");  // an empty drop does nothing
    EXPECT_EQ(env().executor.UndoCount(), steps);
}

// A file name is data on every road into a command line: the Files tab, the
// own dialog and a drop each open or import exactly the file named, and the
// names' "|", quotes and line breaks run nothing.
TEST_F(EditorWindow, FileNamesNeverRunAsCommands) {
    const std::string dir = folder.Path("hostile"), neutral = folder.Path("neutral.vox");
    std::filesystem::create_directories(dir);
    const std::string names[] = {"x|zero|save|.vox", "a\" | zero | save | \".vox", "n\nzero;'q'.vox", "-dash.vox"};
    // Boxes of 2, 3, 4... cells wide, each holding the 8 voxels of the first.
    for (size_t i = 0; i < std::size(names); ++i)
        Run("size " + std::to_string(i + 2) + " | " + OMB_CommandWithArgument("save", dir + "/" + names[i]));
    Run(OMB_CommandWithArgument("save", neutral));
    View<UI_VBox>("page_edit")->SetHidden(true);
    View<UI_VBox>("page_files")->SetHidden(false);
    Run(OMB_CommandWithArgument("ui_set file root", dir));
    window.RefreshLayout();
    auto* list = View<UI_FileList>("file");
    ASSERT_EQ(list->Root(), dir);
    const auto clickRow = [&](int row) {
        UI_MouseState m{true, (list->Rect().x0 + list->Rect().x1) / 2, list->Rect().y1};
        while (m.y > list->Rect().y0 && list->RowAt(m.x, m.y) != row) --m.y;
        ASSERT_EQ(list->RowAt(m.x, m.y), row);
        list->LeftDown(m);
    };
    env().workspace.ownFileDialog = true;
    for (size_t i = 0; i < std::size(names); ++i) {
        const std::string path = dir + "/" + names[i];
        const int side = int(i + 2);
        SCOPED_TRACE(path);
        const std::vector<std::string>& items = list->Items();
        const int row = int(std::find(items.begin(), items.end(), names[i]) - items.begin());
        ASSERT_LT(row, int(items.size()));
        const std::function<void()> routes[] = {
            [&] { clickRow(row); },
            [&] { Drop({path}, "scene"); },
            [&] {
                Run("open");
                UI_FileDialog* dialog = window.FileDialog();
                ASSERT_TRUE(dialog && dialog->IsOpen());
                dialog->RunCommand(OMB_CommandWithArgument("dlg_folder", dir));
                dialog->RunCommand(OMB_CommandWithArgument("dlg_pick", path));
                dialog->RunCommand(OMB_CommandWithArgument("dlg_pick", path));  // a double click
                EXPECT_FALSE(dialog->IsOpen());
            },
        };
        for (const auto& route : routes) {
            Run(OMB_CommandWithArgument("open", neutral));
            route();
            EXPECT_EQ(env().model.size[0], side);
            EXPECT_EQ(env().model.voxels.Count(), 8u) << "nothing ran after the open";
            // An opened file is saved work; an imported model is not.
            EXPECT_EQ(env().unsaved, env().model.path.empty()) << window.Title();
        }
    }
    TK_Model kept;
    ASSERT_TRUE(ReadVox(kept, neutral.c_str()));
    EXPECT_EQ(kept.voxels.Count(), 8u) << "no save behind the user's back";
}

// Lines printed on other threads (the autosave's) reach the log through the
// main thread, whole and all of them, while it keeps drawing.
TEST_F(EditorWindow, LinesFromOtherThreadsReachTheLog) {
    constexpr int kThreads = 4, kLines = 200;
    testing::internal::CaptureStdout();
    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &running] {
            for (int i = 0; i < kLines; ++i) OMB_Printf("[Warning] thread %d line %d\n", t, i);
            --running;
        });
    while (running > 0) window.OnIdle(0);
    for (std::thread& thread : threads) thread.join();
    window.OnIdle(0);
    testing::internal::GetCapturedStdout();
    int seen = 0;
    for (size_t i = 0; i < window.Log().Count(); ++i)
        seen += window.Log().Line(i).text.rfind("[Warning] thread ", 0) == 0;
    EXPECT_EQ(seen, kThreads * kLines);
}

// Shortcuts are written once, in the action rows; the hints of the widgets
// that name an action show them.
TEST_F(EditorWindow, HintsNameTheKeysOfTheirActions) {
    const std::pair<const char*, const char*> cases[] = {
        {"undo", "undo  [Ctrl+Z]"},  // a button
        {"redo", "redo  [Ctrl+Y / Ctrl+Shift+Z]"},  // two keys
        {"box", "set b_shape box  [B]"},                             // an option of a group
        {"r_face", "set r_show face 1 / 0  [Ctrl+Shift+V]"},         // a switch toggles with 2
        {"l_x", "loft x 1 / 0  [Ctrl+1]"},
        {"size", "size X Y Z: the box size"},                        // no key
    };
    for (const auto& [view, hint] : cases) EXPECT_EQ(window.FindView(view, &UI_View::kClass)->Hint(), hint);
}

// A description's widgets are found once, when the window is built: a
// missing one warns then, not on every change message; a widget naming no
// action warns, one naming an action takes its line, keys and state.
TEST(EditorWindowBinding, LooksUpWidgetsAndActionsOnceAtBuild) {
    tk_test::TempFolder folder{"binding"};
    const std::string path = folder.Path("small.ui");
    std::ofstream(path) << "vbox { button (id='u' action='undo') button (id='b' action='nothing') }";
    TK_EditorWindow window;
    window.SetDescriptionPath(path);
    testing::internal::CaptureStdout();
    window.Broadcast(UI_Event::Broadcast(UI_EVENT_CREATE));
    const std::string built = testing::internal::GetCapturedStdout();
    EXPECT_NE(built.find("[Warning] cannot find view 'rgb'\n"), std::string::npos);
    EXPECT_NE(built.find("[Warning] no action named 'nothing'\n"), std::string::npos);
    auto* undo = UI_Cast<UI_Button>(window.FindView("u", &UI_Button::kClass));
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo->Hint(), "undo  [Ctrl+Z]");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(window.Env().ExecuteText("index 5 | full"));
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("cannot find view"), std::string::npos);
    EXPECT_TRUE(undo->IsEnabled());
}

TEST_F(EditorWindow, ChangeMessagesUpdateTheirViews) {
    const uint32_t c = env().model.palette[5];
    const std::string rgb =
        std::to_string(ColorR(c)) + " " + std::to_string(ColorG(c)) + " " + std::to_string(ColorB(c));
    // a line, a view, what the view shows afterwards
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"index 5", "rgb", rgb},
        {"mirror y 1", "m_y", "1"},
        {"loft z 1", "l_z", "1"},
        {"set b_type paint", "paint", "1"},
        {"add b_vox_size 2", "b_size", "3"},
        {"set r_show edge 1", "r_edge", "1"},
        {"set pt_spp 600", "pt_spp", "600"},
        {"set pt_gamma 2.5", "pt_gamma", "2.5"},
        {"set pt_mtl plastic 1", "pt_plastic", "1"},
        // The material panel edits the current colour unless switched to all.
        {"set pt_mtl emit 1", "mod_one", "1"},
        // The material's kind follows the history.
        {"undo", "menu_emit", "0"},
        {"redo", "menu_emit", "1"},
        {"set pt_mod 0", "mod_all", "1"},
    };
    for (const auto& [line, view, shown] : cases) {
        Run(line);
        EXPECT_EQ(State(view), shown) << line;
    }
    EXPECT_EQ(window.PaletteView()->Selected(), 5);
    EXPECT_EQ(env().materials[5].type, 3);
    EXPECT_NE(env().materials[6].type, 3);
    EXPECT_TRUE(View<UI_Button>("undo")->IsEnabled()) << "materials are the model's: history";
    EXPECT_EQ(window.Title().substr(window.Title().size() - 2), " *");
    testing::internal::CaptureStdout();
    window.OnEditorMessage(9, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Warning] undefined editor msg\n");
}

TEST_F(EditorWindow, PrintedLinesReachTheStatusLineAndTheConsole) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(env().ExecuteText("sise 10 10 10"));
    auto* status = View<UI_StatusLine>("status");
    EXPECT_EQ(status->Message(), "sise: no such command; did you mean size?");
    EXPECT_EQ(window.Log().Newest().kind, OMB_MessageKind::Error);
    EXPECT_FALSE(env().ExecuteText("full"));
    EXPECT_EQ(status->Message(), "full: nothing to change, the box is already full of colour 79");
    Run("size 40");
    EXPECT_EQ(status->Message(), "size 40") << "what the user ran";
    auto* console = View<UI_Console>("console");
    EXPECT_TRUE(console->IsHidden());
    Run("help");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_GT(window.Log().Count(), 20u) << "help is readable in the window";
    EXPECT_NE(out.find(window.Log().Newest().text), std::string::npos) << "standard output still gets it";
    EXPECT_FALSE(console->IsHidden()) << "help opens the message panel";
    EXPECT_GT(console->Scroll(), 0) << "at the list's first line";
    EXPECT_TRUE(Key(OS_KEY_F1, 0));
    EXPECT_TRUE(console->IsHidden());
}

TEST_F(EditorWindow, TheTitleMarksOnlyUnsavedChanges) {
    const std::string path = folder.Path("lantern.vox");
    Run("save " + path + " | save " + path + ".copy.vox | open " + path);
    auto marked = [this] { return window.Title().size() > 2 && window.Title().substr(window.Title().size() - 2) == " *"; };
    EXPECT_FALSE(marked()) << window.Title() << ": just opened";
    Run("zero");
    EXPECT_TRUE(marked());
    Run("undo");
    EXPECT_FALSE(marked()) << window.Title() << ": back to the file";
}

TEST_F(EditorWindow, OpenedModelsAreFramedFromTheDefaultAngle) {
    const Camera& camera = window.SceneView()->GetCamera();
    const float start[2] = {camera.angle[0], camera.angle[1]};
    Run("save " + folder.Path("a.vox") + " | save " + folder.Path("b.vox"));
    for (const char* name : {"a.vox", "b.vox"}) {
        window.SceneView()->GetCamera().SetAngle(20, 50, 0);
        Run("open " + folder.Path(name));
        EXPECT_FLOAT_EQ(camera.angle[0], start[0]) << name;
        EXPECT_FLOAT_EQ(camera.angle[1], start[1]) << name;
    }
}

TEST_F(EditorWindow, OwnFileDialogRunsTheLineWithThePath) {
    env().workspace.ownFileDialog = true;
    env().workspace.modelFolder = folder.Dir().generic_u8string();
    Run("save " + folder.Path("kept.vox"));
    UI_FileDialog* dialog = window.FileDialog();
    ASSERT_TRUE(dialog);
    struct Case {
        const char* line;
        const char* typed;  // null: Esc
        const char* file;   // expected afterwards; null: none
    } cases[] = {{"save as", "copy", "copy.vox"}, {"open", nullptr, nullptr}, {"open", "kept.vox", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Run(c.line);
        ASSERT_TRUE(dialog->IsOpen());
        EXPECT_TRUE(window.SceneView()->IsHidden());
        EXPECT_EQ(window.FocusView(), dialog->NameField()) << "the name field has the keyboard";
        EXPECT_EQ(dialog->Folder(), folder.Dir().generic_u8string());
        if (c.typed) dialog->NameField()->SetText(c.typed);
        Press(c.typed ? OS_KEY_ENTER : OS_KEY_ESCAPE);
        EXPECT_FALSE(dialog->IsOpen());
        EXPECT_FALSE(window.SceneView()->IsHidden());
        EXPECT_TRUE(!c.file || std::filesystem::exists(folder.Path(c.file)));
    }
    EXPECT_EQ(env().model.path, folder.Path("kept.vox"));
    // Each kind of request opens where its last one was accepted.
    std::filesystem::create_directories(folder.Path("sub"));
    Run("open");
    dialog->RunCommand(OMB_CommandWithArgument("dlg_folder", folder.Path("sub")));
    dialog->NameField()->SetText("../kept.vox");
    dialog->Accept();
    Run("open");
    EXPECT_EQ(dialog->Folder(), folder.Path("sub"));
    dialog->Cancel();
    // Undo never rebinds the model to another file, and the caption follows.
    Run("save as");
    dialog->NameField()->SetText("other");
    dialog->Accept();
    Run("undo");
    EXPECT_EQ(env().model.path, folder.Path("other.vox"));
    EXPECT_EQ(window.Title(), "Tarsk @ Ombrel - other.vox");
    Run("zero");
    EXPECT_EQ(window.Title(), "Tarsk @ Ombrel - other.vox *");
    EXPECT_EQ(View<UI_Label>("name")->Text(), "other.vox *");
    Run("save");
    EXPECT_EQ(window.Title(), "Tarsk @ Ombrel - other.vox");
    // The Export button asks for a file of any format and keeps the keyboard
    // in the name field; the extension picks the format.
    env().workspace.exportFolder = folder.Dir().generic_u8string();
    Run("full");
    Click(window, window.FindView("export", &UI_View::kClass));
    ASSERT_TRUE(dialog->IsOpen());
    EXPECT_EQ(window.FocusView(), dialog->NameField());
    dialog->NameField()->SetText("button.qb");
    dialog->Accept();
    EXPECT_TRUE(std::filesystem::exists(folder.Path("button.qb")));
}

// The tab's button and its page share an id: "ui_view" means the page.
TEST_F(EditorWindow, ViewToggleReachesThePageNotItsTabButton) {
    UI_View* button = View<UI_Option>("page_render");
    ASSERT_TRUE(button && View<UI_VBox>("page_render"));
    const bool hidden = View<UI_VBox>("page_render")->IsHidden();
    Run("ui_view page_render");
    EXPECT_NE(View<UI_VBox>("page_render")->IsHidden(), hidden);
    EXPECT_FALSE(button->IsHidden());
}

// A shader that never ends costs the editor a failed command at the limit,
// not the session: model and history stay as they were.
TEST_F(EditorWindow, AnEndlessShaderFailsAtTheLimit) {
    env().workspace.dataDir = folder.Dir().generic_u8string();
    std::filesystem::create_directories(folder.Dir() / "shader");
    std::ofstream(folder.Path("shader/loop.txt")) << kEndlessShader;
    auto worker = std::make_shared<MS_ShaderWorker>(std::string(TK_BUILD_DIR) + "/tarsk", 1.0);
    int draws = 0;
    worker->SetWaitHook([&draws] { ++draws; });
    env().voxelShaders = worker;
    // The largest box keeps it busy for minutes.
    Run("size 126");
    env().executor.ClearHistory();
    const int voxels = env().model.voxels.Count();
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(env().ExecuteText("xs loop"));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 4.0);
    EXPECT_NE(said.find("[Error] xs : loop.txt ran past the time limit of 1 s\n"), std::string::npos) << said;
    EXPECT_EQ(env().model.voxels.Count(), voxels);
    EXPECT_EQ(env().executor.UndoCount(), 0u);
    EXPECT_GE(draws, 10) << "the window is drawn while the shader runs";
}

// A backup that cannot be written keeps the window open once, saying why;
// the second close goes, leaving the autosave behind.
TEST_F(EditorWindow, AFailedBackupKeepsTheFirstCloseOpen) {
    std::ofstream(folder.Path("file")) << "in the way";
    env().workspace.cacheFolder = folder.Path("file/cache");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(window.CanClose());
    const std::string said = testing::internal::GetCapturedStdout();
    const std::string failed = "[Error] failed to write backup : " + folder.Path("file/cache/backup.vox") + " (";
    EXPECT_NE(said.find(failed), std::string::npos) << said;
    EXPECT_NE(said.find("close again"), std::string::npos) << said;
    EXPECT_TRUE(window.CanClose());
}

class EditorPicture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.error;
        Start(window, true);
    }
    void TearDown() override { window.Renderers().Shutdown(); }  // while the context is there
    Image Picture(const OMB_Rect& rect) {
        window.DrawFrame();
        Image image;
        EXPECT_TRUE(TK_ReadPixels(rect, false, image));
        return image;
    }

    TK_TestGLWindow gl{kW, kH};
    TK_EditorWindow window;  // made and gone with the context current
};

TEST_F(EditorPicture, TracerRestsAtItsTargetAndShowsItsProgress) {
    TK_SceneRenderer_PT& tracer = window.Renderers().tracer;
    ASSERT_TRUE(window.Env().ExecuteText("set pt_image 64 48 | set pt 1"));
    tracer.SetRestartDelay(0);
    tracer.SetFrameBudget(0);  // a whole sample a frame, however loaded the machine
    tracer.SetTargetOverride(3);
    int frames = 0;
    for (window.TakeRedrawRequest(); frames < 50; ++frames) {
        window.DrawFrame();
        if (!window.TakeRedrawRequest()) break;
    }
    EXPECT_LT(frames, 50) << "the editor keeps drawing after the target";
    EXPECT_EQ(tracer.Samples(), 3);
    const auto* status = UI_Cast<UI_StatusLine>(window.FindView("status", &UI_StatusLine::kClass));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->RightText().rfind("3 / 3 samples", 0), 0u) << status->RightText();
    const std::string png = testing::TempDir() + "editor_render.png";
    EXPECT_TRUE(window.Snap("scene", png, false)) << "Save render writes the traced picture";
}

int RedPixels(const Image& image) {
    int count = 0;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += 3)
        count += image.pixels[i] > 200 && image.pixels[i + 1] < 90 && image.pixels[i + 2] < 90;
    return count;
}

TEST_F(EditorPicture, HoverCursorMarksWhereTheCarvingBrushStarts) {
    const OMB_Rect scene = window.SceneView()->Rect();
    const int plain = RedPixels(Picture(scene));
    const UI_MouseState m = Centre(window.SceneView());
    window.InputPosition(m.x, m.y, 0);
    EXPECT_GT(RedPixels(Picture(scene)), plain + 20);
    window.InputLeave();
    EXPECT_EQ(RedPixels(Picture(scene)), plain);
}

TEST_F(EditorPicture, TabPagesLeaveNothingBehind) {
    UI_View* pages = window.FindView("page_edit", &UI_VBox::kClass);
    ASSERT_TRUE(pages);
    const OMB_Rect panel = pages->Rect();
    const Image before = Picture(panel);
    for (const char* tab : {"page_files", "page_render", "page_edit"}) {
        Click(window, window.FindView(tab, &UI_Option::kClass));
        Picture(panel);
    }
    EXPECT_TRUE(before.pixels == Picture(panel).pixels);
}

// Attach, erase (Shift) and paint box strokes each draw their preview over
// the model while the button is down, and each makes one step on release.
TEST_F(EditorPicture, BoxStrokePreviewsDrawOverTheModel) {
    TK_EditorEnv& env = window.Env();
    // Opened, the model is framed from the default angle.
    const std::string vox = testing::TempDir() + "floor.vox";
    ASSERT_TRUE(WriteVox(tk_test::ShapeModel(12, 12, 8, [](int x, int y, int z) {
                             return z == 0 && x >= 2 && x < 10 && y >= 2 && y < 10 ? 80 + x : 0;
                         }),
                         vox.c_str()));
    ASSERT_TRUE(env.ExecuteText(("open " + vox).c_str()));
    env.currentColorIndex = 215;
    // Two points on the top of the floor layer.
    const OMB_Rect scene = window.SceneView()->Rect();
    UI_MouseState from = Centre(window.SceneView()), to = from;
    from.x = scene.x0 + (scene.x1 - scene.x0) * 5 / 16, from.y = scene.y0 + (scene.y1 - scene.y0) / 3;
    to.x = scene.x0 + (scene.x1 - scene.x0) * 5 / 8, to.y = scene.y0 + (scene.y1 - scene.y0) * 5 / 12;
    const size_t steps = env.executor.UndoCount();
    const std::pair<const char*, int> strokes[] = {
        {"set b_type attach | set b_shape box", 0}, {"set b_type attach", OS_MOD_SHIFT}, {"set b_type paint", 0}};
    for (const auto& [line, modifiers] : strokes) {
        ASSERT_TRUE(env.ExecuteText(line));
        const Image plain = Picture(scene);
        window.InputButton(UI_BUTTON_LEFT, true, from.x, from.y, modifiers);
        window.InputPosition(to.x, to.y, modifiers);
        EXPECT_NE(env.previewVoxels, nullptr) << line;
        EXPECT_NE(Picture(scene).pixels, plain.pixels) << line;
        window.InputButton(UI_BUTTON_LEFT, false, to.x, to.y, modifiers);
    }
    EXPECT_EQ(env.executor.UndoCount(), steps + 3);
}

}  // namespace
