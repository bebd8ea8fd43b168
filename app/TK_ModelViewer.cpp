// The plain model view of the offscreen modes (see TK_ModelViewer.h).
#include "app/TK_ModelViewer.h"

#include <algorithm>

#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

TK_ModelViewer::TK_ModelViewer(const TK_Options& options)
    : m_options(options), m_env(std::make_unique<TK_EditorEnv>()) {
    // A batch run: concurrent runs of one install share no file.
    m_env->writesCacheCopy = false;
}

TK_ModelViewer::~TK_ModelViewer() = default;

void TK_ModelViewer::Start(int width, int height) {
    if (m_options.mode == TK_RunMode::Thumbnail)
        StartThumbnail();
    else
        StartAsEditor();
    TK_FitCameraToModel(m_camera, m_env->model.size, float(width) / float(std::max(height, 1)), m_options.pitch,
                        m_options.yaw);
}

void TK_ModelViewer::StartThumbnail() {
    // No configuration or user folders; the model's faces alone: no
    // background, frame or ground.
    m_env->settings.rasterFlags = kDefaultRasterFlags & ~(TK_SHOW_FRAME | TK_SHOW_BG);
    if (!m_renderers.Init(*m_env, true)) OMB_Printf("[Error] raster view : no palette texture\n");
    m_startedCleanly = TK_OpenModelFile(*m_env, m_options.modelPath);
}

void TK_ModelViewer::StartAsEditor() {
    TK_SetupEnvironment(*m_env);
    if (!m_renderers.Init(*m_env)) OMB_Printf("[Error] raster view : no palette texture\n");
    // The start-up script is the program's own business: show only problems.
    OMB_SetLogMode(OMB_LogMode::ProblemsOnly);
    TK_RunStartupScript(*m_env);
    // A turntable shows the model, not its box: the frame only when a line asks.
    if (m_options.turntable > 0 && (m_env->settings.rasterFlags & TK_SHOW_FRAME))
        m_env->ExecuteText("set r_show frame 0");
    OMB_SetLogMode(m_options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    // A path-traced render is in render mode from the start, so display
    // lines ("set r_show grid 1", "set r_color grd 5") reach the tracer.
    if (m_options.mode == TK_RunMode::Render) m_env->settings.renderMode = 1;
    if (!m_options.modelPath.empty() && !TK_OpenModelFile(*m_env, m_options.modelPath)) m_startedCleanly = false;
    if (!TK_RunConsoleLines(*m_env, m_options.lines)) m_startedCleanly = false;
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
    OMB_Rect rect;
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
