// tarsk: the entry point. Parses the command line and runs one of the modes:
// the editor window, the headless runner, or the offscreen snapshot or
// path-traced render.
#include <cstdio>

#include "app/MS_DemoApp.h"
#include "app/MS_ShaderWorker.h"
#include "app/TK_CommandLine.h"
#include "app/TK_Headless.h"
#include "app/TK_EditorClient.h"
#include "app/TK_Snap.h"
#include "app/TK_Version.h"
#include "core/OS_Signals.h"

namespace {

int RunWindow(const TK_Options& options) {
    TK_EditorClient editor(options);
    MS_DemoApp app(editor);
    if (!app.Start(TK_EditorClient::WindowConfig())) return 1;
    return app.Run();
}

}  // namespace

int main(int argc, char** argv) {
    int workerFd = -1;
    if (MS_IsShaderWorkerCall(argc, argv, workerFd)) return MS_RunShaderWorker(workerFd);
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
        default: return RunWindow(options);
    }
}
