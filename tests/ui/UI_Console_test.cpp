// The message log's views: the console follows new lines at the bottom,
// scrolls by wheel notches and pages within the log, and keeps the lines in
// view while scrolled back; the status line shows the newest line.
#include <gtest/gtest.h>

#include "UI_TestWindow.h"
#include "core/OS_Keys.h"
#include "ui/UI_Console.h"

namespace {

void AddLines(OMB_MessageLog& log, int from, int to) {
    for (int i = from; i < to; ++i) log.AddLine("line " + std::to_string(i));
}

TEST(Console, ScrollsWithinTheLogAndHoldsItsPlace) {
    RecordingWindow window;
    window.Load("vbox { console (id='log' flex='1') statusLine (id='status' minSize='0 20') }", 200, 110);
    auto* console = UI_Cast<UI_Console>(window.FindView("log", &UI_View::kClass));
    auto* status = UI_Cast<UI_StatusLine>(window.FindView("status", &UI_View::kClass));
    ASSERT_TRUE(console && status);
    OMB_MessageLog log;
    AddLines(log, 0, 20);
    console->SetLog(&log);
    status->SetLog(&log);
    ASSERT_EQ(console->VisibleLines(), 5);
    const struct {
        int key;
        float wheel;
        int bottom;
    } steps[] = {
        {0, 8, 16},                    // one notch up: three lines older
        {OS_KEY_PAGE_UP, 0, 12},       // a page keeps one line of overlap
        {OS_KEY_HOME, 0, 4},           // the oldest line is in the top row
        {OS_KEY_PAGE_UP, 0, 4},        // no further
        {OS_KEY_END, 0, 19},           // back to the newest
        {OS_KEY_PAGE_DOWN, 0, 19},
    };
    for (const auto& step : steps) {
        if (step.key) console->KeyDown(UI_KeyState{0, step.key});
        else window.Pointer(UI_EVENT_WHEEL, 100, 60, 0, step.wheel);
        EXPECT_EQ(console->BottomLine(), step.bottom) << step.key;
    }
    AddLines(log, 20, 22);
    window.BuildFrame();
    EXPECT_EQ(console->BottomLine(), 21);  // following
    console->ScrollBy(3);
    AddLines(log, 22, 25);
    window.BuildFrame();
    EXPECT_EQ(console->BottomLine(), 18);  // scrolled back: the same lines
    EXPECT_EQ(status->Message(), "line 24");
}

}  // namespace
