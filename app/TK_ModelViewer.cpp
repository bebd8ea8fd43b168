// The raster view client of the window (see TK_ModelViewer.h).
#include "app/TK_ModelViewer.h"

#include <algorithm>

#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

namespace {
constexpr float kRotateSpeed = 0.4f;   // degrees per pixel of drag
constexpr float kZoomPerUnit = 0.0125f;  // of the view's size per wheel unit (8 per notch)
}  // namespace

TK_ModelViewer::TK_ModelViewer(const TK_Options& options)
    : m_options(options), m_env(std::make_unique<TK_EditorEnv>()) {
    m_env->writesCacheCopy = options.mode == TK_RunMode::Window;
}

TK_ModelViewer::~TK_ModelViewer() = default;

void TK_ModelViewer::OnCreate(OS_Window& window) {
    m_window = &window;
    // A thumbnail is the file alone: no configuration, no user folders.
    if (m_options.mode != TK_RunMode::Thumbnail) TK_SetupEnvironment(*m_env);
}

void TK_ModelViewer::OnStart() {
    if (m_options.mode == TK_RunMode::Thumbnail) {
        StartThumbnail();
        return;
    }
    if (!m_renderers.Init(*m_env)) OMB_Printf("[Error] raster view : no palette texture\n");
    // The start-up script is the program's own business: show only problems.
    OMB_SetLogMode(OMB_LogMode::ProblemsOnly);
    TK_RunStartupScript(*m_env);
    OMB_SetLogMode(m_options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    // A path-traced render is in render mode from the start, so display
    // lines ("set r_show grid 1", "set r_color grd 5") reach the tracer.
    if (m_options.mode == TK_RunMode::Render) m_env->settings.renderMode = 1;
    if (!m_options.modelPath.empty() && !TK_OpenModelFile(*m_env, m_options.modelPath)) m_startedCleanly = false;
    if (!TK_RunConsoleLines(*m_env, m_options.lines)) m_startedCleanly = false;
    FitCamera();
}

void TK_ModelViewer::StartThumbnail() {
    // The model's faces alone: no background, frame or ground.
    m_env->settings.rasterFlags = kDefaultRasterFlags & ~(TK_SHOW_FRAME | TK_SHOW_BG);
    if (!m_renderers.Init(*m_env, true)) OMB_Printf("[Error] raster view : no palette texture\n");
    m_startedCleanly = TK_OpenModelFile(*m_env, m_options.modelPath);
    FitCamera();
}

void TK_ModelViewer::FitCamera() {
    int width = 1, height = 1;
    if (m_window) m_window->ClientSize(width, height);
    TK_FitCameraToModel(m_camera, m_env->model.size, float(width) / float(std::max(height, 1)), m_options.pitch,
                        m_options.yaw);
}

void TK_ModelViewer::FrameCamera(int width, int height) {
    // The projection takes its aspect from the viewport; panning reads it
    // from the frustum.
    m_camera.frustumX = m_camera.frustumY * float(width) / float(std::max(height, 1));
    TK_FitCameraDepth(m_camera, m_env->model.size);
}

void TK_ModelViewer::Draw(int width, int height) {
    if (width < 1 || height < 1) return;
    FrameCamera(width, height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    TK_Rect rect;
    rect.x1 = width - 1;
    rect.y1 = height - 1;
    if (m_env->settings.renderMode) {
        TK_SceneRenderer_PT& tracer = m_renderers.tracer;
        tracer.SyncView(m_camera);
        tracer.SamplePass();
        tracer.Display(rect);
        return;
    }
    m_renderers.raster.Render(rect, m_camera);
}

void TK_ModelViewer::OnFrame(const OS_FrameTime& time) {
    int width = 0, height = 0;
    if (m_window) m_window->ClientSize(width, height);
    Draw(width, height);
}

void TK_ModelViewer::OnInput(const OS_InputEvent& event) {
    switch (event.kind) {
        case OS_InputKind::MouseDown:
            m_buttons |= event.button;
            m_lastX = event.x;
            m_lastY = event.y;
            break;
        case OS_InputKind::MouseUp: m_buttons &= ~event.button; break;
        case OS_InputKind::MouseMove: Orbit(event); break;
        case OS_InputKind::Wheel: {
            const float size = m_camera.ortho ? m_camera.frustumY : m_camera.radius;
            m_camera.Zoom(-(event.wheel - event.previousWheel) * kZoomPerUnit * size);
            break;
        }
        case OS_InputKind::FocusLost: m_buttons = 0; break;
        default: break;
    }
}

// Right button: orbit; middle button: pan in the view plane.
void TK_ModelViewer::Orbit(const OS_InputEvent& event) {
    const int dx = event.x - m_lastX, dy = event.y - m_lastY;
    m_lastX = event.x;
    m_lastY = event.y;
    if (m_buttons & OS_BUTTON_RIGHT) m_camera.Rotate(float(dy) * kRotateSpeed, -float(dx) * kRotateSpeed, 0);
    if (m_buttons & OS_BUTTON_MIDDLE) {
        int width = 1, height = 1;
        if (m_window) m_window->ClientSize(width, height);
        m_camera.Pan(-float(dx) * 2.0f / float(std::max(width, 1)), -float(dy) * 2.0f / float(std::max(height, 1)), 0);
    }
}

void TK_ModelViewer::OnDropFiles(const std::vector<std::string>& paths, int x, int y) {
    if (paths.empty() || !TK_OpenModelFile(*m_env, paths.front())) return;
    FitCamera();
}

void TK_ModelViewer::OnQuit() {
    if (m_quit) return;
    m_quit = true;
    m_renderers.Shutdown();
    if (m_options.mode == TK_RunMode::Window) TK_WriteBackup(*m_env);
}
