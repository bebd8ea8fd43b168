// The platform host with synthetic SDL events on the offscreen driver: SDL
// events reach the toolkit later and in order, only a focus loss
// deactivates, capture release, drops, the quit path, key mapping, frame
// pacing, and the editor's road from start to the backup written on closing.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TK_TestSupport.h"
#include "TK_TestVideo.h"
#include "app/MS_WindowGL.h"
#include "app/TK_EditorWindow.h"
#include "core/OS_Keys.h"
#include "core/OS_Signals.h"
#include "model/TK_VoxFile.h"

namespace {

SDL_Event WindowEvent(int what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = uint8_t(what);
    return e;
}

// A toolkit window that records the events it derives from what the host
// hands it.
class RecordingUI : public UI_Window {
public:
    struct Input {
        int type;
        UI_MouseState mouse;
        UI_KeyState key;
    };
    std::vector<Input> input;
    std::vector<std::vector<std::string>> drops;
    int quits = 0, deactivations = 0;

    void HandleInputEvent(const UI_Event& event) override {
        input.push_back(Input{event.type, event.mouse, event.key});
    }
    void OnDropFiles(const std::vector<std::string>& paths, int, int) override { drops.push_back(paths); }
    void OnQuit() override { ++quits; }
    void OnDeactivate() override { ++deactivations; }
};

class PlatformWindow : public testing::Test {
protected:
    void SetUp() override {
        tk_test::UseHeadlessVideo();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = std::make_unique<MS_Window>();
        ASSERT_TRUE(window->CreatePlain("test", 100, 80, true));
        window->Start(ui);
    }
    void TearDown() override {
        window.reset();
        SDL_Quit();
    }

    SDL_Event Motion(int x, int y, uint32_t state = 0) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x, e.motion.y = y, e.motion.state = state;
        return e;
    }
    SDL_Event Button(bool down, int button, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = uint8_t(button), e.button.x = x, e.button.y = y;
        return e;
    }

    RecordingUI ui;
    std::unique_ptr<MS_Window> window;
};

TEST_F(PlatformWindow, InputBecomesToolkitEventsLaterInOrder) {
    SDL_Event wheel{}, key{}, text{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    key.key.keysym.mod = KMOD_LCTRL;
    key.key.repeat = 1;
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "h\x01i");
    const SDL_Event events[] = {Motion(10, 20),     Button(true, SDL_BUTTON_RIGHT, 10, 20),
                                Motion(15, 25, SDL_BUTTON_RMASK), wheel, key, text,
                                Button(false, SDL_BUTTON_RIGHT, 15, 25), WindowEvent(SDL_WINDOWEVENT_LEAVE)};
    for (const SDL_Event& e : events) window->HandleEvent(e);
    EXPECT_TRUE(ui.input.empty());
    window->DeliverInput();
    EXPECT_EQ(window->QueuedInput(), 0u);

    const int types[] = {UI_EVENT_MOUSE_MOVE, UI_EVENT_RIGHT_DOWN, UI_EVENT_RIGHT_DRAG, UI_EVENT_WHEEL,
                         UI_EVENT_KEY_DOWN,   UI_EVENT_KEY_DOWN,   UI_EVENT_KEY_DOWN,   UI_EVENT_RIGHT_UP,
                         UI_EVENT_MOUSE_LEAVE};
    const auto& in = ui.input;
    ASSERT_EQ(in.size(), sizeof types / sizeof types[0]);
    for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(in[i].type, types[i]) << i;
    EXPECT_EQ(in[0].mouse.y, 59);  // 80 rows, flipped
    EXPECT_TRUE(in[2].mouse.right);
    EXPECT_EQ(in[2].mouse.prevX, 10);
    EXPECT_EQ(in[3].mouse.wheel - in[3].mouse.prevWheel, 8.0f);
    EXPECT_EQ(std::make_tuple(in[4].key.key, in[4].key.modifiers, in[4].key.repeat),
              std::make_tuple(OS_KeyOf('A'), int(OS_MOD_CTRL), true));
    // Typed characters carry no key code; the control character is dropped.
    EXPECT_EQ(std::make_tuple(in[5].key.key, in[5].key.character, in[6].key.character), std::make_tuple(0, 'h', 'i'));
    EXPECT_FALSE(in[7].mouse.right);
}

