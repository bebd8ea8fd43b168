// UI_Responder: the root of everything that receives toolkit events.
// HandleBroadcast dispatches types 4 to 11 to the broadcast hooks;
// HandleInput dispatches types 12 to 26 to the input hooks and hands
// anything unhandled to nextResponder (PassOn), so unhandled input bubbles
// from a view up its parents to the window. The events themselves are in
// UI_Event.h.
#pragma once

#include "ui/UI_Event.h"

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
    // any other type, PassOn.
    virtual bool HandleInput(const UI_Event& event);
    // nextResponder's HandleInput; false when there is none.
    virtual bool PassOn(const UI_Event& event);

    // The object that receives input this one does not handle.
    UI_Responder* nextResponder = nullptr;

protected:
    // The input hook of the event's type; false for types without one.
    bool DispatchInput(const UI_Event& event);
};
