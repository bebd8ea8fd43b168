// The views of the program's message log (core/OMB_MessageLog). UI_Console
// is the scroll-back panel: the newest lines at the bottom, errors and
// warnings in their own colours, scrolled with the wheel (three lines a
// notch) and by pages (PageUp, PageDown; Home and End go to the oldest and
// the newest line). Scrolled to the bottom it follows new lines; scrolled
// back it stays on the lines shown. UI_StatusLine shows the log's newest
// line for people (OMB_MessageLog::Status), in its kind's colour, with an
// optional text on its right (the path tracer's progress). Both only read the log; whoever owns the log
// hands it over after the views are loaded.
#pragma once

#include <cstdint>
#include <string>

#include "core/OMB_MessageLog.h"
#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

// The colour of a line of this kind.
OMB_Color UI_MessageColor(OMB_MessageKind kind);

class UI_Console : public UI_View {
public:
    UI_DECLARE_CLASS()
    static constexpr int kLinesPerNotch = 3;

    bool Wheel(const UI_MouseState& m) override;
    // PageUp, PageDown, Home, End; other keys pass on.
    bool KeyDown(const UI_KeyState& k) override;
    void Draw() override;
    // "fontSize", "bgColor".
    bool ParseAttributes(const OMB_LmpNode* node) override;

    void SetLog(const OMB_MessageLog* log);
    // Positive shows older lines; clamped to the log.
    void ScrollBy(int lines);
    void Page(int pages) { ScrollBy(pages * std::max(1, VisibleLines() - 1)); }
    // Scrolls so that the first line added after the log's serial `serial`
    // is the top row (or, for fewer lines than fill the panel, follows).
    void ShowFrom(uint64_t serial);
    // Lines between the newest one and the bottom row (0: following).
    int Scroll() const { return m_scroll; }
    int VisibleLines() const;
    // The index of the log line drawn in the bottom row; -1 for an empty log.
    int BottomLine() const;

private:
    int LineHeight() const { return int(m_fontSize[1]) + 2; }

    const OMB_MessageLog* m_log = nullptr;
    uint64_t m_seen = 0;  // the log's serial when last drawn
    int m_scroll = 0;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_bgColor = kThemeConsoleBackground;
};

class UI_StatusLine : public UI_View {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    // "fontSize", "bgColor", "text" (the right-hand text).
    bool ParseAttributes(const OMB_LmpNode* node) override;

    void SetLog(const OMB_MessageLog* log) { m_log = log; }
    void SetRightText(const std::string& text);
    const std::string& RightText() const { return m_right; }
    // The line shown on the left; empty without one.
    std::string Message() const;

private:
    const OMB_MessageLog* m_log = nullptr;
    std::string m_right;
    float m_fontSize[2] = {8, 16};
    OMB_Color m_bgColor = kThemeStatusBackground;
};
