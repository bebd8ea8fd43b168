// The path tracer's host side (see TK_SceneRenderer_PT.h).
//
//   Programs ........... headers, building the variants
//   Lifecycle .......... Init, Shutdown, flags, restarts, view sync
//   Uploads ............ volume with its empty-space distances, materials
//   Passes ............. uniforms, the sample pass, display, depth, read-back
#include "render/TK_SceneRenderer_PT.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "render/TK_Snapshot.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_SettingTable.h"

extern const char kShader_pt_trace[];
extern const char kShader_pt_display[];

// ---------------------------------------------------------------- programs

namespace {

const char kVertexSource[] = "varying vec2 st;void main() {st = gl_MultiTexCoord0.xy;gl_Position = ftransform();}";

const char* const kShapeHeaders[kTracerPrimCount] = {
    "#define PRIM_CUBE\n#define NROT_CUBE\n",
    "#define PRIM_SPHR\n#define NROT_Z\n",
    "#define PRIM_CYLI\n#define NROT_Z\n",
    "#define PRIM_LEGO\n#define NROT_Z\n",
    "#define PRIM_MC\n#define NROT_Z\n",
    "#define PRIM_CUBE\n#define PRIM_ROUND\n#define PRIM_RE\n",
    "#define PRIM_CUBE\n#define PRIM_ROUND\n#define PRIM_RG\n",
};

constexpr float kPi = 3.14159265f;
// Irradiance of the sun at intensity 1: a white surface facing it shows a
// radiance of 3 (albedo / pi times the irradiance).
constexpr float kSunPower = 3.0f * kPi;
constexpr float kSkyPower = 1.0f;      // radiance of the sky at intensity 1
constexpr float kSunSize = 20.0f;      // angular diameter of the sun, degrees
constexpr float kRayOffset = 1e-3f;    // new rays start this far off a surface
constexpr float kGridWidth = 0.04f, kEdgeWidth = 0.1f;
constexpr int kNoiseSize = 256;

float Linear(uint8_t c, float gamma) { return std::pow(float(c) / 255.0f, gamma); }

void ToModel(const float world[3], float out[3]) { TK_WorldToModel(world, out); }

}  // namespace

constexpr int TK_SceneRenderer_PT::kFirstSeeds[4];

TK_SceneRenderer_PT::TK_SceneRenderer_PT() = default;

TK_SceneRenderer_PT::~TK_SceneRenderer_PT() { Shutdown(); }

bool TK_SceneRenderer_PT::HasCapabilities() { return glHasFBO && glHasGLSL && glHasTexture3D && glHasFloatTexture; }

bool TK_SceneRenderer_PT::BuildProgram(Program& p, const char* option, const char* variant) {
    const int prim = std::clamp(m_env->settings.ptPrim, 0, kTracerPrimCount - 1);
    const char* sources[] = {kShapeHeaders[prim], m_env->settings.ptJitter ? "#define JITTER\n" : "", option,
                             variant, kShader_pt_trace, nullptr};
    p.program.Release();
    return p.fragment.CreateFragment(sources) && p.program.Link(m_vertex, p.fragment);
}

bool TK_SceneRenderer_PT::RebuildPrograms() {
    if (!m_env || !HasCapabilities() || !m_vertex.Name()) return false;
    bool ok = BuildProgram(m_programs[kDepth], "#define OPT_DEPTH\n", "");
    ok = BuildProgram(m_programs[kZero], "#define OPT_ZERO\n", "") && ok;
    ok = BuildProgram(m_programs[kMain], "#define OPT_MAIN\n", "") && ok;
    ok = BuildProgram(m_programs[kMainMaterial], "#define OPT_MAIN\n", "#define OPT_MATERIAL\n") && ok;
    ok = BuildProgram(m_programs[kMainMetal], "#define OPT_MAIN\n", "#define OPT_METAL\n") && ok;
    Restart();
    return ok;
}

// ---------------------------------------------------------------- lifecycle

bool TK_SceneRenderer_PT::Init(TK_EditorEnv& env) {
    Shutdown();
    m_env = &env;
    m_flags = env.settings.ptFlags & kTracerFlagMask;
    m_volumeDirty = m_materialsDirty = true;
    m_stopwatch.Restart();
    Restart();
    if (!HasCapabilities()) return false;
    // White noise that seeds every pixel's random sequence; fixed, so a
    // picture is the same from run to run.
    std::vector<uint8_t> noise(size_t(kNoiseSize) * kNoiseSize * 4);
    std::mt19937 random(17);
    for (uint8_t& b : noise) b = uint8_t(random() >> 24);
    GLSampler repeat;
    repeat.wrapS = repeat.wrapT = GL_REPEAT;
    m_noise.Create2D(GL_RGBA8, kNoiseSize, kNoiseSize, GL_RGBA, noise.data(), repeat);
    const char* display[] = {kShader_pt_display, nullptr};
    if (!m_vertex.CreateVertex(kVertexSource) || !m_display.fragment.CreateFragment(display) ||
        !m_display.program.Link(m_vertex, m_display.fragment))
        return false;
    return RebuildPrograms();
}

