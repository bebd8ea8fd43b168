// TK_SceneRenderer: set-up, flags, the environment listener, the
// derived-data nodes and the frame's outline (see TK_SceneRenderer.h). The
// drawing passes are in TK_SceneDraw.cpp.
//
//   Shaders ............ the voxel program's sources
//   Camera fit ......... framing a model
//   Lifecycle .......... Init, Shutdown, LoadSettings
//   State .............. flags, listener, node computations, faces or rays
//   Render ............. the frame, step by step
#include "render/TK_SceneRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/TK_EditorEnv.h"
#include "render/TK_Picking.h"

// ---------------------------------------------------------------- shaders

namespace {

// Vertices carry the palette index in w; the volume is sampled half a voxel
// in front of the face, so occupied neighbours darken the corners.
const char kVoxelVertexShader[] = R"(#version 110
uniform vec4 scale;
uniform vec3 ao_offset;
varying vec3 aoCoord;
varying float paletteCoord;
void main() {
    vec4 p = vec4(gl_Vertex.xyz, 1.0);
    gl_Position = gl_ModelViewProjectionMatrix * p;
    aoCoord = p.xyz * scale.xyz + ao_offset;
    paletteCoord = (gl_Vertex.w + 0.5) * scale.w;
}
)";

// Luminance of the volume is occupancy, alpha the shadow of the light;
// emissive colours ("look" 255) show unshaded.
const char kVoxelFragmentShader[] = R"(#version 110
uniform sampler1D palette;
uniform sampler1D look;
uniform sampler3D ao;
uniform vec2 factor;
uniform vec3 ambient_color;
varying vec3 aoCoord;
varying float paletteCoord;
void main() {
    vec3 albedo = texture1D(palette, paletteCoord).rgb;
    if (texture1D(look, paletteCoord).r > 0.5) {
        gl_FragColor = vec4(albedo, 1.0);
        return;
    }
    vec4 around = texture3D(ao, aoCoord);
    float occlusion = mix(1.0, 1.0 - 0.6 * around.r, factor.y);
    float direct = factor.x * (1.0 - 0.5 * around.a);
    gl_FragColor = vec4(albedo * (direct + ambient_color) * occlusion, 1.0);
}
)";

// Casting rays over a view costs about as much as drawing this many faces
// per pixel of it (llvmpipe at 1280 x 800, single-sampled as the editor's
// window, bench/bench_render.cpp: the full 126 box, 95k faces, casts in
// 0.3 to 0.4 of the faces' time; the 60-cell sphere, 68k faces, in about
// twice it). Above 82k faces at that size, rays.
constexpr double kFacesPerPixel = 0.08;
// Building the ray caster's program costs about as much as drawing this many
// faces once (llvmpipe compiles it in 0.15 to 0.6 s): a renderer that has
// not built it (a thumbnail's) casts rays only for models this much dearer.
constexpr double kProgramFaces = 300000;

}  // namespace