TEST_F(PlatformWindow, FocusLossReleasesTheCaptureAndDeactivates) {
    window->HandleEvent(Button(true, SDL_BUTTON_LEFT, 5, 5));
    EXPECT_TRUE(window->HasCapture());
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(window->HasCapture());  // at once, before delivery
    window->DeliverInput();
    EXPECT_EQ(ui.input.size(), 1u);
    EXPECT_EQ(ui.deactivations, 1);
    window->HandleEvent(Motion(6, 6));
    window->DeliverInput();
    EXPECT_EQ(ui.input.back().type, UI_EVENT_MOUSE_MOVE);  // no drag left over
}

// Only a focus loss is one: a focus gain, the pointer coming or going, the
// window moving or shown leave the keyboard where it is.
TEST_F(PlatformWindow, OnlyAFocusLossDeactivates) {
    for (int what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_TAKE_FOCUS, SDL_WINDOWEVENT_ENTER,
                     SDL_WINDOWEVENT_LEAVE, SDL_WINDOWEVENT_MOVED, SDL_WINDOWEVENT_SHOWN})
        window->HandleEvent(WindowEvent(what));
    window->DeliverInput();
    EXPECT_EQ(ui.deactivations, 0);
}

TEST_F(PlatformWindow, OneListPerDrop) {
    SDL_Event begin{}, complete{};
    begin.type = SDL_DROPBEGIN;
    complete.type = SDL_DROPCOMPLETE;
    window->HandleEvent(begin);
    for (const char* path : {"/a/one.vox", "/b/two.vox", "/c/three.vox"}) {
        SDL_Event file{};
        file.type = SDL_DROPFILE;
        file.drop.file = SDL_strdup(path);  // the window frees it
        window->HandleEvent(file);
    }
    EXPECT_TRUE(ui.drops.empty());
    window->HandleEvent(complete);
    ASSERT_EQ(ui.drops.size(), 1u);
    EXPECT_EQ(ui.drops[0], (std::vector<std::string>{"/a/one.vox", "/b/two.vox", "/c/three.vox"}));
    window->HandleEvent(complete);  // an empty drop delivers nothing
    EXPECT_EQ(ui.drops.size(), 1u);
}

TEST_F(PlatformWindow, CloseQuitsOnceAndPostsQuit) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    window.reset();
    EXPECT_EQ(ui.quits, 1);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1);
}

TEST(PlatformKeys, ScancodesAndModifiers) {
    const int cases[][2] = {{SDL_SCANCODE_A, 16}, {SDL_SCANCODE_Z, 41},    {SDL_SCANCODE_0, 6},
                            {SDL_SCANCODE_9, 15},
                            {SDL_SCANCODE_F1, 56},
                            {SDL_SCANCODE_F12, 67},
                            {SDL_SCANCODE_TAB, 5},
                            {SDL_SCANCODE_SPACE, 42},
                            {SDL_SCANCODE_DELETE, 55},
                            {SDL_SCANCODE_RCTRL, 1}, {SDL_SCANCODE_KP_5, 0}, {SDL_SCANCODE_F13, 0}};
    for (const auto& c : cases) EXPECT_EQ(MS_Window::KeyCode(c[0]), c[1]) << c[0];
    EXPECT_EQ(MS_Window::Modifiers(KMOD_LCTRL | KMOD_RSHIFT | KMOD_CAPS), OS_MOD_CTRL | OS_MOD_SHIFT | OS_MOD_CAPS);
    EXPECT_EQ(MS_Window::Modifiers(KMOD_RALT), OS_MOD_ALT);
}

TEST(FramePacing, TickPlans) {
    // minimised, asked to redraw, seconds since the last frame: frame, wait
    const std::tuple<bool, bool, double, bool, int> cases[] = {
        {true, true, 1.0, false, kIdleWaitMs},    // minimised: wait for events
        {false, false, 1.0, false, kIdleWaitMs},  // nothing asked for a frame
        {false, true, 0.016, true, 0},            // a frame is due
        {false, true, 0.010, false, 6},           // asked early: wait for the rest
    };
    for (const auto& [minimised, redraw, since, frame, waitMs] : cases) {
        const MS_TickPlan plan = MS_PlanTick(minimised, redraw, since);
        EXPECT_EQ(std::make_pair(plan.frame, plan.waitMs), std::make_pair(frame, waitMs)) << since;
    }
}