void TK_SceneRenderer_PT::Shutdown() {
    for (Program& p : m_programs) p.program.Release(), p.fragment.Release();
    m_display.program.Release();
    m_display.fragment.Release();
    m_vertex.Release();
    m_accumFbo.Release(), m_lastFbo.Release(), m_depthFbo.Release();
    for (GLTexture* t :
         {&m_accum, &m_last, &m_depth, &m_palette, &m_materials, &m_noise, &m_volume, &m_smooth, &m_colors})
        t->Release();
    m_width = m_height = 0;
}

bool TK_SceneRenderer_PT::CanDraw() const {
    return m_env && HasCapabilities() && m_programs[kMain].program.IsValid() && m_display.program.IsValid();
}

int TK_SceneRenderer_PT::Target() const {
    if (m_targetOverride > 0) return m_targetOverride;
    return m_env ? m_env->settings.ptSamples : 0;
}

void TK_SceneRenderer_PT::SetFlags(int flags) {
    flags &= kTracerFlagMask;
    if (flags == m_flags) return;
    m_flags = flags;
    Restart();
}

void TK_SceneRenderer_PT::Restart() {
    // A preview is kept only when it ends (EndPreview).
    if (m_samples > 0 && !m_preview) {
        m_saveLast = true;
        m_lastSamples = m_samples;
    }
    m_samples = 0;
    m_row = 0;
    std::copy(kFirstSeeds, kFirstSeeds + 4, m_seeds);
    m_stopwatch.Restart();
}

namespace {

// "41 s", "3 min 20 s", "2 h 5 min".
std::string Duration(double seconds, bool rough) {
    const long s = std::lround(std::max(seconds, 0.0));
    char text[32];
    if (s < 60) std::snprintf(text, sizeof text, "%ld s", s);
    else if (s < 3600 && rough) std::snprintf(text, sizeof text, "%ld min", (s + 30) / 60);
    else if (s < 3600) std::snprintf(text, sizeof text, "%ld min %ld s", s / 60, s % 60);
    else std::snprintf(text, sizeof text, "%ld h %ld min", s / 3600, s % 3600 / 60);
    return text;
}

}  // namespace

std::string TK_TraceProgress(int samples, int target, double seconds, double left) {
    std::string text = std::to_string(samples) + " / " + std::to_string(target) + " samples, " + Duration(seconds, false);
    if (samples < target && left >= 0) text += ", about " + Duration(left, true) + " left";
    return text;
}

double TK_SceneRenderer_PT::SecondsLeft() const {
    if (m_samples < 1) return -1;
    return m_stopwatch.Elapsed() / double(m_samples) * double(std::max(Target() - m_samples, 0));
}

void TK_SceneRenderer_PT::EndPreview() {
    m_preview = false;
    m_saveLast = false;
    m_hasLast = false;
    if (m_samples > 0 && m_lastFbo.Name()) {
        m_lastFbo.Bind();
        glViewport(0, 0, m_width, m_height);
        DisplayUniforms u = DisplayParameters();
        u.weight = 1;
        DrawDisplay(u, m_accum, true);
        m_lastFbo.Unbind();
        m_hasLast = true;
    }
    Restart();
    m_saveLast = false;
}

void TK_SceneRenderer_PT::UpdateVolume() { m_volumeDirty = true; }

void TK_SceneRenderer_PT::UpdateMaterials() { m_materialsDirty = true; }

bool TK_SceneRenderer_PT::SyncView(const Camera& camera) {
    const int width = m_env ? m_env->settings.ptImage[0] : 0, height = m_env ? m_env->settings.ptImage[1] : 0;
    auto close = [](const float* a, const float* b, int n) {
        for (int i = 0; i < n; ++i)
            if (std::fabs(a[i] - b[i]) > 1e-6f) return false;
        return true;
    };
    const Camera& c = m_camera;
    const bool same = width == m_width && height == m_height && camera.mode == c.mode && camera.ortho == c.ortho &&
                      close(camera.eye, c.eye, 3) && close(&camera.rotation[0][0], &c.rotation[0][0], 9) &&
                      close(&camera.frustumX, &c.frustumX, 1) && close(&camera.frustumY, &c.frustumY, 1) &&
                      close(&camera.radius, &c.radius, 1);
    if (same) return false;
    m_camera = camera;
    m_width = width;
    m_height = height;
    Restart();
    if (m_movingPreview) {
        // The moving camera's pictures are gone the next frame: none is
        // kept to fade from.
        m_saveLast = false;
        m_preview = true;
        m_movedAt = OS_Seconds();
    }
    return true;
}

