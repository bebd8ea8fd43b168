// TK_SettingTable: every key of "set" and "add" as one row: its word, the
// field of TK_Settings it writes, the range it is clamped to, what the
// renderers and the listeners are told when it changes, the tag it carries
// in a model file's look (the scene settings a model keeps) and the widget
// of the editor window that shows it. The settings command, the look's
// reader and writer, the widget bindings and the path tracer all read these
// rows, so a new setting is a field of TK_Settings and one row here.
//
// Rule: a range lives only in its row; whoever stores a number into a
// field clamps it with the row's Clamp.
#pragma once

#include <cstdint>
#include <string>

#include "model/TK_Settings.h"

// How "set" reads the values after the key and how it stores them.
enum class TK_SettingArg {
    Flag,         // an integer stored as 0 or 1
    Int,          // an integer, clamped
    Float,        // a number, clamped
    Word,         // one word of the row's list, stored as its index
    Image,        // two integers
    DisplayFlag,  // "r_show" NAME VALUE, NAME one of the row's words
    Color,        // "r_color" grd|edge INDEX
    Prim,         // "pt_prim" NAME: a word that fails when it is the current one
    LightColor,   // "pt_sun_col", "pt_sky_col": no value, the current colour
    Material,     // "pt_mtl" WORD NUMBER
    Mode,         // "pt" VALUE
};

// Changes whose restart depends on other settings.
enum class TK_SettingRule {
    Plain,
    Shadow,  // shows only with the sun on and the tracer's shadow flag set
};

// How the widget of a setting shows its value.
enum class TK_SettingShow {
    None,    // no widget
    Slider,  // the number (a stepped slider: the nearest step)
    Whole,   // text: the number without decimals
    Tenths,  // text: the number with one decimal
    Color,   // the colour field
    Option,  // the option named by the row's word at the stored index
    Switch,  // selected while the value is not 0
};

// The listeners' message after a "set" of the key (model/TK_Notify.h).
struct TK_SettingNotice {
    int kind = -1;  // a TK_NotifyKind; -1: nobody is told
    int value = 0;
};

constexpr int kMaxBounces = 11;
constexpr int kMaxImageSide = 8192;

// The words of "pt_prim" in TK_TracerPrim order, and of "r_show" in bit
// order ("edge" is 0x1, "ambient" 0x100).
inline constexpr const char* kTracerPrimWords[kTracerPrimCount + 1] = {"cube", "sphr", "cyli", "lego",
                                                                       "mc",   "re",   "rg",   nullptr};
inline constexpr const char* kRasterFlagWords[] = {"edge",   "grid", "frame", "face",    "shadow",
                                                   "ground", "mode", "bg",    "ambient", nullptr};

struct TK_Setting {
    const char* word = nullptr;
    TK_SettingArg arg = TK_SettingArg::Int;
    // The field, one of the three, or none for the keys with their own rules.
    int TK_Settings::*intField = nullptr;
    float TK_Settings::*floatField = nullptr;
    uint8_t (TK_Settings::*colorField)[3] = nullptr;
    float lo = 0, hi = 0;
    int change = 0;  // TK_RenderChange bits sent when the value changes
    TK_SettingNotice notice;
    bool addable = false;  // "add" takes the key
    const char* const* words = nullptr;
    TK_SettingRule rule = TK_SettingRule::Plain;
    uint32_t tag = 0;  // its tag in a model file's look; 0: the model keeps none
    const char* widget = nullptr;
    TK_SettingShow show = TK_SettingShow::None;

    // The value as the key stores it: a flag 0 or 1, otherwise in range.
    double Clamp(double v) const;
};

// Every row; the look chunk lists the tagged ones in this order.
struct TK_SettingRows {
    const TK_Setting* first;
    const TK_Setting* last;
    const TK_Setting* begin() const { return first; }
    const TK_Setting* end() const { return last; }
};
TK_SettingRows TK_SettingTable();

// The row of a word; null for a word that is no key.
const TK_Setting* TK_FindSetting(const std::string& word);
