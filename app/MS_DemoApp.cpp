// Start-up, main loop and frame pacing (see MS_DemoApp.h).
#include "app/MS_DemoApp.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/OMB_Log.h"
#include "core/OS_Signals.h"

MS_TickPlan MS_PlanTick(bool minimised, bool redraw, double sinceFrame) {
    MS_TickPlan plan;
    if (minimised || !redraw) {
        plan.waitMs = kIdleWaitMs;
        return plan;
    }
    if (sinceFrame >= kFrameInterval) {
        plan.frame = true;
        return plan;
    }
    // A frame is due but early: wait for events until its time comes.
    plan.waitMs = std::max(1, int(std::ceil((kFrameInterval - sinceFrame) * 1000.0)));
    return plan;
}

namespace {

// SDL falls back to a driver without a screen when there is no display; a
// window nobody can see or close would then run forever. Asking for such a
// driver by name (tests do) is fine.
bool HasNoDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) return false;
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    return !requested || std::strcmp(requested, driver) != 0;
}

}  // namespace

MS_DemoApp::MS_DemoApp(OS_WindowClient& client) : m_client(client) {}

MS_DemoApp::~MS_DemoApp() {
    // A window still open is closed properly: its client releases its GPU
    // objects while the context is current.
    if (m_window && !m_window->IsDestroyed()) m_window->Destroy();
    m_window.reset();
    if (m_sdlStarted) SDL_Quit();
}

bool MS_DemoApp::Start(const MS_AppConfig& config) {
    m_clock.Restart();
    if (config.offscreen) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    // The program's own handlers answer the stop signals in every mode;
    // SDL's would turn them into a quit event only this loop reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        OMB_Printf("[Error] MS_DemoAPP : Register\n");
        return false;
    }
    m_sdlStarted = true;
    if (!config.offscreen && HasNoDisplay()) {
        std::fprintf(stderr, "tarsk: no display; use --snap or --headless without one\n");
        OMB_Printf("[Error] MS_DemoAPP : Register\n");
        return false;
    }
    m_window.reset(new MS_ViewWindowGL(m_client));
    if (!m_window->CreateGL(config.title.c_str(), config.width, config.height, config.hidden, config.multisample)) return false;
    m_window->SetMinimumSize(config.minWidth, config.minHeight);
    m_client.OnCreate(*m_window);
    m_client.OnStart();
    m_frameWatch.Restart();
    m_window->RequestRedraw();
    return true;
}

int MS_DemoApp::Run() {
    while (Pass()) {
    }
    return 0;
}

bool MS_DemoApp::Pass() {
    if (!m_window) return false;
    if (!Pump(m_waitMs)) return false;
    // Input changes what is shown: every delivery asks for a frame.
    if (m_window->QueuedInput() > 0) m_window->RequestRedraw();
    m_window->DeliverInput();
    m_waitMs = 0;
    if (!m_window->IsDestroyed()) {
        m_client.OnIdle();
        Tick();
    }
    return true;
}

// Waits up to waitMs for the first event, then takes every pending one, so
// a typed line or a modifier change arrives whole before the next frame.
bool MS_DemoApp::Pump(int waitMs) {
    if (OS_StopSignal() && !m_signalSeen) {
        // A stop signal ends the editor as a window close does (a second
        // one ends the process).
        m_signalSeen = true;
        m_window->Close();
        if (m_window->IsDestroyed()) return false;
    }
    SDL_Event event;
    int got = waitMs > 0 ? SDL_WaitEventTimeout(&event, waitMs) : SDL_PollEvent(&event);
    for (; got; got = SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            // A quit from outside (a signal, the session) still closes the
            // window properly.
            m_window->Destroy();
            return false;
        }
        m_window->HandleEvent(event);
    }
    return true;
}

void MS_DemoApp::Tick() {
    const bool redraw = m_window->IsRedrawRequested();
    const MS_TickPlan plan = MS_PlanTick(m_window->IsMinimized(), redraw, m_frameWatch.Elapsed());
    m_waitMs = plan.waitMs;
    if (!plan.frame) return;
    m_window->TakeRedrawRequest();
    m_frameWatch.Restart();
    m_time.previous = m_time.current;
    m_time.current = m_clock.Elapsed();
    ++m_frames;
    m_window->Frame(m_time);
}
