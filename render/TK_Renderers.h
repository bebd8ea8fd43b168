// TK_Renderers: the raster renderer and the path tracer of one window, and
// the link through which the settings commands reach them. Init installs the
// link in the environment (TK_EditorEnv::renderer) and listens to the
// environment's messages, so model, palette and material changes reach the
// tracer; Shutdown removes both.
//
// Rule: Init, Shutdown and SettingsChanged need the OpenGL context current;
// the environment must outlive the renderers or see Shutdown first.
//
// The GL state between drawers (the raster renderer, the tracer's passes,
// the voxel shader runner, the UI canvas). Nobody may rely on the viewport,
// the matrices, the blend function or the scissor box another drawer left:
// every drawer sets these itself. Everything else is left at rest by the
// drawer that changed it: depth test, blending, scissor test, multisampling,
// polygon offset and face culling off; colour and depth writes on;
// framebuffer 0, no program, no texture bound on the units it used, texture
// matrix identity, matrix mode model-view.
#pragma once

#include "model/TK_Settings.h"
#include "render/TK_SceneRenderer.h"
#include "render/TK_SceneRenderer_PT.h"

class TK_EditorEnv;

class TK_Renderers : public TK_RenderLink {
public:
    TK_Renderers() = default;
    ~TK_Renderers() override { Shutdown(); }
    TK_Renderers(const TK_Renderers&) = delete;
    TK_Renderers& operator=(const TK_Renderers&) = delete;

    // Initialises both renderers from the environment's settings, or with
    // `rasterOnly` the raster renderer alone (the tracer's programs take a
    // good part of a second to compile where no shader cache helps). False
    // when the raster renderer cannot draw; a tracer without its
    // capabilities is not an error here (it draws nothing, see
    // TK_SceneRenderer_PT).
    bool Init(TK_EditorEnv& env, bool rasterOnly = false);
    void Shutdown();
    void SettingsChanged(int what) override;

    TK_SceneRenderer raster;
    TK_SceneRenderer_PT tracer;

private:
    void OnEditorMessage(int kind, int value);

    TK_EditorEnv* m_env = nullptr;
};
