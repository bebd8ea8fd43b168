// The window object: routing, focus, broadcasts, layout refresh and frames
// (see UI_Window.h).
//
//   Tree ......... root, lookups, attributes
//   Layout ....... rectangle, measurement, RefreshLayout
//   Raw input .... what the host's positions, buttons, wheel, keys, text
//                  and focus changes mean
//   Routing ...... broadcasts, mouse (capture, hover), keys, focus
//   Frames ....... batches and drawing
#include "ui/UI_Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/OMB_Log.h"
#include "core/OMB_LmpParser.h"
#include "core/OMB_Utf8.h"
#include "core/OS_Keys.h"

UI_Window::~UI_Window() = default;

// ---------------------------------------------------------------- tree

UI_View* UI_Window::SetRootView(std::unique_ptr<UI_View> root) {
    // The old tree dies: nothing may keep pointing into it.
    m_capture = m_focus = m_hover = m_defaultFocus = nullptr;
    m_root = std::move(root);
    if (m_root) m_root->SetWindow(this);
    return m_root.get();
}

void UI_Window::CollectViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out) {
    if (m_root) m_root->CollectViews(cls, out);
}

UI_View* UI_Window::FindView(const char* name, const UI_ClassInfo* cls) {
    return m_root ? m_root->FindView(name, cls) : nullptr;
}

UI_View* UI_Window::HitTest(int x, int y) { return m_root ? m_root->HitTest(x, y) : nullptr; }

bool UI_Window::SetViewAttribute(const char* viewName, const char* attribute, const char* value) {
    if (!viewName || !attribute || !value) return false;
    UI_View* view = FindView(viewName, &UI_View::kClass);
    if (!view) {
        OMB_Printf("[Warning] cannot find view '%s'\n", viewName);
        return false;
    }
    const bool ok = view->SetAttribute(attribute, value);
    RequestRedraw();
    return ok;
}

// ---------------------------------------------------------------- layout

void UI_Window::SetRect(const OMB_Rect& rect) {
    m_deviceWidth = int(std::lround(float(rect.Width()) * Scale()));
    m_deviceHeight = int(std::lround(float(rect.Height()) * Scale()));
    if (rect == m_rect) return;
    m_rect = rect;
    if (m_root) m_root->SetRect(rect);
    RequestRedraw();
}

void UI_Window::SetDeviceSize(int width, int height) {
    SetRect({0, 0, std::max(1, ToLayout(width)) - 1, std::max(1, ToLayout(height)) - 1});
    m_deviceWidth = width;
    m_deviceHeight = height;
}

void UI_Window::SetScale(float scale) {
    // Quarter steps keep a 1-unit line a whole number of pixels at 2 and 3
    // and at most a quarter pixel off in between.
    scale = std::clamp(std::round(scale * 4) / 4, 1.0f, 3.0f);
    if (scale == Scale()) return;
    const int width = m_deviceWidth, height = m_deviceHeight;
    m_canvas.SetScale(scale);
    if (width > 0 && height > 0) SetDeviceSize(width, height);
    if (m_root) m_root->SetRect(m_rect);
    RefreshLayout();
}

int UI_Window::ToLayout(int devicePixels) const { return int(std::floor(float(devicePixels) / Scale())); }

OMB_Rect UI_Window::ToDevice(const OMB_Rect& r) const {
    const float s = Scale();
    const auto at = [s](int v) { return int(std::floor(float(v) * s)); };
    return {at(r.x0), at(r.y0), at(r.x1 + 1) - 1, at(r.y1 + 1) - 1};
}

OMB_Size UI_Window::GetMinSize() const { return m_root ? m_root->GetMinSize() : OMB_Size{}; }

void UI_Window::Measure() {
    if (m_root) m_root->Measure();
}

void UI_Window::RefreshLayout() {
    if (!m_root) return;
    m_root->Measure();
    const OMB_Size min = m_root->GetMinSize();
    const int w = std::max(m_root->Rect().Width(), min.width);
    const int h = std::max(m_root->Rect().Height(), min.height);
    m_root->ResetRect();
    m_root->SetRect({0, 0, w - 1, h - 1});
    // Before the first mouse event the pointer's place is unknown.
    if (m_mouse.valid) UpdateHover(m_root->HitTest(m_mouse.x, m_mouse.y));
    RequestRedraw();
    if (!m_host) return;
    const auto device = [this](int units) { return int(std::ceil(float(units) * Scale())); };
    m_host->SetMinimumClientSize(device(min.width), device(min.height));
    const OMB_Rect& r = m_root->Rect();
    if (r.Width() != m_rect.Width() || r.Height() != m_rect.Height())
        m_host->ResizeClient(device(r.Width()), device(r.Height()));
}

