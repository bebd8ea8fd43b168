// The platform window as the rest of the program sees it: OS_Window (what a
// window can do) and OS_WindowClient (what the window tells its owner: the
// create and start notifications, input events, frames, drops and quit).
// The implementations are the MS_ classes on SDL2; nothing outside them
// touches SDL. Coordinates are client pixels with the origin at the bottom
// left and y up.
#pragma once

#include <string>
#include <vector>

#include "core/OS_Keys.h"

enum OS_MouseButton : int { OS_BUTTON_LEFT = 1, OS_BUTTON_RIGHT = 2, OS_BUTTON_MIDDLE = 4 };

enum class OS_InputKind {
    MouseMove,   // pointer moved (buttons tells which are held)
    MouseDown,   // button pressed
    MouseUp,     // button released
    Wheel,       // wheel turned
    KeyDown,     // key pressed (or repeated)
    KeyUp,       // key released
    Text,        // a printable character typed
    Leave,       // the pointer left the window
    FocusLost,   // the window was deactivated
};

// One deferred input event, translated when it is delivered.
struct OS_InputEvent {
    OS_InputKind kind = OS_InputKind::MouseMove;
    int x = 0, y = 0;        // pointer, bottom-left origin
    int button = 0;          // MouseDown / MouseUp: one OS_MouseButton
    int buttons = 0;         // OS_MouseButton bits held
    float wheel = 0;         // accumulated wheel: each notch adds 8 in its direction
    float previousWheel = 0; // the accumulated value before this event
    int modifiers = 0;       // OS_Modifier bits
    int key = 0;             // KeyDown / KeyUp: OS_Key code
    bool repeat = false;     // KeyDown: automatic repetition
    char character = 0;      // Text: 32..126
};

// Time record of one frame, seconds since the application clock started.
struct OS_FrameTime {
    double current = 0;
    double previous = 0;
};

class OS_Window;

// What a window reports to its owner. Every hook runs on the main thread,
// from the main loop, never from inside event translation.
class OS_WindowClient {
public:
    virtual ~OS_WindowClient() = default;
    // The window and its OpenGL context exist (sent once).
    virtual void OnCreate(OS_Window& window) {}
    // Sent once after OnCreate, when the frame loop is about to start.
    virtual void OnStart() {}
    virtual void OnInput(const OS_InputEvent& event) {}
    // Draws one frame into the back buffer; the window swaps afterwards.
    virtual void OnFrame(const OS_FrameTime& time) {}
    virtual void OnResize(int width, int height) {}
    // One list per drop, in the order the files were given.
    virtual void OnDropFiles(const std::vector<std::string>& paths, int x, int y) {}
    // The user or a stop signal asks to close the window; false keeps it
    // open (after telling the user why).
    virtual bool OnCloseRequest() { return true; }
    // The window is closing; the context is still current.
    virtual void OnQuit() {}
    // Once per pass of the main loop, at least every quarter of a second,
    // outside any frame: for work that waits on time (the autosave).
    virtual void OnIdle() {}
};

class OS_Window {
public:
    virtual ~OS_Window() = default;
    virtual void SetTitle(const char* title) = 0;
    virtual void Move(int x, int y, int width, int height) = 0;
    virtual void ClientSize(int& width, int& height) const = 0;
    // Pointer in client coordinates (bottom-left origin).
    virtual void CursorPosition(int& x, int& y) const = 0;
    virtual void RequestRedraw() = 0;
    // Closes the window as if the user had (OnQuit follows).
    virtual void RequestClose() = 0;
};
