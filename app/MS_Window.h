// MS_Window: the platform host on SDL2. One object owns the SDL window (the
// OpenGL context is added by MS_WindowGL), plays the part of the window
// procedure, forwards each SDL input event as raw input to the toolkit
// window it serves (a UI_Window; the editor's is TK_EditorWindow), and runs the
// main loop. What input means (drags, held buttons, wheel steps, typed
// characters, focus loss) is the toolkit's to decide; the host only maps
// SDL's buttons, keys and modifiers and flips y.
//
// The route of every event, in one pass of the loop:
//   Pump         takes every pending SDL event; HandleEvent queues input
//                (keys, text, mouse, pointer leave, focus changes) and acts at
//                once on what cannot wait (size changes, capture, drops,
//                closing), so no toolkit code runs while SDL is read;
//   DeliverInput hands the queue, oldest first, to Deliver, which calls
//                the toolkit window's Input function of each event
//                (position, button, wheel, key, text, leave, focus) with
//                y flipped to a bottom-left origin;
//   OnIdle       the toolkit window's time-driven work (the autosave);
//   Tick         draws a frame when one was asked for, at most one per
//                16 ms and none while minimised (tick broadcast, DrawFrame,
//                swap); with nothing to draw the next pass waits for events
//                (SDL_WaitEventTimeout): no busy loop.
//
// A close (the window's button, or the first stop signal) asks the toolkit
// window first (CanClose), which may keep it open.
//
// The toolkit window is not owned and must outlive the host; the host is its
// UI_Host (minimum size, client resize, redraws, the clipboard).
#pragma once

#include <string>
#include <vector>

#include "app/TK_Version.h"
#include "core/OS_Stopwatch.h"
#include "ui/UI_Window.h"

struct SDL_Window;
union SDL_Event;

struct MS_WindowConfig {
    std::string title = kTarskCaption;
    int width = 1280;
    int height = 800;
    int minWidth = 320;
    int minHeight = 240;
    bool hidden = false;
    // 4x multisampling (with a fallback to none when refused).
    bool multisample = true;
    // A window nobody sees (MS_StartOffscreenVideo): no display needed
    // where SDL's offscreen driver runs.
    bool offscreen = false;
};

// Starts SDL's video for windows nobody sees: on the offscreen driver (EGL,
// no display needed) where that driver can load OpenGL, else on the default
// driver, whose windows the caller keeps hidden (Windows has no EGL). False
// when neither starts; SDL_GetError() says why.
bool MS_StartOffscreenVideo();
// Stops SDL's video started by MS_StartOffscreenVideo (or SDL_Init), once its
// windows are gone.
void MS_StopVideo();

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

class MS_Window : public UI_Host {
public:
    MS_Window();
    ~MS_Window() override;
    MS_Window(const MS_Window&) = delete;
    MS_Window& operator=(const MS_Window&) = delete;

    // Starts SDL's video (MS_StartOffscreenVideo when asked); SDL stops
    // again with this object. False after printing
    // "[Error] MS_DemoAPP : Register" (also when no display is reachable).
    bool StartVideo(bool offscreen);
    // A plain window (no OpenGL), for tests of the event handling. False,
    // after printing "[Error] MS_Window : create", when SDL refuses.
    bool CreatePlain(const char* title, int width, int height, bool hidden);

    // Serves `ui` from now on: broadcasts create, lays it out at the client
    // size, broadcasts start, keeps the window at least as large as the
    // layout and asks for the first frame.
    void Start(UI_Window& ui);
    // Closes once: the toolkit window gets the quit broadcast (an OpenGL
    // context is still current), the window hides and SDL's quit event is
    // posted. The SDL window lives on until the destructor.
    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }
    // A close asked for by the user or a stop signal: destroys the window
    // unless the toolkit window keeps it open (CanClose).
    void Close();
    // A frame drawn from inside a long command (a voxel shader's wait): the
    // window system's events are taken in and left queued; no input, no
    // tick, no command runs.
    void DrawWhileBusy();

    // The main loop, until the window closes. Returns the exit status.
    int Run();
    // One pass of the loop; false once the quit event was seen.
    bool Pass();
    // Frames drawn so far (tests check that an idle loop draws none).
    int FrameCount() const { return m_frames; }

    // The window procedure: one event from the queue of SDL.
    void HandleEvent(const SDL_Event& event);
    // Translates and delivers every queued input event, oldest first.
    void DeliverInput();
    size_t QueuedInput() const;

    bool HasCapture() const { return m_capture; }
    bool IsMinimized() const;
    SDL_Window* Handle() const { return m_window; }

    void SetTitle(const char* title);
    void ClientSize(int& width, int& height) const;

    // UI_Host
    void RequestRedraw() override { m_redraw = true; }
    void SetMinimumClientSize(int width, int height) override;
    void ResizeClient(int width, int height) override;
    // The same, cut to the usable area of the window's display (a first
    // size must leave the window's lower edge in sight).
    void ResizeWithinScreen(int width, int height);
    bool GetClipboardText(std::string& text) override;
    void SetClipboardText(const char* text) override;
    void SetWindowTitle(const char* title) override { SetTitle(title); }
    // GDK_SCALE, else the display's DPI over 96.
    float DisplayScale() override;

    // OS_Key code of an SDL scancode; OS_KEY_NONE for other keys.
    static int KeyCode(int scancode);
    // OS_Modifier bits of an SDL key modifier state.
    static int Modifiers(int sdlModifiers);

protected:
    // Shows the frame just drawn (MS_WindowGL swaps the buffers).
    virtual void Present() {}
    // Subclasses that create the SDL window adopt it here.
    void Adopt(SDL_Window* window);
    void ReleaseWindow();
    // The quit broadcast when the window was never closed, and the toolkit
    // window let go; subclasses call it while their context still exists.
    void Detach();

private:
    bool Pump(int waitMs);
    void Tick();
    void HandleWindowEvent(const SDL_Event& event);
    void HandleDrop(const SDL_Event& event);
    void Capture(bool on);
    void Resize(int width, int height);
    void Deliver(const SDL_Event& event);
    void DeliverWindowEvent(int what);
    int FlipY(int y) const;

    SDL_Window* m_window = nullptr;
    UI_Window* m_ui = nullptr;
    std::vector<SDL_Event> m_queue;
    std::vector<std::string> m_drop;
    bool m_dropping = false;
    bool m_capture = false;
    bool m_redraw = false;
    bool m_destroyed = false;
    bool m_startedVideo = false;
    OS_Stopwatch m_clock;
    OS_Stopwatch m_frameWatch;
    UI_TickData m_time;
    int m_waitMs = 0;
    int m_frames = 0;
    bool m_signalSeen = false;
};
