// The value syntaxes of view attributes in UI descriptions (and in "ui_set"
// at run time). Each reader looks the attribute up by name (any case, first
// match) and returns true when it is present, after storing the value; an
// absent attribute leaves the target unchanged. Numbers are read with the
// lexer, separated by blanks.
//   text     the value as it stands
//   bool     one integer, non-zero is true; unreadable is false
//   int      one integer; unreadable is 0
//   float    one number; unreadable (or not finite) is 0
//   ints N / floats N   N numbers; reading stops at the first failure, which
//            and all later ones become 0
//   colour   up to four integers r g b a, each clamped to 0..255, replacing
//            the components of opaque black in order
//   keyword  compared without case against a list; otherwise the default
#pragma once

#include <string>

#include "core/OMB_Rect.h"

struct OMB_LmpNode;

struct UI_Keyword {
    const char* word;
    int value;
};

const OMB_LmpNode* UI_FindAttribute(const OMB_LmpNode* node, const char* name);
bool UI_ReadText(const OMB_LmpNode* node, const char* name, std::string& out);
bool UI_ReadBool(const OMB_LmpNode* node, const char* name, bool& out);
// The two-state commands of switches and options: "onSelect", "onDeselect",
// or the "onClick" shorthand (its text + " 1" / + " 0"), which wins.
void UI_ReadSelectCommands(const OMB_LmpNode* node, std::string& onSelect, std::string& onDeselect);
bool UI_ReadInt(const OMB_LmpNode* node, const char* name, int& out);
bool UI_ReadFloat(const OMB_LmpNode* node, const char* name, float& out);
bool UI_ReadInts(const OMB_LmpNode* node, const char* name, int* out, int count);
bool UI_ReadFloats(const OMB_LmpNode* node, const char* name, float* out, int count);
bool UI_ReadColor(const OMB_LmpNode* node, const char* name, OMB_Color& out);
// `words` ends with an entry whose word is null.
bool UI_ReadKeyword(const OMB_LmpNode* node, const char* name, const UI_Keyword* words, int fallback, int& out);

// Layout sizes from descriptions are kept within this many pixels, so sums
// over any tree stay far from integer overflow.
constexpr int kUI_MaxPixels = 1 << 16;
// "fontSize" (floats 2), each kept within 1..256 pixels.
bool UI_ReadFontSize(const OMB_LmpNode* node, float size[2]);

// The colour syntax on a bare text (also used by widgets' own "rgb" values).
OMB_Color UI_ParseColor(const char* text);
