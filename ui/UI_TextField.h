// UI_TextField: a single-line text editor. It takes the keyboard focus on a
// click and edits with the usual keys: characters insert (replacing the
// selection), Left/Right move by character (Ctrl: by word; Shift: extending the
// selection), Home/End, Backspace/Delete, Ctrl+A selects all, Ctrl+C/X/V
// copy, cut and paste through the window's clipboard, Ctrl+Z undoes the
// field's own edits since it took the keyboard (a run of typed characters
// is one step) and Ctrl+Y / Ctrl+Shift+Z redo them: while a field has the
// keyboard these keys never reach the window's hotkeys; the text never grows
// past "maxLength" (bytes). The text is UTF-8 and every position (caret,
// anchor, scroll) is a byte offset on a character boundary: no edit splits
// a character. Esc leaves the field without running anything. Enter runs the text: "onEnter" followed by a blank and
// the text, or the text itself as a command line when "onEnter" is empty.
// Options (bool attributes):
//   click    a click into an unfocused field selects all its text
//   clear    Enter empties the field afterwards
//   once     Enter gives the focus up (to the window's default focus)
//   enter    losing the focus with edited text runs it as Enter would
//   history  entered lines are kept; Up and Down walk them
// "default" is shown, dimmed, while the field is empty and unfocused.
#pragma once

#include <string>
#include <vector>

#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

class UI_TextField : public UI_View {
public:
    UI_DECLARE_CLASS()
    static constexpr int kMaxHistory = 64;
    static constexpr int kInset = 4;  // pixels between the border and the text

    bool AcceptsFocus() const override { return true; }
    bool FocusIn() override;
    bool FocusOut() override;
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool KeyDown(const UI_KeyState& k) override;
    // Shown underlined at the caret until the input method types it.
    void Compose(const std::string& text) override;
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

    // Replaces the text; caret and selection are clamped into it.
    void SetText(const std::string& text);
    // Shows the program's value: the text, counted as not edited.
    void ShowText(const std::string& text) {
        SetText(text);
        m_edited = false;
    }
    const std::string& Text() const { return m_text; }
    int Caret() const { return m_caret; }
    // The selection as [start, end); empty when start == end.
    int SelectionStart() const { return std::min(m_anchor, m_caret); }
    int SelectionEnd() const { return std::max(m_anchor, m_caret); }
    void Select(int anchor, int caret);
    // Inserts at the caret, replacing the selection, within maxLength.
    void Insert(const std::string& text);
    // Runs the text as Enter does.
    void Enter();
    // Keeps a line in the history ("history" fields only), as Enter does.
    void Remember(const std::string& line);
    // Esc: the text the field had when it took the keyboard comes back and
    // the keyboard goes to the window's default focus; nothing runs.
    void Leave();

private:
    // Runs the text (history, "clear", the command) without "once".
    void RunLine();
    bool EditKey(const UI_KeyState& k);
    bool MoveKey(const UI_KeyState& k);
    bool ClipboardKey(const UI_KeyState& k);
    bool UndoKey(const UI_KeyState& k);
    // Keeps the text before an edit for undo; typed characters after typed
    // characters join the step before.
    void KeepStep(bool typing);
    void Edit(const std::string& text, bool typing);
    void MoveCaret(int to, bool extend);
    void EraseSelection();
    int WordLeft() const;
    int WordRight() const;
    void WalkHistory(int step);
    // The character boundary nearest to a pointer x.
    int OffsetAt(int x) const;
    // The start of the character holding byte `offset` (clamped to the text).
    int Boundary(int offset) const;
    float TextX() const;
    void KeepCaretVisible();

    std::string m_text;
    std::string m_textAtFocus;
    std::string m_default;
    std::string m_composition;  // the input method's text not yet typed
    int m_caret = 0;
    int m_anchor = 0;
    int m_scroll = 0;  // byte offset of the first character shown
    int m_maxLength = 1024;
    bool m_click = false, m_clear = false, m_once = false, m_enter = false, m_history = false;
    bool m_focused = false;
    bool m_edited = false;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_bgColor = kThemeFieldBackground;
    OMB_Color m_fontColor = kThemeFieldText;
    float m_border = 1;
    int m_align = 1;
    std::string m_onEnter;
    struct Step {
        std::string text;
        int caret, anchor;
    };
    static constexpr size_t kMaxSteps = 100;
    std::vector<Step> m_undo, m_redo;  // newest at the back
    bool m_typing = false;             // the newest step is a run of typing
    std::vector<std::string> m_lines;  // history, oldest first
    int m_historyPos = 0;              // == size: the line being edited
};
