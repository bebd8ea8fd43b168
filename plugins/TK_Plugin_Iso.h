// TK_Plugin_Iso: the "iso" export, an isometric sprite of the model drawn
// cube by cube, written as an RGBA PNG with a transparent background.
//
// Projection. "view" k first turns the model k quarter turns anticlockwise
// about z (seen from above); the turned box is U x V x Z cells with cell
// (u, v, z), where u runs along the turned x and v along the turned -y, so
// in view 0 the viewer stands off the corner (x = size x, y = 0), up high:
// the front (y = 0) faces left, the right side (x = size x) faces right.
// The corner (u, v, z) of a cell lands on the screen at
//     X = (u - v) * size,   Y = (u + v) * size / 2 - z * H
// (Y down), H = round(size * height) pixels but at least 1. A top face is
// the classic 2:1 diamond, 2 * size wide and size tall; below it hang the
// left face (the cell's +v side, brightness "left") and the right face (its
// +u side, brightness "right"). A pixel belongs to a face when its centre
// lies inside it; face corners fall on quarter pixels that no centre hits,
// so faces of neighbouring cubes tile without gaps or double pixels.
//
// Order. A cube can hide another only if it is not smaller on any of u, v,
// z, so cubes are drawn by rising z, v, u and nearer ones overwrite. A cube
// whose three neighbours at +u, +v and +z are all filled is skipped: those
// neighbours cover every pixel of it.
//
// The image covers the turned box (not just the voxels), plus one pixel
// each side for the outline. A "size" whose picture would exceed the image
// bounds of TK_ImageFile.h is lowered until it fits.
#pragma once

#include <string>

#include "model/Image.h"
#include "plugins/TK_Plugin.h"

struct OMB_LmpNode;

// Options of the "file_iso" section of the configuration.
struct TK_IsoOptions {
    static constexpr int kMaxSize = 32;
    static constexpr float kMinHeight = 0.25f;
    static constexpr float kMaxHeight = 4;

    int view = 0;          // 0..3; other values wrap (4 is 0, -1 is 3)
    int size = 4;          // pixels per voxel edge, 1..kMaxSize
    float height = 1;      // scale of the side faces, kMinHeight..kMaxHeight
    bool outline = false;  // one-pixel ring outside the silhouette
    float left = 0.8f;     // brightness of the left faces, 0..1
    float right = 0.6f;    // brightness of the right faces, 0..1
    bool bevel = false;    // rim of each top face lighter by kIsoBevelLift

    // Keys "view", "size", "height", "outline", "left", "right", "bevel" of
    // a section; a missing key (or a null section) keeps its value. Values
    // are clamped.
    void Read(const OMB_LmpNode* section);
    // The "file_iso" section of the configuration file; a missing file
    // keeps every value and prints nothing.
    void Load(const std::string& configPath);
    // A copy with every value in its range.
    TK_IsoOptions Clamped() const;
};

// How far a bevelled rim pixel moves toward white.
constexpr float kIsoBevelLift = 0.4f;

// Renders the sprite into `image` (RGBA). False, and an empty image, when
// the model is not drawable (TK_IsSpriteDrawable). Options are clamped
// first, so any values are safe.
bool TK_RenderIso(const TK_Model& model, const TK_IsoOptions& options, Image& image);

class TK_Plugin_Iso : public TK_Plugin {
public:
    // Defaults, then "config/config.txt" below the program folder.
    TK_Plugin_Iso();

    // False for a model with nothing to draw (nothing is written), an empty
    // path or a failed write (an older file stays as it was).
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    TK_IsoOptions options;
};
