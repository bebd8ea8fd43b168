// TK_SceneView: picking, gesture routing to the brushes and the hand-off
// between the raster view and the path tracer (see the header).
#include "app/TK_SceneView.h"

#include <algorithm>
#include <string>

#include "core/OS_Keys.h"
#include "model/TK_EditorEnv.h"
#include "render/GLLoader.h"
#include "render/TK_Picking.h"
#include "render/TK_Renderers.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(TK_SceneView, UI_3DView)

namespace {
// The look a new model gets: from the front, above and to the side.
constexpr float kDefaultPitch = 30, kDefaultYaw = -30;
}  // namespace

void TK_RegisterEditorViewTypes(UI_ViewRegistry& registry) { registry.Register<TK_SceneView>("scene"); }

TK_SceneView::TK_SceneView() = default;

TK_SceneView::~TK_SceneView() {
    // The brushes outlive the view in the window's table: leave none
    // holding a gesture or pointing here.
    if (TK_ModelBrush* brush = GestureBrush()) brush->Reset();
    for (TK_ModelBrush* b : {m_activeBrush, m_pickBrush, m_loopBrush, m_focusBrush})
        if (b && b->Host() == this) b->SetHost(nullptr);
}

void TK_SceneView::SetEnvironment(TK_EditorEnv* env, TK_Renderers* renderers) {
    m_env = env;
    m_renderers = renderers;
    // Orbiting with the tracer on stays interactive: quarter-pixel samples
    // while the camera moves.
    if (m_renderers) m_renderers->tracer.SetMovingPreview(true);
    if (m_env) ResetCamera();
}

void TK_SceneView::SetTemporaryBrushes(TK_ModelBrush* pick, TK_ModelBrush* loop, TK_ModelBrush* focus) {
    m_pickBrush = pick, m_loopBrush = loop, m_focusBrush = focus;
    for (TK_ModelBrush* b : {pick, loop, focus})
        if (b) b->SetHost(this);
}

void TK_SceneView::SetActiveBrush(TK_ModelBrush* brush) {
    if (brush == m_activeBrush) return;
    if (m_activeBrush && !m_temporaryActive) m_activeBrush->Reset();
    m_activeBrush = brush;
    if (brush) brush->SetHost(this);
}

void TK_SceneView::ResetCamera() {
    if (!m_env) return UI_3DView::ResetCamera();
    const float aspect = float(std::max(m_rect.Width(), 1)) / float(std::max(m_rect.Height(), 1));
    TK_FitCameraToModel(m_camera, m_env->model.size, aspect, kDefaultPitch, kDefaultYaw);
    Invalidate();
}

void TK_SceneView::ModelChanged() {
    // A model read from a file (open, import, drop, start-up) is framed as
    // Reset frames it: whatever angle the last model was seen from, the new
    // one is first seen from above.
    ResetCamera();
}

bool TK_SceneView::InRenderMode() const { return m_env && m_env->settings.renderMode != 0; }

// ---------------------------------------------------------------- picking

bool TK_SceneView::RayAt(int x, int y, TK_Ray& ray) {
    if (m_rect.IsEmpty()) return false;
    return TK_ViewRay(m_camera, m_rect.Width(), m_rect.Height(), float(x - m_rect.x0) + 0.5f,
                      float(y - m_rect.y0) + 0.5f, ray);
}

TK_Pick TK_SceneView::PickAt(int x, int y) {
    TK_Ray ray;
    if (!m_env || !RayAt(x, y, ray)) return TK_Pick();
    return TK_PickRay(*m_env, ray);
}

TK_Pick TK_SceneView::PointerPick() {
    if (!m_pointerInside || !m_rect.Contains(m_pointerX, m_pointerY)) return TK_Pick();
    return PickAt(m_pointerX, m_pointerY);
}

bool TK_SceneView::PickPoint(int x, int y, float world[3]) {
    if (!m_rect.Contains(x, y)) return false;
    if (InRenderMode()) {
        // The tracer's depth along the ray through the pixel.
        TK_Ray ray;
        float depth = 0;
        int color = 0;
        if (!RayAt(x, y, ray) || !TracerQuery(x, y, depth, color) || depth <= 0) return false;
        float cell[3];
        for (int i = 0; i < 3; ++i) cell[i] = ray.origin[i] + ray.dir[i] * depth;
        TK_ModelToWorld(cell, world);
        return true;
    }
    const TK_Pick pick = PickAt(x, y);
    if (!pick.Hit()) return false;
    const float middle[3] = {float(pick.cell[0]) + 0.5f, float(pick.cell[1]) + 0.5f, float(pick.cell[2]) + 0.5f};
    TK_ModelToWorld(middle, world);
    return true;
}

