// TK_ModelViewer: the plain model view behind the offscreen modes (--snap,
// --render, --thumbnail). It owns the editor environment, a camera and the
// renderers, starts like the headless runner (registrations, configuration,
// start-up script; a thumbnail skips all three and the tracer), opens the
// model named on the command line, runs the lines, fits
// the camera to the model and draws the raster view, or in render mode the
// path tracer's picture, one sample more per draw. It takes no input: the
// editor's interactive view is TK_SceneView.
//
// The rule not to break: Shutdown runs while the OpenGL context is current.
#pragma once

#include <memory>

#include "app/TK_CommandLine.h"
#include "render/Camera.h"
#include "render/TK_Renderers.h"

class TK_EditorEnv;

class TK_ModelViewer {
public:
    explicit TK_ModelViewer(const TK_Options& options);
    ~TK_ModelViewer();

    // Everything up to the first picture of width by height pixels (needs a
    // current context).
    void Start(int width, int height);
    // Releases the GPU objects.
    void Shutdown() { m_renderers.Shutdown(); }

    // Clears the current framebuffer and draws the model into width by
    // height pixels: the raster view, or in render mode the tracer's picture
    // after one more sample.
    void Draw(int width, int height);
    // Fits the camera's aspect and depth range to width by height pixels.
    void FrameCamera(int width, int height);
    // True when the model file and every console line of the start-up
    // succeeded.
    bool StartedCleanly() const { return m_startedCleanly; }
    TK_EditorEnv& Env() { return *m_env; }
    Camera& View() { return m_camera; }
    TK_SceneRenderer& Renderer() { return m_renderers.raster; }
    TK_SceneRenderer_PT& Tracer() { return m_renderers.tracer; }

private:
    // The two starts before the camera is fitted: the thumbnail's (the
    // file's model alone in the raster view) and everyone else's.
    void StartThumbnail();
    void StartAsEditor();

    TK_Options m_options;
    std::unique_ptr<TK_EditorEnv> m_env;
    TK_Renderers m_renderers;  // after the environment: destroyed first
    Camera m_camera;
    bool m_startedCleanly = true;
};
