// File and GL helpers of the app tests (see TK_AppTest.h); the child
// processes are TK_AppProcess_support.cpp's.
#include "TK_AppTest.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <iterator>

#include "TK_TestVideo.h"
#include "render/GLLoader.h"

const char* const kEndlessShader =
    "float map( vec3 v ) {\n    float a = 0.0;\n    for (int i = 0; i >= 0; ++i) a = fract(a + sin(float(i)));\n"
    "    return a > 2.0 ? 1.0 : 0.0;\n}\n";

static void* Resolve(const char* name) { return SDL_GL_GetProcAddress(name); }

TK_ProcessResult RunTarsk(const std::vector<std::string>& args) {
    const std::string out = testing::TempDir() + "tarsk_out.txt";
    TK_ProcessResult r;
    const pid_t pid = SpawnTarsk(args, out, "");
    double seconds = 0;
    if (pid > 0) r.status = WaitExit(pid, 300, seconds);
    r.out = ReadTestFile(out);
    // A console program's text output ends its lines with "\r\n" on Windows.
    for (size_t at = r.out.find("\r\n"); at != std::string::npos; at = r.out.find("\r\n", at)) r.out.erase(at, 1);
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
    tk_test::UseHeadlessVideo();
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
    GLSetResolver(&Resolve);
    GLStartup();
    GLKeepDriverLoaded();
}

TK_TestGLWindow::~TK_TestGLWindow() {
    if (m_context) SDL_GL_DeleteContext(m_context);
    if (m_sdl) SDL_DestroyWindow(m_sdl);
    SDL_Quit();
}
