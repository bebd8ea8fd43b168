// TK_ModelViewer: the plain raster view behind the offscreen modes (--snap,
// --render, --thumbnail): it owns the editor environment, a camera and the
// renderers, starts like the headless runner (registrations, configuration,
// start-up script; a thumbnail skips all three), opens the model named on the
// command line and draws the raster view, or in render mode the path
// tracer's picture, one sample more per draw. Right-button drags orbit, the wheel zooms, the middle button pans.
// The editor window itself is UI_RezWindow.
#pragma once

#include <memory>

#include "app/OS_Window.h"
#include "app/TK_CommandLine.h"
#include "render/Camera.h"
#include "render/TK_Renderers.h"

class TK_EditorEnv;

class TK_ModelViewer : public OS_WindowClient {
public:
    explicit TK_ModelViewer(const TK_Options& options);
    ~TK_ModelViewer() override;

    void OnCreate(OS_Window& window) override;
    void OnStart() override;
    void OnInput(const OS_InputEvent& event) override;
    void OnFrame(const OS_FrameTime& time) override;
    void OnDropFiles(const std::vector<std::string>& paths, int x, int y) override;
    // Releases the GPU objects (the context is still current) and, in the
    // window mode, writes the backup.
    void OnQuit() override;

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
    // The thumbnail's start: the file's model in the plain raster view.
    void StartThumbnail();
    void FitCamera();
    void Orbit(const OS_InputEvent& event);

    TK_Options m_options;
    std::unique_ptr<TK_EditorEnv> m_env;
    TK_Renderers m_renderers;  // after the environment: destroyed first
    Camera m_camera;
    OS_Window* m_window = nullptr;
    bool m_startedCleanly = true;
    bool m_quit = false;
    int m_buttons = 0;
    int m_lastX = 0, m_lastY = 0;
};
