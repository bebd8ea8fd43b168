// Event handling of the platform window (see MS_Window.h).
//
//   Lifetime ........... create, adopt, destroy
//   Window procedure ... HandleEvent and what it does at once
//   Delivery ........... translation of the queued events
//   Keys ............... scancode and modifier mapping
#include "app/MS_Window.h"

#include <SDL2/SDL.h>

#include "core/OMB_Log.h"

// ---------------------------------------------------------------- lifetime

MS_Window::MS_Window() = default;

MS_Window::~MS_Window() { ReleaseWindow(); }

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

size_t MS_Window::QueuedInput() const { return m_queue.size(); }

void MS_Window::Destroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    OnDestroy();
    if (m_window) SDL_HideWindow(m_window);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

// ---------------------------------------------------------------- window procedure

void MS_Window::HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_MOUSEWHEEL:
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT: m_queue.push_back(event); break;
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
        case SDL_WINDOWEVENT_LEAVE: m_queue.push_back(event); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (m_capture) Capture(false);
            m_queue.push_back(event);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            OnResize(event.window.data1, event.window.data2);
            RequestRedraw();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED: RequestRedraw(); break;
        case SDL_WINDOWEVENT_CLOSE: Close(); break;
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
    if (!paths.empty()) OnDropFiles(paths, m_pointerX, m_pointerY);
}

void MS_Window::Capture(bool on) {
    // The offscreen driver cannot capture; the flag still tells the truth
    // about what this window asked for.
    SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE);
    m_capture = on;
}

// ---------------------------------------------------------------- delivery

void MS_Window::DeliverInput() {
    // Handlers may not add input, but take the queue first anyway so that a
    // handler pumping events cannot disturb the walk.
    std::vector<SDL_Event> queue;
    queue.swap(m_queue);
    for (const SDL_Event& event : queue) Deliver(event);
    queue.clear();
    if (m_queue.empty()) m_queue.swap(queue);  // keep the capacity
}

void MS_Window::Deliver(const SDL_Event& event) {
    OS_InputEvent input;
    switch (event.type) {
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL: DeliverMouse(event); return;
        case SDL_KEYDOWN:
        case SDL_KEYUP: DeliverKey(event); return;
        case SDL_TEXTINPUT:
            input.kind = OS_InputKind::Text;
            input.modifiers = Modifiers(SDL_GetModState());
            for (const char* p = event.text.text; *p; ++p) {
                if (*p < 32 || *p > 126) continue;
                input.character = *p;
                OnInput(input);
            }
            return;
        case SDL_WINDOWEVENT:
            input.kind = event.window.event == SDL_WINDOWEVENT_LEAVE ? OS_InputKind::Leave : OS_InputKind::FocusLost;
            if (input.kind == OS_InputKind::Leave) m_trackingLeave = false;
            input.x = m_pointerX;
            input.y = m_pointerY;
            OnInput(input);
            return;
        default: return;
    }
}

namespace {
int ButtonBit(int sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return OS_BUTTON_LEFT;
        case SDL_BUTTON_RIGHT: return OS_BUTTON_RIGHT;
        case SDL_BUTTON_MIDDLE: return OS_BUTTON_MIDDLE;
        default: return 0;
    }
}
int HeldButtons(uint32_t state) {
    return (state & SDL_BUTTON_LMASK ? OS_BUTTON_LEFT : 0) | (state & SDL_BUTTON_RMASK ? OS_BUTTON_RIGHT : 0) |
           (state & SDL_BUTTON_MMASK ? OS_BUTTON_MIDDLE : 0);
}
}  // namespace

void MS_Window::DeliverMouse(const SDL_Event& event) {
    OS_InputEvent input;
    input.modifiers = Modifiers(SDL_GetModState());
    input.wheel = input.previousWheel = m_wheel;
    if (event.type == SDL_MOUSEMOTION) {
        m_pointerX = event.motion.x;
        m_pointerY = FlipY(event.motion.y);
        input.kind = OS_InputKind::MouseMove;
        input.buttons = HeldButtons(event.motion.state);
        m_trackingLeave = true;
    } else if (event.type == SDL_MOUSEWHEEL) {
        const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        m_wheel += 8.0f * float(notches);
        input.kind = OS_InputKind::Wheel;
        input.wheel = m_wheel;
        input.buttons = HeldButtons(SDL_GetMouseState(nullptr, nullptr));
    } else {
        input.button = ButtonBit(event.button.button);
        if (input.button == 0) return;
        m_pointerX = event.button.x;
        m_pointerY = FlipY(event.button.y);
        input.kind = event.type == SDL_MOUSEBUTTONDOWN ? OS_InputKind::MouseDown : OS_InputKind::MouseUp;
    }
    input.x = m_pointerX;
    input.y = m_pointerY;
    OnInput(input);
}

void MS_Window::DeliverKey(const SDL_Event& event) {
    OS_InputEvent input;
    input.key = KeyCode(event.key.keysym.scancode);
    if (input.key == 0) return;
    input.kind = event.type == SDL_KEYDOWN ? OS_InputKind::KeyDown : OS_InputKind::KeyUp;
    input.repeat = event.key.repeat != 0;
    input.modifiers = Modifiers(event.key.keysym.mod);
    input.x = m_pointerX;
    input.y = m_pointerY;
    OnInput(input);
}

int MS_Window::FlipY(int y) const {
    int width = 0, height = 0;
    ClientSize(width, height);
    return height - 1 - y;
}

// ---------------------------------------------------------------- OS_Window

bool MS_Window::IsMinimized() const { return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED); }

bool MS_Window::HasFocus() const { return m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_INPUT_FOCUS); }

void MS_Window::SetMinimumSize(int width, int height) {
    if (m_window) SDL_SetWindowMinimumSize(m_window, width, height);
}

void MS_Window::SetTitle(const char* title) {
    if (m_window) SDL_SetWindowTitle(m_window, title);
}

void MS_Window::Move(int x, int y, int width, int height) {
    if (!m_window) return;
    SDL_SetWindowPosition(m_window, x, y);
    SDL_SetWindowSize(m_window, width, height);
}

void MS_Window::ClientSize(int& width, int& height) const {
    width = height = 0;
    if (m_window) SDL_GetWindowSize(m_window, &width, &height);
}

void MS_Window::CursorPosition(int& x, int& y) const {
    SDL_GetMouseState(&x, &y);
    y = FlipY(y);
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
