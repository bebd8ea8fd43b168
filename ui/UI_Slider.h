// Sliders. UI_Slider holds a value from 0 to 1 set by clicking or dragging
// across it (or the wheel, 0.05 per notch) and runs "onChange" followed by
// the value as "%f". UI_BGSlider holds an integer in a range over a
// background gradient (set by its owner, a colour view) and announces every
// change through changedSignal instead of running a command.
//
// Both draw through the frame's quad batch like every other widget, so text
// drawn by other views stays above them.
#pragma once

#include <string>
#include <vector>

#include "core/OMB_Signal.h"
#include "ui/UI_View.h"

class UI_Slider : public UI_View {
public:
    UI_DECLARE_CLASS()
    static constexpr float kWheelStep = 0.00625f;  // per wheel unit (8 a notch)

    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    bool Wheel(const UI_MouseState& m) override;
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Clamps to 0..1; on a change stores it and runs onChange.
    void SetValue(float value);
    // Clamps and shows the value without running a command.
    void ShowValue(float value);
    float Value() const { return m_value; }

private:
    float ValueAt(int x) const;

    float m_value = 0;
    bool m_dragging = false;
    OMB_Color m_color = OMB_RGBA(46, 169, 223);
    std::string m_onChange;
};

class UI_BGSlider : public UI_View {
public:
    UI_DECLARE_CLASS()
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    bool Wheel(const UI_MouseState& m) override;
    void Draw() override;
    // "range" (lo hi), "value".
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Clamps into the range; on a change stores it and emits changedSignal.
    void SetValue(int value);
    // Changes the value without a signal (the owner showing a colour).
    void ShowValue(int value);
    int Value() const { return m_value; }
    void SetRange(int lo, int hi);
    // Colours spread evenly from left to right (two or more).
    void SetGradient(const OMB_Color* colors, int count);

    OMB_Signal2<UI_View*, int> changedSignal;

private:
    int ValueAt(int x) const;

    int m_value = 0;
    int m_lo = 0, m_hi = 255;
    bool m_dragging = false;
    std::vector<OMB_Color> m_gradient;
};
