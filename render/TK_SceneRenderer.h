// TK_SceneRenderer: draws the current model in the editor's 3D view with
// OpenGL: an optional background gradient, the visible voxel faces (shaded by
// the GLSL voxel program with ambient occlusion from a volume texture, or
// flat-shaded by the fixed-function pipeline), per-face grid outlines, the
// model's edge lines, its bounding frame, an optional ground plane and the
// live preview of a brush stroke.
//
// It keeps GPU copies of the palette (a 1D texture) and of the model volume
// (a 3D texture) and rebuilds its derived data lazily through change
// propagation nodes linked to the environment's geometry and colour nodes;
// the environment's change notifications reach it as a listener. Face quads
// are rebuilt every frame into one reused array.
//
// Where a model's faces would cost more to draw than the view's pixels, the
// voxels are ray cast instead (TK_VoxelRayCaster): the same picture, the
// same depth, and no face list built at all. Every pass after the voxels
// (frame, preview, ruler, cursor) draws the same way over either.
//
// Rules: Init, Render and the destructor need the OpenGL context current; the
// environment must outlive the renderer. The model is drawn in model
// coordinates (z up) mapped into the camera's y-up world by TK_ModelToWorld.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/OMB_DGNode.h"
#include "core/OMB_Rect.h"
#include "model/TK_Settings.h"
#include "render/Camera.h"
#include "render/GLObjects.h"
#include "render/GLVertexBatch.h"
#include "render/TK_PreviewMesh.h"
#include "render/TK_VoxelRayCaster.h"
#include "render/TK_VoxelSurface.h"
#include "render/TK_VoxelVolume.h"

class TK_EditorEnv;
struct TK_Workspace;


