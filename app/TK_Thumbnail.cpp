// The thumbnailer's guards around the offscreen snapshot (see TK_Thumbnail.h).
#include "app/TK_Thumbnail.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/TK_Snap.h"
#include "core/OMB_Log.h"
#include "model/TK_Model.h"
#include "model/TK_VoxFile.h"

namespace {
// A full model takes a tenth of a second; anything still running after this
// is stuck, and the desktop would otherwise wait on it.
constexpr unsigned kWatchdogSeconds = 10;
// The largest model (126^3 voxels, its palette and headers) is a little over
// 8 MB; the reader keeps whatever voxel list a file holds, so a bigger file
// is refused before it can take the memory.
constexpr int64_t kMaxFileBytes = 64 << 20;

// False after the loader's message when the file is too big or no model.
bool LoadsAsModel(const std::string& path) {
    struct stat info;
    TK_Model probe;
    if (::stat(path.c_str(), &info) == 0 && info.st_size <= kMaxFileBytes && ReadVox(probe, path.c_str())) return true;
    OMB_Printf("[Error] failed to load model : %s\n", path.c_str());
    return false;
}

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
    if (!LoadsAsModel(options.modelPath)) return 1;
    TK_Options quiet = options;
    quiet.quiet = true;
    return TK_RunSnap(quiet);
}