// ---------------------------------------------------------------- uploads

namespace {

// Chebyshev distance, in cells, from every cell to the nearest filled one
// (0 for filled cells, at most 255): two sweeps over the 26 neighbours.
void EmptyDistances(const int size[3], std::vector<uint8_t>& rgba) {
    const int sx = size[0], sy = size[1], sz = size[2];
    auto at = [&](int x, int y, int z) -> uint8_t& { return rgba[((size_t(z) * sy + y) * sx + x) * 4 + 1]; };
    for (size_t i = 0; i < rgba.size(); i += 4) rgba[i + 1] = rgba[i] ? 0 : 255;
    for (int pass = 0; pass < 2; ++pass) {
        const int step = pass == 0 ? 1 : -1;
        for (int z = pass == 0 ? 0 : sz - 1; z >= 0 && z < sz; z += step)
            for (int y = pass == 0 ? 0 : sy - 1; y >= 0 && y < sy; y += step)
                for (int x = pass == 0 ? 0 : sx - 1; x >= 0 && x < sx; x += step) {
                    uint8_t& d = at(x, y, z);
                    if (d == 0) continue;
                    int best = d;
                    // The 13 neighbours already visited in this sweep.
                    for (int dz = -1; dz <= 0; ++dz)
                        for (int dy = -1; dy <= 1; ++dy)
                            for (int dx = -1; dx <= 1; ++dx) {
                                if (dz == 0 && (dy > 0 || (dy == 0 && dx >= 0))) continue;
                                const int nx = x + dx * step, ny = y + dy * step, nz = z + dz * step;
                                if (nx < 0 || ny < 0 || nz < 0 || nx >= sx || ny >= sy || nz >= sz) continue;
                                best = std::min(best, at(nx, ny, nz) + 1);
                            }
                    d = uint8_t(std::min(best, 255));
                }
    }
}

}  // namespace

void TK_SceneRenderer_PT::UploadVolume() {
    m_volumeDirty = false;
    const TK_Model& model = m_env->model;
    int size[3];
    for (int a = 0; a < 3; ++a) size[a] = std::clamp(model.size[a], 1, 128);
    const size_t cells = size_t(size[0]) * size[1] * size[2];
    m_volumeBytes.assign(cells * 4, 0);
    m_smoothBytes.assign(cells, 0);
    for (const Voxel& v : model.voxels) {
        if (v.x >= size[0] || v.y >= size[1] || v.z >= size[2]) continue;
        const size_t i = (size_t(v.z) * size[1] + v.y) * size[0] + v.x;
        m_volumeBytes[i * 4] = v.colorIndex;
        m_smoothBytes[i] = 255;
    }
    EmptyDistances(size, m_volumeBytes);
    GLSampler nearest;
    m_volume.Create(GL_TEXTURE_3D, GL_RGBA8, size[0], size[1], size[2], GL_RGBA, GL_UNSIGNED_BYTE,
                    m_volumeBytes.data(), nearest);
    GLSampler smooth;
    // Outside the model is empty: the border (0) stands for it.
    smooth.wrapS = smooth.wrapT = smooth.wrapR = GL_CLAMP_TO_BORDER;
    smooth.magFilter = smooth.minFilter = GL_LINEAR;
    m_smooth.Create(GL_TEXTURE_3D, GL_LUMINANCE8, size[0], size[1], size[2], GL_LUMINANCE, GL_UNSIGNED_BYTE,
                    m_smoothBytes.data(), smooth);
    m_materialsDirty = true;  // which kinds are in use may have changed
    Restart();
}

