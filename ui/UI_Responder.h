// UI_Responder: the root of everything that receives toolkit events, and the
// event records themselves. The platform window fills the records; the
// window object (UI_Window) routes them. HandleBroadcast dispatches types 4
// to 11 to the broadcast hooks; HandleInput dispatches types 12 to 26 to the
// input hooks and hands anything unhandled to nextResponder (PassOn), so
// unhandled input bubbles from a view up its parents to the window.
//
// The event type numbers are the toolkit's interface: never renumber them.
#pragma once

#include <cstdint>

enum UI_EventType : int {
    UI_EVENT_QUIT = 4,
    UI_EVENT_CREATE = 5,
    UI_EVENT_START = 6,
    // 7 and 9 are reserved: nothing sends them.
    UI_EVENT_DRAW = 8,
    UI_EVENT_DEACTIVATE = 10,  // the window lost the keyboard; follows SetFocus(null)
    UI_EVENT_TICK = 11,
    UI_EVENT_MOUSE_MOVE = 12,
    UI_EVENT_WHEEL = 13,
    UI_EVENT_LEFT_DOWN = 14,
    UI_EVENT_LEFT_UP = 15,
    UI_EVENT_LEFT_DRAG = 16,
    UI_EVENT_RIGHT_DOWN = 17,
    UI_EVENT_RIGHT_UP = 18,
    UI_EVENT_RIGHT_DRAG = 19,
    UI_EVENT_MIDDLE_DOWN = 20,
    UI_EVENT_MIDDLE_UP = 21,
    UI_EVENT_MIDDLE_DRAG = 22,
    UI_EVENT_MOUSE_LEAVE = 23,
    UI_EVENT_MOUSE_ENTER = 24,
    UI_EVENT_KEY_DOWN = 25,
    UI_EVENT_KEY_UP = 26,
};

enum UI_EventCategory : int { UI_CATEGORY_MOUSE = 1, UI_CATEGORY_KEY = 2, UI_CATEGORY_BROADCAST = 3 };

// Filled by the platform window for every mouse event. y grows upwards.
struct UI_MouseState {
    bool valid = false;
    int x = 0, y = 0;
    int prevX = 0, prevY = 0;
    float wheel = 0;      // accumulated: each notch adds 8 in its direction
    float prevWheel = 0;  // the accumulated value before the last wheel event
    int left = 0, right = 0, middle = 0;  // held
    int modifiers = 0;                    // OS_Modifier bits
};

struct UI_KeyState {
    int modifiers = 0;   // OS_Modifier bits
    int key = 0;         // OS_Key code, 0 for a typed character
    bool repeat = false; // an automatic repetition
    char character = 0;  // the typed character, 32..126, for text entry
};

struct UI_TickData {
    double now = 0;
    double previous = 0;
};

struct UI_Event {
    int type = 0;
    int category = 0;
    const void* data = nullptr;  // UI_MouseState, UI_KeyState or UI_TickData

    static UI_Event Mouse(int type, const UI_MouseState& m) { return {type, UI_CATEGORY_MOUSE, &m}; }
    static UI_Event Key(int type, const UI_KeyState& k) { return {type, UI_CATEGORY_KEY, &k}; }
    static UI_Event Broadcast(int type, const void* data = nullptr) { return {type, UI_CATEGORY_BROADCAST, data}; }
    static UI_Event Tick(const UI_TickData& t) { return {UI_EVENT_TICK, UI_CATEGORY_BROADCAST, &t}; }
};

class UI_Responder {
public:
    UI_Responder() = default;
    virtual ~UI_Responder() = default;
    UI_Responder(const UI_Responder&) = delete;
    UI_Responder& operator=(const UI_Responder&) = delete;

    // ---- Broadcast hooks (types 4 to 11); nothing by default.
    virtual void OnQuit() {}
    virtual void OnCreate() {}
    virtual void OnStart() {}
    virtual void Draw() {}
    virtual void OnDeactivate() {}
    virtual void Tick(const UI_TickData& time) {}

    // ---- Input hooks (types 12 to 26); true when the event was consumed.
    virtual bool MouseMove(const UI_MouseState& m) { return false; }
    virtual bool Wheel(const UI_MouseState& m) { return false; }
    virtual bool LeftDown(const UI_MouseState& m) { return false; }
    virtual bool LeftDrag(const UI_MouseState& m) { return false; }
    virtual bool LeftUp(const UI_MouseState& m) { return false; }
    virtual bool RightDown(const UI_MouseState& m) { return false; }
    virtual bool RightDrag(const UI_MouseState& m) { return false; }
    virtual bool RightUp(const UI_MouseState& m) { return false; }
    virtual bool MiddleDown(const UI_MouseState& m) { return false; }
    virtual bool MiddleDrag(const UI_MouseState& m) { return false; }
    virtual bool MiddleUp(const UI_MouseState& m) { return false; }
    virtual bool MouseEnter(const UI_MouseState& m) { return false; }
    virtual bool MouseLeave(const UI_MouseState& m) { return false; }
    virtual bool KeyDown(const UI_KeyState& k) { return false; }
    virtual bool KeyUp(const UI_KeyState& k) { return false; }

    // Calls the broadcast hook of the event's type (4..11; others ignored).
    virtual void HandleBroadcast(const UI_Event& event);
    // Calls the input hook of the event's type; when it returns false, or for
    // any other type, PassOn. An event without data is ignored (false).
    virtual bool HandleInput(const UI_Event& event);
    // nextResponder's HandleInput; false when there is none.
    virtual bool PassOn(const UI_Event& event);

    // The object that receives input this one does not handle.
    UI_Responder* nextResponder = nullptr;

protected:
    // The input hook of the event's type; false for types without one.
    bool DispatchInput(const UI_Event& event);
};
