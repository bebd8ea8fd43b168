// Box and group layout: measurement, flexible and fixed children, spacing,
// hidden children, over-full boxes, item lookup.
#include <gtest/gtest.h>

#include "UI_TestWindow.h"
#include "ui/UI_Box.h"

namespace {

// The children's rectangles when the box described by `text` is laid out in
// 50 x 100 pixels: straight to the box, as RefreshLayout would grow it to
// its minimum. Labels without text are plain views with no minimum.
std::vector<OMB_Rect> Layout(const char* text) {
    RecordingWindow window;
    UI_View* box = window.Load(text, 50, 100);
    box->Measure();
    box->SetRect({0, 0, 49, 99});
    std::vector<OMB_Rect> rects;
    for (int i = 0; i < box->ChildCount(); ++i) rects.push_back(box->Child(i)->Rect());
    return rects;
}

TEST(BoxLayout, Cases) {
    const struct Case {
        const char* name;
        const char* text;
        std::vector<OMB_Rect> expected;
    } cases[] = {
        {"fixed then weights 1:3", "vbox { label (size='20') label (flex='1') label (flex='3') }",
         {{0, 80, 49, 99}, {0, 60, 49, 79}, {0, 0, 49, 59}}},
        {"a flexible minimum above its share runs past the bottom",
         "vbox { label (size='20') label (flex='1' minSize='0 30') label (flex='3') }",
         {{0, 80, 49, 99}, {0, 50, 49, 79}, {0, -10, 49, 49}}},
        {"spacing before and after", "vbox { label (size='10' prev='5' next='5') label (flex='1') }",
         {{0, 85, 49, 94}, {0, 0, 49, 79}}},
        {"a hidden child takes no space, spacing included",
         "vbox { label (size='10') label (size='30' prev='7' next='7' hidden='1') label (size='10') }",
         {{0, 90, 49, 99}, {0, 0, -1, -1}, {0, 80, 49, 89}}},
        {"children are never narrower than the widest minimum", "vbox { label (size='10' minSize='80 0') }",
         {{0, 90, 79, 99}}},
        {"weights share fractional space, floored", "vbox { label (flex='1') label (flex='1') label (flex='1') }",
         {{0, 66, 49, 99}, {0, 33, 49, 65}, {0, 0, 49, 32}}},
        {"the most demanding weight scales the others, negative spacing counts as none",
         "hbox { label (size='10' flex='1' prev='-4') label (flex='4') }", {{0, 0, 9, 99}, {10, 0, 49, 99}}},
        {"fixed, spaced, flexible", "hbox { label (size='10' prev='2' next='3') label (flex='1') }",
         {{2, 0, 11, 99}, {15, 0, 49, 99}}},
        {"an over-full box runs past its right edge", "hbox { label (size='40') label (size='30') }",
         {{0, 0, 39, 99}, {40, 0, 69, 99}}},
        {"children hang from the top edge, at least as tall as the tallest",
         "hbox { label (size='10' minSize='0 120') }", {{0, -20, 9, 99}}},
        {"a group's children share its whole area", "optionGroup { label (minSize='10 40') label }",
         {{0, 0, 49, 99}, {0, 0, 49, 99}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Layout(c.text), c.expected) << c.name;
}

TEST(BoxLayout, MinimumSizes) {
    RecordingWindow window;
    EXPECT_EQ(window.Load("hbox { label (size='10' flex='1') label (flex='4') }")->GetMinSize().width, 50)
        << "10 pixels for a weight of 1 ask 40 for a weight of 4";
    UI_View* group = window.Load("optionGroup { label (minSize='30 5') label (minSize='10 40') }");
    EXPECT_EQ(group->GetMinSize(), (OMB_Size{30, 40})) << "a group covers every child's minimum";
    group->SetHidden(true);
    EXPECT_EQ(group->GetMinSize(), (OMB_Size{0, 0}));
}

TEST(BoxLayout, ItemLookup) {
    RecordingWindow window;
    window.Load("vbox { vbox (id='a' size='30' next='10') hbox (id='b' size='20') { vbox(id='c' size='20') } }", 50,
                100);
    UI_VBox* root = UI_Cast<UI_VBox>(window.Root());
    UI_View* a = window.FindView("a", &UI_View::kClass);
    UI_HBox* b = UI_Cast<UI_HBox>(window.FindView("B", &UI_View::kClass));
    ASSERT_TRUE(root && a && b);
    EXPECT_EQ(root->ItemAt(5, 80), a);
    EXPECT_EQ(root->ItemAt(5, 65), nullptr);  // the spacing after a
    EXPECT_EQ(root->ItemAt(5, 50), window.FindView("c", &UI_View::kClass));
    EXPECT_EQ(b->ItemAt(40, 50), b);           // right of every item
    EXPECT_EQ(root->ItemAt(60, 50), nullptr);  // outside
}

// At scale 1, 1.5 and 2 the layout in units is the same, every rectangle in
// device pixels is the scale times its 1x rectangle, a device position
// inside a view's device rectangle hits that view, and the host is asked
// for a minimum size that grows with the scale.
TEST(ScaledLayout, RectanglesScaleAndHitTestingAgrees) {
    const char* tree = "vbox (minSize='100 60') { hbox (size='20') { button (id='a' size='40') label (id='b' flex='1') }"
                       " list (id='c' flex='1') }";
    RecordingWindow base;
    base.Load(tree, 200, 100);
    for (float scale : {1.0f, 1.5f, 2.0f}) {
        RecordingWindow window;
        window.Load(tree, 200, 100);
        window.SetScale(scale);
        window.SetDeviceSize(int(200 * scale), int(100 * scale));
        window.Root()->SetRect(window.Rect());
        window.RefreshLayout();
        EXPECT_EQ(window.host.minimum.width, int(100 * scale)) << scale;
        for (const char* id : {"a", "b", "c"}) {
            const OMB_Rect unit = base.FindView(id, &UI_View::kClass)->Rect();
            UI_View* view = window.FindView(id, &UI_View::kClass);
            ASSERT_EQ(view->Rect(), unit) << id << " at " << scale;
            const OMB_Rect device = view->DeviceRect();
            EXPECT_EQ(device.Width(), int(float(unit.Width()) * scale)) << id << " at " << scale;
            EXPECT_EQ(device.x0, int(float(unit.x0) * scale)) << id << " at " << scale;
            window.Move(device.x0 + 1, device.y1 - 1);
            EXPECT_EQ(window.HoverView(), view) << id << " at " << scale;
        }
    }
}

}  // namespace
