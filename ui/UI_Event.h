// UI_Event: the toolkit's event records. The platform host hands the window
// object (UI_Window) raw input: positions, buttons, wheel notches, keys,
// text and focus. The window derives the records below from it (drags of
// held buttons, previous position, accumulated wheel, typed characters) and
// routes them; broadcasts carry a tick's times or nothing.
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

// The buttons the host reports; it drops any others.
enum UI_MouseButton : int { UI_BUTTON_LEFT, UI_BUTTON_RIGHT, UI_BUTTON_MIDDLE };

// What one wheel notch adds to the accumulated wheel value.
constexpr float kWheelNotch = 8.0f;

// The pointer as the window knows it after each mouse event. y grows upwards.
struct UI_MouseState {
    bool valid = false;
    int x = 0, y = 0;
    int prevX = 0, prevY = 0;
    float wheel = 0;      // accumulated: each notch adds kWheelNotch in its direction
    float prevWheel = 0;  // the accumulated value before the last wheel event
    int left = 0, right = 0, middle = 0;  // held
    int modifiers = 0;                    // OS_Modifier bits
};

struct UI_KeyState {
    int modifiers = 0;   // OS_Modifier bits
    int key = 0;         // OS_Key code, 0 for a typed character
    bool repeat = false; // an automatic repetition
    uint32_t character = 0;  // the typed character (a code point, not a control), for text entry
};

struct UI_TickData {
    double now = 0;
    double previous = 0;
};

// One event with its payload by value: `mouse` for the mouse category,
// `key` for the key category, `tick` for a tick; the others stay empty.
struct UI_Event {
    int type = 0;
    int category = 0;
    UI_MouseState mouse;
    UI_KeyState key;
    UI_TickData tick;

    static UI_Event Mouse(int type, const UI_MouseState& m) {
        UI_Event e = Of(type, UI_CATEGORY_MOUSE);
        e.mouse = m;
        return e;
    }
    static UI_Event Key(int type, const UI_KeyState& k) {
        UI_Event e = Of(type, UI_CATEGORY_KEY);
        e.key = k;
        return e;
    }
    static UI_Event Broadcast(int type) { return Of(type, UI_CATEGORY_BROADCAST); }
    static UI_Event Tick(const UI_TickData& t) {
        UI_Event e = Of(UI_EVENT_TICK, UI_CATEGORY_BROADCAST);
        e.tick = t;
        return e;
    }

private:
    static UI_Event Of(int type, int category) {
        UI_Event e;
        e.type = type;
        e.category = category;
        return e;
    }
};
