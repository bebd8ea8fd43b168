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
#include "ui/UI_Theme.h"
#include "ui/UI_View.h"

// The input both sliders share: a press inside the rectangle starts a drag,
// the pointer's place across the rectangle picks the value while the button
// is held, and the wheel steps the value while no drag runs. (No class
// descriptor of its own: lookups see the sliders as plain views.)
class UI_SliderBase : public UI_View {
public:
    static constexpr float kWheelStep = 0.00625f;  // of the range per wheel unit (8 a notch)

    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    bool Wheel(const UI_MouseState& m) override;

protected:
    // The pointer is at `fraction` of the width (0 at the left edge).
    virtual void DragTo(float fraction) = 0;
    // The wheel turned by `units`.
    virtual void WheelBy(float units) = 0;

private:
    bool m_dragging = false;
};

class UI_Slider : public UI_SliderBase {
public:
    UI_DECLARE_CLASS()
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    // Clamps to 0..1; on a change stores it and runs onChange.
    void SetValue(float value);
    // Clamps and shows the value without running a command.
    void ShowValue(float value);
    float Value() const { return m_value; }

protected:
    void DragTo(float fraction) override { SetValue(fraction); }
    void WheelBy(float units) override { SetValue(m_value + units * kWheelStep); }

private:
    float m_value = 0;
    OMB_Color m_color = kThemeSliderFill;
    std::string m_onChange;
};

class UI_BGSlider : public UI_SliderBase {
public:
    UI_DECLARE_CLASS()
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

protected:
    void DragTo(float fraction) override;
    void WheelBy(float units) override;

private:
    int m_value = 0;
    int m_lo = 0, m_hi = 255;
    std::vector<OMB_Color> m_gradient;
};