// ---------------------------------------------------------------- raw input

namespace {
int ButtonEvent(UI_MouseButton button, bool down) {
    if (button == UI_BUTTON_LEFT) return down ? UI_EVENT_LEFT_DOWN : UI_EVENT_LEFT_UP;
    if (button == UI_BUTTON_RIGHT) return down ? UI_EVENT_RIGHT_DOWN : UI_EVENT_RIGHT_UP;
    return down ? UI_EVENT_MIDDLE_DOWN : UI_EVENT_MIDDLE_UP;
}
}  // namespace

void UI_Window::MovePointer(int x, int y, int modifiers) {
    m_mouse.valid = true;
    m_mouse.prevX = m_mouse.x;
    m_mouse.prevY = m_mouse.y;
    m_mouse.prevWheel = m_mouse.wheel;
    m_mouse.x = x;
    m_mouse.y = y;
    m_mouse.modifiers = modifiers;
}

void UI_Window::InputPosition(int x, int y, int modifiers) {
    MovePointer(ToLayout(x), ToLayout(y), modifiers);
    const int type = m_mouse.left     ? UI_EVENT_LEFT_DRAG
                     : m_mouse.right  ? UI_EVENT_RIGHT_DRAG
                     : m_mouse.middle ? UI_EVENT_MIDDLE_DRAG
                                      : UI_EVENT_MOUSE_MOVE;
    HandleInputEvent(UI_Event::Mouse(type, m_mouse));
}

void UI_Window::InputButton(UI_MouseButton button, bool down, int x, int y, int modifiers) {
    MovePointer(ToLayout(x), ToLayout(y), modifiers);
    int& held = button == UI_BUTTON_LEFT ? m_mouse.left : button == UI_BUTTON_RIGHT ? m_mouse.right : m_mouse.middle;
    held = down;
    HandleInputEvent(UI_Event::Mouse(ButtonEvent(button, down), m_mouse));
}

void UI_Window::InputWheel(int notches, int modifiers) {
    MovePointer(m_mouse.x, m_mouse.y, modifiers);
    m_mouse.wheel += kWheelNotch * float(notches);
    HandleInputEvent(UI_Event::Mouse(UI_EVENT_WHEEL, m_mouse));
}

void UI_Window::InputLeave() { HandleInputEvent(UI_Event::Mouse(UI_EVENT_MOUSE_LEAVE, m_mouse)); }

void UI_Window::InputKey(int key, bool down, bool repeat, int modifiers) {
    if (key == OS_KEY_NONE) return;
    m_keys = UI_KeyState{modifiers, key, repeat, 0};
    HandleInputEvent(UI_Event::Key(down ? UI_EVENT_KEY_DOWN : UI_EVENT_KEY_UP, m_keys));
}

void UI_Window::InputText(const char* text, int modifiers) {
    if (!text) return;
    const char* end = text + std::strlen(text);
    for (const char* p = text; p < end;) {
        const uint32_t c = OMB_DecodeUtf8(p, end);
        if (c < 32 || (c >= 0x7F && c < 0xA0)) continue;
        m_keys = UI_KeyState{modifiers, 0, false, c};
        HandleInputEvent(UI_Event::Key(UI_EVENT_KEY_DOWN, m_keys));
    }
}

void UI_Window::InputComposition(const char* text) {
    if (m_focus) m_focus->Compose(OMB_SanitizeUtf8(text ? text : ""));
}

void UI_Window::InputFocus(bool focused) {
    if (focused) return;
    // The releases of buttons held now go to another window.
    m_mouse.left = m_mouse.right = m_mouse.middle = 0;
    SetFocus(nullptr);
    Broadcast(UI_Event::Broadcast(UI_EVENT_DEACTIVATE));
}

// ---------------------------------------------------------------- routing

void UI_Window::Broadcast(const UI_Event& event) {
    if (event.type == UI_EVENT_TICK) {
        m_time = event.tick.now;
        m_previousTime = event.tick.previous;
    }
    HandleBroadcast(event);
    if (m_root) m_root->HandleBroadcast(event);
}

void UI_Window::HandleInputEvent(const UI_Event& event) {
    if (!m_root) return;
    if (event.category == UI_CATEGORY_MOUSE) RouteMouse(event);
    if (event.category == UI_CATEGORY_KEY) RouteKey(event);
    RequestRedraw();
}

