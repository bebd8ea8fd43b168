// TK_SceneView: the editor's 3D view of the model (view type "scene"). It
// shows the model with the raster renderer, or the path tracer's picture in
// render mode, moves the camera like every 3D view, and hands left-button
// gestures to the active brush: it picks the cell and face under the
// pointer for the brushes, and lets the temporary brushes stand in while a
// modifier is held at the press (Alt: pick, Ctrl or Ctrl+Shift: loop; the
// focus brush in render mode).
//
// The editor window gives it the environment and the renderers (neither
// owned), the three temporary brushes and the active brush (owned by the
// window's brush table), and replaces the active brush when the brush
// settings change.
//
// Rule: a temporary brush serves exactly one gesture; the active brush is
// back in place once the left button is up.
#pragma once

#include <string>

#include "brush/TK_ModelBrush.h"
#include "render/TK_SceneRenderer.h"
#include "ui/UI_3DView.h"

class TK_Renderers;

class TK_SceneView : public UI_3DView, public TK_BrushHost {
public:
    UI_DECLARE_CLASS()


    TK_SceneView();
    ~TK_SceneView() override;

    // The environment and its renderers (either may be null: no drawing, no
    // picking). Frames the camera on the model.
    void SetEnvironment(TK_EditorEnv* env, TK_Renderers* renderers);
    // The brushes registered as "pick", "loop" and "focus" (not owned).
    void SetTemporaryBrushes(TK_ModelBrush* pick, TK_ModelBrush* loop, TK_ModelBrush* focus);
    // The brush of the settings (not owned); a stroke under way is cancelled.
    void SetActiveBrush(TK_ModelBrush* brush);
    TK_ModelBrush* ActiveBrush() const { return m_activeBrush; }
    // The brush serving the current gesture (a temporary one or the active).
    TK_ModelBrush* GestureBrush() const { return m_temporaryActive ? m_temporary : m_activeBrush; }
    TK_EditorEnv* Env() const { return m_env; }

    // A model was read from a file: the camera frames it from the default
    // angle, as ResetCamera does.
    void ModelChanged();

    // ---- Picking. Window points; the view's rectangle gives the pixel.
    bool RayAt(int x, int y, TK_Ray& ray) override;
    TK_Pick PickAt(int x, int y) override;
    TK_Pick PointerPick() override;
    bool PickPoint(int x, int y, float world[3]) override;
    void ResetCamera() override;

    // ---- TK_BrushHost
    TK_EditorEnv* BrushEnv() override { return m_env; }
    bool IsBusy() const override { return m_busy; }
    void SetBusy(bool busy) override { m_busy = busy; }
    bool HasHintLine() const override { return m_window != nullptr; }
    void SetHintLine(const char* text) override;
    bool PickingEnabled() const override;
    bool TracerQuery(int x, int y, float& depth, int& colorIndex) override;

    // ---- Responder
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
    bool RightDown(const UI_MouseState& m) override;
    bool RightDrag(const UI_MouseState& m) override;
    bool RightUp(const UI_MouseState& m) override;
    bool MouseMove(const UI_MouseState& m) override;
    bool MouseEnter(const UI_MouseState& m) override;
    bool MouseLeave(const UI_MouseState& m) override;
    bool KeyDown(const UI_KeyState& k) override;
    bool KeyUp(const UI_KeyState& k) override;
    void Tick(const UI_TickData& time) override;
    void Draw() override;
    // Draws into an explicit rectangle of the current framebuffer (offscreen
    // pictures use it without a window).
    void DrawScene(const OMB_Rect& rect);

    // Where a stroke of the active brush would start under the resting
    // pointer, in the mode's colour; not shown during gestures.
    TK_SceneRenderer::HoverCursor HoverCursor();

private:
    bool InRenderMode() const;
    // The temporary brush a press with these modifiers calls for, or null.
    TK_ModelBrush* TemporaryFor(int modifiers) const;
    void EndGesture();

    TK_EditorEnv* m_env = nullptr;
    TK_Renderers* m_renderers = nullptr;
    TK_ModelBrush* m_activeBrush = nullptr;
    TK_ModelBrush* m_pickBrush = nullptr;
    TK_ModelBrush* m_loopBrush = nullptr;
    TK_ModelBrush* m_focusBrush = nullptr;
    TK_ModelBrush* m_temporary = nullptr;  // serving the gesture while temporaryActive
    bool m_temporaryActive = false;
    bool m_leftAsRight = false;  // a left gesture handled as a right one (N)
    bool m_busy = false;
    bool m_leftHeld = false;
    std::string m_hintLine;  // the last line written to the hint field
    bool m_pointerInside = false;
    int m_pointerX = 0, m_pointerY = 0;
};

class UI_ViewRegistry;
// Appends the editor's own view types ("scene") to the registry.
void TK_RegisterEditorViewTypes(UI_ViewRegistry& registry);

class UI_Window;
// The camera slot file work of TK_WindowLink for a window's "scene" view:
// false without one or when the camera file fails. Loading sets the
// "v_cam" widget's "value" to the new mode when the window has one.
bool TK_SaveSceneCamera(UI_Window& window, const std::string& path);
bool TK_LoadSceneCamera(UI_Window& window, const std::string& path);
