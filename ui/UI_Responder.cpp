// Event dispatch of the responder (see UI_Responder.h).
#include "ui/UI_Responder.h"

void UI_Responder::HandleBroadcast(const UI_Event& event) {
    switch (event.type) {
        case UI_EVENT_QUIT: OnQuit(); break;
        case UI_EVENT_CREATE: OnCreate(); break;
        case UI_EVENT_START: OnStart(); break;
        case UI_EVENT_DRAW: Draw(); break;
        case UI_EVENT_DEACTIVATE: OnDeactivate(); break;
        case UI_EVENT_TICK: Tick(event.tick); break;
        default: break;
    }
}

bool UI_Responder::DispatchInput(const UI_Event& event) {
    if (event.category == UI_CATEGORY_KEY) {
        const UI_KeyState& k = event.key;
        if (event.type == UI_EVENT_KEY_DOWN) return KeyDown(k);
        if (event.type == UI_EVENT_KEY_UP) return KeyUp(k);
        return false;
    }
    if (event.category != UI_CATEGORY_MOUSE) return false;
    const UI_MouseState& m = event.mouse;
    switch (event.type) {
        case UI_EVENT_MOUSE_MOVE: return MouseMove(m);
        case UI_EVENT_WHEEL: return Wheel(m);
        case UI_EVENT_LEFT_DOWN: return LeftDown(m);
        case UI_EVENT_LEFT_UP: return LeftUp(m);
        case UI_EVENT_LEFT_DRAG: return LeftDrag(m);
        case UI_EVENT_RIGHT_DOWN: return RightDown(m);
        case UI_EVENT_RIGHT_UP: return RightUp(m);
        case UI_EVENT_RIGHT_DRAG: return RightDrag(m);
        case UI_EVENT_MIDDLE_DOWN: return MiddleDown(m);
        case UI_EVENT_MIDDLE_UP: return MiddleUp(m);
        case UI_EVENT_MIDDLE_DRAG: return MiddleDrag(m);
        case UI_EVENT_MOUSE_LEAVE: return MouseLeave(m);
        case UI_EVENT_MOUSE_ENTER: return MouseEnter(m);
        default: return false;
    }
}

bool UI_Responder::HandleInput(const UI_Event& event) {
    if (DispatchInput(event)) return true;
    return PassOn(event);
}

bool UI_Responder::PassOn(const UI_Event& event) {
    return nextResponder ? nextResponder->HandleInput(event) : false;
}
