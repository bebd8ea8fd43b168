// One offscreen picture to a PNG file (see TK_Snap.h).
#include "app/TK_Snap.h"

#include <algorithm>
#include <cstdio>

#include "app/MS_WindowGL.h"
#include "app/TK_ModelViewer.h"
#include "core/OMB_Log.h"
#include "core/OS_Stopwatch.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_Snapshot.h"

namespace {

// Renders and writes the frame; false after printing why.
bool WriteFrame(MS_WindowGL& window, TK_ModelViewer& viewer, const TK_Options& options) {
    int width = 0, height = 0;
    window.DrawableSize(width, height);
    if (width != options.width || height != options.height) {
        OMB_Printf("[Error] snap : framebuffer is %dx%d, not %dx%d\n", width, height, options.width, options.height);
        return false;
    }
    viewer.Draw(width, height);
    OMB_Rect rect;
    rect.x1 = width - 1;
    rect.y1 = height - 1;
    Image image;
    if (!TK_ReadPixels(rect, true, image) || !TK_SavePNG(image, options.snapPath)) {
        OMB_Printf("[Error] snap : failed to write %s\n", options.snapPath.c_str());
        return false;
    }
    return true;
}

// One line on standard error, rewritten in place.
void PrintProgress(int done, int total, double seconds) {
    const double rate = seconds > 0 ? done / seconds : 0;
    const double left = rate > 0 ? (total - done) / rate : 0;
    std::fprintf(stderr, "\rrender : %d/%d samples, %.2f samples/s, %.0f s left   ", done, total, rate, left);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Accumulates the samples and writes the tone-mapped picture; false after
// printing why.
bool TraceFrame(TK_ModelViewer& viewer, const TK_Options& options) {
    TK_SceneRenderer_PT& tracer = viewer.Tracer();
    if (!tracer.CanDraw()) {
        OMB_Printf("[Error] render : the path tracer needs framebuffer objects, GLSL, 3D and float textures\n");
        return false;
    }
    TK_Settings& settings = viewer.Env().settings;
    settings.ptImage[0] = options.width;
    settings.ptImage[1] = options.height;
    tracer.SetTargetOverride(options.samples);
    tracer.SetRestartDelay(0);
    viewer.FrameCamera(options.width, options.height);
    tracer.SyncView(viewer.View());
    const double start = OS_Seconds();
    double shown = -1;
    while (!tracer.IsComplete(options.samples)) {
        const int done = tracer.Samples();
        if (!tracer.SamplePass()) {
            OMB_Printf("[Error] render : sample %d failed\n", done + 1);
            return false;
        }
        if (tracer.Samples() == done) continue;  // a band of the sample
        glFinish();
        const double now = OS_Seconds();
        if (!options.quiet && (now - shown >= 0.25 || done + 1 == options.samples)) {
            PrintProgress(done + 1, options.samples, now - start);
            shown = now;
        }
    }
    Image image;
    if (!tracer.ReadImage(image, true) || !TK_SavePNG(image, options.snapPath)) {
        OMB_Printf("[Error] render : failed to write %s\n", options.snapPath.c_str());
        return false;
    }
    return true;
}

}  // namespace

int TK_RunSnap(const TK_Options& options) {
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    TK_ModelViewer viewer(options);
    bool written = false;
    {
        MS_WindowGL window;
        MS_WindowConfig config;
        config.width = options.width;
        config.height = options.height;
        config.minWidth = config.minHeight = 1;
        config.hidden = true;
        config.offscreen = true;
        // Software rendering triples its frame time with 4x multisampling
        // and takes a quarter of a second longer to make the context; a
        // snapshot is one frame and must come quickly.
        config.multisample = false;
        const bool render = options.mode == TK_RunMode::Render;
        if (window.Open(config)) {
            viewer.Start(options.width, options.height);
            // A thumbnail of a file that did not load would mislead: none at all.
            if (viewer.StartedCleanly() || options.mode != TK_RunMode::Thumbnail)
                written = render ? TraceFrame(viewer, options) : WriteFrame(window, viewer, options);
            // The GPU objects go while the context is still current.
            viewer.Shutdown();
        }
    }
    std::fflush(stdout);
    return written && viewer.StartedCleanly() ? 0 : 1;
}
