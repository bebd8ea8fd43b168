// TK_Plugin_2D: the "2d" export, a flat sprite of the model seen from the
// front, written as an RGBA PNG with a transparent background.
//
// Projection: orthographic along +y, the viewer at y = -infinity. Image
// column 0 is x = 0; z is up, so image row 0 shows the top layer
// z = size z - 1. Every pixel block shows the palette colour of the first
// voxel met along +y, unshaded: sprites keep exact palette colours, which
// pixel artists expect, and depth cues come from the shadow and outline.
// The image covers the model's box (not just its voxels), plus room for the
// outline and the shadow.
#pragma once

#include <string>

#include "model/Image.h"
#include "plugins/TK_Plugin.h"

struct OMB_LmpNode;

// Options of the "file_2d" section of the configuration.
struct TK_2DOptions {
    static constexpr int kMaxSize = 32;  // a 126 box stays far below the image bounds

    int size = 1;          // pixels per voxel, 1..kMaxSize
    bool shadow = false;   // drop shadow one voxel down and right, behind the sprite
    bool outline = false;  // one-pixel ring outside the silhouette

    // Keys "size", "shadow", "outline" of a section; a missing key (or a
    // null section) keeps its value. Values are clamped.
    void Read(const OMB_LmpNode* section);
    // The "file_2d" section of the configuration file; a missing file keeps
    // every value and prints nothing.
    void Load(const std::string& configPath);
    // A copy with every value in its range.
    TK_2DOptions Clamped() const;
};

// Colour of the drop shadow: black at half opacity.
constexpr uint32_t kSpriteShadowColour = 0x80000000u;

// Renders the sprite into `image` (RGBA). False, and an empty image, when
// the model is not drawable (TK_IsSpriteDrawable). Options are clamped
// first, so any values are safe.
bool TK_Render2D(const TK_Model& model, const TK_2DOptions& options, Image& image);

class TK_Plugin_2D : public TK_Plugin {
public:
    // Defaults, then "config/config.txt" below the program folder.
    TK_Plugin_2D();

    // False for a model with nothing to draw (nothing is written), an empty
    // path or a failed write (an older file stays as it was).
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    TK_2DOptions options;
};
