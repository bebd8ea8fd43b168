// The video driver of the GL tests. SDL's offscreen driver (EGL, no display
// needed) where it can load OpenGL; else the default driver, whose hidden
// windows need the display in DISPLAY (Windows, which has no EGL: under
// Wine, an X server such as Xvfb). The choice goes into SDL_VIDEODRIVER, so
// the programs a test starts inherit it; without the offscreen driver the
// variable is removed, and they make the program's own choice.
#pragma once

#include <SDL2/SDL.h>

#include "core/OS_Process.h"

namespace tk_test {

inline void UseHeadlessVideo() {
    static const bool offscreen = [] {
        OS_SetEnvironment("SDL_VIDEODRIVER", "offscreen");
        const bool loads = SDL_Init(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
        if (loads) SDL_GL_UnloadLibrary();
        SDL_Quit();
        return loads;
    }();
    OS_SetEnvironment("SDL_VIDEODRIVER", offscreen ? "offscreen" : nullptr);
}

}  // namespace tk_test
