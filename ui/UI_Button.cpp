// Buttons (see UI_Button.h).
#include "ui/UI_Button.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/UI_Attributes.h"
#include "ui/UI_Theme.h"

UI_DEFINE_CLASS(UI_Button, UI_View)
UI_DEFINE_CLASS(UI_TextButton, UI_Button)
UI_DEFINE_CLASS(UI_ColorButton, UI_Button)
UI_DEFINE_CLASS(UI_SliderButton, UI_View)

// ---------------------------------------------------------------- button

bool UI_Button::LeftDown(const UI_MouseState& m) {
    if (m_disabled || m_pressed) return false;
    m_repeatTimer = 0;
    m_pressed = true;
    m_repeatPending = true;
    if (!m_delayed) Fire();
    Invalidate();
    return true;
}

bool UI_Button::LeftUp(const UI_MouseState& m) {
    if (m_disabled || !m_pressed) return false;
    m_pressed = false;
    if (m_delayed && IsHovered()) Fire();
    Invalidate();
    return true;
}

void UI_Button::Tick(const UI_TickData& time) {
    if (m_disabled || !m_pressed || m_delayed || !m_repeated) return;
    // A held button needs frames to keep its clock running.
    Invalidate();
    m_repeatTimer += time.now - time.previous;
    const double threshold = m_repeatPending ? kFirstRepeat : kRepeat;
    // Tick lengths add up with rounding errors; a hair below still counts.
    if (m_repeatTimer + 1e-9 < threshold) return;
    const bool wasPending = m_repeatPending;
    m_repeatPending = false;
    if (wasPending) return;
    m_repeatTimer = 0;
    Fire();
}

void UI_Button::SetEnabled(bool enabled) {
    m_disabled = !enabled;
    if (m_disabled) {
        m_pressed = m_repeatPending = false;
        m_repeatTimer = 0;
    }
    Invalidate();
}

void UI_Button::Fire() { RunCommand(m_onClick); }

bool UI_Button::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadBool(node, "delayed", m_delayed);
    UI_ReadBool(node, "repeated", m_repeated);
    bool disabled = m_disabled;
    if (UI_ReadBool(node, "disabled", disabled)) SetEnabled(!disabled);
    UI_ReadText(node, "onClick", m_onClick);
    return true;
}

// ---------------------------------------------------------------- text button

namespace {
const UI_Keyword kButtonStyles[] = {{"dark", 1}, {"gr", 2}, {nullptr, 0}};
}  // namespace

void UI_TextButton::Draw() {
    // A text button's table starts with its disabled state.
    const int state = IsEnabled() ? 1 + UI_StateOf(m_pressed, IsHovered()) : 0;
    const UI_StateColors& c = UI_ThemeRow(kThemeButton, m_style)[state];
    FillRect(c.background, m_rect);
    DrawText(m_text.c_str(), c.text, m_rect, m_fontSize[0], m_fontSize[1], UI_ALIGN_CENTER);
}

bool UI_TextButton::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Button::ParseAttributes(node)) return false;
    UI_ReadText(node, "text", m_text);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadKeyword(node, "style", kButtonStyles, kNormal, m_style);
    return true;
}

// ---------------------------------------------------------------- colour button

void UI_ColorButton::Draw() { FillRect(m_color, m_rect); }

bool UI_ColorButton::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Button::ParseAttributes(node)) return false;
    UI_ReadColor(node, "color", m_color);
    return true;
}

// ---------------------------------------------------------------- slider button

UI_SliderButton::UI_SliderButton() { m_hint = "Drag Button to Change Value"; }

bool UI_SliderButton::LeftDown(const UI_MouseState& m) {
    if (m_dragging) return false;
    m_dragging = true;
    m_originX = m.x;
    m_originY = m.y;
    m_steps = 0;
    m_axis = -1;
    Invalidate();
    return true;
}

bool UI_SliderButton::LeftDrag(const UI_MouseState& m) {
    if (!m_dragging) return false;
    OnDrag(m.x, m.y);
    return true;
}

bool UI_SliderButton::LeftUp(const UI_MouseState& m) {
    if (!m_dragging) return false;
    m_dragging = false;
    Invalidate();
    return true;
}

void UI_SliderButton::OnDrag(int x, int y) {
    const int dx = x - m_originX, dy = y - m_originY;
    if (m_axis < 0) {
        if (std::max(std::abs(dx), std::abs(dy)) < 3) return;
        m_axis = std::abs(dy) < std::abs(dx) ? 0 : 1;
    }
    const int n = (m_axis == 0 ? dx : dy) / m_space;
    if (float(n) == m_steps) return;
    const float delta = (float(n) - m_steps) * m_step;
    m_steps = float(n);
    char text[64];
    std::snprintf(text, sizeof text, " %f", double(delta));
    RunCommand(m_onDrag + text);
}

void UI_SliderButton::Draw() {
    FillRect(kThemeSliderButton[UI_StateOf(m_dragging, IsHovered())], m_rect);
}

bool UI_SliderButton::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadText(node, "onDrag", m_onDrag);
    UI_ReadFloat(node, "step", m_step);
    if (UI_ReadInt(node, "space", m_space)) m_space = std::max(m_space, 1);
    return true;
}
