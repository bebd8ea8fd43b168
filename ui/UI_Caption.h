// UI_Caption: the look the two-state text widgets share (UI_TextOption,
// UI_TextSwitch): a text centred on a filled rectangle whose colours follow
// the widget's state (selected, under the pointer, normal), taken from one
// of the theme's style tables.
#pragma once

#include <string>

#include "ui/UI_Attributes.h"
#include "ui/UI_Theme.h"

struct OMB_LmpNode;
class UI_View;

struct UI_Caption {
    std::string text;
    float fontSize[2] = {8, 16};
    int style = 0;

    // "text", "fontSize" and "style" (one of `styles`; anything else is
    // style 0).
    void Parse(const OMB_LmpNode* node, const UI_Keyword* styles);
    // Fills the view's rectangle and writes the text with the colours of
    // the state: states[0] selected, [1] under the pointer, [2] normal.
    void Draw(UI_View& view, const UI_StateColors* states, bool selected) const;
};
