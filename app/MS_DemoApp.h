// MS_DemoApp: the application object and the main loop. It initialises SDL,
// opens the OpenGL window for its client, then runs one thread that does
// everything: each pass takes at most one event from SDL, delivers the input
// the window queued, and runs the frame tick, which draws at most one frame
// per 16 ms, none while minimised, and sleeps 1 ms per pass while the window
// is minimised or in the background. Objects are destroyed in reverse order
// of creation.
#pragma once

#include <memory>
#include <string>

#include "app/MS_ViewWindowGL.h"
#include "core/OS_Stopwatch.h"

struct MS_AppConfig {
    std::string title = "Tarsk @ Ombrel";
    int width = 1280;
    int height = 800;
    int minWidth = 320;
    int minHeight = 240;
    bool hidden = false;
    // 4x multisampling (with a fallback to none when refused).
    bool multisample = true;
    // SDL's offscreen video driver (EGL): no display needed.
    bool offscreen = false;
};

// What one frame tick does, from the window state and the time since the
// last frame: sleep 1 ms first, then draw a frame or not.
struct MS_TickPlan {
    bool sleep = false;
    bool frame = false;
};
MS_TickPlan MS_PlanTick(bool minimised, bool foreground, double sinceFrame);
constexpr double kFrameInterval = 0.016;

class MS_DemoApp {
public:
    explicit MS_DemoApp(OS_WindowClient& client);
    ~MS_DemoApp();
    MS_DemoApp(const MS_DemoApp&) = delete;
    MS_DemoApp& operator=(const MS_DemoApp&) = delete;

    // Start-up in order: the clock, SDL ("[Error] MS_DemoAPP : Register" on
    // failure), the OpenGL window, the client's OnCreate and OnStart. False
    // after printing why; the program should then end.
    bool Start(const MS_AppConfig& config);
    // The main loop, until the window closes. Returns the exit status.
    int Run();
    // One pass of the loop; false once the quit event was seen.
    bool Pass();

    MS_ViewWindowGL* Window() { return m_window.get(); }
    double Now() const { return m_clock.Elapsed(); }

private:
    void Tick();

    OS_WindowClient& m_client;
    bool m_sdlStarted = false;
    std::unique_ptr<MS_ViewWindowGL> m_window;
    OS_Stopwatch m_clock;
    OS_Stopwatch m_frameWatch;
    OS_FrameTime m_time;
};
