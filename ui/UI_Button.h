// Buttons: UI_Button (fires its "onClick" command line on press, or on a
// release over it when delayed; a repeated button keeps firing while held:
// once on the press, again 0.45 s later plus one tick, then every 0.05 s),
// UI_TextButton (a caption in one of three styles), UI_ColorButton (a
// swatch) and UI_SliderButton (a drag handle that issues relative changes:
// every "space" pixels of drag along the axis chosen by the first 3 pixels
// run "onDrag" followed by the change, step per space, as "%f").
#pragma once

#include <string>

#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

class UI_Button : public UI_View {
public:
    UI_DECLARE_CLASS()
    static constexpr double kFirstRepeat = 0.45;
    static constexpr double kRepeat = 0.05;

    bool LeftDown(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    void Tick(const UI_TickData& time) override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

    // Disabling also drops the press and a pending repetition.
    virtual void SetEnabled(bool enabled);
    // Runs onClick.
    virtual void Fire();
    void SetPressLine(const std::string& line) override { m_onClick = line; }

    bool IsEnabled() const { return !m_disabled; }

protected:
    bool m_delayed = false;
    bool m_repeated = false;
    bool m_disabled = false;
    bool m_pressed = false;
    bool m_repeatPending = false;
    double m_repeatTimer = 0;
    std::string m_onClick;
};

class UI_TextButton : public UI_Button {
public:
    UI_DECLARE_CLASS()
    enum Style : int { kNormal = 0, kDark = 1, kGrey = 2 };
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;

private:
    int m_style = kNormal;
    float m_fontSize[2] = {8, 16};
    std::string m_text;
};

class UI_ColorButton : public UI_Button {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    OMB_Color Color() const { return m_color; }
    void SetColor(OMB_Color color) {
        m_color = color;
        Invalidate();
    }

private:
    OMB_Color m_color = kThemeBlack;
};

class UI_SliderButton : public UI_View {
public:
    UI_DECLARE_CLASS()
    UI_SliderButton();
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    virtual void OnDrag(int x, int y);

private:
    float m_step = 0;
    int m_space = 1;
    bool m_dragging = false;
    int m_originX = 0, m_originY = 0;
    float m_steps = 0;
    int m_axis = -1;  // -1 undecided, 0 horizontal, 1 vertical
    std::string m_onDrag;
};
