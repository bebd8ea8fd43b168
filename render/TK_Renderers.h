// TK_Renderers: the raster renderer and the path tracer of one window, and
// the link through which the settings commands reach them. Init installs the
// link in the environment (TK_EditorEnv::renderer) and listens to the
// environment's messages, so model, palette and material changes reach the
// tracer; Shutdown removes both.
//
// Rule: Init, Shutdown and SettingsChanged need the OpenGL context current;
// the environment must outlive the renderers or see Shutdown first.
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
