// Box and group layout: measurement, flexible and fixed children, spacing,
// hidden children, over-full boxes, item lookup.
#include <gtest/gtest.h>

#include "UI_TestWindow.h"
#include "core/OMB_LmpParser.h"
#include "ui/UI_Box.h"
#include "ui/UI_Group.h"

namespace {

struct Child {
    int flex, size, prev, next, minW, minH;
    bool hidden;
};

// A box with one plain view per child, laid out in 50 x 100 pixels,
// returning the children's rectangles.
std::vector<OMB_Rect> Layout(bool vertical, const std::vector<Child>& children, int width = 50, int height = 100) {
    RecordingWindow window;
    UI_View* box = window.SetRootView(vertical ? std::unique_ptr<UI_View>(std::make_unique<UI_VBox>())
                                               : std::make_unique<UI_HBox>());
    for (const Child& c : children) {
        OMB_LmpNode node;
        node.AddAttribute("flex", std::to_string(c.flex));
        node.AddAttribute("size", std::to_string(c.size));
        node.AddAttribute("prev", std::to_string(c.prev));
        node.AddAttribute("next", std::to_string(c.next));
        UI_View* view = box->AddNew<UI_View>(&node);
        view->SetMinSize(c.minW, c.minH);
        view->SetHidden(c.hidden);
    }
    // Straight to the box: RefreshLayout would grow the root to its minimum.
    box->Measure();
    box->SetRect({0, 0, width - 1, height - 1});
    std::vector<OMB_Rect> rects;
    for (int i = 0; i < box->ChildCount(); ++i) rects.push_back(box->Child(i)->Rect());
    return rects;
}

TEST(BoxLayout, Cases) {
    struct Case {
        const char* name;
        bool vertical;
        std::vector<Child> children;
        std::vector<OMB_Rect> expected;
    };
    const Case cases[] = {
        {"fixed then weights 1:3", true,
         {{0, 20, 0, 0, 0, 0, false}, {1, 0, 0, 0, 0, 0, false}, {3, 0, 0, 0, 0, 0, false}},
         {{0, 80, 49, 99}, {0, 60, 49, 79}, {0, 0, 49, 59}}},
        {"a flexible minimum above its share runs past the bottom", true,
         {{0, 20, 0, 0, 0, 0, false}, {1, 0, 0, 0, 0, 30, false}, {3, 0, 0, 0, 0, 0, false}},
         {{0, 80, 49, 99}, {0, 50, 49, 79}, {0, -10, 49, 49}}},
        {"spacing before and after", true,
         {{0, 10, 5, 5, 0, 0, false}, {1, 0, 0, 0, 0, 0, false}},
         {{0, 85, 49, 94}, {0, 0, 49, 79}}},
        {"a hidden child takes no space, spacing included", true,
         {{0, 10, 0, 0, 0, 0, false}, {0, 30, 7, 7, 0, 0, true}, {0, 10, 0, 0, 0, 0, false}},
         {{0, 90, 49, 99}, {0, 0, -1, -1}, {0, 80, 49, 89}}},
        {"children are never narrower than the widest minimum", true,
         {{0, 10, 0, 0, 80, 0, false}},
         {{0, 90, 79, 99}}},
        {"weights share fractional space, floored", true,
         {{1, 0, 0, 0, 0, 0, false}, {1, 0, 0, 0, 0, 0, false}, {1, 0, 0, 0, 0, 0, false}},
         {{0, 66, 49, 99}, {0, 33, 49, 65}, {0, 0, 49, 32}}},
        {"the most demanding weight scales the others, negative spacing counts as none", false,
         {{1, 10, -4, 0, 0, 0, false}, {4, 0, 0, 0, 0, 0, false}},
         {{0, 0, 9, 99}, {10, 0, 49, 99}}},
        {"fixed, spaced, flexible", false,
         {{0, 10, 2, 3, 0, 0, false}, {1, 0, 0, 0, 0, 0, false}},
         {{2, 0, 11, 99}, {15, 0, 49, 99}}},
        {"an over-full box runs past its right edge", false,
         {{0, 40, 0, 0, 0, 0, false}, {0, 30, 0, 0, 0, 0, false}},
         {{0, 0, 39, 99}, {40, 0, 69, 99}}},
        {"children hang from the top edge, at least as tall as the tallest", false,
         {{0, 10, 0, 0, 0, 120, false}},
         {{0, -20, 9, 99}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Layout(c.vertical, c.children), c.expected) << c.name;
}

TEST(BoxLayout, MeasuresAndGroupsShareTheirArea) {
    UI_HBox box;
    OMB_LmpNode a, b;
    a.AddAttribute("size", "10");
    a.AddAttribute("flex", "1");
    b.AddAttribute("flex", "4");
    box.AddNew<UI_View>(&a);
    box.AddNew<UI_View>(&b);
    box.Measure();
    EXPECT_EQ(box.GetMinSize().width, 50) << "10 pixels for a weight of 1 ask 40 for a weight of 4";

    UI_Group group;
    UI_View* small = group.AddNew<UI_View>(nullptr);
    UI_View* tall = group.AddNew<UI_View>(nullptr);
    small->SetMinSize(30, 5);
    tall->SetMinSize(10, 40);
    group.Measure();
    EXPECT_EQ(group.GetMinSize(), (OMB_Size{30, 40}));
    group.SetRect({5, 5, 50, 60});
    EXPECT_EQ(small->Rect(), tall->Rect());
    group.SetHidden(true);
    EXPECT_EQ(group.GetMinSize(), (OMB_Size{0, 0}));
}

TEST(BoxLayout, ItemLookup) {
    RecordingWindow window;
    window.Load("vbox { vbox (id='a' size='30' next='10') hbox (id='b' size='20') { vbox(id='c' size='20') } }", 50,
                100);
    UI_VBox* root = UI_Cast<UI_VBox>(window.Root());
    ASSERT_TRUE(root);
    UI_View* a = window.FindView("a", &UI_View::kClass);
    UI_HBox* b = UI_Cast<UI_HBox>(window.FindView("B", &UI_View::kClass));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(root->ItemAt(5, 80), a);
    EXPECT_EQ(root->ItemAt(5, 65), nullptr);  // the spacing after a
    EXPECT_EQ(root->ItemAt(5, 50), window.FindView("c", &UI_View::kClass));
    EXPECT_EQ(b->ItemAt(40, 50), b);           // right of every item
    EXPECT_EQ(root->ItemAt(60, 50), nullptr);  // outside
}

}  // namespace
