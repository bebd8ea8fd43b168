// tarsk: the entry point. Parses the command line and runs one of the modes:
// the editor window, the headless runner, the offscreen snapshot or
// path-traced render, or the thumbnailer.
#include <cstdio>

#include "app/MS_WindowGL.h"
#include "app/TK_CommandLine.h"
#include "app/TK_Headless.h"
#include "app/TK_Snap.h"
#include "app/TK_Startup.h"
#include "app/TK_Thumbnail.h"
#include "app/TK_Version.h"
#include "app/UI_RezWindow.h"
#include "core/OMB_Log.h"

namespace {

// The editor: the window with its context, the editor window served by it,
// then the model and the lines of the command line, then the main loop.
int RunEditor(const TK_Options& options) {
    UI_RezWindow editor;  // outlives the host, which sends it the quit
    MS_WindowGL window;
    // No multisampling: on a software renderer it costs more than twice the
    // frame time, and the views draw their edges as lines.
    MS_WindowConfig config;
    config.multisample = false;
    if (!window.Open(config)) return 1;
    editor.EnableRendering();
    window.Start(editor);
    TK_EditorEnv& env = editor.Env();
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    if (!options.modelPath.empty() && TK_OpenModelFile(env, options.modelPath)) env.executor.ClearHistory();
    TK_RunConsoleLines(env, options.lines);
    return window.Run();
}

}  // namespace

int main(int argc, char** argv) {
    TK_Options options;
    if (!TK_ParseOptions(argc - 1, argv + 1, options)) return 2;
    if (options.help) {
        std::fputs(TK_UsageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tarsk %s\n", TK_VersionText());
        return 0;
    }
    switch (options.mode) {
        case TK_RunMode::Headless: return TK_RunHeadless(options);
        case TK_RunMode::Snap:
        case TK_RunMode::Render: return TK_RunSnap(options);
        case TK_RunMode::Thumbnail: return TK_RunThumbnail(options);
        default: return RunEditor(options);
    }
}
