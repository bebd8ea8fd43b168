// UI_Window: the object the view tree hangs under. It owns the
// root view and the frame's canvas, turns the host's raw input into the
// toolkit's events (which button a move drags, the previous position, the
// accumulated wheel, typed characters, what a focus loss does), routes
// them to one view (with mouse capture from a press to its release, hover
// tracking and keyboard focus with a default focus) and broadcasts to all
// (the window first, then the tree depth first). Views hand command lines
// to OnViewCommand; an editor window subclasses UI_Window, overrides
// OnViewCommand to run them, its KeyDown for hotkeys, and registers its own
// view types with the loader.
//
// UI_Host is what the window needs from the platform window it lives in: the
// minimum size, a client resize, a redraw request and the clipboard. The
// platform layer implements it and forwards its input through the Input
// calls; tests use a stub or none.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/UI_Canvas.h"
#include "ui/UI_View.h"

class UI_Host {
public:
    virtual ~UI_Host() = default;
    // Keep the platform window at least this large.
    virtual void SetMinimumClientSize(int width, int height) = 0;
    virtual void ResizeClient(int width, int height) = 0;
    virtual void RequestRedraw() = 0;
    // False when the clipboard holds no text.
    virtual bool GetClipboardText(std::string& text) = 0;
    virtual void SetClipboardText(const char* text) = 0;
    // The window's title, where the platform shows one.
    virtual void SetWindowTitle(const char* title) {}
    // Device pixels per layout unit the platform asks for on the display
    // the window is on (1 where it says nothing).
    virtual float DisplayScale() { return 1; }
};

class UI_Window : public UI_Responder {
public:
    UI_Window() = default;
    ~UI_Window() override;

