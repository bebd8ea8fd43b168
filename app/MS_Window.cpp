// The platform host (see MS_Window.h).
//
//   Lifetime ........... video, create, start, destroy
//   Main loop .......... passes, pumping, frame ticks
//   Window procedure ... HandleEvent and what it does at once
//   Delivery ........... SDL events become the toolkit's raw input
//   Host services ...... geometry, minimum size, clipboard
//   Keys ............... scancode and modifier mapping
#include "app/MS_Window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/OMB_Log.h"
#include "core/OS_Keys.h"
#include "core/OS_Signals.h"

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

// SDL falls back to its offscreen driver when the display refuses the first
// connection (a busy X server at log-in, many programs starting at once).
// Asks the display named in the environment again, a few times, and keeps
// SDL's reason when it still refuses.
bool RetryDisplay(std::string& why) {
    const char* driver = SDL_getenv("WAYLAND_DISPLAY") ? "wayland" : SDL_getenv("DISPLAY") ? "x11" : nullptr;
    if (!driver) {
        why = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return false;
    }
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SDL_Quit();
        SDL_Delay(Uint32(100 * attempt));
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
        why = std::string(driver) + ": " + SDL_GetError();
    }
    // The other drivers stay possible for whoever starts video next.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    return false;
}

// MS_StartOffscreenVideo holds a reference to the GL library.
bool gProbeLoadedGL = false;

}  // namespace

bool MS_StartOffscreenVideo() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        // The driver starts without EGL and fails only at the first GL
        // window; loading the library now tells in time to choose again.
        // It stays loaded until MS_StopVideo, after the windows that use
        // it: unloaded before any context, the driver would leave what it
        // allocated in a module that is gone.
        if (SDL_GL_LoadLibrary(nullptr) == 0) return gProbeLoadedGL = true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void MS_StopVideo() {
    if (gProbeLoadedGL) SDL_GL_UnloadLibrary();
    gProbeLoadedGL = false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

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

// ---------------------------------------------------------------- lifetime

MS_Window::MS_Window() { m_clock.Restart(); }

MS_Window::~MS_Window() {
    Detach();
    ReleaseWindow();
    if (m_startedVideo) {
        MS_StopVideo();
        SDL_Quit();
    }
}

bool MS_Window::StartVideo(bool offscreen) {
    // The program's own handlers answer the stop signals in every mode;
    // SDL's would turn them into a quit event only this loop reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Closing the window is a request the editor may refuse (no backup):
    // SDL must not add a quit of its own behind it.
    SDL_SetHint("SDL_QUIT_ON_LAST_WINDOW_CLOSE", "0");
    if (offscreen ? !MS_StartOffscreenVideo() : SDL_Init(SDL_INIT_VIDEO) != 0) {
        OMB_Printf("[Error] MS_DemoAPP : Register\n");
        return false;
    }
    std::string why;
    if (!offscreen && HasNoDisplay() && !RetryDisplay(why)) {
        SDL_Quit();
        std::fprintf(stderr, "tarsk: no display (%s); use --snap or --headless without one\n", why.c_str());
        OMB_Printf("[Error] MS_DemoAPP : Register\n");
        return false;
    }
    m_startedVideo = true;
    return true;
}

bool MS_Window::CreatePlain(const char* title, int width, int height, bool hidden) {
    ReleaseWindow();
    SDL_Window* window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                          hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    if (!window) {
        OMB_Printf("[Error] MS_Window : create\n");
        return false;
    }
    Adopt(window);
    return true;
}

void MS_Window::Adopt(SDL_Window* window) {
    m_window = window;
    m_destroyed = false;
}

void MS_Window::ReleaseWindow() {
    if (m_capture) Capture(false);
    if (m_window) SDL_DestroyWindow(m_window);
    m_window = nullptr;
}

void MS_Window::Start(UI_Window& ui) {
    m_ui = &ui;
    ui.SetHost(this);
    ui.Broadcast(UI_Event::Broadcast(UI_EVENT_CREATE));
    int width = 0, height = 0;
    ClientSize(width, height);
    Resize(width, height);
    ui.Broadcast(UI_Event::Broadcast(UI_EVENT_START));
    const OMB_Size least = ui.GetMinSize();
    SetMinimumClientSize(int(std::ceil(float(least.width) * ui.Scale())), int(std::ceil(float(least.height) * ui.Scale())));
    m_frameWatch.Restart();
    RequestRedraw();
}

void MS_Window::Destroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    if (m_ui) m_ui->Broadcast(UI_Event::Broadcast(UI_EVENT_QUIT));
    if (m_window) SDL_HideWindow(m_window);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void MS_Window::Detach() {
    if (!m_ui) return;
    if (!m_destroyed) m_ui->Broadcast(UI_Event::Broadcast(UI_EVENT_QUIT));
    m_destroyed = true;
    m_ui->SetHost(nullptr);
    m_ui = nullptr;
}

// ---------------------------------------------------------------- main loop

int MS_Window::Run() {
    while (Pass()) {
    }
    return 0;
}

bool MS_Window::Pass() {
    if (!m_window) return false;
    if (!Pump(m_waitMs)) return false;
    // Input changes what is shown: every delivery asks for a frame.
    if (!m_queue.empty()) RequestRedraw();
    DeliverInput();
    m_waitMs = 0;
    if (!m_destroyed) {
        if (m_ui) m_ui->OnIdle(OS_Seconds());
        Tick();
    }
    return true;
}

void MS_Window::Close() {
    if (!m_ui || m_ui->CanClose()) Destroy();
}

void MS_Window::DrawWhileBusy() {
    if (!m_window || m_destroyed || !m_ui) return;
    SDL_PumpEvents();
    m_ui->DrawFrame();
    Present();
}

// Waits up to waitMs for the first event, then takes every pending one, so
// a typed line or a modifier change arrives whole before the next frame.
bool MS_Window::Pump(int waitMs) {
    if (OS_StopSignal() && !m_signalSeen) {
        // A stop signal ends the editor as a window close does (a second
        // one ends the process).
        m_signalSeen = true;
        Close();
        if (m_destroyed) return false;
        // Refused: the signal is answered, and work that watches for one
        // (a voxel shader) must not see it any more. The next one is the
        // deliberate second close.
        OS_ClearStopSignal();
        m_signalSeen = false;
    }
    SDL_Event event;
    bool closeAsked = false;
    int got = waitMs > 0 ? SDL_WaitEventTimeout(&event, waitMs) : SDL_PollEvent(&event);
    for (; got; got = SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            // Our own quit ends the loop. A quit from outside (the session)
            // is one more close request, unless it only repeats the window
            // close of this same batch (older SDL sends both).
            if (!m_destroyed && !closeAsked) Close();
            if (m_destroyed) return false;
            continue;
        }
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) closeAsked = true;
        HandleEvent(event);
    }
    return true;
}

