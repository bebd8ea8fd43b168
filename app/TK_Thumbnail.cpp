// The thumbnailer's guards around the offscreen snapshot (see TK_Thumbnail.h).
#include "app/TK_Thumbnail.h"

#include <string>

#include "app/TK_Snap.h"
#include "core/OMB_Log.h"
#include "core/OS_Process.h"
#include "model/TK_Model.h"
#include "model/TK_VoxFile.h"

namespace {
// A full model takes a tenth of a second; anything still running after this
// is stuck, and the desktop would otherwise wait on it.
constexpr unsigned kWatchdogSeconds = 10;

// False after the loader's message when the file is too big or no model.
bool LoadsAsModel(const std::string& path) {
    TK_Model probe;
    // The reader refuses a file larger than any model before reading it.
    if (ReadVox(probe, path.c_str())) return true;
    OMB_Printf("[Error] failed to load model : %s\n", path.c_str());
    return false;
}

}  // namespace

int TK_RunThumbnail(const TK_Options& options) {
    // The picture only ever appears by rename, so a stopped run leaves none.
    OS_EndAfter(kWatchdogSeconds);
    // The GL driver would otherwise keep compiled shaders in the user's cache.
    OS_SetEnvironment("MESA_SHADER_CACHE_DISABLE", "true");
    // A file that does not load fails before any GL start-up: a folder of
    // broken files costs next to nothing.
    if (!LoadsAsModel(options.modelPath)) return 1;
    TK_Options quiet = options;
    quiet.quiet = true;
    return TK_RunSnap(quiet);
}
