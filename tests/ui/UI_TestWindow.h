// Shared helpers of the toolkit tests: a window that records its command lines, the input that bubbles up to
// it and what it asks of its host, raw input as a host sends it, trees built from description text; a view that
// logs input.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ui/UI_Loader.h"
#include "ui/UI_Window.h"

// Rectangles show their edges in failure messages.
inline void PrintTo(const OMB_Rect& r, std::ostream* out) {
    *out << "{" << r.x0 << ", " << r.y0 << ", " << r.x1 << ", " << r.y1 << "}";
}

// A host that keeps a clipboard and the last sizes asked of it.
struct RecordingHost : UI_Host {
    void SetMinimumClientSize(int w, int h) override { minimum = {w, h}; }
    void ResizeClient(int w, int h) override { resized = {w, h}; }
    void RequestRedraw() override {}
    bool GetClipboardText(std::string& out) override {
        out = clipboard;
        return !clipboard.empty();
    }
    void SetClipboardText(const char* text) override { clipboard = text; }
    OMB_Size minimum, resized;
    std::string clipboard;
};

class RecordingWindow : public UI_Window {
public:
    RecordingWindow() { SetHost(&host); }
    ~RecordingWindow() override { SetHost(nullptr); }
    void OnViewCommand(const char* text) override { commands.push_back(text); }
    bool KeyDown(const UI_KeyState& k) override {
        windowKeys.push_back(k.key);
        return true;
    }
    bool LeftDown(const UI_MouseState& m) override {
        ++windowPresses;
        return true;
    }

    // Loads the tree from text and lays it out in a width x height window.
    UI_View* Load(const char* text, int width = 200, int height = 100) {
        UI_ViewRegistry registry;
        UI_RegisterViewTypes(registry);
        SetRootView(UI_LoadViewTreeText(registry, text, "test.ui"));
        if (!Root()) return nullptr;
        Root()->SetRect({0, 0, width - 1, height - 1});
        SetRect({0, 0, width - 1, height - 1});
        RefreshLayout();
        return Root();
    }
    // The faces of the build's program directory (text quads need them).
    bool LoadFont() {
        std::string error;
        return Canvas().LoadFont(std::string(TK_BUILD_DIR) + "/fonts", error);
    }
    // The host's raw input: the pointer to (x, y), the left button there,
    // wheel notches where the pointer is.
    void Move(int x, int y, int modifiers = 0) { InputPosition(x, y, modifiers); }
    void Down(int x, int y, int modifiers = 0) { InputButton(UI_BUTTON_LEFT, true, x, y, modifiers); }
    void Up(int x, int y, int modifiers = 0) { InputButton(UI_BUTTON_LEFT, false, x, y, modifiers); }
    void Click(int x, int y, int modifiers = 0) {
        Move(x, y, modifiers);
        Down(x, y, modifiers);
        Up(x, y, modifiers);
    }
    void Key(int key, int modifiers = 0) { InputKey(key, true, false, modifiers); }
    void Type(const char* text) { InputText(text, 0); }
    // The command lines so far, joined by "|"; the list starts again.
    std::string TakeCommands() {
        std::string out;
        for (const std::string& c : commands) out += (out.empty() ? "" : "|") + c;
        commands.clear();
        return out;
    }

    RecordingHost host;
    std::vector<std::string> commands;
    std::vector<int> windowKeys;
    int windowPresses = 0;
};

// A view that records its input.
class ProbeView : public UI_View {
public:
    ProbeView(const char* id = "", bool focusable = false) : m_focusable(focusable) { SetId(id); }
    bool LeftDown(const UI_MouseState&) override { return Log("down"); }
    bool LeftDrag(const UI_MouseState&) override { return Log("drag"); }
    bool LeftUp(const UI_MouseState&) override { return Log("up"); }
    bool MouseEnter(const UI_MouseState&) override { return Log("enter"); }
    bool MouseLeave(const UI_MouseState&) override { return Log("leave"); }
    bool KeyDown(const UI_KeyState&) override { return consumeKeys && Log("key"); }
    bool AcceptsFocus() const override { return m_focusable; }
    bool Log(const char* what) {
        log += (log.empty() ? "" : " ") + Id() + ":" + what;
        return true;
    }
    static inline std::string log;
    bool consumeKeys = true;

private:
    bool m_focusable;
};