void MS_Window::Tick() {
    const MS_TickPlan plan = MS_PlanTick(IsMinimized(), m_redraw, m_frameWatch.Elapsed());
    m_waitMs = plan.waitMs;
    if (!plan.frame) return;
    m_redraw = false;
    m_frameWatch.Restart();
    m_time.previous = m_time.now;
    m_time.now = m_clock.Elapsed();
    ++m_frames;
    if (m_ui) {
        m_ui->Broadcast(UI_Event::Tick(m_time));
        m_ui->DrawFrame();
    }
    Present();
}

// ---------------------------------------------------------------- window procedure

void MS_Window::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_MOUSEWHEEL:
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
        case SDL_TEXTEDITING: m_queue.push_back(event); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // Capture follows the buttons at once, so that a focus loss
            // arriving before delivery still finds and releases it.
            Capture(event.type == SDL_MOUSEBUTTONDOWN);
            m_queue.push_back(event);
            break;
        case SDL_WINDOWEVENT: HandleWindowEvent(event); break;
        case SDL_DROPBEGIN:
        case SDL_DROPFILE:
        case SDL_DROPCOMPLETE: HandleDrop(event); break;
        default: break;
    }
}

void MS_Window::HandleWindowEvent(const SDL_Event& event) {
    switch (event.window.event) {
        case SDL_WINDOWEVENT_LEAVE:
        case SDL_WINDOWEVENT_FOCUS_GAINED: m_queue.push_back(event); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (m_capture) Capture(false);
            m_queue.push_back(event);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Resize(event.window.data1, event.window.data2);
            RequestRedraw();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED: RequestRedraw(); break;
        case SDL_WINDOWEVENT_CLOSE: Close(); break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            if (m_ui) m_ui->OnDisplayScaleChanged();
            break;
        default: break;
    }
}