MS_WindowConfig Offscreen(int width, int height) {
    MS_WindowConfig config;
    config.hidden = config.offscreen = true;
    config.multisample = false;
    config.width = width, config.height = height;
    return config;
}

// An idle loop draws nothing after the first frame; input asks for one.
TEST(FramePacing, DrawsOnlyOnRequest) {
    UI_Window ui;
    MS_WindowGL window;
    ASSERT_TRUE(window.Open(Offscreen(32, 32)));
    window.Start(ui);
    for (int i = 0; i < 3 && window.FrameCount() == 0; ++i) window.Pass();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EXPECT_EQ(window.FrameCount(), 1);
    window.Pass();
    EXPECT_EQ(window.FrameCount(), 1);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    SDL_PushEvent(&key);
    SDL_Delay(20);
    window.Pass();
    EXPECT_EQ(window.FrameCount(), 2);
}

// The editor's road from start to quit on the offscreen driver: closing the
// window writes the backup model and ends the loop.
TEST(MainLoop, EditorCloseWritesTheBackupAndQuits) {
    tk_test::TempFolder cache("main_loop");
    TK_EditorWindow editor;
    editor.Env().workspace.SetDefaults(TK_BUILD_DIR);
    editor.SetDescriptionPath(std::string(TK_SOURCE_DIR) + "/config/editor.ui");
    editor.EnableRendering();
    MS_WindowGL window;
    ASSERT_TRUE(window.Open(Offscreen(1280, 800)));
    testing::internal::CaptureStdout();
    window.Start(editor);
    editor.Env().workspace.cacheFolder = cache.Dir().string();
    for (int i = 0; i < 100 && window.FrameCount() == 0; ++i) window.Pass();
    SDL_Event close = WindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_PushEvent(&close);
    int passes = 0;
    while (window.Pass() && passes < 100) ++passes;
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(window.FrameCount(), 1);
    EXPECT_LT(passes, 100);
    EXPECT_EQ(out.find("[Error]"), std::string::npos) << out;
    EXPECT_NE(out.find("Cache Model\n"), std::string::npos);
    TK_Model backup;
    ASSERT_TRUE(ReadVox(backup, cache.Path("backup.vox").c_str()));
    EXPECT_EQ(backup.voxels.Count(), size_t(45 * 45 * 45));
}

// A close the editor refuses (no backup can be written) keeps the window
// whatever follows it in the same batch (SDL's own quit after a window
// manager's close) and leaves no stop request behind for later work; the
// next close is the deliberate one and quits.
TEST(MainLoop, ARefusedCloseKeepsTheWindowUntilTheNextClose) {
    ASSERT_TRUE(OS_InstallStopSignals());
    for (const bool bySignal : {false, true}) {
        SCOPED_TRACE(bySignal ? "SIGTERM" : "window manager");
        tk_test::TempFolder cache("refused_close");
        std::ofstream(cache.Path("file")) << "in the way";
        TK_EditorWindow editor;
        editor.Env().workspace.SetDefaults(TK_BUILD_DIR);
        editor.SetDescriptionPath(std::string(TK_SOURCE_DIR) + "/config/editor.ui");
        MS_WindowGL window;
        ASSERT_TRUE(window.Open(Offscreen(1280, 800)));
        testing::internal::CaptureStdout();
        window.Start(editor);
        editor.Env().workspace.cacheFolder = cache.Path("file/cache");
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_Event close = WindowEvent(SDL_WINDOWEVENT_CLOSE), quit{};
        quit.type = SDL_QUIT;
        if (bySignal) {
            std::raise(SIGTERM);
        } else {
            SDL_PushEvent(&close);
            SDL_PushEvent(&quit);
        }
        bool open = true;
        for (int i = 0; i < 5; ++i) open = window.Pass() && open;
        EXPECT_TRUE(open && !window.IsDestroyed());
        EXPECT_EQ(OS_StopSignal(), 0) << "the refused close answered the signal";
        SDL_PushEvent(&close);
        int passes = 0;
        while (window.Pass() && passes < 20) ++passes;
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_LT(passes, 20) << out;
        EXPECT_NE(out.find("close again to quit without one"), std::string::npos) << out;
    }
}

}  // namespace
