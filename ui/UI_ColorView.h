// Colour views: three UI_BGSliders over gradients that preview each
// channel's range. UI_RGBView edits red, green and blue (0..255); UI_HSVView
// hue (0..359), saturation and value (0..255). "rgb" shows a colour without
// running anything; dragging a slider runs "onChange" followed by the new
// colour as three numbers "r g b". The sliders are the view's own children,
// stacked top to bottom, each after the letter of its channel (R G B, H S V).
#pragma once

#include <string>

#include "ui/UI_Group.h"
#include "ui/UI_Slider.h"

class UI_ColorView : public UI_Group {
public:
    static constexpr int kGap = 2;           // pixels between the sliders
    static constexpr int kLabelWidth = 14;  // the channel letters' column

    // `letters`: the three channel letters, top row first.
    explicit UI_ColorView(const char* letters);
    // Three rows instead of one shared area.
    void SetRect(const OMB_Rect& rect) override;
    void Measure() override;
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    OMB_Color Color() const { return m_rgb; }
    UI_BGSlider* Slider(int i) const { return m_sliders[i]; }
    void OnSliderChanged(UI_View* slider, int value);
    // Shows the colour without running onChange.
    void ShowColor(OMB_Color rgb);

protected:
    // The channel values of a colour, and back.
    virtual void ToChannels(OMB_Color rgb, int out[3]) const = 0;
    virtual OMB_Color FromChannels(const int channels[3]) const = 0;
    virtual void UpdateGradients() = 0;

    UI_BGSlider* m_sliders[3] = {};
    const char* m_letters;
    int m_channels[3] = {0, 0, 0};
    OMB_Color m_rgb = kThemeBlack;
    std::string m_onChange;
};

class UI_RGBView : public UI_ColorView {
public:
    UI_DECLARE_CLASS()
    UI_RGBView();

protected:
    void ToChannels(OMB_Color rgb, int out[3]) const override;
    OMB_Color FromChannels(const int channels[3]) const override;
    void UpdateGradients() override;
};

class UI_HSVView : public UI_ColorView {
public:
    UI_DECLARE_CLASS()
    UI_HSVView();

protected:
    void ToChannels(OMB_Color rgb, int out[3]) const override;
    OMB_Color FromChannels(const int channels[3]) const override;
    void UpdateGradients() override;
};

// Hue 0..359, saturation and value 0..255.
void UI_RGBToHSV(OMB_Color rgb, int hsv[3]);
OMB_Color UI_HSVToRGB(const int hsv[3]);