void TK_SceneRenderer_PT::UploadMaterials() {
    m_materialsDirty = false;
    const TK_Settings& s = m_env->settings;
    uint32_t palette[256];
    std::memcpy(palette, m_env->model.palette.entries, sizeof palette);
    palette[0] = PackRGBA(s.ptEdge[0], s.ptEdge[1], s.ptEdge[2]);
    GLSampler nearest;
    m_palette.CreatePalette(palette, nearest);
    std::vector<float> table(256 * 4 * 4, 0.0f), colors(256 * 4);
    for (int i = 0; i < 256; ++i) {
        const TK_Material& m = m_env->materials[i];
        const float rows[4][4] = {{float(m.type), m.roughness, m.specular, m.plastic},
                                  {m.ior, m.attenuation, m.flux, m.glow},
                                  {m.total, 0, 0, 0},
                                  {0, 0, 0, 0}};
        for (int r = 0; r < 4; ++r) std::memcpy(&table[(size_t(r) * 256 + i) * 4], rows[r], sizeof rows[r]);
        const uint32_t c = palette[i];
        const float linear[4] = {Linear(uint8_t(ColorR(c)), s.ptGamma), Linear(uint8_t(ColorG(c)), s.ptGamma),
                                 Linear(uint8_t(ColorB(c)), s.ptGamma), 1.0f};
        std::memcpy(&colors[size_t(i) * 4], linear, sizeof linear);
    }
    m_materials.Create(GL_TEXTURE_2D, GL_RGBA32F_ARB, 256, 4, 1, GL_RGBA, GL_FLOAT, table.data(), nearest);
    m_colors.Create(GL_TEXTURE_1D, GL_RGBA32F_ARB, 256, 1, 1, GL_RGBA, GL_FLOAT, colors.data(), nearest);
    // The cheaper programs serve models without metal, glass or light.
    bool used[256] = {};
    for (const Voxel& v : m_env->model.voxels) used[v.colorIndex] = true;
    m_hasMetal = m_hasMaterial = false;
    for (int i = 1; i < 256; ++i) {
        if (!used[i]) continue;
        m_hasMetal = m_hasMetal || m_env->materials[i].type == TK_MATERIAL_METAL;
        m_hasMaterial = m_hasMaterial || m_env->materials[i].type >= TK_MATERIAL_GLASS || m_env->materials[i].plastic > 0.5f;
    }
    FindLights(used);
    Restart();
}

// Emissive voxels with at least one face open to the air or to glass.
void TK_SceneRenderer_PT::FindLights(const bool used[256]) {
    m_lights.clear();
    bool emits[256] = {};
    for (int i = 1; i < 256; ++i) emits[i] = used[i] && m_env->materials[i].type == TK_MATERIAL_EMIT && m_env->materials[i].flux > 0;
    const int* size = m_env->model.size;
    if (m_volumeBytes.size() != size_t(size[0]) * size[1] * size[2] * 4) return;
    auto filled = [&](int x, int y, int z) {
        if (x < 0 || y < 0 || z < 0 || x >= size[0] || y >= size[1] || z >= size[2]) return false;
        const int index = m_volumeBytes[((size_t(z) * size[1] + y) * size[0] + x) * 4];
        return index != 0 && m_env->materials[index].type != TK_MATERIAL_GLASS;
    };
    for (const Voxel& v : m_env->model.voxels) {
        if (!emits[v.colorIndex]) continue;
        const int x = v.x, y = v.y, z = v.z;
        if (!filled(x - 1, y, z) || !filled(x + 1, y, z) || !filled(x, y - 1, z) || !filled(x, y + 1, z) ||
            !filled(x, y, z - 1) || !filled(x, y, z + 1))
            m_lights.push_back(v);
    }
}

// ---------------------------------------------------------------- passes

const TK_SceneRenderer_PT::Program& TK_SceneRenderer_PT::SampleProgram() const {
    if (m_hasMaterial && m_programs[kMainMaterial].program.IsValid()) return m_programs[kMainMaterial];
    if (m_hasMetal && m_env->settings.ptProjection == 0 && m_programs[kMainMetal].program.IsValid())
        return m_programs[kMainMetal];
    if (m_hasMetal && m_programs[kMainMaterial].program.IsValid()) return m_programs[kMainMaterial];
    return m_programs[kMain];
}

uint32_t TK_SceneRenderer_PT::NextRandom() {
    // xorshift128 over the four seeds.
    uint32_t t = uint32_t(m_seeds[3]);
    const uint32_t s = uint32_t(m_seeds[0]);
    m_seeds[3] = m_seeds[2];
    m_seeds[2] = m_seeds[1];
    m_seeds[1] = int(s);
    t ^= t << 11;
    t ^= t >> 8;
    m_seeds[0] = int(t ^ s ^ (s >> 19));
    return uint32_t(m_seeds[0]);
}

