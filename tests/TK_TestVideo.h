// The video driver of the GL tests: SDL's offscreen driver (EGL, no display
// needed), or where the build has no EGL (Windows) the default driver, whose
// hidden windows need the display in DISPLAY (under Wine, an X server such
// as Xvfb). The build names the driver (TK_TEST_VIDEO_DRIVER, empty for the
// default): probing for EGL would load and unload Mesa's library before any
// context, which leaves its allocations in a module that is gone. The choice
// goes into SDL_VIDEODRIVER, so the programs a test starts inherit it; for
// the default driver the variable is removed and they make the program's
// own choice.
#pragma once

#include "core/OS_Process.h"

namespace tk_test {

inline void UseHeadlessVideo() {
    const char* driver = TK_TEST_VIDEO_DRIVER;
    OS_SetEnvironment("SDL_VIDEODRIVER", *driver ? driver : nullptr);
}

}  // namespace tk_test
