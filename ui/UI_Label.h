// UI_Label: a line of text on an optional background. UI_Hint: a label that
// shows the hint of the view under the pointer (or of the captured view
// during a drag), looked up the parent chain to the first non-empty hint;
// over text cut with an ellipsis it shows that text whole.
#pragma once

#include <string>

#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

class UI_Label : public UI_View {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    // "text", "bgColor", "fontColor", "fontSize", "align" (left, center,
    // right; anything else centres).
    bool ParseAttributes(const OMB_LmpNode* node) override;
    const std::string& Text() const { return m_text; }
    // The longest text a label keeps; the rest is dropped.
    static constexpr size_t kMaxText = 4096;
    // At most kMaxText characters are kept.
    void SetText(const std::string& text);
    void SetBackground(OMB_Color color);
    std::string CutTextAt(int x, int y) const override;

protected:
    void DrawLabel(const char* text);

    std::string m_text;
    OMB_Color m_bgColor = kThemeClear;
    OMB_Color m_fontColor = kThemeLabelText;
    float m_fontSize[2] = {8, 16};
    int m_align = 2;
};

class UI_Hint : public UI_Label {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    // The hint the line shows now: the whole text of what is cut under the
    // pointer, else the hint of the view of interest.
    const std::string& CurrentHint();
    std::string CutTextAt(int x, int y) const override { return std::string(); }

private:
    std::string m_current;  // reused: a steady frame allocates nothing
};