void TK_SceneRenderer_PT::SetCommonUniforms(const GLProgram& p) const {
    const TK_Settings& s = m_env->settings;
    const int* size = m_env->model.size;
    gl::Uniform3f(p.Uniform("bound"), float(size[0]), float(size[1]), float(size[2]));
    gl::Uniform3f(p.Uniform("vol_scale"), 1.0f / float(std::max(size[0], 1)), 1.0f / float(std::max(size[1], 1)),
                  1.0f / float(std::max(size[2], 1)));
    gl::Uniform2f(p.Uniform("image_size"), float(TraceWidth()), float(TraceHeight()));
    float eye[3], rot[9];
    ToModel(m_camera.eye, eye);
    for (int row = 0; row < 3; ++row) ToModel(m_camera.rotation[row], rot + row * 3);
    gl::Uniform3f(p.Uniform("view_eye"), eye[0], eye[1], eye[2]);
    gl::UniformMatrix3fv(p.Uniform("view_rot"), 1, GL_FALSE, rot);
    const float aspect = std::max(float(m_width) / float(std::max(m_height, 1)), 0.001f);
    if (s.ptProjection) {
        gl::Uniform4f(p.Uniform("view_proj"), 2, s.ptFov * kPi / 360.0f, 0, aspect);
    } else if (m_camera.ortho) {
        gl::Uniform4f(p.Uniform("view_proj"), 1, m_camera.frustumY * aspect, m_camera.frustumY, aspect);
    } else {
        const float half = std::tan(std::min(s.ptFov * 0.5f, 89.0f) * kPi / 180.0f);
        gl::Uniform4f(p.Uniform("view_proj"), 0, half * aspect, half, aspect);
    }
    const bool ground = (m_flags & TK_SHOW_GROUND) != 0;
    gl::Uniform4f(p.Uniform("ground"), 0, 0, ground ? 1.0f : 0.0f, 0);
    const float transmit = (m_flags & TK_SHOW_SHADOW) ? 1.0f - s.ptShadow : 1.0f;
    gl::Uniform4f(p.Uniform("parm"), (m_flags & TK_SHOW_GRID) ? kGridWidth : 0.0f,
                  (m_flags & TK_SHOW_EDGE) ? kEdgeWidth : 0.0f, transmit, kRayOffset);
    SetLightUniforms(p);
    gl::Uniform1i(p.Uniform("numBounces"), std::clamp(s.ptBounces, 0, kMaxBounces));
    BindSamplers(p);
}

// Sun, sky and ground, linear, from the settings' colours and intensities.
void TK_SceneRenderer_PT::SetLightUniforms(const GLProgram& p) const {
    const TK_Settings& s = m_env->settings;
    // Sun: pitch is the elevation, yaw the direction around z.
    const float pitch = s.ptSunPitch * kPi / 180.0f, yaw = s.ptSunYaw * kPi / 180.0f;
    const float l[3] = {std::cos(pitch) * std::cos(yaw), std::cos(pitch) * std::sin(yaw), std::sin(pitch)};
    float t[3] = {-l[1], l[0], 0};
    float tl = std::sqrt(t[0] * t[0] + t[1] * t[1]);
    if (tl < 1e-4f) t[0] = 1, t[1] = 0, tl = 1;
    t[0] /= tl, t[1] /= tl;
    const float b[3] = {l[1] * t[2] - l[2] * t[1], l[2] * t[0] - l[0] * t[2], l[0] * t[1] - l[1] * t[0]};
    const float lightRot[9] = {t[0], t[1], t[2], b[0], b[1], b[2], l[0], l[1], l[2]};
    gl::UniformMatrix3fv(p.Uniform("light_rot"), 1, GL_FALSE, lightRot);
    const float sun = s.ptSunIntensity * kSunPower, sky = s.ptSkyIntensity * kSkyPower;
    gl::Uniform4f(p.Uniform("Ld"), Linear(s.ptSunColor[0], s.ptGamma) * sun, Linear(s.ptSunColor[1], s.ptGamma) * sun,
                  Linear(s.ptSunColor[2], s.ptGamma) * sun, std::cos(kSunSize * 0.5f * kPi / 180.0f));
    gl::Uniform3f(p.Uniform("Le"), Linear(s.ptSkyColor[0], s.ptGamma) * sky, Linear(s.ptSkyColor[1], s.ptGamma) * sky,
                  Linear(s.ptSkyColor[2], s.ptGamma) * sky);
    gl::Uniform3f(p.Uniform("Lg"), Linear(s.ptGround[0], s.ptGamma), Linear(s.ptGround[1], s.ptGamma),
                  Linear(s.ptGround[2], s.ptGamma));
}

void TK_SceneRenderer_PT::BindSamplers(const GLProgram& p) const {
    const char* names[] = {"pal", "mtl", "rng", "df", "mc", "ct"};
    const GLTexture* textures[] = {&m_palette, &m_materials, &m_noise, &m_volume, &m_smooth, &m_colors};
    for (int unit = 0; unit < 6; ++unit) {
        gl::Uniform1i(p.Uniform(names[unit]), unit);
        textures[unit]->Bind(unit);
    }
}

