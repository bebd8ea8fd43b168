// UI_Theme: every colour the toolkit draws with unless a description says
// otherwise ("bgColor", "fontColor", "color"), in one place, so a palette
// change of the user interface is this file. Widgets name what they draw
// (a slider's track, a list's selected row); the captions of buttons,
// switches and options take one style table each, indexed by the widget's
// "style" and its state.
#pragma once

#include <cstddef>

#include "core/OMB_Rect.h"

// Background and text of a caption in one state.
struct UI_StateColors {
    OMB_Color background, text;
};

// The state a widget shows, read one way by every widget: the theme's state
// tables hold these in this order (text buttons first hold a disabled one).
enum UI_VisualState { UI_STATE_ACTIVE = 0, UI_STATE_HOVER = 1, UI_STATE_NORMAL = 2 };
inline int UI_StateOf(bool active, bool hover) { return active ? UI_STATE_ACTIVE : hover ? UI_STATE_HOVER : UI_STATE_NORMAL; }

// The row of a style table for a widget's "style"; the first for a style
// the table does not have.
template <typename Row, size_t N>
const Row& UI_ThemeRow(const Row (&table)[N], int style) {
    return table[style >= 0 && size_t(style) < N ? size_t(style) : 0];
}

// ---- Shared shades.
constexpr OMB_Color kThemeAccent = OMB_RGBA(0, 180, 235);  // pressed, dragged, open
constexpr OMB_Color kThemeBlack = OMB_RGBA(0, 0, 0);
constexpr OMB_Color kThemeWhite = OMB_RGBA(255, 255, 255);
constexpr OMB_Color kThemeClear = OMB_RGBA(0, 0, 0, 0);  // alpha 0: nothing drawn
// The editor window's base colour, behind every panel (red, green, blue).
constexpr float kThemeWindowBackground[3] = {0.11f, 0.115f, 0.125f};

// ---- Text buttons: [style: normal, dark, gr][disabled, pressed, hover, normal].
constexpr UI_StateColors kThemeButton[3][4] = {
    {{OMB_RGBA(200, 210, 210), OMB_RGBA(120, 120, 120, 200)},
     {OMB_RGBA(175, 220, 235), OMB_RGBA(20, 20, 20, 200)},
     {OMB_RGBA(200, 220, 220), OMB_RGBA(20, 20, 20, 200)},
     {OMB_RGBA(170, 180, 180), OMB_RGBA(20, 20, 20, 200)}},
    {{OMB_RGBA(120, 120, 120), OMB_RGBA(180, 180, 180, 200)},
     {OMB_RGBA(60, 60, 60), OMB_RGBA(255, 255, 255, 210)},
     {OMB_RGBA(100, 100, 100), OMB_RGBA(255, 255, 255, 210)},
     {OMB_RGBA(80, 80, 80), OMB_RGBA(255, 255, 255, 210)}},
    {{OMB_RGBA(100, 100, 100), OMB_RGBA(180, 180, 180, 200)},
     {OMB_RGBA(45, 45, 45), OMB_RGBA(255, 255, 255, 255)},
     {OMB_RGBA(90, 90, 90), OMB_RGBA(255, 255, 255, 255)},
     {OMB_RGBA(65, 65, 65), OMB_RGBA(255, 255, 255, 210)}},
};