namespace {
bool IsPress(int type) {
    return type == UI_EVENT_LEFT_DOWN || type == UI_EVENT_RIGHT_DOWN || type == UI_EVENT_MIDDLE_DOWN;
}
bool IsRelease(int type) {
    return type == UI_EVENT_LEFT_UP || type == UI_EVENT_RIGHT_UP || type == UI_EVENT_MIDDLE_UP;
}
}  // namespace

void UI_Window::RouteMouse(const UI_Event& event) {
    if (event.type == UI_EVENT_MOUSE_LEAVE) {
        PointerLeft();
        return;
    }
    UI_View* hit = m_root->HitTest(m_mouse.x, m_mouse.y);
    UpdateHover(hit);
    const bool press = IsPress(event.type);
    if (press) m_capture = hit;
    if (press && m_focus != hit && !(m_focus && !m_focus->LoseFocusOnOtherClick())) SetFocus(nullptr);
    UI_View* focusBefore = m_focus;
    UI_Responder* target = m_capture ? static_cast<UI_Responder*>(m_capture) : hit;
    if (!target) target = this;
    target->HandleInput(event);
    // A press that gave the keyboard elsewhere (a button opening a dialog
    // with a field) keeps that choice.
    const bool moved = m_focus != focusBefore;
    if (press && !moved && m_focus != hit && !(m_focus && !m_focus->LoseFocusOnOtherClick())) SetFocus(hit);
    if (IsRelease(event.type)) {
        // The view under the pointer heard nothing while another held the
        // drag: it hears its enter now, and no leave it could not match.
        UI_View* captured = m_capture;
        m_capture = nullptr;
        if (captured && captured != m_hover) SendMouse(m_hover, UI_EVENT_MOUSE_ENTER);
    }
}

void UI_Window::PointerLeft() {
    if (!m_hover) return;
    if (m_capture && m_capture != m_hover) {
        m_hover = nullptr;
        return;
    }
    UI_View* old = m_hover;
    m_hover = nullptr;
    old->HandleInput(UI_Event::Mouse(UI_EVENT_MOUSE_LEAVE, m_mouse));
}

void UI_Window::SendMouse(UI_View* view, int type) {
    if (view && (!m_capture || m_capture == view)) view->HandleInput(UI_Event::Mouse(type, m_mouse));
}

void UI_Window::UpdateHover(UI_View* view) {
    if (view == m_hover) return;
    UI_View* old = m_hover;
    m_hover = view;
    SendMouse(old, UI_EVENT_MOUSE_LEAVE);
    SendMouse(view, UI_EVENT_MOUSE_ENTER);
}

void UI_Window::RouteKey(const UI_Event& event) {
    if (m_focus)
        m_focus->HandleInput(event);
    else
        HandleInput(event);
}

void UI_Window::SetFocus(UI_View* view) {
    if (view == m_focus) return;
    if (m_focus && !m_focus->FocusOut()) return;
    m_focus = nullptr;
    if (view && view->AcceptsFocus() && view->FocusIn())
        m_focus = view;
    else if (m_defaultFocus && m_defaultFocus->AcceptsFocus() && m_defaultFocus->FocusIn())
        m_focus = m_defaultFocus;
    RequestRedraw();
}

void UI_Window::SetDefaultFocus(UI_View* view) {
    m_defaultFocus = view;
    if (!m_focus) SetFocus(view);
}

// ---------------------------------------------------------------- frames

void UI_Window::RequestRedraw() {
    m_redraw = true;
    if (m_host) m_host->RequestRedraw();
}

bool UI_Window::TakeRedrawRequest() {
    const bool r = m_redraw;
    m_redraw = false;
    return r;
}

void UI_Window::SetTitle(const std::string& title) {
    // The platform takes UTF-8 only: a file name's malformed bytes show as
    // U+FFFD there too.
    const std::string clean = OMB_SanitizeUtf8(title);
    if (clean == m_title) return;
    m_title = clean;
    if (m_host) m_host->SetWindowTitle(m_title.c_str());
}

bool UI_Window::GetClipboardText(std::string& text) { return m_host && m_host->GetClipboardText(text); }

void UI_Window::SetClipboardText(const char* text) {
    if (m_host && text) m_host->SetClipboardText(text);
}

void UI_Window::BuildFrame() {
    // Straight to the tree: the window's own Draw hook is the frame itself
    // for an editor window that overrides it.
    m_canvas.Begin();
    if (m_root) m_root->HandleBroadcast(UI_Event::Broadcast(UI_EVENT_DRAW));
    m_canvas.End();
}

void UI_Window::DrawFrame() {
    // The window's own hook clears what the last frame left: panels without
    // a background and views hidden since would otherwise show through.
    Draw();
    BuildFrame();
    m_canvas.Render(m_deviceWidth, m_deviceHeight);
}
