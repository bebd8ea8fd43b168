// MS_UIBridge: joins a toolkit window (UI_Window) to the platform window. It
// turns the platform's input events into toolkit events (drags while a
// button is held, typed characters as key events without a key code, a
// focus loss as SetFocus(null) followed by broadcast 10), passes size
// changes on as a new rectangle and RefreshLayout, runs each frame as a
// tick broadcast followed by the frame's drawing, and serves the toolkit's
// host requests (minimum size, client resize, redraws, the clipboard)
// through SDL. An editor window's client owns one beside its UI_Window.
#pragma once

#include <string>

#include "app/OS_Window.h"
#include "ui/UI_Window.h"

class MS_Window;

class MS_UIBridge : public UI_Host {
public:
    // Neither is owned; both must outlive the bridge. Sets itself as the
    // toolkit window's host.
    MS_UIBridge(MS_Window& platform, UI_Window& window);
    ~MS_UIBridge() override;
    MS_UIBridge(const MS_UIBridge&) = delete;
    MS_UIBridge& operator=(const MS_UIBridge&) = delete;

    void Deliver(const OS_InputEvent& event);
    void Resize(int width, int height);
    // Tick, then the frame (needs the context current).
    void Frame(const OS_FrameTime& time);
    // The frame alone, without the tick, while a long command runs.
    void DrawOnly();

    // The toolkit event type of a platform event (0 when there is none).
    static int EventType(const OS_InputEvent& event);

    // UI_Host
    void SetMinimumClientSize(int width, int height) override;
    void ResizeClient(int width, int height) override;
    void RequestRedraw() override;
    bool GetClipboardText(std::string& text) override;
    void SetClipboardText(const char* text) override;

private:
    MS_Window& m_platform;
    UI_Window& m_window;
    UI_MouseState m_mouse;
};
