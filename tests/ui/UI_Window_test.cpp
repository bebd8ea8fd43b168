// Input routing through the window: capture, hover around captures, focus and
// its default, bubbling to the window, lookups by class and name, growth.
#include <gtest/gtest.h>

#include "UI_TestWindow.h"
#include "core/OMB_LmpParser.h"
#include "core/OS_Keys.h"
#include "ui/UI_Box.h"

namespace {

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
    window.Pointer(UI_EVENT_MOUSE_MOVE, 10, 10);
    window.Pointer(UI_EVENT_LEFT_DOWN, 10, 10);
    window.Pointer(UI_EVENT_LEFT_DRAG, 70, 10);
    EXPECT_EQ(window.HoverView(), b);
    window.Pointer(UI_EVENT_LEFT_UP, 70, 10);
    // The pressed view hears that the pointer left; b hears nothing until
    // the release, then only its enter.
    EXPECT_EQ(ProbeView::log, "a:enter a:down a:leave a:drag a:up b:enter");
    EXPECT_EQ(window.CaptureView(), nullptr);
    // A release with nothing captured (pressed outside) tells b nothing more.
    ProbeView::log.clear();
    window.Pointer(UI_EVENT_LEFT_UP, 70, 10);
    EXPECT_EQ(ProbeView::log, "b:up");
}

TEST_F(Routing, PointerLeavingTheWindow) {
    window.Pointer(UI_EVENT_MOUSE_MOVE, 60, 10);
    window.Pointer(UI_EVENT_MOUSE_LEAVE, 60, 10);
    EXPECT_EQ(ProbeView::log, "b:enter b:leave");
    EXPECT_EQ(window.HoverView(), nullptr);
    // During a capture by another view the hover is dropped silently.
    window.Pointer(UI_EVENT_MOUSE_MOVE, 10, 10);
    window.Pointer(UI_EVENT_LEFT_DOWN, 10, 10);
    window.Pointer(UI_EVENT_LEFT_DRAG, 60, 10);
    ProbeView::log.clear();
    window.Pointer(UI_EVENT_MOUSE_LEAVE, 60, 10);
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
