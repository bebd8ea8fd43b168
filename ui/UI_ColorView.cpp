// RGB and HSV colour views (see UI_ColorView.h).
#include "ui/UI_ColorView.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ui/UI_Attributes.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_RGBView, UI_Group)
UI_DEFINE_CLASS(UI_HSVView, UI_Group)

// ---------------------------------------------------------------- shared

UI_ColorView::UI_ColorView(const char* letters) : m_letters(letters) {
    for (UI_BGSlider*& slider : m_sliders) {
        slider = AddNew<UI_BGSlider>(nullptr);
        slider->SetMinSize(32, 8);
        slider->changedSignal.Connect(this, &UI_ColorView::OnSliderChanged);
    }
}

void UI_ColorView::Measure() {
    UI_Group::Measure();
    m_measured.height = 3 * m_measured.height + 2 * kGap;
    m_measured.width += kLabelWidth;
}

void UI_ColorView::Draw() {
    if (!Window()) return;
    Window()->Canvas().SetTextColor(kThemeQuietText);
    for (int i = 0; i < 3; ++i) {
        const OMB_Rect& row = m_sliders[i]->Rect();
        const float y = float(row.y0) + (float(row.Height()) - 16.0f) / 2;
        DrawString(m_letters + i, 1, float(m_rect.x0 + 2), y, 8, 16, UI_ALIGN_LEFT);
    }
}

void UI_ColorView::SetRect(const OMB_Rect& rect) {
    if (rect == m_rect) return;
    m_rect = rect;
    const float row = float(rect.Height() - 2 * kGap) / 3.0f;
    for (int i = 0; i < 3; ++i) {
        const int top = rect.y1 - int(std::floor(float(i) * (row + float(kGap))));
        const int bottom = top - int(std::floor(row)) + 1;
        m_sliders[i]->SetRect({rect.x0 + kLabelWidth, std::min(bottom, top), rect.x1, top});
    }
}

void UI_ColorView::ShowColor(OMB_Color rgb) {
    m_rgb = rgb | 0xff000000u;
    ToChannels(m_rgb, m_channels);
    for (int i = 0; i < 3; ++i) m_sliders[i]->ShowValue(m_channels[i]);
    UpdateGradients();
}

void UI_ColorView::OnSliderChanged(UI_View* slider, int value) {
    for (int i = 0; i < 3; ++i)
        if (m_sliders[i] == slider) m_channels[i] = value;
    m_rgb = FromChannels(m_channels);
    UpdateGradients();
    char text[48];
    std::snprintf(text, sizeof text, " %d %d %d", OMB_Red(m_rgb), OMB_Green(m_rgb), OMB_Blue(m_rgb));
    if (!m_onChange.empty()) RunCommand(m_onChange + text);
}

bool UI_ColorView::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Group::ParseAttributes(node)) return false;
    UI_ReadText(node, "onChange", m_onChange);
    OMB_Color rgb = m_rgb;
    if (UI_ReadColor(node, "rgb", rgb)) ShowColor(rgb);
    return true;
}

// ---------------------------------------------------------------- RGB

UI_RGBView::UI_RGBView() : UI_ColorView("RGB") {
    for (UI_BGSlider* s : m_sliders) s->SetRange(0, 255);
    UpdateGradients();
}

void UI_RGBView::ToChannels(OMB_Color rgb, int out[3]) const {
    out[0] = OMB_Red(rgb);
    out[1] = OMB_Green(rgb);
    out[2] = OMB_Blue(rgb);
}

OMB_Color UI_RGBView::FromChannels(const int c[3]) const { return OMB_RGBA(c[0], c[1], c[2]); }

void UI_RGBView::UpdateGradients() {
    for (int i = 0; i < 3; ++i) {
        int lo[3] = {m_channels[0], m_channels[1], m_channels[2]}, hi[3] = {lo[0], lo[1], lo[2]};
        lo[i] = 0;
        hi[i] = 255;
        const OMB_Color stops[2] = {FromChannels(lo), FromChannels(hi)};
        m_sliders[i]->SetGradient(stops, 2);
    }
}

// ---------------------------------------------------------------- HSV

void UI_RGBToHSV(OMB_Color rgb, int hsv[3]) {
    const int r = OMB_Red(rgb), g = OMB_Green(rgb), b = OMB_Blue(rgb);
    const int max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    float h = 0;
    if (d > 0) {
        if (max == r) h = 60.0f * std::fmod(float(g - b) / float(d) + 6.0f, 6.0f);
        else if (max == g) h = 60.0f * (float(b - r) / float(d) + 2.0f);
        else h = 60.0f * (float(r - g) / float(d) + 4.0f);
    }
    hsv[0] = int(std::lround(h)) % 360;
    hsv[1] = max > 0 ? int(std::lround(255.0f * float(d) / float(max))) : 0;
    hsv[2] = max;
}

OMB_Color UI_HSVToRGB(const int hsv[3]) {
    const float h = float(((hsv[0] % 360) + 360) % 360) / 60.0f;
    const float s = float(std::clamp(hsv[1], 0, 255)) / 255.0f, v = float(std::clamp(hsv[2], 0, 255));
    const int sector = int(h);
    const float f = h - float(sector);
    const float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    float r = v, g = t, b = p;
    switch (sector) {
        case 1: r = q, g = v, b = p; break;
        case 2: r = p, g = v, b = t; break;
        case 3: r = p, g = q, b = v; break;
        case 4: r = t, g = p, b = v; break;
        case 5: r = v, g = p, b = q; break;
        default: break;
    }
    return OMB_RGBA(int(std::lround(r)), int(std::lround(g)), int(std::lround(b)));
}

UI_HSVView::UI_HSVView() : UI_ColorView("HSV") {
    m_sliders[0]->SetRange(0, 359);
    m_sliders[1]->SetRange(0, 255);
    m_sliders[2]->SetRange(0, 255);
    UpdateGradients();
}

void UI_HSVView::ToChannels(OMB_Color rgb, int out[3]) const { UI_RGBToHSV(rgb, out); }

OMB_Color UI_HSVView::FromChannels(const int c[3]) const { return UI_HSVToRGB(c); }

void UI_HSVView::UpdateGradients() {
    OMB_Color hues[7];
    for (int i = 0; i < 7; ++i) {
        const int hsv[3] = {i * 60, m_channels[1], m_channels[2]};
        hues[i] = UI_HSVToRGB(hsv);
    }
    m_sliders[0]->SetGradient(hues, 7);
    for (int i = 1; i < 3; ++i) {
        int lo[3] = {m_channels[0], m_channels[1], m_channels[2]}, hi[3] = {lo[0], lo[1], lo[2]};
        lo[i] = 0;
        hi[i] = 255;
        const OMB_Color stops[2] = {UI_HSVToRGB(lo), UI_HSVToRGB(hi)};
        m_sliders[i]->SetGradient(stops, 2);
    }
}
