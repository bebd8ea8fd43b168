// Child-process, file and GL helpers of the app tests (see TK_AppTest.h).
#include "TK_AppTest.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "render/GLLoader.h"

extern char** environ;

const char* const kEndlessShader =
    "float map( vec3 v ) {\n    float a = 0.0;\n    for (int i = 0; i >= 0; ++i) a = fract(a + sin(float(i)));\n"
    "    return a > 2.0 ? 1.0 : 0.0;\n}\n";

static void* Resolve(const char* name) { return SDL_GL_GetProcAddress(name); }

TK_ProcessResult RunTarsk(const std::vector<std::string>& args) {
    const std::string out = testing::TempDir() + "tarsk_out.txt";
    TK_ProcessResult r;
    const pid_t pid = SpawnTarsk(args, out, "/dev/null");
    double seconds = 0;
    if (pid > 0) r.status = WaitExit(pid, 300, seconds);
    r.out = ReadTestFile(out);
    return r;
}

pid_t SpawnTarsk(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    const std::string program = std::string(TK_BUILD_DIR) + "/tarsk";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitExit(pid_t pid, double limit, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (seconds > limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
    GLSetResolver(&Resolve);
    GLStartup();
    GLKeepDriverLoaded();
}

TK_TestGLWindow::~TK_TestGLWindow() {
    if (m_context) SDL_GL_DeleteContext(m_context);
    if (m_sdl) SDL_DestroyWindow(m_sdl);
    SDL_Quit();
}
