// The thumbnailer's guards around the offscreen snapshot (see TK_Thumbnail.h).
#include "app/TK_Thumbnail.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "app/TK_Snap.h"
#include "core/OMB_Log.h"
#include "model/TK_Model.h"
#include "model/TK_VoxFile.h"

namespace {
// A full model takes a tenth of a second; anything still running after this
// is stuck, and the desktop would otherwise wait on it.
constexpr unsigned kWatchdogSeconds = 10;
}  // namespace

int TK_RunThumbnail(const TK_Options& options) {
    // The alarm's default action ends the process with a failing status; the
    // picture only ever appears by rename, so a stopped run leaves none.
    ::signal(SIGALRM, SIG_DFL);
    ::alarm(kWatchdogSeconds);
    // The GL driver would otherwise keep compiled shaders in the user's cache.
    ::setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    // A file that does not load fails before any GL start-up: a folder of
    // broken files costs next to nothing.
    TK_Model probe;
    if (!ReadVox(probe, options.modelPath.c_str())) {
        OMB_Printf("[Error] failed to load model : %s\n", options.modelPath.c_str());
        return 1;
    }
    TK_Options quiet = options;
    quiet.quiet = true;
    return TK_RunSnap(quiet);
}
