// The single-line editor: keys, selection, clipboard, limits and options.
#include <gtest/gtest.h>

#include <tuple>

#include "UI_TestWindow.h"
#include "core/OS_Keys.h"
#include "ui/UI_TextField.h"

namespace {

class TextField : public testing::Test {
protected:
    UI_TextField* Make(const char* attributes) {
        const std::string text = std::string("vbox { textField (id='cmd' size='20' ") + attributes + ") }";
        window.Load(text.c_str(), 400, 40);
        field = UI_Cast<UI_TextField>(window.FindView("cmd", &UI_View::kClass));
        window.Click(100, 30);
        return field;
    }
    RecordingWindow window;
    UI_TextField* field = nullptr;
};

TEST_F(TextField, EditingKeys) {
    const struct Step {
        int key, modifiers;
        const char* typed;
        const char* text;
        int caret, selStart, selEnd;
    } steps[] = {
        {0, 0, "set size 10", "set size 10", 11, 11, 11},
        {OS_KEY_LEFT, OS_MOD_CTRL, nullptr, "set size 10", 9, 9, 9},
        {OS_KEY_LEFT, OS_MOD_CTRL | OS_MOD_SHIFT, nullptr, "set size 10", 4, 4, 9},
        {0, 0, "mode ", "set mode 10", 9, 9, 9},
        {OS_KEY_HOME, OS_MOD_SHIFT, nullptr, "set mode 10", 0, 0, 9},
        {OS_KEY_RIGHT, 0, nullptr, "set mode 10", 9, 9, 9},
        {OS_KEY_BACKSPACE, 0, nullptr, "set mode10", 8, 8, 8},
        {OS_KEY_DELETE, OS_MOD_CTRL, nullptr, "set mode", 8, 8, 8},
        {OS_KEY_LEFT, 0, nullptr, "set mode", 7, 7, 7},
        {OS_KEY_END, 0, nullptr, "set mode", 8, 8, 8},
        {OS_KEY_BACKSPACE, OS_MOD_CTRL, nullptr, "set ", 4, 4, 4},
        {OS_KeyOf('A'), OS_MOD_CTRL, nullptr, "set ", 4, 0, 4},
        {OS_KeyOf('X'), OS_MOD_CTRL, nullptr, "", 0, 0, 0},
        {OS_KeyOf('V'), OS_MOD_CTRL, nullptr, "set ", 4, 4, 4},
        {OS_KeyOf('V'), OS_MOD_CTRL, nullptr, "set set ", 8, 8, 8},
        {0, 0, "ab", "set set ab", 10, 10, 10},
        {OS_KeyOf('Z'), OS_MOD_CTRL, nullptr, "set set ", 8, 8, 8},  // typing is one step
        {OS_KeyOf('Z'), OS_MOD_CTRL, nullptr, "set ", 4, 4, 4},
        {OS_KeyOf('Z'), OS_MOD_CTRL, nullptr, "", 0, 0, 0},
        {OS_KeyOf('Z'), OS_MOD_CTRL, nullptr, "set ", 4, 0, 4},  // the cut text comes back selected
        {OS_KeyOf('Z'), OS_MOD_CTRL | OS_MOD_SHIFT, nullptr, "", 0, 0, 0},
        {OS_KeyOf('Y'), OS_MOD_CTRL, nullptr, "set ", 4, 4, 4},
    };
    ASSERT_TRUE(Make(""));
    EXPECT_EQ(window.FocusView(), field);
    for (const Step& s : steps) {
        if (s.typed)
            window.Type(s.typed);
        else
            window.Key(s.key, s.modifiers);
        EXPECT_EQ(std::make_tuple(field->Text(), field->Caret(), field->SelectionStart(), field->SelectionEnd()),
                  std::make_tuple(std::string(s.text), s.caret, s.selStart, s.selEnd))
            << "key " << s.key;
    }
    EXPECT_EQ(window.host.clipboard, "set ");
}

TEST_F(TextField, EnterRunsTheLineUnderItsOptions) {
    ASSERT_TRUE(Make("clear='1' history='1' maxLength='8'"));
    window.Type("undo");
    window.Key(OS_KEY_ENTER);
    window.Type("redo 1234567");
    EXPECT_EQ(field->Text(), "redo 123");
    window.Key(OS_KEY_ENTER);
    EXPECT_EQ(window.TakeCommands(), "undo|redo 123");
    EXPECT_EQ(field->Text(), "");
    window.Key(OS_KEY_UP);
    window.Key(OS_KEY_UP);
    EXPECT_EQ(field->Text(), "undo");
    window.Key(OS_KEY_DOWN);
    window.Key(OS_KEY_DOWN);
    EXPECT_EQ(field->Text(), "");

    ASSERT_TRUE(Make("onEnter='name' once='1' enter='1' click='1' text='abc'"));
    window.Type("x");  // "click": the first click selected everything
    window.Key(OS_KEY_ENTER);
    EXPECT_EQ(window.TakeCommands(), "name x");
    EXPECT_NE(window.FocusView(), field);  // "once"
    window.Click(100, 30);  // selects all again: typing replaces
    window.Type("y");
    window.Click(100, 5);  // focus lost with an edit: "enter" runs it
    EXPECT_EQ(window.TakeCommands(), "name y");
    window.SetViewAttribute("cmd", "text", "ab");
    EXPECT_LE(field->Caret(), 2);
}

// Typed text arrives as UTF-8; every key moves and erases whole characters,
// and the byte limit never cuts one.
TEST_F(TextField, EditsMultibyteTextByCharacter) {
    ASSERT_TRUE(Make("maxLength='12'"));
    window.Type("\xC3\x84\xD0\xB6\xE6\xA8\xA1");  // Ä ж 模: 2 + 2 + 3 bytes
    EXPECT_EQ(field->Caret(), 7);
    window.Key(OS_KEY_LEFT);
    EXPECT_EQ(field->Caret(), 4);
    window.Key(OS_KEY_LEFT, OS_MOD_SHIFT);
    EXPECT_EQ(std::make_pair(field->SelectionStart(), field->SelectionEnd()), std::make_pair(2, 4));
    window.Key(OS_KEY_BACKSPACE);  // the selected ж
    EXPECT_EQ(field->Text(), "\xC3\x84\xE6\xA8\xA1");
    window.Key(OS_KEY_DELETE);
    window.Key(OS_KEY_BACKSPACE);
    EXPECT_EQ(field->Text(), "");
    window.Type("abcdefghij\xE6\xA8\xA1");  // 13 bytes: the last character does not fit whole
    EXPECT_EQ(field->Text(), "abcdefghij");
    window.Type("\xFF");  // a malformed byte becomes U+FFFD (3 bytes): no room either
    EXPECT_EQ(field->Text(), "abcdefghij");
}

}  // namespace