bool TK_SceneView::TracerQuery(int x, int y, float& depth, int& colorIndex) {
    if (!m_renderers || m_rect.IsEmpty()) return false;
    TK_SceneRenderer_PT& tracer = m_renderers->tracer;
    if (!tracer.CanDraw() || tracer.Width() < 1 || tracer.Height() < 1) return false;
    // The traced image is stretched over the view.
    const int ix = int(float(x - m_rect.x0) * float(tracer.Width()) / float(m_rect.Width()));
    const int iy = int(float(y - m_rect.y0) * float(tracer.Height()) / float(m_rect.Height()));
    float out[4] = {0, 0, 0, 0};
    tracer.DepthQuery(ix, iy, out);
    depth = out[0];
    colorIndex = int(out[1]);
    return true;
}

void TK_SceneView::SetHintLine(const char* text) {
    // Written on every tick: only a change reaches the field, so an idle
    // editor asks for no frames. The field's placeholder ("default"), never
    // its text: a status line must not become a command line.
    if (!m_window || m_hintLine == text || !m_window->FindView("cmd", &UI_View::kClass)) return;
    m_hintLine = text;
    m_window->SetViewAttribute("cmd", "default", text);
}

bool TK_SceneView::PickingEnabled() const {
    // Typing into another view (the console) switches the cell readout off.
    const UI_View* focus = m_window ? m_window->FocusView() : nullptr;
    return !focus || focus == this;
}

// ---------------------------------------------------------------- gestures

TK_ModelBrush* TK_SceneView::TemporaryFor(int modifiers) const {
    if (InRenderMode()) return m_focusBrush;
    if (modifiers == OS_MOD_ALT) return m_pickBrush;
    if (modifiers == OS_MOD_CTRL || modifiers == (OS_MOD_CTRL | OS_MOD_SHIFT)) return m_loopBrush;
    return nullptr;
}

bool TK_SceneView::LeftDown(const UI_MouseState& m) {
    if (m_rightHeld || m_leftHeld) return false;
    if (m_leftRotates) {
        m_leftAsRight = m_leftHeld = true;
        return UI_3DView::RightDown(m);
    }
    TK_ModelBrush* temporary = TemporaryFor(m.modifiers);
    m_temporary = temporary;
    m_temporaryActive = temporary != nullptr;
    TK_ModelBrush* brush = GestureBrush();
    if (!brush || !m_env) {
        m_temporaryActive = false;
        return false;
    }
    if (!brush->LeftDown(m)) {
        m_temporaryActive = false;
        return false;
    }
    m_leftHeld = true;
    Invalidate();
    return true;
}

bool TK_SceneView::LeftDrag(const UI_MouseState& m) {
    m_pointerX = m.x, m_pointerY = m.y;
    if (!m_leftHeld) return false;
    if (m_leftAsRight) return UI_3DView::RightDrag(m);
    if (TK_ModelBrush* brush = GestureBrush()) brush->LeftDrag(m);
    Invalidate();
    return true;
}

void TK_SceneView::EndGesture() {
    m_leftHeld = false;
    m_leftAsRight = false;
    m_temporaryActive = false;
    m_temporary = nullptr;
}

bool TK_SceneView::LeftUp(const UI_MouseState& m) {
    if (!m_leftHeld) return false;
    if (m_leftAsRight) {
        EndGesture();
        return UI_3DView::RightUp(m);
    }
    if (TK_ModelBrush* brush = GestureBrush()) brush->LeftUp(m);
    EndGesture();
    Invalidate();
    return true;
}

bool TK_SceneView::RightDown(const UI_MouseState& m) {
    if (m_leftHeld) return false;
    if (m_renderers && InRenderMode()) m_renderers->tracer.Restart();
    return UI_3DView::RightDown(m);
}

bool TK_SceneView::RightDrag(const UI_MouseState& m) {
    m_pointerX = m.x, m_pointerY = m.y;
    return UI_3DView::RightDrag(m);
}

bool TK_SceneView::RightUp(const UI_MouseState& m) { return UI_3DView::RightUp(m); }

bool TK_SceneView::MouseMove(const UI_MouseState& m) {
    m_pointerInside = true;
    m_pointerX = m.x, m_pointerY = m.y;
    if (m_activeBrush && !m_leftHeld && !InRenderMode()) m_activeBrush->MouseMove(m);
    Invalidate();
    return true;
}