// ---- Two-state captions: [style][selected, hover, normal].
// Options: normal, dark, bw, gr.
constexpr UI_StateColors kThemeOption[4][3] = {
    {{OMB_RGBA(120, 185, 210), OMB_RGBA(20, 20, 20, 230)},
     {OMB_RGBA(200, 220, 220), OMB_RGBA(20, 20, 20, 200)},
     {OMB_RGBA(170, 180, 180), OMB_RGBA(20, 20, 20, 200)}},
    {{OMB_RGBA(40, 40, 40), OMB_RGBA(255, 255, 255, 255)},
     {OMB_RGBA(100, 100, 100), OMB_RGBA(255, 255, 255, 180)},
     {OMB_RGBA(80, 80, 80), OMB_RGBA(255, 255, 255, 130)}},
    {{OMB_RGBA(20, 20, 20), OMB_RGBA(255, 255, 255)},
     {OMB_RGBA(235, 235, 235), OMB_RGBA(20, 20, 20, 220)},
     {OMB_RGBA(210, 210, 210), OMB_RGBA(20, 20, 20, 220)}},
    {{OMB_RGBA(45, 45, 45), kThemeAccent},
     {OMB_RGBA(90, 90, 90), OMB_RGBA(255, 255, 255, 230)},
     {OMB_RGBA(65, 65, 65), OMB_RGBA(255, 255, 255, 180)}},
};
// Text switches: normal, dark, bw.
constexpr UI_StateColors kThemeTextSwitch[3][3] = {
    {{OMB_RGBA(120, 185, 210), OMB_RGBA(20, 20, 20, 220)},
     {OMB_RGBA(200, 220, 220), OMB_RGBA(20, 20, 20, 220)},
     {OMB_RGBA(170, 180, 180), OMB_RGBA(20, 20, 20, 220)}},
    {{OMB_RGBA(60, 60, 60), OMB_RGBA(255, 255, 255, 255)},
     {OMB_RGBA(100, 100, 100), OMB_RGBA(255, 255, 255, 180)},
     {OMB_RGBA(80, 80, 80), OMB_RGBA(255, 255, 255, 130)}},
    {{OMB_RGBA(20, 20, 20), OMB_RGBA(255, 255, 255)},
     {OMB_RGBA(235, 235, 235), OMB_RGBA(20, 20, 20, 220)},
     {OMB_RGBA(210, 210, 210), OMB_RGBA(20, 20, 20, 220)}},
};
// Side switches: [normal, dark][pressed, hover, normal]; the normal style's
// text is the switch's "fontColor".
constexpr UI_StateColors kThemeSideSwitch[2][3] = {
    {{OMB_RGBA(60, 60, 60), 0}, {OMB_RGBA(100, 100, 100), 0}, {OMB_RGBA(80, 80, 80), 0}},
    {{OMB_RGBA(30, 30, 30), OMB_RGBA(240, 240, 240, 220)},
     {OMB_RGBA(60, 60, 60), OMB_RGBA(240, 240, 240, 220)},
     {OMB_RGBA(45, 45, 45), OMB_RGBA(180, 180, 180, 220)}},
};
constexpr OMB_Color kThemeSwitchText = OMB_RGBA(255, 255, 255, 220);
constexpr OMB_Color kThemePanelHeader = OMB_RGBA(50, 50, 50);

// ---- Slider button: [dragging, hover, normal].
constexpr OMB_Color kThemeSliderButton[3] = {kThemeAccent, OMB_RGBA(100, 100, 100), OMB_RGBA(80, 80, 80)};

// ---- Sliders.
constexpr OMB_Color kThemeSliderTrack = OMB_RGBA(50, 50, 50);
constexpr OMB_Color kThemeSliderFill = OMB_RGBA(46, 169, 223);
constexpr OMB_Color kThemeGradientNone = OMB_RGBA(128, 128, 128);  // a colour slider without its gradient
constexpr OMB_Color kThemeGradientMarker = kThemeBlack;

// ---- The message log and the status line: text by kind, backgrounds.
constexpr OMB_Color kThemeMessageError = OMB_RGBA(255, 100, 90);
constexpr OMB_Color kThemeMessageWarning = OMB_RGBA(250, 200, 80);
constexpr OMB_Color kThemeMessageInfo = OMB_RGBA(215, 218, 225);
constexpr OMB_Color kThemeConsoleBackground = OMB_RGBA(18, 19, 22);
constexpr OMB_Color kThemeStatusBackground = OMB_RGBA(30, 32, 36);
// ---- The window's own file dialog.
constexpr OMB_Color kThemeDialogBackground = OMB_RGBA(32, 34, 38);
// ---- The colour editor's row names ("R", "G", "B"...), and the quieter
// captions of the panels.
constexpr OMB_Color kThemeQuietText = OMB_RGBA(150, 150, 150);
// ---- The 3D view's stroke cursor: cells to attach, cells to carve.
constexpr OMB_Color kThemeAttachCursor = OMB_RGBA(90, 230, 120);
constexpr OMB_Color kThemeCarveCursor = OMB_RGBA(255, 40, 40);

// ---- Labels.
constexpr OMB_Color kThemeLabelText = OMB_RGBA(255, 255, 255, 230);

// ---- Text fields.
constexpr OMB_Color kThemeFieldBackground = OMB_RGBA(25, 25, 25);
constexpr OMB_Color kThemeFieldText = OMB_RGBA(235, 235, 235);
constexpr OMB_Color kThemeFieldBorder = OMB_RGBA(90, 90, 90);
constexpr OMB_Color kThemeFieldBorderFocused = OMB_RGBA(0, 160, 215);
constexpr OMB_Color kThemeFieldSelection = OMB_RGBA(40, 100, 150);
constexpr int kThemeFieldPlaceholderAlpha = 110;  // the "default" text, over the text colour

// ---- Lists.
constexpr OMB_Color kThemeListBackground = OMB_RGBA(40, 40, 40);
constexpr OMB_Color kThemeListText = OMB_RGBA(230, 230, 230, 230);
constexpr OMB_Color kThemeListSelection = OMB_RGBA(0, 120, 170);

// ---- Palette.
constexpr OMB_Color kThemePaletteBackground = OMB_RGBA(30, 30, 30);
constexpr OMB_Color kThemeSwatchOutline = kThemeBlack;
constexpr OMB_Color kThemeSwatchSelected = kThemeWhite;
constexpr OMB_Color kThemeSwatchDropTarget = kThemeAccent;
