// Pixel format, context creation and OpenGL start-up (see MS_WindowGL.h).
#include "app/MS_WindowGL.h"

#include <algorithm>
#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "core/OMB_Log.h"
#include "render/GLLoader.h"

namespace {
enum Failure { kNone, kWindow, kContext };

void* ResolveGL(const char* name) { return SDL_GL_GetProcAddress(name); }
}  // namespace

MS_WindowGL::~MS_WindowGL() {
    // The toolkit window releases its GPU objects while the context lives.
    Detach();
    DestroyContext();
    ReleaseWindow();
}

bool MS_WindowGL::SetAttributes(bool multisample) {
    const SDL_GLattr names[] = {SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE,
                                SDL_GL_ALPHA_SIZE, SDL_GL_DEPTH_SIZE, SDL_GL_STENCIL_SIZE, SDL_GL_DOUBLEBUFFER,
                                SDL_GL_MULTISAMPLEBUFFERS, SDL_GL_MULTISAMPLESAMPLES};
    const int values[] = {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 8, 8, 8, 8, 16, 0, 1, multisample ? 1 : 0,
                          multisample ? 4 : 0};
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i)
        if (SDL_GL_SetAttribute(names[i], values[i]) != 0) return false;
    return true;
}

bool MS_WindowGL::TryCreate(const char* title, int width, int height, bool hidden, int& failure) {
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | (hidden ? SDL_WINDOW_HIDDEN : 0);
    // A first size beyond the screen would put the window's lower edge (the
    // command line, the status line) out of sight: fit the usable area.
    SDL_Rect usable;
    if (!hidden && SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
        width = std::min(width, usable.w);
        height = std::min(height, usable.h);
    }
    SDL_Window* window =
        SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, flags);
    if (!window) {
        failure = kWindow;
        return false;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context || SDL_GL_MakeCurrent(window, context) != 0) {
        if (context) SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        failure = kContext;
        return false;
    }
    Adopt(window);
    m_context = context;
    return true;
}

bool MS_WindowGL::CreateGL(const char* title, int width, int height, bool hidden, bool multisample) {
    DestroyContext();
    ReleaseWindow();
    int failure = kNone;
    bool created = false;
    for (int samples = multisample ? 1 : 0; samples >= 0 && !created; --samples) {
        if (!SetAttributes(samples != 0)) {
            OMB_Printf("[Error] MS_WindowGL : pixelFormat\n");
            return false;
        }
        created = TryCreate(title, width, height, hidden, failure);
        m_multisampled = created && samples;
    }
    OMB_Printf("pixelFormat : %d\n", m_multisampled ? 1 : 0);
    if (!created) {
        OMB_Printf(failure == kWindow ? "[Error] MS_WindowGL : hdc\n" : "[Error] MS_WindowGL : hrc\n");
        return false;
    }
    // Frames are paced by the main loop, not by waiting for the display.
    SDL_GL_SetSwapInterval(0);
    GLSetResolver(&ResolveGL);
    GLStartup();
    GLKeepDriverLoaded();
    return true;
}

bool MS_WindowGL::Open(const MS_WindowConfig& config) {
    if (!StartVideo(config.offscreen)) return false;
    if (!CreateGL(config.title.c_str(), config.width, config.height, config.hidden, config.multisample)) return false;
    SetMinimumClientSize(config.minWidth, config.minHeight);
    return true;
}

void MS_WindowGL::SwapBuffers() {
    if (!Handle()) return;
    SDL_GL_SwapWindow(Handle());
    // Offscreen and software drivers do not throttle on the swap: without a
    // wait, frames queue up faster than they are rendered and their memory
    // grows without bound. One frame in flight is plenty at 16 ms a frame.
    glFinish();
}

void MS_WindowGL::MakeCurrent() {
    if (Handle() && m_context) SDL_GL_MakeCurrent(Handle(), m_context);
}

void MS_WindowGL::DrawableSize(int& width, int& height) const {
    width = height = 0;
    if (Handle()) SDL_GL_GetDrawableSize(Handle(), &width, &height);
}

void MS_WindowGL::DestroyContext() {
    if (m_context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    m_context = nullptr;
}
