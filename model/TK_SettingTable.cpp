// The rows of every "set" key (see TK_SettingTable.h).
#include "model/TK_SettingTable.h"

#include <algorithm>
#include <iterator>

#include "core/OMB_XIFF.h"
#include "model/TK_Notify.h"

namespace {

using S = TK_Settings;
using A = TK_SettingArg;
using Show = TK_SettingShow;

// A row written column by column, so each row names only what it has.
struct Row : TK_Setting {
    constexpr Row(const char* w, A a) : TK_Setting() { word = w, arg = a; }
    constexpr Row& Int(int S::*f, float l, float h) { return intField = f, lo = l, hi = h, *this; }
    constexpr Row& Float(float S::*f, float l, float h) { return floatField = f, lo = l, hi = h, *this; }
    constexpr Row& Colour(uint8_t (S::*f)[3]) { return colorField = f, *this; }
    constexpr Row& Range(float l, float h) { return lo = l, hi = h, *this; }
    constexpr Row& Renders(int bits) { return change = bits, *this; }
    constexpr Row& Tells(TK_SettingNotice n) { return notice = n, *this; }
    constexpr Row& Adds() { return addable = true, *this; }
    constexpr Row& Words(const char* const* w) { return words = w, *this; }
    constexpr Row& Follows(TK_SettingRule r) { return rule = r, *this; }
    constexpr Row& Kept(const char (&t)[5]) { return tag = OMB_ChunkId(t), *this; }
    constexpr Row& Shown(const char* id, Show how) { return widget = id, show = how, *this; }
};

constexpr TK_SettingNotice kRender = {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE};
constexpr TK_SettingNotice kBrush = {TK_NOTIFY_EDITOR, TK_EDITOR_BRUSH};
constexpr TK_SettingNotice kBrushSize = {TK_NOTIFY_EDITOR, TK_EDITOR_BRUSH_SIZE};
constexpr int kRestart = TK_RENDER_RESTART;

constexpr TK_Setting kRows[] = {
    Row("snap_alpha", A::Flag).Int(&S::snapAlpha, 0, 1),
    Row("b_shape", A::Word).Int(&S::brushShape, 0, kBrushShapeCount - 1).Tells(kBrush).Words(kBrushShapeWords)
        .Shown("b_shape", Show::Option),
    Row("b_type", A::Word).Int(&S::brushType, 0, kBrushTypeCount - 1).Tells(kBrush).Words(kBrushTypeWords)
        .Shown("b_type", Show::Option),
    Row("b_vox_vol", A::Flag).Int(&S::voxVolume, 0, 1).Tells(kBrush),
    Row("b_vox_cube", A::Flag).Int(&S::voxCube, 0, 1).Tells(kBrush),
    Row("b_vox_size", A::Int).Int(&S::voxSize, 1, 64).Tells(kBrushSize).Adds().Shown("b_size", Show::Whole),
    Row("b_face_col", A::Flag).Int(&S::faceColor, 0, 1).Tells(kBrush),
    Row("b_face_4", A::Flag).Int(&S::face4, 0, 1).Tells(kBrush),
    Row("b_face_pal", A::Flag).Int(&S::facePalette, 0, 1).Tells(kBrush),
    Row("b_line_proj", A::Flag).Int(&S::lineProject, 0, 1).Tells(kBrush),
    Row("b_c_even", A::Flag).Int(&S::centerEven, 0, 1).Tells(kBrush),
    Row("b_c_circle", A::Flag).Int(&S::centerCircle, 0, 1).Tells(kBrush),
    Row("b_patt_pal", A::Flag).Int(&S::patternPalette, 0, 1).Tells(kBrush),
    Row("r_show", A::DisplayFlag).Words(kRasterFlagWords),
    Row("r_color", A::Color),
    Row("pt", A::Mode).Int(&S::renderMode, 0, 1).Renders(TK_RENDER_MODE).Tells(kRender).Shown("r_pt", Show::Switch),
    Row("pt_image", A::Image).Range(1, kMaxImageSide).Tells(kRender).Adds(),
    Row("pt_prim", A::Prim).Int(&S::ptPrim, 0, kTracerPrimCount - 1).Renders(TK_RENDER_PROGRAMS).Tells(kRender)
        .Words(kTracerPrimWords).Kept("PRIM"),
    Row("pt_jit", A::Flag).Int(&S::ptJitter, 0, 1).Renders(TK_RENDER_PROGRAMS).Tells(kRender),
    Row("pt_spp", A::Int).Int(&S::ptSamples, 16, 100000).Tells(kRender).Adds().Shown("pt_spp", Show::Whole),
    Row("pt_sun_p", A::Float).Float(&S::ptSunPitch, -90, 90).Renders(kRestart).Tells(kRender).Adds().Kept("SUNP")
        .Shown("pt_sun_p", Show::Whole),
    Row("pt_sun_y", A::Float).Float(&S::ptSunYaw, 0, 360).Renders(kRestart).Tells(kRender).Adds().Kept("SUNY")
        .Shown("pt_sun_y", Show::Whole),
    Row("pt_isun", A::Float).Float(&S::ptSunIntensity, 0, 1).Renders(kRestart).Tells(kRender).Kept("ISUN")
        .Shown("pt_isun", Show::Slider),
    Row("pt_isky", A::Float).Float(&S::ptSkyIntensity, 0, 1).Renders(kRestart).Tells(kRender).Kept("ISKY")
        .Shown("pt_isky", Show::Slider),
    Row("pt_sun_col", A::LightColor).Colour(&S::ptSunColor).Renders(kRestart).Tells(kRender).Kept("CSUN")
        .Shown("pt_sun_col", Show::Color),
    Row("pt_sky_col", A::LightColor).Colour(&S::ptSkyColor).Renders(kRestart).Tells(kRender).Kept("CSKY")
        .Shown("pt_sky_col", Show::Color),
    Row("pt_shadow", A::Float).Float(&S::ptShadow, 0, 1).Renders(kRestart).Tells(kRender)
        .Follows(TK_SettingRule::Shadow).Kept("SHDW").Shown("pt_shadow", Show::Slider),
    // Depth of field focuses on the camera's focus point until the focus
    // brush picks a distance, so a change always shows.
    Row("pt_dof", A::Float).Float(&S::ptDof, 0, 1).Renders(kRestart).Tells(kRender).Shown("pt_dof", Show::Slider),
    Row("pt_bounce", A::Int).Int(&S::ptBounces, 0, kMaxBounces).Renders(kRestart).Tells(kRender).Kept("BNCE")
        .Shown("pt_bounce", Show::Slider),
    Row("pt_mod", A::Flag).Int(&S::ptMaterialScope, 0, 1).Tells(kRender),
    Row("pt_sel", A::Flag).Int(&S::ptPickColor, 0, 1),
    Row("pt_mtl", A::Material).Renders(TK_RENDER_MATERIALS).Tells(kRender),
    Row("pt_proj", A::Flag).Int(&S::ptProjection, 0, 1).Renders(kRestart),
    Row("pt_fov", A::Float).Float(&S::ptFov, 45, 360).Renders(kRestart).Adds().Shown("pt_fov", Show::Whole),
    // Colours are made linear with the gamma, so the picture changes.
    Row("pt_gamma", A::Float).Float(&S::ptGamma, 1, 5).Renders(TK_RENDER_MATERIALS).Tells(kRender).Adds()
        .Shown("pt_gamma", Show::Tenths),
    Row("pt_expo", A::Float).Float(&S::ptExposure, 0, 1).Renders(TK_RENDER_DISPLAY).Tells(kRender)
        .Shown("pt_expo", Show::Slider),
    Row("pt_vig", A::Float).Float(&S::ptVignette, 0, 1).Renders(TK_RENDER_DISPLAY).Tells(kRender)
        .Shown("pt_vig", Show::Slider),
};

}  // namespace

double TK_Setting::Clamp(double v) const {
    if (arg == A::Flag) v = v != 0;
    return std::clamp(v, double(lo), double(hi));
}

TK_SettingRows TK_SettingTable() { return {std::begin(kRows), std::end(kRows)}; }

const TK_Setting* TK_FindSetting(const std::string& word) {
    for (const TK_Setting& row : kRows)
        if (word == row.word) return &row;
    return nullptr;
}
