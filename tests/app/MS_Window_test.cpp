// The platform layer with synthetic SDL events on the offscreen driver: the
// deferred input queue and its order, capture release, drops, the quit path
// with the backup, key mapping and frame pacing.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/MS_DemoApp.h"
#include "app/MS_UIBridge.h"
#include "app/MS_Window.h"
#include "app/TK_ModelViewer.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_VoxFile.h"

namespace {

class RecordingWindow : public MS_Window {
public:
    std::vector<OS_InputEvent> input;
    std::vector<std::vector<std::string>> drops;
    int destroyed = 0;

protected:
    void OnInput(const OS_InputEvent& event) override { input.push_back(event); }
    void OnDropFiles(const std::vector<std::string>& paths, int, int) override { drops.push_back(paths); }
    void OnDestroy() override { ++destroyed; }
};

class PlatformWindow : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = std::make_unique<RecordingWindow>();
        ASSERT_TRUE(window->CreatePlain("test", 100, 80, true));
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
    SDL_Event WindowEvent(int what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = uint8_t(what);
        return e;
    }

    std::unique_ptr<RecordingWindow> window;
};

TEST_F(PlatformWindow, InputIsDeliveredLaterInOrder) {
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
    EXPECT_TRUE(window->input.empty());
    EXPECT_EQ(window->QueuedInput(), 8u);
    window->DeliverInput();
    EXPECT_EQ(window->QueuedInput(), 0u);

    using K = OS_InputKind;
    const K kinds[] = {K::MouseMove, K::MouseDown, K::MouseMove, K::Wheel, K::KeyDown, K::Text, K::Text, K::MouseUp, K::Leave};
    ASSERT_EQ(window->input.size(), sizeof kinds / sizeof kinds[0]);
    for (size_t i = 0; i < window->input.size(); ++i) EXPECT_EQ(int(window->input[i].kind), int(kinds[i])) << i;
    const auto& in = window->input;
    EXPECT_EQ(in[0].x, 10);
    EXPECT_EQ(in[0].y, 59);  // 80 rows, flipped
    EXPECT_EQ(in[1].button, OS_BUTTON_RIGHT);
    EXPECT_EQ(in[2].buttons, OS_BUTTON_RIGHT);
    EXPECT_EQ(in[3].wheel - in[3].previousWheel, 8.0f);
    EXPECT_EQ(in[4].key, 16);
    EXPECT_EQ(in[4].modifiers, OS_MOD_CTRL);
    EXPECT_TRUE(in[4].repeat);
    EXPECT_EQ(in[5].character, 'h');
    EXPECT_EQ(in[6].character, 'i');
}

TEST_F(PlatformWindow, FocusLossReleasesTheCapture) {
    window->HandleEvent(Button(true, SDL_BUTTON_LEFT, 5, 5));
    EXPECT_TRUE(window->HasCapture());
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(window->HasCapture());  // at once, before delivery
    window->DeliverInput();
    ASSERT_EQ(window->input.size(), 2u);
    EXPECT_EQ(int(window->input[1].kind), int(OS_InputKind::FocusLost));
    window->HandleEvent(Button(true, SDL_BUTTON_MIDDLE, 5, 5));
    window->HandleEvent(Button(false, SDL_BUTTON_MIDDLE, 5, 5));
    EXPECT_FALSE(window->HasCapture());
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
    EXPECT_TRUE(window->drops.empty());
    window->HandleEvent(complete);
    ASSERT_EQ(window->drops.size(), 1u);
    EXPECT_EQ(window->drops[0], (std::vector<std::string>{"/a/one.vox", "/b/two.vox", "/c/three.vox"}));
    window->HandleEvent(complete);  // an empty drop delivers nothing
    EXPECT_EQ(window->drops.size(), 1u);
}

TEST_F(PlatformWindow, CloseDestroysOnceAndPostsQuit) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    window->HandleEvent(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ(window->destroyed, 1);
    EXPECT_TRUE(window->IsDestroyed());
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1);
}

TEST(PlatformKeys, ScancodesAndModifiers) {
    const int cases[][2] = {{SDL_SCANCODE_A, 16}, {SDL_SCANCODE_Z, 41},    {SDL_SCANCODE_0, 6},
                            {SDL_SCANCODE_9, 15}, {SDL_SCANCODE_F1, 56},   {SDL_SCANCODE_F12, 67},
                            {SDL_SCANCODE_TAB, 5}, {SDL_SCANCODE_SPACE, 42}, {SDL_SCANCODE_DELETE, 55},
                            {SDL_SCANCODE_RCTRL, 1}, {SDL_SCANCODE_KP_5, 0}, {SDL_SCANCODE_F13, 0}};
    for (const auto& c : cases) EXPECT_EQ(MS_Window::KeyCode(c[0]), c[1]) << c[0];
    EXPECT_EQ(MS_Window::Modifiers(KMOD_LCTRL | KMOD_RSHIFT | KMOD_CAPS), OS_MOD_CTRL | OS_MOD_SHIFT | OS_MOD_CAPS);
    EXPECT_EQ(MS_Window::Modifiers(KMOD_RALT), OS_MOD_ALT);
}

