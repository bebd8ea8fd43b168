// Attribute value readers (see UI_Attributes.h).
#include "ui/UI_Attributes.h"

#include <algorithm>
#include <cmath>

#include "core/OMB_Lexer.h"
#include "core/OMB_LmpParser.h"
#include "ui/UI_View.h"

const OMB_LmpNode* UI_FindAttribute(const OMB_LmpNode* node, const char* name) {
    return OMB_LmpParser::FindAttribute(node, name);
}

bool UI_ReadText(const OMB_LmpNode* node, const char* name, std::string& out) {
    const OMB_LmpNode* a = UI_FindAttribute(node, name);
    if (a) out = a->value;
    return a != nullptr;
}

void UI_ReadSelectCommands(const OMB_LmpNode* node, std::string& onSelect, std::string& onDeselect) {
    UI_ReadText(node, "onSelect", onSelect);
    UI_ReadText(node, "onDeselect", onDeselect);
    std::string click;
    if (UI_ReadText(node, "onClick", click)) {
        onSelect = click + " 1";
        onDeselect = click + " 0";
    }
}

bool UI_ReadBool(const OMB_LmpNode* node, const char* name, bool& out) {
    int value = 0;
    if (!UI_ReadInt(node, name, value)) return false;
    out = value != 0;
    return true;
}

bool UI_ReadInt(const OMB_LmpNode* node, const char* name, int& out) {
    return UI_ReadInts(node, name, &out, 1);
}

bool UI_ReadFloat(const OMB_LmpNode* node, const char* name, float& out) {
    return UI_ReadFloats(node, name, &out, 1);
}

bool UI_ReadInts(const OMB_LmpNode* node, const char* name, int* out, int count) {
    const OMB_LmpNode* a = UI_FindAttribute(node, name);
    if (!a) return false;
    OMB_Lexer lexer(a->value.c_str(), 0);
    bool reading = true;
    for (int i = 0; i < count; ++i) {
        int32_t value = 0;
        reading = reading && lexer.ReadInt(value);
        out[i] = reading ? value : 0;
    }
    return true;
}

bool UI_ReadFloats(const OMB_LmpNode* node, const char* name, float* out, int count) {
    const OMB_LmpNode* a = UI_FindAttribute(node, name);
    if (!a) return false;
    OMB_Lexer lexer(a->value.c_str(), 0);
    bool reading = true;
    for (int i = 0; i < count; ++i) {
        float value = 0;
        reading = reading && lexer.ReadFloat(value);
        out[i] = reading && std::isfinite(value) ? value : 0;
    }
    return true;
}

bool UI_ReadFontSize(const OMB_LmpNode* node, float size[2]) {
    if (!UI_ReadFloats(node, "fontSize", size, 2)) return false;
    for (int i = 0; i < 2; ++i) size[i] = std::clamp(size[i], 1.0f, 256.0f);
    return true;
}

OMB_Color UI_ParseColor(const char* text) {
    int rgba[4] = {0, 0, 0, 255};
    OMB_Lexer lexer(text ? text : "", 0);
    for (int& channel : rgba) {
        int32_t value = 0;
        if (!lexer.ReadInt(value)) break;
        channel = std::clamp(value, 0, 255);
    }
    return OMB_RGBA(rgba[0], rgba[1], rgba[2], rgba[3]);
}

bool UI_ReadColor(const OMB_LmpNode* node, const char* name, OMB_Color& out) {
    const OMB_LmpNode* a = UI_FindAttribute(node, name);
    if (a) out = UI_ParseColor(a->value.c_str());
    return a != nullptr;
}

bool UI_ReadKeyword(const OMB_LmpNode* node, const char* name, const UI_Keyword* words, int fallback, int& out) {
    const OMB_LmpNode* a = UI_FindAttribute(node, name);
    if (!a) return false;
    out = fallback;
    for (const UI_Keyword* w = words; w && w->word; ++w)
        if (UI_SameText(a->value.c_str(), w->word)) {
            out = w->value;
            break;
        }
    return true;
}
