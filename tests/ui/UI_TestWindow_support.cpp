// Helpers of the toolkit tests (see UI_TestWindow.h).
#include "UI_TestWindow.h"

std::string ProbeView::log;

UI_View* RecordingWindow::Load(const char* text, int width, int height) {
    UI_ViewRegistry registry;
    UI_RegisterViewTypes(registry);
    SetRootView(UI_LoadViewTreeText(registry, text, "test.ui"));
    if (!Root()) return nullptr;
    Root()->SetRect({0, 0, width - 1, height - 1});
    SetRect({0, 0, width - 1, height - 1});
    RefreshLayout();
    return Root();
}

void RecordingWindow::Pointer(int type, int x, int y, int modifiers, float wheel) {
    UI_MouseState m{true, x, y, Mouse().x, Mouse().y, m_wheel + wheel, m_wheel};
    m.left = type == UI_EVENT_LEFT_DOWN || type == UI_EVENT_LEFT_DRAG;
    m.modifiers = modifiers;
    m_wheel = m.wheel;
    HandleInputEvent(UI_Event::Mouse(type, m));
}

void RecordingWindow::Click(int x, int y, int modifiers) {
    Pointer(UI_EVENT_MOUSE_MOVE, x, y, modifiers);
    Pointer(UI_EVENT_LEFT_DOWN, x, y, modifiers);
    Pointer(UI_EVENT_LEFT_UP, x, y, modifiers);
}

void RecordingWindow::Key(int key, int modifiers, char character) {
    const UI_KeyState k{modifiers, key, false, character};
    HandleInputEvent(UI_Event::Key(UI_EVENT_KEY_DOWN, k));
}

void RecordingWindow::Type(const char* text) {
    for (; *text; ++text) Key(0, 0, *text);
}

void RecordingWindow::TickAt(double now, double previous) {
    Broadcast(UI_Event::Tick(UI_TickData{now, previous}));
}

std::string RecordingWindow::TakeCommands() {
    std::string out;
    for (const std::string& c : commands) out += (out.empty() ? "" : "|") + c;
    commands.clear();
    return out;
}
