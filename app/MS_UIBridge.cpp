// Platform events and host services for the toolkit (see MS_UIBridge.h).
#include "app/MS_UIBridge.h"

#include <SDL2/SDL.h>

#include "app/MS_Window.h"

MS_UIBridge::MS_UIBridge(MS_Window& platform, UI_Window& window) : m_platform(platform), m_window(window) {
    m_window.SetHost(this);
}

MS_UIBridge::~MS_UIBridge() { m_window.SetHost(nullptr); }

int MS_UIBridge::EventType(const OS_InputEvent& e) {
    const bool down = e.kind == OS_InputKind::MouseDown;
    switch (e.kind) {
        case OS_InputKind::MouseMove:
            if (e.buttons & OS_BUTTON_LEFT) return UI_EVENT_LEFT_DRAG;
            if (e.buttons & OS_BUTTON_RIGHT) return UI_EVENT_RIGHT_DRAG;
            if (e.buttons & OS_BUTTON_MIDDLE) return UI_EVENT_MIDDLE_DRAG;
            return UI_EVENT_MOUSE_MOVE;
        case OS_InputKind::MouseDown:
        case OS_InputKind::MouseUp:
            if (e.button == OS_BUTTON_LEFT) return down ? UI_EVENT_LEFT_DOWN : UI_EVENT_LEFT_UP;
            if (e.button == OS_BUTTON_RIGHT) return down ? UI_EVENT_RIGHT_DOWN : UI_EVENT_RIGHT_UP;
            if (e.button == OS_BUTTON_MIDDLE) return down ? UI_EVENT_MIDDLE_DOWN : UI_EVENT_MIDDLE_UP;
            return 0;
        case OS_InputKind::Wheel: return UI_EVENT_WHEEL;
        case OS_InputKind::KeyDown:
        case OS_InputKind::Text: return UI_EVENT_KEY_DOWN;
        case OS_InputKind::KeyUp: return UI_EVENT_KEY_UP;
        case OS_InputKind::Leave: return UI_EVENT_MOUSE_LEAVE;
        default: return 0;
    }
}

void MS_UIBridge::Deliver(const OS_InputEvent& e) {
    if (e.kind == OS_InputKind::FocusLost) {
        m_window.SetFocus(nullptr);
        m_window.Broadcast(UI_Event::Broadcast(UI_EVENT_PLATFORM10));
        return;
    }
    const int type = EventType(e);
    if (type == 0) return;
    if (type == UI_EVENT_KEY_DOWN || type == UI_EVENT_KEY_UP) {
        UI_KeyState k;
        k.modifiers = e.modifiers;
        k.key = e.kind == OS_InputKind::Text ? 0 : e.key;
        k.repeat = e.repeat;
        k.character = e.character;
        m_window.HandleInputEvent(UI_Event::Key(type, k));
        return;
    }
    m_mouse.valid = true;
    m_mouse.prevX = m_mouse.x;
    m_mouse.prevY = m_mouse.y;
    m_mouse.x = e.x;
    m_mouse.y = e.y;
    m_mouse.prevWheel = e.previousWheel;
    m_mouse.wheel = e.wheel;
    int held = e.buttons;
    if (e.kind == OS_InputKind::MouseDown) held |= e.button;
    if (e.kind == OS_InputKind::MouseUp) held &= ~e.button;
    m_mouse.left = (held & OS_BUTTON_LEFT) != 0;
    m_mouse.right = (held & OS_BUTTON_RIGHT) != 0;
    m_mouse.middle = (held & OS_BUTTON_MIDDLE) != 0;
    m_mouse.modifiers = e.modifiers;
    m_window.HandleInputEvent(UI_Event::Mouse(type, m_mouse));
}

void MS_UIBridge::Resize(int width, int height) {
    m_window.SetRect({0, 0, width - 1, height - 1});
    if (m_window.Root()) m_window.Root()->SetRect({0, 0, width - 1, height - 1});
    m_window.RefreshLayout();
}

void MS_UIBridge::Frame(const OS_FrameTime& time) {
    const UI_TickData tick{time.current, time.previous};
    m_window.Broadcast(UI_Event::Tick(tick));
    m_window.DrawFrame();
}

void MS_UIBridge::DrawOnly() {
    // The window system's events are taken in (the window stays alive for
    // the desktop) but left queued for the main loop.
    SDL_PumpEvents();
    m_window.DrawFrame();
}

void MS_UIBridge::SetMinimumClientSize(int width, int height) { m_platform.SetMinimumSize(width, height); }

void MS_UIBridge::ResizeClient(int width, int height) {
    if (m_platform.Handle()) SDL_SetWindowSize(m_platform.Handle(), width, height);
}

void MS_UIBridge::RequestRedraw() { m_platform.RequestRedraw(); }

bool MS_UIBridge::GetClipboardText(std::string& text) {
    if (!SDL_HasClipboardText()) return false;
    char* clip = SDL_GetClipboardText();
    text = clip ? clip : "";
    SDL_free(clip);
    return !text.empty();
}

void MS_UIBridge::SetClipboardText(const char* text) { SDL_SetClipboardText(text ? text : ""); }