void TK_SceneRenderer_PT::UnbindSamplers() const {
    const GLTexture* textures[] = {&m_palette, &m_materials, &m_noise, &m_volume, &m_smooth, &m_colors};
    for (int unit = 5; unit >= 0; --unit) textures[unit]->Unbind(unit);
}

void TK_SceneRenderer_PT::SetSampleUniforms(const GLProgram& p) {
    auto unit = [this] { return float(NextRandom() >> 9) * (1.0f / 8388608.0f); };  // 23 bits
    float r[16];
    for (float& v : r) v = unit();
    gl::Uniform4f(p.Uniform("light_lobe"), r[0] * 2.0f * kPi, r[1], r[2], r[3]);
    gl::Uniform4f(p.Uniform("dices"), r[4], r[5], r[6], r[7]);
    gl::Uniform4f(p.Uniform("lobes"), r[8], r[9], r[10], r[11]);
    gl::Uniform4f(p.Uniform("lobes2"), r[12], r[13], r[14], r[15]);
    float eye[3];
    ToModel(m_camera.eye, eye);
    gl::Uniform3f(p.Uniform("view_eye"), eye[0], eye[1], eye[2]);
    // Depth of field focuses on the picked distance, else on the camera's
    // focus point.
    const TK_Settings& s = m_env->settings;
    const float focus = s.ptFocus > 0 ? s.ptFocus : m_camera.radius;
    const float lens = m_camera.ortho || s.ptProjection ? 0.0f : s.ptDof * 0.05f * focus;
    gl::Uniform4f(p.Uniform("view_dir"), lens, focus, 0, 0);
    // One emissive voxel, drawn uniformly, for the light sampled at hits.
    gl::Uniform1f(p.Uniform("area_pdf"), float(m_lights.size()));
    if (m_lights.empty()) return;
    const Voxel& v = m_lights[NextRandom() % m_lights.size()];
    const uint32_t c = m_env->model.palette[v.colorIndex];
    const float flux = m_env->materials[v.colorIndex].flux;
    gl::Uniform3f(p.Uniform("area_p"), float(v.x), float(v.y), float(v.z));
    gl::Uniform1f(p.Uniform("area_r"), 0.5f);
    gl::Uniform3f(p.Uniform("area_L"), Linear(uint8_t(ColorR(c)), s.ptGamma) * flux,
                  Linear(uint8_t(ColorG(c)), s.ptGamma) * flux, Linear(uint8_t(ColorB(c)), s.ptGamma) * flux);
}

// Every pass sets the state it draws with (see the rule in TK_Renderers.h):
// the caller has set the viewport, blending and the program. With rows > 0
// only the rows from firstRow on are drawn.
void TK_SceneRenderer_PT::DrawQuad(float s0, float t0, float s1, float t1, int firstRow, int rows) const {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (rows > 0) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, firstRow, m_width, rows);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0), glVertex2f(-1, -1);
    glTexCoord2f(s1, t0), glVertex2f(1, -1);
    glTexCoord2f(s1, t1), glVertex2f(1, 1);
    glTexCoord2f(s0, t1), glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_SCISSOR_TEST);
}

// The accumulation and previous-picture targets at the image size; the 1 by
// 1 depth target. Recreated when the size changed.
bool TK_SceneRenderer_PT::PrepareTargets() {
    if (m_width < 1 || m_height < 1) return false;
    if (m_accum.Width() != m_width || m_accum.Height() != m_height || !m_accumFbo.Name()) {
        GLSampler nearest;
        const int w = m_width, h = m_height;
        if (!m_accum.Create(GL_TEXTURE_2D, GL_RGBA32F_ARB, w, h, 1, GL_RGBA, GL_FLOAT, nullptr, nearest) ||
            !m_last.Create(GL_TEXTURE_2D, GL_RGBA8, w, h, 1, GL_RGBA, GL_UNSIGNED_BYTE, nullptr, nearest) ||
            !m_depth.Create(GL_TEXTURE_2D, GL_RGBA32F_ARB, 1, 1, 1, GL_RGBA, GL_FLOAT, nullptr, nearest) ||
            !m_accumFbo.Create() || !m_lastFbo.Create() || !m_depthFbo.Create())
            return false;
        const GLFramebuffer* fbos[] = {&m_accumFbo, &m_lastFbo, &m_depthFbo};
        const GLTexture* textures[] = {&m_accum, &m_last, &m_depth};
        for (int i = 0; i < 3; ++i) {
            fbos[i]->Bind();
            gl::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures[i]->Name(), 0);
            const bool complete = gl::CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
            fbos[i]->Unbind();
            if (!complete) {
                m_accumFbo.Release();
                return false;
            }
        }
        m_saveLast = false;
        m_hasLast = false;
        m_samples = 0;
        m_row = 0;
        m_bandRows = 0;
    }
    return true;
}

