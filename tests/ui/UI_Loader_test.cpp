// The UI description loader: tags in any case, unknown tags dropped with their
// subtree, the attribute value syntaxes, run-time attribute changes.
#include <gtest/gtest.h>

#include "UI_TestWindow.h"
#include "core/OMB_LmpParser.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Label.h"

namespace {

TEST(Loader, BuildsWhatItCanReportsTheRestAndChangesAttributesAtRunTime) {
    RecordingWindow window;
    testing::internal::CaptureStdout();
    window.Load("VBox (id='top') { label (id='one' size='20') widget { label (id='lost') }"
                " LABEL (id='two' hint='tip' minSize='5 6' text='a') } label (id='ignored')");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Error] UI : view type 'widget' is not registered\n");
    ASSERT_TRUE(window.Root());
    EXPECT_EQ(window.Root()->ChildCount(), 2);
    UI_Label* label = UI_Cast<UI_Label>(window.FindView("two", &UI_Label::kClass));
    ASSERT_TRUE(label);
    EXPECT_FALSE(window.FindView("lost", &UI_View::kClass));
    EXPECT_FALSE(window.FindView("ignored", &UI_View::kClass));
    EXPECT_EQ(window.FindView("one", &UI_View::kClass)->Rect().Height(), 20);
    // At run time an attribute changes only what it names.
    EXPECT_TRUE(window.SetViewAttribute("two", "minSize", "30 40"));
    EXPECT_EQ(label->MinSize(), (OMB_Size{30, 40}));
    EXPECT_EQ(label->Hint(), "tip");
    EXPECT_EQ(label->Text(), "a");
    EXPECT_TRUE(window.SetViewAttribute("two", "hidden", "1"));
    EXPECT_TRUE(label->IsHidden());
    EXPECT_FALSE(window.SetViewAttribute(nullptr, "hidden", "1"));

    UI_ViewRegistry registry;
    UI_RegisterViewTypes(registry);
    testing::internal::CaptureStdout();
    EXPECT_EQ(UI_LoadViewTree(registry, "/nonexistent/editor.ui"), nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[Error] UI : no node found : /nonexistent/editor.ui\n"), std::string::npos);
}

TEST(Loader, ValueSyntaxes) {
    const struct Case {
        const char* value;
        OMB_Color color;
        int ints[2];
        bool boolean;
    } cases[] = {
        {"255 0 0", OMB_RGBA(255, 0, 0, 255), {255, 0}, true},
        {"10 20 30 40", OMB_RGBA(10, 20, 30, 40), {10, 20}, true},
        {"300 -5", OMB_RGBA(255, 0, 0, 255), {300, -5}, true},
        {"7 x 9", OMB_RGBA(7, 0, 0, 255), {7, 0}, true},
        {"0", OMB_RGBA(0, 0, 0, 255), {0, 0}, false},
    };
    for (const Case& c : cases) {
        OMB_LmpNode node;
        node.AddAttribute("v", c.value);
        OMB_Color color = 0;
        int ints[2] = {-1, -1};
        bool boolean = !c.boolean;
        EXPECT_TRUE(UI_ReadColor(&node, "V", color) && UI_ReadInts(&node, "v", ints, 2) &&
                    UI_ReadBool(&node, "v", boolean));
        EXPECT_EQ(color, c.color) << c.value;
        EXPECT_TRUE(ints[0] == c.ints[0] && ints[1] == c.ints[1]) << c.value;
        EXPECT_EQ(boolean, c.boolean) << c.value;
    }
    OMB_LmpNode node;
    node.AddAttribute("style", "DARK");
    node.AddAttribute("align", "middle");
    const UI_Keyword words[] = {{"dark", 1}, {"center", 2}, {nullptr, 0}};
    int style = 0, align = 0, absent = 5;
    EXPECT_TRUE(UI_ReadKeyword(&node, "style", words, 0, style));
    EXPECT_TRUE(UI_ReadKeyword(&node, "align", words, 2, align));
    EXPECT_FALSE(UI_ReadKeyword(&node, "missing", words, 0, absent));
    EXPECT_TRUE(style == 1 && align == 2 && absent == 5) << style << " " << align << " " << absent;
}

}  // namespace