TEST(FramePacing, TickPlans) {
    struct Case {
        bool minimised, redraw;
        double since;
        bool frame;
        int waitMs;
    };
    const Case cases[] = {
        {true, true, 1.0, false, kIdleWaitMs},    // minimised: wait for events
        {false, false, 1.0, false, kIdleWaitMs},  // nothing asked for a frame
        {false, true, 0.016, true, 0},            // a frame is due
        {false, true, 0.010, false, 6},           // asked early: wait for the rest
    };
    for (const Case& c : cases) {
        const MS_TickPlan plan = MS_PlanTick(c.minimised, c.redraw, c.since);
        EXPECT_EQ(plan.frame, c.frame) << c.since;
        EXPECT_EQ(plan.waitMs, c.waitMs) << c.since;
    }
}

// An idle loop draws nothing after the first frame; input asks for one.
TEST(FramePacing, DrawsOnlyOnRequest) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    TK_Options options;
    options.mode = TK_RunMode::Snap;  // no backup on closing
    TK_ModelViewer viewer(options);
    MS_DemoApp app(viewer);
    MS_AppConfig config;
    config.hidden = true;
    config.width = 32, config.height = 32;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(app.Start(config));
    for (int i = 0; i < 3 && app.FrameCount() == 0; ++i) app.Pass();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    const int first = app.FrameCount();
    EXPECT_EQ(first, 1);
    app.Pass();
    EXPECT_EQ(app.FrameCount(), first);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_A;
    SDL_PushEvent(&key);
    SDL_Delay(20);
    app.Pass();
    EXPECT_EQ(app.FrameCount(), first + 1);
    testing::internal::GetCapturedStdout();
}

// The editor's road from start to quit on the offscreen driver: closing the
// window writes the backup model and ends the loop.
TEST(MainLoop, CloseWritesTheBackupAndQuits) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    TK_Options options;
    TK_ModelViewer viewer(options);
    MS_DemoApp app(viewer);
    MS_AppConfig config;
    config.hidden = true;
    config.width = 64, config.height = 48;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(app.Start(config));
    const std::string cache = testing::TempDir() + "tarsk_cache_test";
    viewer.Env().workspace.cacheFolder = cache;
    EXPECT_TRUE(app.Pass());
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_PushEvent(&close);
    int passes = 0;
    while (app.Pass() && passes < 100) ++passes;
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_LT(passes, 100);
    EXPECT_NE(out.find("pixelFormat : "), std::string::npos);
    EXPECT_NE(out.find("Cache Model\n"), std::string::npos);
    TK_Model backup;
    ASSERT_TRUE(ReadVox(backup, (cache + "/backup.vox").c_str()));
    EXPECT_EQ(backup.voxels.Count(), 45 * 45 * 45);
    std::remove((cache + "/backup.vox").c_str());
}

}  // namespace

namespace {

TEST(UIBridge, PlatformEventsBecomeToolkitEvents) {
    struct Case {
        OS_InputKind kind;
        int button, buttons, type;
    };
    const Case cases[] = {
        {OS_InputKind::MouseMove, 0, 0, UI_EVENT_MOUSE_MOVE},
        {OS_InputKind::MouseMove, 0, OS_BUTTON_RIGHT | OS_BUTTON_MIDDLE, UI_EVENT_RIGHT_DRAG},
        {OS_InputKind::MouseDown, OS_BUTTON_MIDDLE, 0, UI_EVENT_MIDDLE_DOWN},
        {OS_InputKind::MouseUp, OS_BUTTON_LEFT, 0, UI_EVENT_LEFT_UP},
        {OS_InputKind::Text, 0, 0, UI_EVENT_KEY_DOWN},
        {OS_InputKind::Leave, 0, 0, UI_EVENT_MOUSE_LEAVE},
        {OS_InputKind::FocusLost, 0, 0, 0},
    };
    for (const Case& c : cases) {
        OS_InputEvent e;
        e.kind = c.kind;
        e.button = c.button;
        e.buttons = c.buttons;
        EXPECT_EQ(MS_UIBridge::EventType(e), c.type) << int(c.kind);
    }
}

}  // namespace