void TK_SceneRenderer_PT::SaveLastPicture() {
    m_saveLast = false;
    if (m_lastSamples < 1) return;
    m_lastFbo.Bind();
    glViewport(0, 0, m_width, m_height);
    DisplayUniforms u = DisplayParameters();
    u.weight = 1;
    u.invNumSamples = 1.0f / float(m_lastSamples);
    // The target cannot be read while it is written: the accumulation
    // stands in for the unused previous picture.
    DrawDisplay(u, m_accum);
    m_lastFbo.Unbind();
    m_hasLast = true;
}

bool TK_SceneRenderer_PT::SamplePass() {
    if (!CanDraw() || m_width < 1 || m_height < 1) return false;
    if (m_volumeDirty) UploadVolume();
    if (m_materialsDirty) UploadMaterials();
    if (m_preview && OS_Seconds() - m_movedAt > m_restartDelay && PrepareTargets()) EndPreview();
    if (m_samples >= Target() || (!m_preview && m_stopwatch.Elapsed() <= m_restartDelay)) return false;
    if (!PrepareTargets()) return false;
    if (m_row == 0) {
        if (m_samples == 0 && m_saveLast) SaveLastPicture();
        std::copy(m_seeds, m_seeds + 4, m_sampleSeeds);
    } else {
        // Every band of a sample draws the same random numbers.
        std::copy(m_sampleSeeds, m_sampleSeeds + 4, m_seeds);
    }
    const int rows = NextBandRows();
    const double start = OS_Seconds();
    TraceBand(rows);
    if (m_frameBudget > 0) {
        glFinish();  // the band's time, not the time to queue it
        m_bandRows = rows;
        m_bandSeconds = OS_Seconds() - start;
    }
    m_row += rows;
    if (m_row >= TraceHeight()) {
        m_row = 0;
        if (++m_samples == 1) m_firstSampleAt = OS_Seconds();
    }
    return true;
}

// The rows that fit the frame budget at the speed of the last band: one
// at first, at most twice the last band. Bands keep to tiles of 64 rows
// (whole tiles, or parts of one), which software rasterisers work in.
int TK_SceneRenderer_PT::NextBandRows() const {
    constexpr int kTile = 64;
    const int left = TraceHeight() - m_row;
    // A moving camera's sample is gone the next frame: it is traced whole.
    if (m_frameBudget <= 0 || m_preview) return left;
    if (m_bandRows < 1) return 1;
    const double fit = double(m_bandRows) * m_frameBudget / std::max(m_bandSeconds, 1e-6);
    int rows = int(std::clamp(fit, 1.0, 2.0 * m_bandRows));
    rows = rows >= kTile ? rows - rows % kTile : std::min(rows, kTile - m_row % kTile);
    return std::min(rows, left);
}

void TK_SceneRenderer_PT::TraceBand(int rows) {
    m_accumFbo.Bind();
    if (m_samples == 0 && m_row == 0) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    const GLProgram& program = SampleProgram().program;
    program.Use();
    SetCommonUniforms(program);
    SetSampleUniforms(program);
    glViewport(0, 0, TraceWidth(), TraceHeight());
    // The whole image's quad, cut to the band: each pixel gets the very
    // values it gets in one pass.
    DrawQuad(0, 0, 1, 1, m_row, rows);
    UnbindSamplers();
    GLProgram::UseNone();
    glDisable(GL_BLEND);
    m_accumFbo.Unbind();
}

TK_SceneRenderer_PT::DisplayUniforms TK_SceneRenderer_PT::DisplayParameters() const {
    const TK_Settings* s = m_env ? &m_env->settings : nullptr;
    DisplayUniforms u;
    // Until the first sample of a new picture the previous one shows, and
    // the new one fades in over it. With no previous picture (the first
    // after the targets were made) there is nothing to fade from: a fade
    // from black would keep a slow renderer dark for dozens of samples;
    // the first sample shows band by band as it is traced.
    const bool fade = (m_hasLast || m_saveLast) && !m_preview;
    u.weight = m_samples + m_row > 0 ? 1.0f : 0.0f;
    if (fade && m_samples == 0) u.weight = 0;
    if (fade && m_samples > 0 && m_samples < Target() && m_fadeSeconds > 0)
        u.weight = float(std::min(1.0, (OS_Seconds() - m_firstSampleAt) / m_fadeSeconds));
    u.invNumSamples = m_samples > 0 ? 1.0f / float(m_samples) : 1.0f;
    u.expo = s ? s->ptExposure * 7.0f : 1.0f;
    u.gamma = s ? 1.0f / std::max(s->ptGamma, 1.0f) : 1.0f;
    u.vig = s ? s->ptVignette * s->ptVignette * 5.0f : 0.0f;
    return u;
}

