// TK_RasterSceneView: the editor's "scene" view until the brush-driven scene
// view lands: it draws the current model into its rectangle with the raster
// renderer (or, in render mode, the path tracer's picture, asking for frames
// while samples accumulate), and moves its camera: right drag orbits, middle
// drag pans, the wheel zooms. "reset" (as "ui_set scene reset 1") fits the
// camera to the model again. It holds the keyboard focus by default so the
// window's hotkeys reach the editor. Kept apart from the window so the full
// scene view replaces it by changing one registration.
#pragma once

#include "render/Camera.h"
#include "ui/UI_View.h"

class TK_EditorEnv;
class TK_Renderers;

class TK_RasterSceneView : public UI_View {
public:
    UI_DECLARE_CLASS()

    // Neither is owned. Renderers that are not started draw nothing.
    void Attach(TK_EditorEnv* env, TK_Renderers* renderers, bool rendering);
    // The model changed size or place: fit the camera again.
    void ModelChanged() { ResetCamera(); }
    void ResetCamera();
    const Camera& View() const { return m_camera; }

    bool AcceptsFocus() const override { return true; }
    bool LoseFocusOnOtherClick() const override { return false; }
    void Draw() override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    bool LeftDown(const UI_MouseState& m) override;
    bool RightDown(const UI_MouseState& m) override { return Grab(m); }
    bool MiddleDown(const UI_MouseState& m) override { return Grab(m); }
    bool RightDrag(const UI_MouseState& m) override;
    bool MiddleDrag(const UI_MouseState& m) override;
    bool Wheel(const UI_MouseState& m) override;

private:
    bool Grab(const UI_MouseState& m);

    TK_EditorEnv* m_env = nullptr;
    TK_Renderers* m_renderers = nullptr;
    bool m_rendering = false;
    Camera m_camera;
    int m_lastX = 0, m_lastY = 0;
};
