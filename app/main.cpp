// tarsk: the entry point. Parses the command line and runs one of the modes:
// the editor window, the headless runner, the offscreen snapshot or
// path-traced render, or the thumbnailer.
#include <cstdio>

#include "app/MS_DemoApp.h"
#include "app/TK_CommandLine.h"
#include "app/TK_Headless.h"
#include "app/TK_EditorClient.h"
#include "app/TK_Snap.h"
#include "app/TK_Thumbnail.h"
#include "app/TK_Version.h"

namespace {

int RunWindow(const TK_Options& options) {
    TK_EditorClient editor(options);
    MS_DemoApp app(editor);
    if (!app.Start(TK_EditorClient::WindowConfig())) return 1;
    return app.Run();
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
        default: return RunWindow(options);
    }
}
