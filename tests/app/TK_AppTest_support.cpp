// Child-process, file and GL helpers of the app tests (see TK_AppTest.h).
#include "TK_AppTest.h"

#include <SDL2/SDL.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "render/OMB_OpenGL.h"

namespace {
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void* Resolve(const char* name) { return SDL_GL_GetProcAddress(name); }
}  // namespace

TK_ProcessResult RunTarsk(const std::vector<std::string>& args) {
    std::string cmd = std::string(TK_BUILD_DIR) + "/tarsk";
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " 2>/dev/null";
    TK_ProcessResult r;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string ReadTestFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ReadTestPNG(const std::string& path, TK_TestImage& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    out.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr) != 0;
}

TK_TestGLWindow::TK_TestGLWindow(int width, int height) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        m_sdl = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (m_sdl) m_context = SDL_GL_CreateContext(m_sdl);
    }
    if (!m_context) {
        error = SDL_GetError();
        return;
    }
    OMB_SetGLResolver(&Resolve);
    OMB_GLStartup();
    OMB_KeepGLDriverLoaded();
}

TK_TestGLWindow::~TK_TestGLWindow() {
    if (m_context) SDL_GL_DeleteContext(m_context);
    if (m_sdl) SDL_DestroyWindow(m_sdl);
    SDL_Quit();
}
