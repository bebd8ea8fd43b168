// TK_Settings: the editor's adjustable state that the settings commands
// ("set", "add", "mirror", "loft") write and the brushes and renderers read:
// symmetry and loft axes, brush options, the raster display flags and
// colours, the render mode and the path-tracer parameters. The environment
// holds one record; its defaults are the start-up state before the start-up
// script runs.
//
// Also here: TK_RenderLink, the renderers as the settings commands see them.
// The commands never see GL: they store a value here, then tell the installed
// link what changed, and the renderers read the record. With no link
// installed (headless) the values are simply stored.
//
// Rule: a renderer reads these fields, it never writes them; every change
// goes through a command.
#pragma once

#include <cstdint>

// The display flags ("r_show" bits).
enum TK_RasterFlag : int {
    TK_SHOW_EDGE = 0x1,
    TK_SHOW_GRID = 0x2,
    TK_SHOW_FRAME = 0x4,
    TK_SHOW_FACE = 0x8,
    TK_SHOW_SHADOW = 0x10,
    TK_SHOW_GROUND = 0x20,
    TK_SHOW_MODE = 0x40,  // shaded (GLSL) rather than flat
    TK_SHOW_BG = 0x80,
    TK_SHOW_AMBIENT = 0x100,
};
constexpr int kAllRasterFlags = TK_SHOW_EDGE | TK_SHOW_GRID | TK_SHOW_FRAME | TK_SHOW_FACE | TK_SHOW_SHADOW |
                                TK_SHOW_GROUND | TK_SHOW_MODE | TK_SHOW_BG | TK_SHOW_AMBIENT;
constexpr int kDefaultRasterFlags = TK_SHOW_FACE | TK_SHOW_FRAME | TK_SHOW_MODE | TK_SHOW_BG | TK_SHOW_AMBIENT;
// The path tracer keeps only these bits; it starts with a lit ground and
// the sun's shadow.
constexpr int kTracerFlagMask = TK_SHOW_EDGE | TK_SHOW_GRID | TK_SHOW_SHADOW | TK_SHOW_GROUND;
constexpr int kDefaultTracerFlags = TK_SHOW_SHADOW | TK_SHOW_GROUND;

// Primitive shapes of the path tracer ("pt_prim").
enum TK_TracerPrim : int { TK_PRIM_CUBE, TK_PRIM_SPHR, TK_PRIM_CYLI, TK_PRIM_LEGO, TK_PRIM_MC, TK_PRIM_RE, TK_PRIM_RG };
constexpr int kTracerPrimCount = 7;

// The brush shapes and types ("b_shape", "b_type") in the order of their
// setting values, and their words: the settings commands, the brush table
// and the editor's brush panel all read these.
enum TK_BrushShape : int { TK_SHAPE_LINE, TK_SHAPE_CENTER, TK_SHAPE_PATTERN, TK_SHAPE_VOX, TK_SHAPE_FACE, TK_SHAPE_BOX };
constexpr int kBrushShapeCount = 6;
inline constexpr const char* kBrushShapeWords[kBrushShapeCount + 1] = {"line", "center", "pattern", "vox", "face", "box", nullptr};
constexpr int kBrushTypeCount = 3;
inline constexpr const char* kBrushTypeWords[kBrushTypeCount + 1] = {"attach", "erase", "paint", nullptr};

struct TK_Settings {
    // Symmetry and loft axes, 0 or 1 each.
    int mirror[3] = {0, 0, 0};
    int loft[3] = {0, 0, 0};

    // Brush options.
    int brushShape = 0;  // a TK_BrushShape
    int brushType = 0;   // index into kBrushTypeWords
    int voxSize = 1;     // 1..64
    int voxVolume = 0, voxCube = 0;
    int faceColor = 0, face4 = 0, facePalette = 0;
    int lineProject = 0, centerEven = 0, centerCircle = 0, patternPalette = 0;
    int snapAlpha = 0;

    // Camera slots ("cam"): the slot "cam -1" and "cam -2" use, and the
    // flag "cam -3" toggles.
    int cameraSlot = 0;
    int cameraFlag = 0;

    // Raster view. The start-up script turns the frame on.
    int rasterFlags = kDefaultRasterFlags & ~TK_SHOW_FRAME;
    uint8_t rasterGround[4] = {179, 204, 255, 255};
    uint8_t rasterEdge[4] = {255, 51, 102, 255};

    // Render mode: 0 raster view, otherwise the path tracer is showing.
    int renderMode = 0;

    // Path tracer.
    int ptFlags = kDefaultTracerFlags;
    uint8_t ptGround[4] = {179, 204, 255, 255};
    uint8_t ptEdge[4] = {20, 20, 24, 255};
    int ptImage[2] = {960, 800};
    int ptPrim = TK_PRIM_CUBE;
    int ptJitter = 1;
    int ptSamples = 2048;  // the target, 16..100000
    float ptSunPitch = 50, ptSunYaw = 30;  // degrees: elevation, direction
    float ptSunIntensity = 0.8f, ptSkyIntensity = 0.5f;
    uint8_t ptSunColor[3] = {255, 238, 214};
    uint8_t ptSkyColor[3] = {170, 200, 255};
    float ptShadow = 1;    // 1: full shadows, 0: the sun passes through
    float ptDof = 0;       // depth-of-field amount
    float ptFocus = 0;     // focus distance from the focus brush; 0: none picked
    int ptBounces = 3;     // 0..11
    int ptMaterialScope = 0;  // "pt_mod": 1 current colour only, 0 every colour
    int ptPickColor = 0;      // "pt_sel"
    int ptProjection = 0;     // 0 the camera's, otherwise a fisheye of ptFov
    float ptFov = 45;         // degrees, 45..360
    float ptGamma = 2.2f, ptExposure = 0.3f, ptVignette = 0.25f;
};

// What changed, for TK_RenderLink::SettingsChanged (bits).
enum TK_RenderChange : int {
    TK_RENDER_RASTER_FLAGS = 0x1,    // rasterFlags
    TK_RENDER_RASTER_COLORS = 0x2,   // rasterGround, rasterEdge
    TK_RENDER_TRACER_FLAGS = 0x4,    // ptFlags (restarts when the masked bits differ)
    TK_RENDER_RESTART = 0x8,         // a parameter of the picture: accumulate again
    TK_RENDER_PROGRAMS = 0x10,       // ptPrim, ptJitter: rebuild the programs
    TK_RENDER_MATERIALS = 0x20,      // material records or colours the tracer reads
    TK_RENDER_DISPLAY = 0x40,        // exposure, vignette: the display only
    TK_RENDER_MODE = 0x80,           // renderMode
};

class TK_RenderLink {
public:
    virtual ~TK_RenderLink() = default;
    // `what` holds TK_RenderChange bits; the renderers read the new values
    // from the environment's settings.
    virtual void SettingsChanged(int what) = 0;
};
