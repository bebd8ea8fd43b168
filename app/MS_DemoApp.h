// MS_DemoApp: the application object and the main loop. It initialises SDL,
// opens the OpenGL window for its client, then runs one thread that does
// everything: each pass handles every pending SDL event, delivers all the
// input the window queued, and then draws a frame only when something asked
// for one (input, a size change, or the client calling RequestRedraw from a
// frame because a timer or a progressive render is running), at most one per
// 16 ms and none while minimised. With nothing to draw the loop sleeps in
// SDL_WaitEventTimeout until an event arrives: no busy loop. Objects are
// destroyed in reverse order of creation.
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

// What one frame tick does, from the window state, whether a redraw was
// requested and the time since the last frame: draw a frame or not, and how
// long the next pass may wait for events before it looks again.
struct MS_TickPlan {
    bool frame = false;
    int waitMs = 0;  // 0: do not wait
};
MS_TickPlan MS_PlanTick(bool minimised, bool redraw, double sinceFrame);
constexpr double kFrameInterval = 0.016;
// The longest wait for events; events end a wait at once.
constexpr int kIdleWaitMs = 250;

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
    // Frames drawn so far (tests check that an idle loop draws none).
    int FrameCount() const { return m_frames; }

    MS_ViewWindowGL* Window() { return m_window.get(); }
    double Now() const { return m_clock.Elapsed(); }

private:
    bool Pump(int waitMs);
    void Tick();

    OS_WindowClient& m_client;
    bool m_sdlStarted = false;
    std::unique_ptr<MS_ViewWindowGL> m_window;
    OS_Stopwatch m_clock;
    OS_Stopwatch m_frameWatch;
    OS_FrameTime m_time;
    int m_waitMs = 0;
    int m_frames = 0;
    bool m_signalSeen = false;
};