// A drop arrives as BEGIN, one FILE per path, COMPLETE: the paths are
// gathered and handed over as one list. A FILE outside a BEGIN/COMPLETE pair
// is a drop of its own.
void MS_Window::HandleDrop(const SDL_Event& event) {
    if (event.type == SDL_DROPBEGIN) {
        m_drop.clear();
        m_dropping = true;
        return;
    }
    if (event.type == SDL_DROPFILE) {
        if (event.drop.file) {
            m_drop.emplace_back(event.drop.file);
            SDL_free(event.drop.file);
        }
        if (m_dropping) return;
    }
    m_dropping = false;
    std::vector<std::string> paths;
    paths.swap(m_drop);
    if (!paths.empty() && m_ui) m_ui->OnDropFiles(paths, m_ui->Mouse().x, m_ui->Mouse().y);
}

void MS_Window::Capture(bool on) {
    // The offscreen driver cannot capture; the flag still tells the truth
    // about what this window asked for.
    SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
    m_capture = on;
}

void MS_Window::Resize(int width, int height) {
    if (!m_ui || width < 1 || height < 1) return;
    m_ui->SetDeviceSize(width, height);
    if (m_ui->Root()) m_ui->Root()->SetRect(m_ui->Rect());
    m_ui->RefreshLayout();
}

// ---------------------------------------------------------------- delivery

size_t MS_Window::QueuedInput() const { return m_queue.size(); }

void MS_Window::DeliverInput() {
    // Handlers may not add input, but take the queue first anyway so that a
    // handler pumping events cannot disturb the walk.
    std::vector<SDL_Event> queue;
    queue.swap(m_queue);
    for (const SDL_Event& event : queue) Deliver(event);
    queue.clear();
    if (m_queue.empty()) m_queue.swap(queue);  // keep the capacity
}

namespace {
// False for the buttons the toolkit does not know (SDL's X1 and X2).
bool ButtonOf(int sdlButton, UI_MouseButton& button) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: button = UI_BUTTON_LEFT; return true;
        case SDL_BUTTON_RIGHT: button = UI_BUTTON_RIGHT; return true;
        case SDL_BUTTON_MIDDLE: button = UI_BUTTON_MIDDLE; return true;
        default: return false;
    }
}
}  // namespace

void MS_Window::Deliver(const SDL_Event& event) {
    if (!m_ui) return;
    UI_MouseButton button = UI_BUTTON_LEFT;
    switch (event.type) {
        case SDL_MOUSEMOTION:
            m_ui->InputPosition(event.motion.x, FlipY(event.motion.y), Modifiers(SDL_GetModState()));
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (ButtonOf(event.button.button, button))
                m_ui->InputButton(button, event.type == SDL_MOUSEBUTTONDOWN, event.button.x, FlipY(event.button.y),
                                  Modifiers(SDL_GetModState()));
            return;
        case SDL_MOUSEWHEEL:
            m_ui->InputWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y,
                             Modifiers(SDL_GetModState()));
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            m_ui->InputKey(KeyCode(event.key.keysym.scancode), event.type == SDL_KEYDOWN, event.key.repeat != 0,
                           Modifiers(event.key.keysym.mod));
            return;
        case SDL_TEXTINPUT: m_ui->InputText(event.text.text, Modifiers(SDL_GetModState())); return;
        case SDL_TEXTEDITING: m_ui->InputComposition(event.edit.text); return;
        case SDL_WINDOWEVENT: DeliverWindowEvent(event.window.event); return;
        default: return;
    }
}

void MS_Window::DeliverWindowEvent(int what) {
    if (what == SDL_WINDOWEVENT_LEAVE) m_ui->InputLeave();
    if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_FOCUS_LOST)
        m_ui->InputFocus(what == SDL_WINDOWEVENT_FOCUS_GAINED);
}

int MS_Window::FlipY(int y) const {
    int width = 0, height = 0;
    ClientSize(width, height);
    return height - 1 - y;
}

// ---------------------------------------------------------------- host services

bool MS_Window::IsMinimized() const { return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED); }

void MS_Window::SetMinimumClientSize(int width, int height) {
    if (m_window) SDL_SetWindowMinimumSize(m_window, width, height);
}

void MS_Window::ResizeClient(int width, int height) {
    if (m_window) SDL_SetWindowSize(m_window, width, height);
}

