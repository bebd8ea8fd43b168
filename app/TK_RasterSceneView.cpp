// The stand-in scene view (see TK_RasterSceneView.h).
#include "app/TK_RasterSceneView.h"

#include <algorithm>

#include "model/TK_EditorEnv.h"
#include "render/OMB_OpenGL.h"
#include "render/TK_Renderers.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(TK_RasterSceneView, UI_View)

namespace {
constexpr float kRotateSpeed = 0.4f;     // degrees per pixel of drag
constexpr float kZoomPerUnit = 0.0125f;  // of the view's size per wheel unit (8 per notch)
constexpr float kPitch = 30, kYaw = -30;  // the start view looks down on the model
}  // namespace

void TK_RasterSceneView::Attach(TK_EditorEnv* env, TK_Renderers* renderers, bool rendering) {
    m_env = env;
    m_renderers = renderers;
    m_rendering = rendering;
    ResetCamera();
}

void TK_RasterSceneView::ResetCamera() {
    if (!m_env) return;
    const float aspect = float(std::max(m_rect.Width(), 1)) / float(std::max(m_rect.Height(), 1));
    TK_FitCameraToModel(m_camera, m_env->model.size, aspect, kPitch, kYaw);
    Invalidate();
}

bool TK_RasterSceneView::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    if (UI_FindAttribute(node, "reset")) ResetCamera();
    return true;
}

void TK_RasterSceneView::Draw() {
    if (!m_env || !m_rendering || m_rect.Width() < 2 || m_rect.Height() < 2) return;
    const int width = m_rect.Width(), height = m_rect.Height();
    m_camera.frustumX = m_camera.frustumY * float(width) / float(height);
    TK_FitCameraDepth(m_camera, m_env->model.size);
    TK_Rect rect;
    rect.x0 = m_rect.x0;
    rect.y0 = m_rect.y0;
    rect.x1 = m_rect.x1;
    rect.y1 = m_rect.y1;
    if (m_env->settings.renderMode) {
        TK_SceneRenderer_PT& tracer = m_renderers->tracer;
        tracer.SyncView(m_camera);
        tracer.SamplePass();
        tracer.Display(rect);
        // Samples accumulate frame after frame until the target.
        if (tracer.CanDraw() && tracer.Samples() < tracer.Target()) Invalidate();
    } else {
        m_renderers->raster.Render(rect, m_camera);
    }
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
}

// Left presses only take the keyboard back from a text field.
bool TK_RasterSceneView::LeftDown(const UI_MouseState& m) {
    if (m_window) m_window->SetFocus(this);
    return true;
}

bool TK_RasterSceneView::Grab(const UI_MouseState& m) {
    m_lastX = m.x;
    m_lastY = m.y;
    if (m_window) m_window->SetFocus(this);
    return true;
}

bool TK_RasterSceneView::RightDrag(const UI_MouseState& m) {
    m_camera.Rotate(float(m.y - m_lastY) * kRotateSpeed, -float(m.x - m_lastX) * kRotateSpeed, 0);
    m_lastX = m.x;
    m_lastY = m.y;
    Invalidate();
    return true;
}

bool TK_RasterSceneView::MiddleDrag(const UI_MouseState& m) {
    const float dx = float(m.x - m_lastX), dy = float(m.y - m_lastY);
    m_camera.Pan(-dx * 2.0f / float(std::max(m_rect.Width(), 1)), -dy * 2.0f / float(std::max(m_rect.Height(), 1)), 0);
    m_lastX = m.x;
    m_lastY = m.y;
    Invalidate();
    return true;
}

bool TK_RasterSceneView::Wheel(const UI_MouseState& m) {
    const float size = m_camera.ortho ? m_camera.frustumY : m_camera.radius;
    m_camera.Zoom(-(m.wheel - m.prevWheel) * kZoomPerUnit * size);
    Invalidate();
    return true;
}
