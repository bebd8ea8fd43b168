// The front-view sprite export (see TK_Plugin_2D.h).
#include "plugins/TK_Plugin_2D.h"

#include <algorithm>
#include <vector>

#include "core/OMB_LmpParser.h"
#include "model/TK_Config.h"
#include "model/TK_Workspace.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Sprite.h"

namespace {

// Fills the size x size block whose top left pixel is (px, py).
void FillBlock(Image& image, int px, int py, int size, uint32_t colour) {
    for (int y = py; y < py + size; ++y) {
        uint8_t* row = &image.pixels[4 * (size_t(y) * image.width + px)];
        for (int x = 0; x < size; ++x) TK_PutSpritePixel(row + 4 * x, colour);
    }
}

}  // namespace

void TK_2DOptions::Read(const OMB_LmpNode* section) {
    TK_ReadSpriteInt(section, "size", size);
    TK_ReadSpriteBool(section, "shadow", shadow);
    TK_ReadSpriteBool(section, "outline", outline);
    *this = Clamped();
}

void TK_2DOptions::Load(const std::string& configPath) {
    OMB_LmpParser parser;
    if (TK_ParseConfigFile(configPath, parser)) Read(OMB_LmpParser::FindChild(&parser.Root(), "file_2d"));
}

TK_2DOptions TK_2DOptions::Clamped() const {
    TK_2DOptions o = *this;
    o.size = std::clamp(size, 1, kMaxSize);
    return o;
}

bool TK_Render2D(const TK_Model& model, const TK_2DOptions& rawOptions, Image& image) {
    image = Image();
    if (!TK_IsSpriteDrawable(model)) return false;
    const TK_2DOptions o = rawOptions.Clamped();
    const int s = o.size, sx = model.size[0], sz = model.size[2];

    // Front colour per (x, row): one pass over the voxels, nearest y wins.
    std::vector<uint8_t> colour(size_t(sx) * sz, 0), depth(size_t(sx) * sz, 255);
    for (const Voxel& v : model.voxels) {
        if (!v.colorIndex || !model.InBox(v.x, v.y, v.z)) continue;
        const size_t cell = size_t(sz - 1 - v.z) * sx + v.x;
        if (v.y < depth[cell]) depth[cell] = v.y, colour[cell] = v.colorIndex;
    }

    const int pad = o.outline ? 1 : 0;
    const int extra = std::max(pad, o.shadow ? s : 0);  // right and bottom
    const int width = sx * s + pad + extra, height = sz * s + pad + extra;
    if (!TK_IsImageSizeAllowed(width, height) || !image.Allocate(IMAGE_RGBA, width, height)) return false;

    // The shadow goes first so the sprite covers it wherever they meet.
    for (int pass = o.shadow ? 0 : 1; pass < 2; ++pass) {
        const int shift = pass == 0 ? s : 0;
        for (int row = 0; row < sz; ++row)
            for (int x = 0; x < sx; ++x) {
                const uint8_t c = colour[size_t(row) * sx + x];
                if (!c) continue;
                const uint32_t rgba = pass == 0 ? kSpriteShadowColour : (model.palette[c] | 0xFF000000u);
                FillBlock(image, pad + x * s + shift, pad + row * s + shift, s, rgba);
            }
    }
    if (o.outline) TK_AddSpriteOutline(image);
    return true;
}

TK_Plugin_2D::TK_Plugin_2D() {
    options.Load(TK_ConfigFile());
}

bool TK_Plugin_2D::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    Image image;
    if (path.empty() || !TK_Render2D(model, options, image)) return false;
    return TK_SaveSprite(path, image);
}
