// tarsk: the entry point. Parses the command line and runs one of the modes:
// the editor window, the headless runner, the offscreen snapshot or
// path-traced render, or the thumbnailer.
#include <cstdio>

#include "app/MS_ShaderWorker.h"
#include "app/MS_WindowGL.h"
#include "app/TK_CommandLine.h"
#include "app/TK_Headless.h"
#include "app/TK_Recovery.h"
#include "app/TK_Snap.h"
#include "app/TK_Startup.h"
#include "app/TK_Thumbnail.h"
#include "app/TK_Version.h"
#include "app/TK_EditorWindow.h"
#include "core/OMB_AtomicFile.h"
#include "core/OMB_Log.h"
#include "core/OS_Signals.h"
#include "core/OS_Startup.h"

namespace {

// The editor: the window with its context, the editor window served by it,
// then the model (or the work a crashed session left) and the lines of the
// command line, then the main loop.
int RunEditor(const TK_Options& options) {
    TK_EditorWindow editor;  // outlives the host, which sends it the quit
    MS_WindowGL window;
    // No multisampling: on a software renderer it costs more than twice the
    // frame time, and the views draw their edges as lines.
    MS_WindowConfig config;
    config.multisample = false;
    if (!window.Open(config)) return 1;
    editor.EnableRendering();
    window.Start(editor);
    // The first size is 1280 x 800 units: as many device pixels as the scale
    // the configuration read at start-up asks for.
    if (editor.Scale() != 1)
        window.ResizeWithinScreen(int(float(config.width) * editor.Scale()),
                                  int(float(config.height) * editor.Scale()));
    TK_EditorEnv& env = editor.Env();
    OMB_SetLogMode(options.quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
    if (!options.modelPath.empty()) {
        // The window shows the failure in its status line; a shell user
        // reads it here.
        if (TK_OpenModelFile(env, options.modelPath))
            env.executor.ClearHistory();
        else
            std::fprintf(stderr, "tarsk: cannot open %s\n", options.modelPath.c_str());
    }
    if (options.modelPath.empty() && TK_RecoverUnsavedWork(env, editor.Autosave())) {
        env.executor.ClearHistory();
        window.SetTitle(TK_Caption("recovered unsaved work").c_str());
    } else {
        // A named model (a file manager's double click) must not hide work
        // a crash left behind.
        TK_AnnounceRecoveries(env.workspace.cacheFolder);
    }
    editor.Autosave().Arm();
    // The window keeps being drawn while a voxel shader runs.
    if (auto* worker = dynamic_cast<MS_ShaderWorker*>(env.voxelShaders.get()))
        worker->SetWaitHook([&window] { window.DrawWhileBusy(); });
    TK_RunConsoleLines(env, options.lines);
    return window.Run();
}

}  // namespace

int main(int argc, char** argv) {
    OS_Utf8Arguments(argc, argv);
    // Started from a console, every mode prints there (a double click has none).
    OS_UseParentConsole();
    intptr_t workerChannel = -1;
    if (MS_IsShaderWorkerCall(argc, argv, workerChannel)) return MS_RunShaderWorker(workerChannel);
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
    // Every mode answers Ctrl+C, `timeout` and a closed terminal its own way.
    OS_InstallStopSignals();
    // Batch modes stop within a second even inside one long command (a
    // render gets a little more to write what it has).
    if (options.mode == TK_RunMode::Headless) OS_SetStopDeadline(1);
    if (options.mode == TK_RunMode::Snap || options.mode == TK_RunMode::Render) OS_SetStopDeadline(2);
    switch (options.mode) {
        case TK_RunMode::Headless: return TK_RunHeadless(options);
        case TK_RunMode::Snap:
        case TK_RunMode::Render: return TK_RunSnap(options);
        case TK_RunMode::Thumbnail:
            // The desktop's thumbnail cache: quick matters, not surviving a power cut.
            OMB_SetFlushOnCommit(false);
            return TK_RunThumbnail(options);
        default: return RunEditor(options);
    }
}