// Model coordinates (z up) to the camera's world (y up) and back: world =
// (x, z, -y). A rotation, so lengths and handedness are kept.
inline void TK_ModelToWorld(const float m[3], float w[3]) {
    const float x = m[0], y = m[1], z = m[2];
    w[0] = x, w[1] = z, w[2] = -y;
}
// The same as a column-major matrix.
inline constexpr float kModelToWorldMatrix[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
inline void TK_WorldToModel(const float w[3], float m[3]) {
    const float x = w[0], y = w[1], z = w[2];
    m[0] = x, m[1] = -z, m[2] = y;
}

// Points the camera at the middle of a model box of `size` cells from the
// angle (pitch, yaw) in the view's convention (positive pitch looks down),
// in perspective, far enough away for the whole box to fit a view of the
// given aspect, and fits the depth range.
void TK_FitCameraToModel(Camera& camera, const int size[3], float aspect, float pitch, float yaw);
// Near and far for the model box as the camera sees it now.
void TK_FitCameraDepth(Camera& camera, const int size[3]);

// How the voxels of a frame are drawn: chosen by cost, or forced (tests and
// benchmarks compare the two).
enum class TK_VoxelPath { kAuto, kFaces, kRays };

class TK_SceneRenderer {
public:
    // Light shading of a face direction (1..6; 0 = none): x = 1.2 * the
    // light term, y = 0.9.
    static void DirectionFactor(int dir, float out[2]);
    // The grey of a direction in flat mode: the top faces 1.0, the others
    // darker by their difference in light.
    static float FlatGrey(int dir);

    TK_SceneRenderer();
    ~TK_SceneRenderer();
    TK_SceneRenderer(const TK_SceneRenderer&) = delete;
    TK_SceneRenderer& operator=(const TK_SceneRenderer&) = delete;

    // Creates the textures and, when GLSL is available, the voxel program;
    // links the derived data to the environment and listens to it. False when
    // the palette texture cannot be made (nothing will draw).
    bool Init(TK_EditorEnv& env);
    // Releases GPU objects and unlinks from the environment; Init may follow.
    void Shutdown();
    // The "render" colours of the configuration.
    void LoadSettings(const TK_Workspace& workspace);
    // The ground and edge colours (RGBA), as "r_color" sets them.
    void SetColors(const uint8_t ground[4], const uint8_t edge[4]);

    // Stores the flags; an "edge" change rebuilds the edge list, a "shadow"
    // or "mode" change while "mode" is on rebuilds the occlusion volume.
    void SetFlags(int flags);
    int Flags() const { return m_flags; }
    // The 3D view's ruler overlay, drawn with the model.
    void SetRuler(bool on) { m_ruler = on; }
    // The outline of the cell (and its face) where a stroke would start,
    // drawn over the model in model cells; `shown` false draws none.
    struct HoverCursor {
        bool shown = false;
        int cell[3] = {0, 0, 0};
        int face = 0;
        uint8_t rgba[4] = {255, 255, 255, 255};
    };
    void SetHoverCursor(const HoverCursor& cursor) { m_hover = cursor; }
    // Re-uploads the volume on the next frame.
    void UpdateVolume();

    // Draws one frame into the current framebuffer within `rect`. Colour is
    // left as it was outside the faces unless "bg" is on; the depth buffer
    // is cleared within the rectangle.
    void Render(const OMB_Rect& rect, const Camera& camera);

    // True when the shaded path can draw (program built, 3D textures).
    bool CanShade() const;
    // Faces or rays: kAuto (the default) casts rays where the model's
    // faces would cost more to draw than the view's pixels, and only where
    // the ray caster draws everything the flags ask for.
    void SetVoxelPath(TK_VoxelPath path) { m_path = path; }
    // Builds the ray caster on first use; false where the driver cannot.
    bool CanCastRays();
    // Builds it now, for a view that will draw many frames (the editor's):
    // until it is built, the choice counts its compilation against the rays,
    // so one-shot pictures of small models never compile it.
    void PrepareRays() { CanCastRays(); }
    // Whether the last frame cast rays.
    bool LastFrameCastRays() const { return m_castLast; }
    // The ray caster's mirror of the model, brought up to date.
    const TK_VoxelVolume& Volume();
    // The derived surface, brought up to date.
    const TK_VoxelSurface& Surface();
    const GLProgram& Program() const { return m_program; }

private:
    // ---- state and caches (TK_SceneRenderer.cpp)
    void OnEditorMessage(int kind, int value);
    void LinkNodes(TK_EditorEnv& env);
    void UploadPalette();
    void UploadVolume();
    void MakeFaceView(const Camera& camera);
    bool ChooseRays(int width, int height);
    void UpdateCast();
    void UploadLook();
    // ---- drawing passes (TK_SceneDraw.cpp)
    void DrawBackground();
    void LoadCameraMatrices(const Camera& camera, int width, int height);
    void DrawFaces(bool shaded);
    void CastFaces(const OMB_Rect& rect, const Camera& camera, bool shaded, bool lines);
    void SetDirectionUniforms(int dir, float shade);
    void BeginShaded();
    void EndShaded();
    void DrawShadedFaces();
    void DrawFlatFaces();
    void DrawDepthOnlyFaces();
    void DrawFaceOutlines(bool shaded);
    void DrawEdges();
    void DrawFrame();
    // The brush stroke's preview over the model, rebuilt after a change.
    void DrawPreview();
    // Cell ticks along the model's x and y edges.
    void DrawRuler();
    void DrawHoverCursor();
    size_t BuildDirection(int dir);
    void SetFlatTextureMatrix();

    TK_EditorEnv* m_env = nullptr;
    int m_flags = kDefaultRasterFlags;

    // Derived data: each node recomputes its cache when an input changed.
    // Made by Init and dropped by Shutdown, which unlinks them from the
    // environment's nodes.
    struct Nodes {
        OMB_DGNodeX recolor;  // voxel colours changed (kind 1, bits 128/512)
        OMB_DGNodeX surface;  // face lists: geometry + voxel colours
        OMB_DGNodeX palette;  // palette texture: colours
        OMB_DGNodeX volume;   // occlusion volume: geometry + flags
        OMB_DGNodeX edges;    // edge line list: geometry + flags
        OMB_DGNodeX cast;     // ray caster's volume: geometry + voxel colours + shadow
    };
    std::unique_ptr<Nodes> m_nodes;
    TK_VoxelSurface m_surface;
    std::vector<TK_EdgePoint> m_edges;
    std::vector<uint8_t> m_volumeBytes;
    bool m_paletteAll = true;
    std::bitset<256> m_paletteEntries;
    TK_VoxelVolume m_volume;
    // Colours drawn unshaded (emissive), as uploaded.
    std::bitset<256> m_emissive;
    bool m_lookUploaded = false;

    // Per frame.
    TK_FaceView m_view;
    TK_QuadBuffer m_quads;
    std::vector<TK_QuadVertex> m_lines;
    GLVertexBatch m_batch;
    TK_PreviewMesh m_preview;
    bool m_previewDirty = true;
    bool m_ruler = false;
    TK_VoxelPath m_path = TK_VoxelPath::kAuto;
    bool m_castLast = false;
    HoverCursor m_hover;
    float m_ambient[3] = {0.04f, 0.04f, 0.04f};

    // GPU objects.
    GLTexture m_paletteTexture;
    GLTexture m_volumeTexture;
    GLTexture m_lookTexture;
    GLProgram m_program;
    TK_VoxelRayCaster m_caster;
    bool m_casterTried = false;
    GLint m_uniformFactor = -1, m_uniformOffset = -1, m_uniformPalette = -1, m_uniformAo = -1,
          m_uniformScale = -1, m_uniformAmbient = -1, m_uniformLook = -1;

    // Colours of the "render" section.
    uint8_t m_groundColor[4] = {179, 204, 255, 255};
    uint8_t m_edgeColor[4] = {255, 51, 102, 255};
    float m_ambientColor[3] = {0.07f, 0.05f, 0.15f};
    float m_bgBottom[3] = {0.5f, 0.5f, 0.5f};
    float m_bgTop[3] = {0.1f, 0.1f, 0.1f};
};