void TK_SceneRenderer::DirectionFactor(int dir, float out[2]) {
    static const float kNormals[7][3] = {{0, 0, 0}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    const float length = std::sqrt(1.3f * 1.3f + 1.5f * 1.5f + 1.7f * 1.7f);
    const float light[3] = {1.3f / length, -1.5f / length, 1.7f / length};
    const float* n = kNormals[dir >= 1 && dir <= 6 ? dir : 0];
    const float d = n[0] * light[0] + n[1] * light[1] + n[2] * light[2];
    out[0] = 1.2f * (d > 0 ? d : 0.9f * std::fabs(d));
    out[1] = 0.9f;
}

float TK_SceneRenderer::FlatGrey(int dir) {
    float f[2], top[2];
    DirectionFactor(dir, f);
    DirectionFactor(6, top);
    return f[0] + 1.0f - top[0];
}

// ---------------------------------------------------------------- camera fit

void TK_FitCameraDepth(Camera& camera, const int size[3]) {
    // A cell of margin: seen straight along an axis, the model's nearest
    // faces lie exactly on the near plane and would be clipped.
    const float lo[3] = {-1, -1, -1}, hi[3] = {float(size[0] + 1), float(size[1] + 1), float(size[2] + 1)};
    float worldLo[3], worldHi[3];
    TK_ModelToWorld(lo, worldLo);
    TK_ModelToWorld(hi, worldHi);
    camera.FitDepth(worldLo, worldHi);
}

void TK_FitCameraToModel(Camera& camera, const int size[3], float aspect, float pitch, float yaw) {
    camera.SetMode(Camera::kPerspective);
    camera.SetFov(camera.fov, aspect);
    camera.SetAngle(-pitch, -yaw, 0);
    const float centre[3] = {0.5f * float(size[0]), 0.5f * float(size[1]), 0.5f * float(size[2])};
    float focus[3];
    TK_ModelToWorld(centre, focus);
    camera.SetFocus(focus);
    // The bounding sphere fits the narrower half-angle of the view.
    const float sphere = std::sqrt(centre[0] * centre[0] + centre[1] * centre[1] + centre[2] * centre[2]);
    const float halfAngle = std::atan(std::min(camera.frustumX, camera.frustumY));
    camera.SetRadius(1.05f * sphere / std::sin(halfAngle));
    TK_FitCameraDepth(camera, size);
}

// ---------------------------------------------------------------- lifecycle

TK_SceneRenderer::TK_SceneRenderer() = default;

TK_SceneRenderer::~TK_SceneRenderer() { Shutdown(); }

bool TK_SceneRenderer::Init(TK_EditorEnv& env) {
    Shutdown();
    m_env = &env;
    LoadSettings(env.workspace);
    LinkNodes(env);
    env.listeners.Connect(this, &TK_SceneRenderer::OnEditorMessage);
    const uint32_t zeros[256] = {};
    GLSampler nearest;
    if (!m_paletteTexture.CreatePalette(zeros, nearest)) return false;
    m_paletteAll = true;
    const uint8_t none[256] = {};
    m_lookTexture.Create1D(GL_LUMINANCE8, 256, GL_LUMINANCE, none, nearest);
    m_emissive.reset();
    m_lookUploaded = false;
    if (glHasGLSL && m_program.Build(kVoxelVertexShader, kVoxelFragmentShader)) {
        m_uniformFactor = m_program.Uniform("factor");
        m_uniformOffset = m_program.Uniform("ao_offset");
        m_uniformPalette = m_program.Uniform("palette");
        m_uniformAo = m_program.Uniform("ao");
        m_uniformScale = m_program.Uniform("scale");
        m_uniformAmbient = m_program.Uniform("ambient_color");
        m_uniformLook = m_program.Uniform("look");
    }
    return true;
}

void TK_SceneRenderer::Shutdown() {
    if (m_env) m_env->listeners.Disconnect(this);
    m_env = nullptr;
    m_nodes.reset();
    m_program.Release();
    m_paletteTexture.Release();
    m_volumeTexture.Release();
    m_lookTexture.Release();
    m_caster.Release();
    m_casterTried = false;
    m_volume = TK_VoxelVolume();
}

void TK_SceneRenderer::LoadSettings(const TK_Workspace& workspace) {
    std::memcpy(m_groundColor, workspace.groundColor, sizeof m_groundColor);
    std::memcpy(m_edgeColor, workspace.edgeColor, sizeof m_edgeColor);
    std::memcpy(m_ambientColor, workspace.ambientColor, sizeof m_ambientColor);
    std::memcpy(m_bgBottom, workspace.bgColorBottom, sizeof m_bgBottom);
    std::memcpy(m_bgTop, workspace.bgColorTop, sizeof m_bgTop);
    // The ground colour lives in palette texel 0.
    m_paletteAll = true;
    if (m_nodes) m_nodes->palette.SetDirty(true);
}

void TK_SceneRenderer::SetColors(const uint8_t ground[4], const uint8_t edge[4]) {
    std::memcpy(m_groundColor, ground, sizeof m_groundColor);
    std::memcpy(m_edgeColor, edge, sizeof m_edgeColor);
    m_paletteAll = true;
    if (m_nodes) m_nodes->palette.SetDirty(true);
}

// ---------------------------------------------------------------- state

// The environment marks its geometry and colour nodes before it tells the
// listeners; voxel recolouring and single palette entries are told here.
void TK_SceneRenderer::LinkNodes(TK_EditorEnv& env) {
    m_nodes.reset(new Nodes);
    Nodes& n = *m_nodes;
    n.surface.AddInput(&env.geometryNode);
    n.surface.AddInput(&n.recolor);
    n.surface.SetCompute([this] { m_surface.Build(m_env->model); });
    n.palette.AddInput(&env.colorNode);
    n.palette.SetCompute([this] { UploadPalette(); });
    n.volume.AddInput(&env.geometryNode);
    n.volume.SetCompute([this] { UploadVolume(); });
    n.edges.AddInput(&env.geometryNode);
    n.edges.SetCompute([this] { Surface().BuildEdges(m_edges); });
    n.cast.AddInput(&env.geometryNode);
    n.cast.AddInput(&n.recolor);
    n.cast.SetCompute([this] { UpdateCast(); });
}

void TK_SceneRenderer::OnEditorMessage(int kind, int value) {
    if (!m_nodes) return;
    if (kind == TK_NOTIFY_PALETTE) {
        if (value == 0)
            m_paletteAll = true;
        else if (value >= 1 && value <= 255)
            m_paletteEntries.set(size_t(value));
    } else if (kind == TK_NOTIFY_MODEL && (value & (TK_CHANGE_COLORS | TK_CHANGE_PALETTE_COLORS))) {
        m_nodes->recolor.SetDirty(true);
        MarkDirty(&m_nodes->recolor);
        if (value & TK_CHANGE_PALETTE_COLORS) m_paletteAll = true;
    }
    // Brush previews come as 256 (512 for paint strokes).
    if (kind == TK_NOTIFY_MODEL && (value & (TK_CHANGE_SHAPE | TK_CHANGE_PALETTE_COLORS))) m_previewDirty = true;
}

void TK_SceneRenderer::DrawPreview() {
    if (m_previewDirty) {
        m_previewDirty = false;
        m_preview.Build(m_env->previewVoxels, m_env->previewKind, m_env->model.palette);
    }
    if (m_env->previewVoxels) m_preview.Draw();
}

void TK_SceneRenderer::DrawHoverCursor() {
    if (!m_hover.shown || m_hover.face < 1 || m_hover.face > 6) return;
    // A hair outside the cell, so the outline is not hidden by the faces it
    // lies on.
    float lo[3], hi[3];
    for (int a = 0; a < 3; ++a) lo[a] = float(m_hover.cell[a]) - 0.02f, hi[a] = float(m_hover.cell[a]) + 1.02f;
    m_batch.Begin(GL_LINES);
    m_batch.SetColor(m_hover.rgba[0], m_hover.rgba[1], m_hover.rgba[2], 255);
    for (int a = 0; a < 3; ++a)
        for (int corner = 0; corner < 4; ++corner) {
            const int u = (a + 1) % 3, v = (a + 2) % 3;
            float p[3], q[3];
            p[a] = lo[a], q[a] = hi[a];
            p[u] = q[u] = corner & 1 ? hi[u] : lo[u];
            p[v] = q[v] = corner & 2 ? hi[v] : lo[v];
            m_batch.AddVertex(p[0], p[1], p[2]);
            m_batch.AddVertex(q[0], q[1], q[2]);
        }
    m_batch.End();
    glLineWidth(1.5f);
    m_batch.Draw();
    // The face the stroke grows from, bolder.
    const int axis = TK_FaceAxis(m_hover.face), u = (axis + 1) % 3, v = (axis + 2) % 3;
    float p[3];
    p[axis] = kFaceOffset[m_hover.face][axis] > 0 ? hi[axis] : lo[axis];
    m_batch.Begin(GL_LINE_LOOP);
    m_batch.SetColor(m_hover.rgba[0], m_hover.rgba[1], m_hover.rgba[2], 255);
    const float corners[4][2] = {{lo[u], lo[v]}, {hi[u], lo[v]}, {hi[u], hi[v]}, {lo[u], hi[v]}};
    for (const auto& c : corners) {
        p[u] = c[0], p[v] = c[1];
        m_batch.AddVertex(p[0], p[1], p[2]);
    }
    m_batch.End();
    glLineWidth(3.0f);
    m_batch.Draw();
    glLineWidth(1.0f);
}

void TK_SceneRenderer::DrawRuler() {
    // Ticks along the model's x and y edges on the floor: one per cell,
    // longer every 5th, longest every 10th, so sizes can be counted.
    const int* size = m_env->model.size;
    m_batch.Begin(GL_LINES);
    m_batch.SetColorF(1.0f, 0.85f, 0.2f, 1.0f);
    for (int axis = 0; axis < 2; ++axis)
        for (int i = 0; i <= size[axis]; ++i) {
            const float len = i % 10 == 0 ? 1.5f : i % 5 == 0 ? 1.0f : 0.5f;
            float p[3] = {0, 0, 0};
            p[axis] = float(i);
            m_batch.AddVertex(p[0], p[1], p[2]);
            p[1 - axis] = -len;
            m_batch.AddVertex(p[0], p[1], p[2]);
        }
    m_batch.End();
    glLineWidth(1.0f);
    m_batch.Draw();
}

void TK_SceneRenderer::SetFlags(int flags) {
    const int changed = flags ^ m_flags;
    m_flags = flags;
    if (!m_nodes) return;
    if (changed & TK_SHOW_EDGE) m_nodes->edges.SetDirty(true);
    if ((changed & (TK_SHOW_SHADOW | TK_SHOW_MODE)) && (flags & TK_SHOW_MODE)) m_nodes->volume.SetDirty(true);
    if (changed & TK_SHOW_SHADOW) m_nodes->cast.SetDirty(true);
}

void TK_SceneRenderer::UpdateVolume() {
    if (m_nodes) m_nodes->volume.SetDirty(true);
}

const TK_VoxelVolume& TK_SceneRenderer::Volume() {
    if (m_nodes) Update(&m_nodes->cast);
    return m_volume;
}

void TK_SceneRenderer::UpdateCast() {
    const TK_CellBox changed = m_volume.Update(m_env->model, (m_flags & TK_SHOW_SHADOW) != 0);
    if (m_caster.IsReady()) m_caster.Upload(m_volume, changed);
}

// Kept in step with the materials every frame: 256 comparisons, and an
// upload only when a colour turned emissive or back.
void TK_SceneRenderer::UploadLook() {
    std::bitset<256> emissive;
    for (int i = 1; i < 256; ++i) emissive[size_t(i)] = m_env->materials[i].type == TK_MATERIAL_EMIT;
    if (m_lookUploaded && emissive == m_emissive) return;
    uint8_t texels[256];
    for (int i = 0; i < 256; ++i) texels[i] = emissive[size_t(i)] ? 255 : 0;
    m_lookTexture.Update(0, 0, 0, 256, 1, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE, texels);
    m_emissive = emissive;
    m_lookUploaded = true;
}

// Rays need the caster. They draw grid and edge lines on the faces they
// hit, so lines over depth-only faces (no "face") keep the faces.
bool TK_SceneRenderer::ChooseRays(int width, int height) {
    const bool linesAlone = !(m_flags & TK_SHOW_FACE) && (m_flags & (TK_SHOW_GRID | TK_SHOW_EDGE));
    if (m_path == TK_VoxelPath::kFaces || linesAlone) return false;
    if (m_path == TK_VoxelPath::kAuto) {
        const double pixels = kFacesPerPixel * double(width) * double(height);
        if (double(Volume().FaceCount()) <= pixels + (m_caster.IsReady() ? 0.0 : kProgramFaces)) return false;
    }
    return CanCastRays();
}

// The program is built when rays are first chosen (or by PrepareRays): a
// thumbnail of a small model never pays for its compilation. Without GLSL
// 1.30 every frame draws faces.
bool TK_SceneRenderer::CanCastRays() {
    if (m_caster.IsReady()) return true;
    if (m_casterTried || !m_nodes) return false;
    m_casterTried = true;
    if (!m_caster.Init()) return false;
    m_caster.Upload(Volume(), TK_CellBox());
    return true;
}

bool TK_SceneRenderer::CanShade() const { return glHasGLSL && glHasTexture3D && m_program.IsValid(); }

const TK_VoxelSurface& TK_SceneRenderer::Surface() {
    if (m_nodes) Update(&m_nodes->surface);
    return m_surface;
}

void TK_SceneRenderer::UploadPalette() {
    uint32_t texels[256];
    std::memcpy(texels, m_env->model.palette.entries, sizeof texels);
    texels[0] = PackRGBA(m_groundColor[0], m_groundColor[1], m_groundColor[2], m_groundColor[3]);
    if (m_paletteAll) {
        m_paletteTexture.Update(0, 0, 0, 256, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    } else {
        for (int i = 1; i < 256; ++i)
            if (m_paletteEntries.test(size_t(i)))
                m_paletteTexture.Update(i, 0, 0, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &texels[i]);
    }
    m_paletteAll = false;
    m_paletteEntries.reset();
}

void TK_SceneRenderer::UploadVolume() {
    const TK_VoxelSurface& surface = Surface();
    surface.BuildOcclusion((m_flags & TK_SHOW_SHADOW) != 0, m_volumeBytes);
    GLSampler sampler;
    // Outside the model is empty: the border (0, 0, 0, 0) stands for it.
    sampler.wrapS = sampler.wrapT = sampler.wrapR = GL_CLAMP_TO_BORDER;
    sampler.magFilter = sampler.minFilter = GL_LINEAR;
    const int* size = surface.Size();
    m_volumeTexture.Create(GL_TEXTURE_3D, GL_LUMINANCE8_ALPHA8, size[0], size[1], size[2], GL_LUMINANCE_ALPHA,
                           GL_UNSIGNED_BYTE, m_volumeBytes.data(), sampler);
}

void TK_SceneRenderer::MakeFaceView(const Camera& camera) {
    m_view.ortho = camera.ortho != 0;
    TK_WorldToModel(camera.eye, m_view.eye);
    const float forward[3] = {-camera.Back()[0], -camera.Back()[1], -camera.Back()[2]};
    TK_WorldToModel(forward, m_view.viewDir);
}

// ---------------------------------------------------------------- render

void TK_SceneRenderer::Render(const OMB_Rect& rect, const Camera& camera) {
    const int width = rect.Width(), height = rect.Height();
    if (!m_nodes || width < 1 || height < 1) return;
    Update(&m_nodes->palette);
    UploadLook();
    const bool rays = ChooseRays(width, height);
    m_castLast = rays;
    if (rays)
        Update(&m_nodes->cast);
    else
        Update(&m_nodes->surface);
    glViewport(rect.x0, rect.y0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    if (m_flags & TK_SHOW_BG) DrawBackground();
    glEnable(GL_MULTISAMPLE);
    glEnable(GL_SCISSOR_TEST);
    glScissor(rect.x0, rect.y0, width, height);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    LoadCameraMatrices(camera, width, height);
    MakeFaceView(camera);
    if (m_flags & TK_SHOW_AMBIENT)
        std::memcpy(m_ambient, m_ambientColor, sizeof m_ambient);
    else
        m_ambient[0] = m_ambient[1] = m_ambient[2] = 0.04f;

    const bool faces = (m_flags & TK_SHOW_FACE) != 0;
    const bool lines = (m_flags & (TK_SHOW_EDGE | TK_SHOW_GRID | TK_SHOW_FRAME)) != 0;
    const bool shaded = (m_flags & TK_SHOW_MODE) != 0 && CanShade();
    glEnable(GL_DEPTH_TEST);
    if (!faces) glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    if (lines) {
        // Faces step back in depth so that lines on them win the depth test.
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 25.0f);
    }
    if (rays)
        CastFaces(rect, camera, shaded, lines);
    else if (faces)
        DrawFaces(shaded);
    else
        DrawDepthOnlyFaces();
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    if (lines) {
        glDepthMask(GL_FALSE);
        if ((m_flags & TK_SHOW_GRID) && !rays) {
            glLineWidth(faces ? 1.0f : 2.0f);
            DrawFaceOutlines(shaded);
        }
        if ((m_flags & TK_SHOW_EDGE) && !rays) DrawEdges();
        glDepthMask(GL_TRUE);
        if (m_flags & TK_SHOW_FRAME) DrawFrame();
    }
    DrawPreview();
    if (m_ruler) DrawRuler();
    DrawHoverCursor();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_MULTISAMPLE);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}