void TK_SceneRenderer_PT::DrawDisplay(const DisplayUniforms& u, const GLTexture& last, bool preview) const {
    const GLProgram& p = m_display.program;
    p.Use();
    gl::Uniform1f(p.Uniform("weight"), u.weight);
    gl::Uniform1f(p.Uniform("invNumSamples"), u.invNumSamples);
    gl::Uniform1f(p.Uniform("expo"), u.expo);
    gl::Uniform1f(p.Uniform("gamma"), u.gamma);
    gl::Uniform1f(p.Uniform("vig"), u.vig);
    gl::Uniform2f(p.Uniform("imageSize"), float(m_width), float(m_height));
    gl::Uniform1f(p.Uniform("area"), preview ? 0.5f : 1.0f);
    gl::Uniform1i(p.Uniform("tex_accum"), 0);
    gl::Uniform1i(p.Uniform("tex_last"), 1);
    m_accum.Bind(0);
    last.Bind(1);
    glDisable(GL_BLEND);
    // A preview fills the lower-left quarter of the accumulation.
    const float used = preview ? 0.5f : 1.0f;
    DrawQuad(0, 0, used, used);
    last.Unbind(1);
    m_accum.Unbind(0);
    GLProgram::UseNone();
}

void TK_SceneRenderer_PT::Display(const OMB_Rect& rect) {
    if (!CanDraw() || !PrepareTargets() || rect.Width() < 1 || rect.Height() < 1) return;
    glViewport(rect.x0, rect.y0, rect.Width(), rect.Height());
    DrawDisplay(DisplayParameters(), m_last, m_preview);
}

void TK_SceneRenderer_PT::DepthQuery(int x, int y, float out[4]) {
    out[0] = out[1] = out[2] = out[3] = 0;
    if (!CanDraw() || x < 0 || y < 0 || x >= m_width || y >= m_height || !m_programs[kDepth].program.IsValid()) return;
    if (m_volumeDirty) UploadVolume();
    if (m_materialsDirty) UploadMaterials();
    if (!PrepareTargets()) return;
    m_depthFbo.Bind();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, 1, 1);
    const GLProgram& program = m_programs[kDepth].program;
    program.Use();
    SetCommonUniforms(program);
    SetSampleUniforms(program);
    const float s = (float(x) + 0.5f) / float(m_width), t = (float(y) + 0.5f) / float(m_height);
    DrawQuad(s, t, s, t);
    UnbindSamplers();
    GLProgram::UseNone();
    m_depthFbo.Unbind();
    glBindTexture(GL_TEXTURE_2D, m_depth.Name());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, out);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool TK_SceneRenderer_PT::ReadImage(Image& out, bool alpha) {
    if (!CanDraw() || !PrepareTargets()) return false;
    GLTexture texture;
    GLFramebuffer fbo;
    GLSampler nearest;
    if (!texture.Create(GL_TEXTURE_2D, GL_RGBA8, m_width, m_height, 1, GL_RGBA, GL_UNSIGNED_BYTE, nullptr, nearest) ||
        !fbo.Create())
        return false;
    fbo.Bind();
    gl::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.Name(), 0);
    glViewport(0, 0, m_width, m_height);
    DisplayUniforms u = DisplayParameters();
    if (m_samples > 0) u.weight = 1;  // the picture itself, not a fade
    DrawDisplay(u, m_last, m_preview);
    OMB_Rect rect;
    rect.x1 = m_width - 1;
    rect.y1 = m_height - 1;
    const bool ok = TK_ReadPixels(rect, alpha, out);
    fbo.Unbind();
    return ok;
}

bool TK_SceneRenderer_PT::ReadRadiance(std::vector<float>& rgba) {
    if (!CanDraw() || !PrepareTargets() || m_samples < 1) return false;
    const size_t row = size_t(m_width) * 4;
    std::vector<float> sums(row * size_t(m_height));
    m_accum.Bind(0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, sums.data());
    m_accum.Unbind(0);
    rgba.resize(sums.size());
    for (int y = 0; y < m_height; ++y) {
        const float* src = &sums[size_t(m_height - 1 - y) * row];
        float* dst = &rgba[size_t(y) * row];
        for (size_t i = 0; i < row; i += 4) {
            // Alpha counts the samples that reached the pixel.
            const float n = src[i + 3] > 0 ? src[i + 3] : 1.0f;
            dst[i] = src[i] / n, dst[i + 1] = src[i + 1] / n, dst[i + 2] = src[i + 2] / n, dst[i + 3] = 1;
        }
    }
    return true;
}
