// MS_Window: the platform window on SDL2, the implementation of OS_Window.
// It plays the part of a window procedure: HandleEvent takes one SDL event
// at a time, queues keyboard, text and mouse events (plus pointer-leave and
// focus loss) for later, and acts at once on what cannot wait: size changes,
// mouse capture, file drops and closing. DeliverInput later translates the
// queued events, oldest first, into OS_InputEvents (y flipped to a
// bottom-left origin) and hands them to OnInput, so no user-interface code
// runs while events are being read.
//
// The window itself is created by MS_WindowGL; this class never creates a
// context. SDL must have been initialised by the caller (MS_DemoApp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/OS_Window.h"

struct SDL_Window;
union SDL_Event;

class MS_Window : public OS_Window {
public:
    MS_Window();
    ~MS_Window() override;
    MS_Window(const MS_Window&) = delete;
    MS_Window& operator=(const MS_Window&) = delete;

    // A plain window (no OpenGL), for tests of the event handling. False,
    // after printing "[Error] MS_Window : create", when SDL refuses.
    bool CreatePlain(const char* title, int width, int height, bool hidden);
    // Runs the destroy operation once (OnDestroy), hides the window and
    // posts the quit event. The SDL window lives on until the destructor.
    void Destroy();
    bool IsDestroyed() const { return m_destroyed; }
    // A close asked for by the user or a stop signal: destroys the window
    // unless OnCloseRequest keeps it open.
    void Close() {
        if (OnCloseRequest()) Destroy();
    }

    // The window procedure: one event from the queue of SDL.
    void HandleEvent(const SDL_Event& event);
    // Translates and delivers every queued input event, oldest first.
    void DeliverInput();
    size_t QueuedInput() const;

    void SetMinimumSize(int width, int height);
    bool HasCapture() const { return m_capture; }
    bool IsMinimized() const;
    bool HasFocus() const;
    SDL_Window* Handle() const { return m_window; }

    // OS_Window
    void SetTitle(const char* title) override;
    void Move(int x, int y, int width, int height) override;
    void ClientSize(int& width, int& height) const override;
    void CursorPosition(int& x, int& y) const override;
    void RequestRedraw() override { m_redraw = true; }
    void RequestClose() override { Destroy(); }
    bool IsRedrawRequested() const { return m_redraw; }
    bool TakeRedrawRequest() {
        const bool r = m_redraw;
        m_redraw = false;
        return r;
    }

    // OS_Key code of an SDL scancode; OS_KEY_NONE for other keys.
    static int KeyCode(int scancode);
    // OS_Modifier bits of an SDL key modifier state.
    static int Modifiers(int sdlModifiers);

protected:
    virtual void OnInput(const OS_InputEvent& event) {}
    virtual void OnResize(int width, int height) {}
    virtual void OnDropFiles(const std::vector<std::string>& paths, int x, int y) {}
    virtual void OnDestroy() {}
    // False keeps the window open (the client said why).
    virtual bool OnCloseRequest() { return true; }
    // Subclasses that create the SDL window adopt it here.
    void Adopt(SDL_Window* window);
    void ReleaseWindow();

private:
    void HandleWindowEvent(const SDL_Event& event);
    void HandleDrop(const SDL_Event& event);
    void Capture(bool on);
    void Deliver(const SDL_Event& event);
    void DeliverMouse(const SDL_Event& event);
    void DeliverKey(const SDL_Event& event);
    int FlipY(int y) const;

    SDL_Window* m_window = nullptr;
    std::vector<SDL_Event> m_queue;
    std::vector<std::string> m_drop;
    bool m_dropping = false;
    bool m_capture = false;
    bool m_trackingLeave = false;
    bool m_redraw = false;
    bool m_destroyed = false;
    int m_pointerX = 0, m_pointerY = 0;  // last known, bottom-left origin
    float m_wheel = 0;
};