bool TK_SceneView::MouseLeave(const UI_MouseState& m) {
    m_pointerInside = false;
    Invalidate();  // the hover cursor goes
    return false;
}

bool TK_SceneView::MouseEnter(const UI_MouseState& m) {
    m_pointerInside = true;
    m_pointerX = m.x, m_pointerY = m.y;
    if (m_activeBrush && !m_leftHeld && !InRenderMode()) m_activeBrush->MouseEnter(m);
    return true;
}

bool TK_SceneView::KeyDown(const UI_KeyState& k) {
    if (k.key == OS_KeyOf('H') && k.modifiers == 0 && !k.repeat && m_env) {
        if (m_renderers) m_renderers->SettingsChanged(TK_RENDER_PROGRAMS | TK_RENDER_RESTART);
        return true;
    }
    if (m_activeBrush && m_activeBrush->KeyDown(k)) return true;
    return UI_3DView::KeyDown(k);
}

bool TK_SceneView::KeyUp(const UI_KeyState& k) {
    if (m_activeBrush && m_activeBrush->KeyUp(k)) return true;
    return UI_3DView::KeyUp(k);
}

void TK_SceneView::Tick(const UI_TickData& time) {
    if (TK_ModelBrush* brush = GestureBrush()) brush->Tick(time);
    UI_3DView::Tick(time);
}

// ---------------------------------------------------------------- drawing

TK_SceneRenderer::HoverCursor TK_SceneView::HoverCursor() {
    TK_SceneRenderer::HoverCursor cursor;
    // Only while the pointer rests: a gesture shows its own preview.
    if (!m_env || !m_activeBrush || m_leftHeld || IsBusy()) return cursor;
    const TK_Pick pick = PointerPick();
    const int mode = m_activeBrush->Mode();
    if (!TK_StartCell(pick, mode == TK_BRUSH_ATTACH, m_env->model.size, cursor.cell)) return cursor;
    cursor.shown = true;
    cursor.face = pick.face;
    // The colours of the stroke previews: new cells green, carving red,
    // painting in the colour it lays.
    uint32_t rgba = kThemeAttachCursor;
    if (mode == TK_BRUSH_ERASE) rgba = kThemeCarveCursor;
    if (mode == TK_BRUSH_PAINT) rgba = m_env->model.palette[m_env->currentColorIndex & 255];
    for (int i = 0; i < 4; ++i) cursor.rgba[i] = uint8_t(rgba >> (8 * i));
    return cursor;
}

// The scene renders at the full device resolution of its rectangle.
void TK_SceneView::Draw() { DrawScene(DeviceRect()); }

void TK_SceneView::DrawScene(const OMB_Rect& rect) {
    if (!m_env || !m_renderers || rect.IsEmpty()) return;
    // The projection takes its aspect from the viewport; panning reads it
    // from the frustum.
    m_camera.frustumX = m_camera.frustumY * float(rect.Width()) / float(rect.Height());
    TK_FitCameraDepth(m_camera, m_env->model.size);
    if (InRenderMode()) {
        TK_SceneRenderer_PT& tracer = m_renderers->tracer;
        tracer.SyncView(m_camera);
        const bool added = tracer.SamplePass();
        tracer.Display(rect);
        // The picture refines until the target; one more frame after the
        // last sample lets the window show the final count, then it rests.
        if (added || tracer.Samples() < tracer.Target()) Invalidate();
        return;
    }
    // The editor draws frame after frame: the ray caster is worth building
    // up front, so that the choice between faces and rays is by frame cost.
    m_renderers->raster.PrepareRays();
    m_renderers->raster.SetRuler(m_ruler);
    m_renderers->raster.SetHoverCursor(HoverCursor());
    m_renderers->raster.Render(rect, m_camera);
}

// ---------------------------------------------------------------- camera slots

namespace {
TK_SceneView* SceneOf(UI_Window& window) {
    return static_cast<TK_SceneView*>(window.FindView("scene", &TK_SceneView::kClass));
}
}  // namespace

bool TK_SaveSceneCamera(UI_Window& window, const std::string& path) {
    TK_SceneView* scene = SceneOf(window);
    return scene && scene->GetCamera().Save(path);
}

bool TK_LoadSceneCamera(UI_Window& window, const std::string& path) {
    TK_SceneView* scene = SceneOf(window);
    if (!scene || !scene->GetCamera().Load(path)) return false;
    scene->Invalidate();
    if (window.FindView("v_cam", &UI_View::kClass))
        window.SetViewAttribute("v_cam", "value", std::to_string(scene->GetCamera().mode).c_str());
    return true;
}
