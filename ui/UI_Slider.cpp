// Sliders (see UI_Slider.h).
#include "ui/UI_Slider.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/UI_Attributes.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Slider, UI_View)
UI_DEFINE_CLASS(UI_BGSlider, UI_View)

// ---------------------------------------------------------------- shared input

bool UI_SliderBase::LeftDown(const UI_MouseState& m) {
    if (m_dragging || !m_rect.Contains(m.x, m.y)) return false;
    m_dragging = true;
    return LeftDrag(m);
}

bool UI_SliderBase::LeftDrag(const UI_MouseState& m) {
    if (!m_dragging) return false;
    DragTo(float(m.x - m_rect.x0) / float(std::max(m_rect.Width(), 1)));
    return true;
}

bool UI_SliderBase::LeftUp(const UI_MouseState& m) {
    if (!m_dragging) return false;
    m_dragging = false;
    return true;
}

bool UI_SliderBase::Wheel(const UI_MouseState& m) {
    if (m_dragging) return false;
    WheelBy(m.wheel - m.prevWheel);
    return true;
}

// ---------------------------------------------------------------- slider

void UI_Slider::SetValue(float value) {
    value = std::clamp(value, 0.0f, 1.0f);
    if (value == m_value) return;
    m_value = value;
    char text[48];
    std::snprintf(text, sizeof text, " %f", double(value));
    RunCommand(m_onChange + text);
    Invalidate();
}

void UI_Slider::Draw() {
    FillRect(kThemeSliderTrack, m_rect);
    const int filled = int(m_value * float(m_rect.Width()));
    if (filled > 0) FillRect(m_color, {m_rect.x0, m_rect.y0, m_rect.x0 + filled - 1, m_rect.y1});
}

void UI_Slider::ShowValue(float value) {
    m_value = std::clamp(value, 0.0f, 1.0f);
    Invalidate();
}

bool UI_Slider::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    float value = m_value;
    // A value from the description shows; it runs no command.
    if (UI_ReadFloat(node, "value", value)) ShowValue(value);
    UI_ReadText(node, "onChange", m_onChange);
    UI_ReadColor(node, "color", m_color);
    Invalidate();
    return true;
}

// ---------------------------------------------------------------- background slider

void UI_BGSlider::DragTo(float fraction) { SetValue(m_lo + int(std::floor(fraction * float(m_hi - m_lo)))); }

void UI_BGSlider::WheelBy(float units) { SetValue(m_value + int(units * float(m_hi - m_lo) * kWheelStep)); }

void UI_BGSlider::SetValue(int value) {
    value = std::clamp(value, m_lo, m_hi);
    if (value == m_value) return;
    m_value = value;
    Invalidate();
    changedSignal.Emit(this, value);
}

void UI_BGSlider::ShowValue(int value) {
    m_value = std::clamp(value, m_lo, m_hi);
    Invalidate();
}

void UI_BGSlider::SetRange(int lo, int hi) {
    m_lo = std::min(lo, hi);
    m_hi = std::max(lo, hi);
    m_value = std::clamp(m_value, m_lo, m_hi);
}

void UI_BGSlider::SetGradient(const OMB_Color* colors, int count) {
    m_gradient.assign(colors, colors + std::max(count, 0));
    Invalidate();
}

void UI_BGSlider::Draw() {
    if (!m_window) return;
    if (m_gradient.size() >= 2)
        m_window->Canvas().FillGradient(m_gradient.data(), int(m_gradient.size()), m_rect);
    else
        FillRect(m_gradient.empty() ? kThemeGradientNone : m_gradient[0], m_rect);
    const float span = float(std::max(m_hi - m_lo, 1));
    const int x = m_rect.x0 + int(float(m_value - m_lo) / span * float(m_rect.Width())) - 1;
    FillRect(kThemeGradientMarker, {std::max(x, m_rect.x0), m_rect.y0, std::min(x + 1, m_rect.x1), m_rect.y1});
}

bool UI_BGSlider::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    int range[2] = {m_lo, m_hi};
    if (UI_ReadInts(node, "range", range, 2))
        SetRange(std::clamp(range[0], -kUI_MaxPixels, kUI_MaxPixels), std::clamp(range[1], -kUI_MaxPixels, kUI_MaxPixels));
    int value = m_value;
    if (UI_ReadInt(node, "value", value)) ShowValue(value);
    return true;
}
