// The thumbnailer's guards around the offscreen snapshot (see TK_Thumbnail.h).
#include "app/TK_Thumbnail.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "app/TK_Snap.h"

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
    TK_Options quiet = options;
    quiet.quiet = true;
    return TK_RunSnap(quiet);
}
