// UI_Question: the toolkit's own question, such as "Save changes to NAME?",
// with one or two answers and Cancel. Like UI_FileDialog it is a panel of the
// window shown in place of another, not a window of its own, and it never
// runs an event loop: Ask shows it and takes the keyboard, and the answer
// goes to the handler once, after the panel is hidden. Enter gives the
// first answer, Esc cancels.
#pragma once

#include <functional>
#include <string>

#include "ui/UI_Box.h"

class UI_Label;
class UI_TextButton;

class UI_Question : public UI_VBox {
public:
    UI_DECLARE_CLASS()
    enum Answer : int { kCancel = 0, kFirst = 1, kSecond = 2 };

    UI_Question();

    void Ask(const std::string& text, const std::string& first, const std::string& second,
             std::function<void(Answer)> done);
    bool IsOpen() const { return !IsHidden(); }
    // Hides the panel and hands the answer on; nothing when closed.
    void Reply(Answer answer);
    const std::string& Text() const { return m_text; }

    // The buttons' lines ("ask_first", "ask_second", "ask_cancel") end here.
    void RunCommand(const std::string& text) override;
    bool KeyDown(const UI_KeyState& k) override;
    bool AcceptsFocus() const override { return true; }
    bool LoseFocusOnOtherClick() const override { return false; }
    void Draw() override;

private:
    std::string m_text;
    UI_Label* m_label = nullptr;
    UI_TextButton* m_first = nullptr;
    UI_TextButton* m_second = nullptr;
    std::function<void(Answer)> m_done;
};
