// The headless OpenGL context (see MS_OffscreenGL.h).
#include "app/MS_OffscreenGL.h"

#include <SDL2/SDL.h>

#include "app/MS_Window.h"
#include "core/OMB_Log.h"
#include "render/GLLoader.h"

namespace {
void* ResolveGL(const char* name) { return SDL_GL_GetProcAddress(name); }
}  // namespace

std::unique_ptr<TK_GLContext> MS_OffscreenGL::Create() {
    std::unique_ptr<MS_OffscreenGL> gl(new MS_OffscreenGL);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (!MS_StartOffscreenVideo()) {
            OMB_Printf("[Error] MS_OffscreenGL : %s\n", SDL_GetError());
            return nullptr;
        }
        gl->m_startedVideo = true;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    gl->m_window = SDL_CreateWindow("tarsk", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    gl->m_context = gl->m_window ? SDL_GL_CreateContext(gl->m_window) : nullptr;
    if (!gl->m_context || !gl->MakeCurrent()) {
        OMB_Printf("[Error] MS_OffscreenGL : %s\n", SDL_GetError());
        return nullptr;
    }
    GLSetResolver(&ResolveGL);
    GLStartup();
    GLKeepDriverLoaded();
    return gl;
}

MS_OffscreenGL::~MS_OffscreenGL() {
    if (m_context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    if (m_window) SDL_DestroyWindow(m_window);
    if (m_startedVideo) MS_StopVideo();
}

bool MS_OffscreenGL::MakeCurrent() {
    return m_window && m_context && SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(m_context)) == 0;
}
