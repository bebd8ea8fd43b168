// Helpers of the app tests: running build/tarsk as a child process, reading
// its files back, and an offscreen GL context to draw into.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct SDL_Window;

struct TK_ProcessResult {
    std::string out;  // standard output
    int status = -1;  // exit status, -1 when it did not exit normally
};

// Runs the built tarsk with `args` (standard error discarded).
TK_ProcessResult RunTarsk(const std::vector<std::string>& args);

// Starts the built tarsk (tarsk.com, the console twin, on Windows) with
// standard output and error in the files `out` and `err` (discarded when
// empty); -1 when it cannot start.
pid_t SpawnTarsk(const std::vector<std::string>& args, const std::string& out, const std::string& err);

// The exit status (-1 when killed by a signal), or -2 after killing a
// process still running after `limit` seconds; `seconds` receives the wait.
int WaitExit(pid_t pid, double limit, double& seconds);

// The id of another process that runs as long as this one (the parent on
// POSIX, a suspended child on Windows).
long OtherRunningProcessId();

// A voxel shader whose loop never ends (software OpenGL stops any loop after
// 65535 steps, so over the largest box it runs for minutes).
extern const char* const kEndlessShader;

// The whole file; empty when it cannot be read.
std::string ReadTestFile(const std::string& path);

struct TK_TestImage {
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<unsigned char> rgba;  // converted to RGBA, rows top first
    const unsigned char* At(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

// False when the file is not a readable PNG.
bool ReadTestPNG(const std::string& path, TK_TestImage& out);

// A hidden window on SDL's offscreen driver with a current compatibility GL
// context the renderers resolve through; SDL ends with it.
class TK_TestGLWindow {
public:
    TK_TestGLWindow(int width, int height);
    ~TK_TestGLWindow();
    TK_TestGLWindow(const TK_TestGLWindow&) = delete;
    TK_TestGLWindow& operator=(const TK_TestGLWindow&) = delete;
    bool Ok() const { return m_context != nullptr; }
    std::string error;  // SDL's reason when not Ok()

private:
    SDL_Window* m_sdl = nullptr;
    void* m_context = nullptr;
};
