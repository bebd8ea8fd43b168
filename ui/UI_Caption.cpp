// The shared caption of options and text switches (see UI_Caption.h).
#include "ui/UI_Caption.h"

#include "ui/UI_View.h"

void UI_Caption::Parse(const OMB_LmpNode* node, const UI_Keyword* styles) {
    UI_ReadText(node, "text", text);
    UI_ReadFontSize(node, fontSize);
    UI_ReadKeyword(node, "style", styles, 0, style);
}

void UI_Caption::Draw(UI_View& view, const UI_StateColors* states, bool selected) const {
    const UI_StateColors& c = states[UI_StateOf(selected, view.IsHovered())];
    view.FillRect(c.background, view.Rect());
    view.DrawText(text.c_str(), c.text, view.Rect(), fontSize[0], fontSize[1], UI_ALIGN_CENTER);
}
