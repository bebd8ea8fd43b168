// Shared pieces of the sprite exporters (see TK_Sprite.h).
#include "plugins/TK_Sprite.h"

#include <cmath>
#include <vector>

#include "core/OMB_Lexer.h"
#include "core/OMB_LmpParser.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_PNG.h"

// NodeInt reads an unreadable value as 0, which would pass for a real
// setting; the lexer tells the two apart.
void TK_ReadSpriteInt(const OMB_LmpNode* section, const char* key, int& value) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, key);
    if (!node) return;
    OMB_Lexer lexer(node->value.c_str(), 0);
    int32_t read = 0;
    if (lexer.ReadInt(read)) value = read;
}

void TK_ReadSpriteBool(const OMB_LmpNode* section, const char* key, bool& value) {
    int number = value ? 1 : 0;
    TK_ReadSpriteInt(section, key, number);
    value = number != 0;
}

void TK_ReadSpriteNumber(const OMB_LmpNode* section, const char* key, float& value) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(section, key);
    float read = 0;
    if (node && OMB_LmpParser::ParseFloats(node->value.c_str(), 1, &read)) value = read;
}

float TK_ClampSpriteNumber(float value, float lo, float hi) {
    return value >= lo ? (value <= hi ? value : hi) : lo;
}

bool TK_IsSpriteDrawable(const TK_Model& model) {
    for (int a = 0; a < 3; ++a)
        if (model.size[a] < 1 || model.size[a] > kMaxModelSize) return false;
    for (const Voxel& v : model.voxels)
        if (v.colorIndex && model.InBox(v.x, v.y, v.z)) return true;
    return false;
}

uint32_t TK_ScaleSpriteColour(uint32_t colour, float factor) {
    auto scale = [factor](int c) { return int(std::lround(float(c) * factor)); };
    return PackRGBA(scale(ColorR(colour)), scale(ColorG(colour)), scale(ColorB(colour)));
}

uint32_t TK_LightenSpriteColour(uint32_t colour, float amount) {
    auto lift = [amount](int c) { return c + int(std::lround(float(255 - c) * amount)); };
    return PackRGBA(lift(ColorR(colour)), lift(ColorG(colour)), lift(ColorB(colour)));
}

void TK_AddSpriteOutline(Image& image) {
    if (image.format != IMAGE_RGBA || image.Empty()) return;
    const int w = image.width, h = image.height;
    // The ring is decided on the silhouette before any of it is drawn, so
    // it never grows from its own pixels.
    std::vector<uint8_t> solid(size_t(w) * size_t(h));
    for (size_t i = 0; i < solid.size(); ++i) solid[i] = image.pixels[4 * i + 3] == 255;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (solid[size_t(y) * w + x]) continue;
            bool touches = false;
            for (int dy = -1; dy <= 1 && !touches; ++dy)
                for (int dx = -1; dx <= 1 && !touches; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    touches = nx >= 0 && ny >= 0 && nx < w && ny < h && solid[size_t(ny) * w + nx];
                }
            if (touches) TK_PutSpritePixel(&image.pixels[4 * (size_t(y) * w + x)], kSpriteOutlineColour);
        }
}

bool TK_SaveSprite(const std::string& path, const Image& image) {
    std::vector<uint8_t> png;
    if (path.empty() || !TK_Plugin_PNG::WriteBytes(image, png)) return false;
    return TK_WriteFileBytes(path, png);
}
