// Key names for hints and messages (see OS_Keys.h).
#include "core/OS_Keys.h"

namespace {

const char* SpecialName(int key) {
    switch (key) {
        case OS_KEY_CTRL: return "Ctrl";
        case OS_KEY_ALT: return "Alt";
        case OS_KEY_SHIFT: return "Shift";
        case OS_KEY_CAPS: return "Caps Lock";
        case OS_KEY_TAB: return "Tab";
        case OS_KEY_SPACE: return "Space";
        case OS_KEY_ENTER: return "Enter";
        case OS_KEY_BACKSPACE: return "Backspace";
        case OS_KEY_MINUS: return "-";
        case OS_KEY_PLUS: return "+";
        case OS_KEY_LEFT: return "Left";
        case OS_KEY_RIGHT: return "Right";
        case OS_KEY_DOWN: return "Down";
        case OS_KEY_UP: return "Up";
        case OS_KEY_PAGE_DOWN: return "Page Down";
        case OS_KEY_PAGE_UP: return "Page Up";
        case OS_KEY_HOME: return "Home";
        case OS_KEY_END: return "End";
        case OS_KEY_DELETE: return "Delete";
        case OS_KEY_ESCAPE: return "Esc";
        default: return "";
    }
}

std::string BaseName(int key) {
    if (key >= OS_KEY_0 && key <= OS_KEY_9) return std::string(1, char('0' + key - OS_KEY_0));
    if (key >= OS_KEY_A && key <= OS_KEY_Z) return std::string(1, char('A' + key - OS_KEY_A));
    if (key >= OS_KEY_F1 && key <= OS_KEY_F12) return "F" + std::to_string(key - OS_KEY_F1 + 1);
    return SpecialName(key);
}

}  // namespace

std::string OS_KeyName(int key, int modifiers) {
    std::string name = BaseName(key);
    if (name.empty()) return name;
    if (modifiers & OS_MOD_SHIFT) name = "Shift+" + name;
    if (modifiers & OS_MOD_ALT) name = "Alt+" + name;
    if (modifiers & OS_MOD_CTRL) name = "Ctrl+" + name;
    return name;
}