    void RefreshLayout();
    void SetFocus(UI_View* view);
    // The hooks an editor window takes over.
    virtual void OnDropFiles(const std::vector<std::string>& paths, int x, int y) {}
    virtual void OnViewCommand(const char* text) {}
    void CollectViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out);
    UI_View* FindView(const char* name, const UI_ClassInfo* cls);
    // Finds the view by name (any class); builds a one-attribute description
    // node and hands it to the view's ParseAttributes. False for a null
    // argument or an unknown view ("[Warning] cannot find view '%s'").
    bool SetViewAttribute(const char* viewName, const char* attribute, const char* value);
    UI_View* HitTest(int x, int y);
    // Deletes the old root, takes the new one and attaches it to this
    // window; returns it.
    UI_View* SetRootView(std::unique_ptr<UI_View> root);
    // The window's rectangle in layout units (the device size follows it
    // at the current scale).
    void SetRect(const OMB_Rect& rect);
    // The host's drawable in device pixels: the layout rectangle is what it
    // holds at the current scale.
    void SetDeviceSize(int width, int height);
    // Device pixels per layout unit: 1 to 3 in steps of 0.25 (other values
    // are rounded and clamped). The layout, the host's minimum size and the
    // text follow at once; input positions are divided by it.
    void SetScale(float scale);
    float Scale() const { return m_canvas.Scale(); }
    // A layout rectangle in device pixels (for OpenGL viewports and reads):
    // exactly `scale` times as large, edges on whole pixels.
    OMB_Rect ToDevice(const OMB_Rect& rect) const;
    // The platform's scale for the window's display (1 without a host).
    float DisplayScale() const { return m_host ? m_host->DisplayScale() : 1; }
    // The platform moved the window to a display of another scale.
    virtual void OnDisplayScaleChanged() {}
    OMB_Size GetMinSize() const;
    void Measure();
    void SetDefaultFocus(UI_View* view);
    // Ticks store their time first; then the window's own hooks, then the
    // whole tree.
    void Broadcast(const UI_Event& event);

    // ---- Raw input from the host, in the order it happened. Positions are
    // device pixels with a bottom-left origin (the window divides them by
    // the scale), modifiers OS_Modifier bits at that moment. Each call derives at most a few events and routes
    // them before it returns.
    // The pointer moved: a drag of the first held button (left, right,
    // middle), else a move.
    void InputPosition(int x, int y, int modifiers);
    void InputButton(UI_MouseButton button, bool down, int x, int y, int modifiers);
    // Notches away from the user are positive; the pointer stays put.
    void InputWheel(int notches, int modifiers);
    // The pointer left the window.
    void InputLeave();
    // key: an OS_Key code; OS_KEY_NONE makes no event.
    void InputKey(int key, bool down, bool repeat, int modifiers);
    // Typed text (UTF-8): each character other than a control is a key
    // press without a key code; malformed bytes arrive as U+FFFD.
    void InputText(const char* text, int modifiers);
    // The input method's text being composed (not yet typed), for the
    // focused view to show at its caret; empty when the composition ends.
    void InputComposition(const char* text);
    // A loss drops the held buttons and the keyboard focus and broadcasts
    // deactivate; a gain changes nothing.
    void InputFocus(bool focused);

    UI_Canvas& Canvas() { return m_canvas; }
    UI_View* CaptureView() const { return m_capture; }
    UI_View* HoverView() const { return m_hover; }
    UI_View* FocusView() const { return m_focus; }
    const UI_MouseState& Mouse() const { return m_mouse; }
    const UI_KeyState& Keys() const { return m_keys; }
    void RequestRedraw();
    bool GetClipboardText(std::string& text);
    void SetClipboardText(const char* text);

    // One frame: the window's own Draw hook (an editor window clears the
    // frame there), then the batches are emptied, the tree draws, and the
    // batches are rendered over the window rectangle (needs a context).
    void DrawFrame();
    // The batch half of DrawFrame, without OpenGL (tests, benchmarks).
    void BuildFrame();
    // The host asks before closing (the user, a stop signal): false keeps
    // the window open, after it said why.
    virtual bool CanClose() { return true; }
    // Once per pass of the host's loop, outside any frame, `now` in
    // seconds: for work that waits on time (the autosave).
    virtual void OnIdle(double now) {}

    UI_View* Root() const { return m_root.get(); }
    const OMB_Rect& Rect() const { return m_rect; }
    double Time() const { return m_time; }
    void SetHost(UI_Host* host) {
        m_host = host;
        if (m_host && !m_title.empty()) m_host->SetWindowTitle(m_title.c_str());
    }
    // The caption; the host shows it (now, and when it is set later).
    void SetTitle(const std::string& title);
    const std::string& Title() const { return m_title; }
    // True once since the last call when something asked for a frame.
    bool TakeRedrawRequest();

protected:
    // Routes one derived event: mouse events by capture and hover, keys to
    // the focus (tests record here what the window derived).
    virtual void HandleInputEvent(const UI_Event& event);
    // Sends leave to the old hover view and enter to the new one, each only
    // when no other view holds the capture.
    void UpdateHover(UI_View* view);

private:
    void RouteMouse(const UI_Event& event);
    void RouteKey(const UI_Event& event);
    void PointerLeft();
    void SendMouse(UI_View* view, int type);
    // Stores where the pointer is and what it was before: every mouse event
    // starts here.
    void MovePointer(int x, int y, int modifiers);
    int ToLayout(int devicePixels) const;

    OMB_Rect m_rect;
    int m_deviceWidth = 0, m_deviceHeight = 0;
    UI_View* m_capture = nullptr;
    UI_View* m_focus = nullptr;
    UI_View* m_hover = nullptr;
    UI_View* m_defaultFocus = nullptr;
    UI_MouseState m_mouse;
    UI_KeyState m_keys;
    double m_time = 0, m_previousTime = 0;
    UI_Canvas m_canvas;
    UI_Host* m_host = nullptr;
    std::string m_title;
    std::unique_ptr<UI_View> m_root;
    bool m_redraw = true;
};
