// Shared pieces of the sprite exporters (TK_Plugin_2D, TK_Plugin_Iso): the
// reading of their configuration sections, the checks a model must pass
// before it is drawn, the silhouette outline and the PNG write.
//
// The rule they keep: every number that sizes a picture is clamped when it
// is read and again when it is used, so no option value can make an image
// larger than the bounds of TK_ImageFile.h.
#pragma once

#include <cstdint>
#include <string>

#include "model/Image.h"
#include "model/TK_Model.h"

struct OMB_LmpNode;

// Colour of the outline ring, and the one written where nothing is.
constexpr uint32_t kSpriteOutlineColour = 0xFF000000u;  // opaque black
constexpr uint32_t kSpriteClear = 0;

// Value readers of one section; a missing key, a null section or a value
// that is not a number (an integer for Int and Bool) leaves `value` as it
// is. A boolean is any integer other than 0. The caller clamps.
void TK_ReadSpriteInt(const OMB_LmpNode* section, const char* key, int& value);
void TK_ReadSpriteBool(const OMB_LmpNode* section, const char* key, bool& value);
void TK_ReadSpriteNumber(const OMB_LmpNode* section, const char* key, float& value);

// `value` within [lo, hi]; NaN becomes lo.
float TK_ClampSpriteNumber(float value, float lo, float hi);

// True when the model has a size of 1..kMaxModelSize per axis and at least
// one voxel inside it; the exporters draw nothing (and write nothing)
// otherwise.
bool TK_IsSpriteDrawable(const TK_Model& model);

// One RGBA pixel written as the bytes R, G, B, A of a palette-style word.
inline void TK_PutSpritePixel(uint8_t* pixel, uint32_t colour) {
    pixel[0] = uint8_t(colour);
    pixel[1] = uint8_t(colour >> 8);
    pixel[2] = uint8_t(colour >> 16);
    pixel[3] = uint8_t(colour >> 24);
}

// A palette colour with R, G and B times `factor` (0..1), rounded; alpha
// opaque.
uint32_t TK_ScaleSpriteColour(uint32_t colour, float factor);
// A palette colour moved `amount` (0..1) of the way to white; alpha opaque.
uint32_t TK_LightenSpriteColour(uint32_t colour, float amount);

// Turns every pixel that is not fully opaque but touches a fully opaque one
// (the eight neighbours count) into kSpriteOutlineColour: a closed ring of
// one pixel outside the silhouette. The caller leaves a free border of one
// pixel so the ring is never cut by the image edge.
void TK_AddSpriteOutline(Image& image);

// The RGBA image as a PNG file, written through a temporary file renamed
// into place; false for an empty path, a failed encode or a failed write.
bool TK_SaveSprite(const std::string& path, const Image& image);
