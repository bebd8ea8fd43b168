// The window's input: what the host's raw input means, routing (capture,
// hover around captures, focus and its default, bubbling to the window),
// lookups by class and name, growth.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "UI_TestWindow.h"
#include "core/OMB_LmpParser.h"
#include "core/OS_Keys.h"
#include "ui/UI_Box.h"

namespace {

// A window that keeps the events it derives instead of routing them.
class DerivingWindow : public UI_Window {
public:
    void OnDeactivate() override { ++deactivations; }
    std::vector<UI_Event> events;
    int deactivations = 0;

protected:
    void HandleInputEvent(const UI_Event& event) override { events.push_back(event); }
};

// A move drags the first held button, the pointer remembers where it was,
// each wheel notch adds one step, text is its characters but controls, an
// unknown key is nothing, and only a focus loss lets go of the buttons.
TEST(RawInput, BecomesTheToolkitsEvents) {
    DerivingWindow w;
    w.InputPosition(10, 20, 0);
    w.InputButton(UI_BUTTON_RIGHT, true, 10, 20, 0);
    w.InputButton(UI_BUTTON_LEFT, true, 10, 20, 0);
    w.InputPosition(15, 25, OS_MOD_CTRL);
    w.InputButton(UI_BUTTON_LEFT, false, 15, 25, 0);
    w.InputPosition(16, 25, 0);
    w.InputWheel(-2, 0);
    w.InputKey(OS_KEY_NONE, true, false, 0);
    w.InputKey(OS_KEY_A, false, true, OS_MOD_CTRL);
    w.InputText("h\x01i\xc3\xa9", OS_MOD_SHIFT);
    w.InputFocus(true);
    EXPECT_EQ(w.deactivations, 0);
    w.InputFocus(false);
    EXPECT_EQ(w.deactivations, 1);
    w.InputPosition(17, 25, 0);
    w.InputLeave();

    const int types[] = {UI_EVENT_MOUSE_MOVE, UI_EVENT_RIGHT_DOWN, UI_EVENT_LEFT_DOWN, UI_EVENT_LEFT_DRAG,
                         UI_EVENT_LEFT_UP,    UI_EVENT_RIGHT_DRAG, UI_EVENT_WHEEL,     UI_EVENT_KEY_UP,
                         UI_EVENT_KEY_DOWN,   UI_EVENT_KEY_DOWN,   UI_EVENT_KEY_DOWN,   UI_EVENT_MOUSE_MOVE,
                         UI_EVENT_MOUSE_LEAVE};
    const std::vector<UI_Event>& e = w.events;
    ASSERT_EQ(e.size(), std::size(types));
    for (size_t i = 0; i < e.size(); ++i) EXPECT_EQ(e[i].type, types[i]) << i;
    EXPECT_EQ(std::make_tuple(e[3].mouse.prevX, e[3].mouse.prevY, e[3].mouse.right, e[3].mouse.modifiers),
              std::make_tuple(10, 20, 1, int(OS_MOD_CTRL)));
    EXPECT_EQ(e[6].mouse.wheel - e[6].mouse.prevWheel, -2 * kWheelNotch);
    EXPECT_EQ(std::make_tuple(e[7].key.key, e[7].key.repeat), std::make_tuple(int(OS_KEY_A), true));
    EXPECT_EQ(std::make_tuple(e[8].key.character, e[9].key.character, e[10].key.character, e[9].key.modifiers),
              std::make_tuple(uint32_t('h'), uint32_t('i'), uint32_t(0xE9), int(OS_MOD_SHIFT)));
}

// Two probes side by side: "a" at x 0..49, "b" at x 50..99, 100 pixels high.
class Routing : public testing::Test {
protected:
    void SetUp() override {
        UI_View* box = window.SetRootView(std::make_unique<UI_HBox>());
        OMB_LmpNode half;
        half.AddAttribute("flex", "1");
        a = box->AddNew<ProbeView>(&half, "a", true);
        b = box->AddNew<ProbeView>(&half, "b");
        scene = box->AddNew<ProbeView>(nullptr, "scene", true);
        box->SetRect({0, 0, 99, 99});
        window.SetRect({0, 0, 99, 99});
        window.RefreshLayout();
        window.SetDefaultFocus(scene);
        ProbeView::log.clear();
    }
    RecordingWindow window;
    ProbeView *a = nullptr, *b = nullptr, *scene = nullptr;
};

TEST_F(Routing, DragsStayWithThePressedViewAndHoverWaitsForTheRelease) {
    window.Move(10, 10);
    window.Down(10, 10);
    window.Move(70, 10);
    EXPECT_EQ(window.HoverView(), b);
    window.Up(70, 10);
    // The pressed view hears that the pointer left; b hears nothing until
    // the release, then only its enter.
    EXPECT_EQ(ProbeView::log, "a:enter a:down a:leave a:drag a:up b:enter");
    EXPECT_EQ(window.CaptureView(), nullptr);
    // A release with nothing captured (pressed outside) tells b nothing more.
    ProbeView::log.clear();
    window.Up(70, 10);
    EXPECT_EQ(ProbeView::log, "b:up");
}

TEST_F(Routing, PointerLeavingTheWindow) {
    window.Move(60, 10);
    window.InputLeave();
    EXPECT_EQ(ProbeView::log, "b:enter b:leave");
    EXPECT_EQ(window.HoverView(), nullptr);
    // During a capture by another view the hover is dropped silently.
    window.Move(10, 10);
    window.Down(10, 10);
    window.Move(60, 10);
    ProbeView::log.clear();
    window.InputLeave();
    EXPECT_EQ(ProbeView::log, "");
}

TEST_F(Routing, PressesMoveTheFocusOrReachTheWindow) {
    window.Click(150, 150);  // empty space
    EXPECT_EQ(window.windowPresses, 1);
    EXPECT_EQ(window.FocusView(), scene);
    window.Click(10, 10);
    EXPECT_EQ(window.FocusView(), a);
    window.Key(OS_KEY_A);
    EXPECT_EQ(ProbeView::log.substr(ProbeView::log.size() - 5), "a:key");
    // b does not take the focus: it goes back to the default.
    window.Click(60, 10);
    EXPECT_EQ(window.FocusView(), scene);
    // Unhandled keys bubble up to the window.
    scene->consumeKeys = false;
    window.Key(OS_KEY_F1);
    EXPECT_EQ(window.windowKeys, std::vector<int>{OS_KEY_F1});
    // A hidden view passes its input on: the press bubbles to the window.
    a->SetHidden(true);
    a->HandleInput(UI_Event::Mouse(UI_EVENT_LEFT_DOWN, UI_MouseState()));
    EXPECT_EQ(window.windowPresses, 2);
}

TEST_F(Routing, LookupsByClassOrNameAndGrowthToTheMinimum) {
    std::vector<UI_View*> boxes;
    window.CollectViews(&UI_Box::kClass, boxes);
    EXPECT_EQ(boxes.size(), 1u);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(window.SetViewAttribute("nothing", "hidden", "1"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Warning] cannot find view 'nothing'\n");
    // RefreshLayout grows the window to the minimum and tells the host.
    b->SetMinSize(300, 20);
    window.RefreshLayout();
    EXPECT_EQ(window.host.minimum, (OMB_Size{300, 20}));
    EXPECT_EQ(window.host.resized, (OMB_Size{300, 100}));
    EXPECT_EQ(b->Rect().Width(), 300);
}

}  // namespace