void MS_Window::ResizeWithinScreen(int width, int height) {
    SDL_Rect usable;
    const int display = m_window ? std::max(0, SDL_GetWindowDisplayIndex(m_window)) : 0;
    const bool bounded = SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0;
    if (bounded) {
        width = std::min(width, usable.w);
        height = std::min(height, usable.h);
    }
    ResizeClient(width, height);
    // Grown in place, the window may now reach past the screen's edge.
    int x = 0, y = 0;
    if (!bounded || !m_window) return;
    SDL_GetWindowPosition(m_window, &x, &y);
    x = std::clamp(x, usable.x, usable.x + usable.w - width);
    y = std::clamp(y, usable.y, usable.y + usable.h - height);
    SDL_SetWindowPosition(m_window, x, y);
}

bool MS_Window::GetClipboardText(std::string& text) {
    if (!SDL_HasClipboardText()) return false;
    char* clip = SDL_GetClipboardText();
    text = clip ? clip : "";
    SDL_free(clip);
    return !text.empty();
}

void MS_Window::SetClipboardText(const char* text) { SDL_SetClipboardText(text ? text : ""); }

void MS_Window::SetTitle(const char* title) {
    if (m_window) SDL_SetWindowTitle(m_window, title);
}

float MS_Window::DisplayScale() {
    // GDK_SCALE is the desktop's explicit choice; otherwise the display's
    // DPI (SDL reads Xft.dpi on X11 where it is set) against 96.
    if (const char* gdk = std::getenv("GDK_SCALE")) {
        const float scale = std::strtof(gdk, nullptr);
        if (scale >= 1) return scale;
    }
    float dpi = 0;
    const int display = m_window ? SDL_GetWindowDisplayIndex(m_window) : 0;
    // Down to a quarter step: a screen of 110 DPI is no reason to grow.
    if (SDL_GetDisplayDPI(std::max(display, 0), &dpi, nullptr, nullptr) == 0 && dpi > 0)
        return std::floor(dpi / 96.0f * 4 + 0.05f) / 4;
    return 1;
}

void MS_Window::ClientSize(int& width, int& height) const {
    width = height = 0;
    if (m_window) SDL_GetWindowSize(m_window, &width, &height);
}

// ---------------------------------------------------------------- keys

int MS_Window::KeyCode(int scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return OS_KEY_A + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return OS_KEY_0 + 1 + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return OS_KEY_F1 + (scancode - SDL_SCANCODE_F1);
    switch (scancode) {
        case SDL_SCANCODE_0: return OS_KEY_0;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return OS_KEY_CTRL;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return OS_KEY_ALT;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return OS_KEY_SHIFT;
        case SDL_SCANCODE_CAPSLOCK: return OS_KEY_CAPS;
        case SDL_SCANCODE_TAB: return OS_KEY_TAB;
        case SDL_SCANCODE_ESCAPE: return OS_KEY_ESCAPE;
        case SDL_SCANCODE_SPACE: return OS_KEY_SPACE;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return OS_KEY_ENTER;
        case SDL_SCANCODE_BACKSPACE: return OS_KEY_BACKSPACE;
        case SDL_SCANCODE_MINUS: return OS_KEY_MINUS;
        case SDL_SCANCODE_EQUALS: return OS_KEY_PLUS;
        case SDL_SCANCODE_LEFT: return OS_KEY_LEFT;
        case SDL_SCANCODE_RIGHT: return OS_KEY_RIGHT;
        case SDL_SCANCODE_DOWN: return OS_KEY_DOWN;
        case SDL_SCANCODE_UP: return OS_KEY_UP;
        case SDL_SCANCODE_PAGEDOWN: return OS_KEY_PAGE_DOWN;
        case SDL_SCANCODE_PAGEUP: return OS_KEY_PAGE_UP;
        case SDL_SCANCODE_HOME: return OS_KEY_HOME;
        case SDL_SCANCODE_END: return OS_KEY_END;
        case SDL_SCANCODE_DELETE: return OS_KEY_DELETE;
        default: return OS_KEY_NONE;
    }
}

int MS_Window::Modifiers(int sdlModifiers) {
    return (sdlModifiers & KMOD_CTRL ? OS_MOD_CTRL : 0) | (sdlModifiers & KMOD_ALT ? OS_MOD_ALT : 0) |
           (sdlModifiers & KMOD_SHIFT ? OS_MOD_SHIFT : 0) | (sdlModifiers & KMOD_CAPS ? OS_MOD_CAPS : 0);
}
