// One offscreen frame to a PNG file (see TK_Snap.h).
#include "app/TK_Snap.h"

#include <cstdio>

#include "app/MS_DemoApp.h"
#include "app/TK_ModelViewer.h"
#include "core/OMB_Log.h"
#include "render/TK_Snapshot.h"

namespace {

// Renders and writes the frame; false after printing why.
bool WriteFrame(MS_DemoApp& app, TK_ModelViewer& viewer, const TK_Options& options) {
    int width = 0, height = 0;
    app.Window()->DrawableSize(width, height);
    if (width != options.width || height != options.height) {
        OMB_Printf("[Error] snap : framebuffer is %dx%d, not %dx%d\n", width, height, options.width, options.height);
        return false;
    }
    viewer.Draw(width, height);
    TK_Rect rect;
    rect.x1 = width - 1;
    rect.y1 = height - 1;
    Image image;
    if (!TK_ReadPixels(rect, true, image) || !TK_SavePNG(image, options.snapPath)) {
        OMB_Printf("[Error] snap : failed to write %s\n", options.snapPath.c_str());
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
        MS_DemoApp app(viewer);
        MS_AppConfig config;
        config.width = options.width;
        config.height = options.height;
        config.minWidth = config.minHeight = 1;
        config.hidden = true;
        config.offscreen = true;
        // Software rendering triples its frame time with 4x multisampling
        // and takes a quarter of a second longer to make the context; a
        // snapshot is one frame and must come quickly.
        config.multisample = false;
        if (app.Start(config)) written = WriteFrame(app, viewer, options);
        // The app closes the window (and the viewer releases its GPU
        // objects) while the context is still current.
    }
    std::fflush(stdout);
    return written && viewer.StartedCleanly() ? 0 : 1;
}
