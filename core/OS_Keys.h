// Platform-neutral key codes and modifier bits. The platform window turns its
// system's keys into these; the toolkit's widgets, the hotkey tables and the
// 3D view read only these. The numbers are part of the program's interface
// (hotkey tables and key event records carry them): never renumber.
#pragma once

#include <string>

// Modifier bits of key and mouse events.
enum OS_Modifier : int {
    OS_MOD_CTRL = 1,
    OS_MOD_ALT = 2,
    OS_MOD_SHIFT = 4,
    OS_MOD_CAPS = 16,
};

// Key codes 1..68; 0 is "no key" (other keys produce no key event).
enum OS_Key : int {
    OS_KEY_NONE = 0,
    OS_KEY_CTRL = 1,
    OS_KEY_ALT = 2,
    OS_KEY_SHIFT = 3,
    OS_KEY_CAPS = 4,
    OS_KEY_TAB = 5,
    OS_KEY_0 = 6,  // digits 0..9 are 6..15
    OS_KEY_9 = 15,
    OS_KEY_A = 16,  // letters A..Z are 16..41
    OS_KEY_Z = 41,
    OS_KEY_SPACE = 42,
    OS_KEY_ENTER = 43,
    OS_KEY_BACKSPACE = 44,
    OS_KEY_MINUS = 45,
    OS_KEY_PLUS = 46,  // the plus / equals key
    OS_KEY_LEFT = 47,
    OS_KEY_RIGHT = 48,
    OS_KEY_DOWN = 49,
    OS_KEY_UP = 50,
    OS_KEY_PAGE_DOWN = 51,
    OS_KEY_PAGE_UP = 52,
    OS_KEY_HOME = 53,
    OS_KEY_END = 54,
    OS_KEY_DELETE = 55,
    OS_KEY_F1 = 56,  // F1..F12 are 56..67
    OS_KEY_F12 = 67,
    OS_KEY_ESCAPE = 68,
};

// The code of a digit 0..9 or an upper-case letter; 0 for anything else.
constexpr int OS_KeyOf(char c) {
    return c >= '0' && c <= '9' ? OS_KEY_0 + (c - '0') : c >= 'A' && c <= 'Z' ? OS_KEY_A + (c - 'A') : OS_KEY_NONE;
}

// The code of the function key Fn, n 1..12.
constexpr int OS_KeyF(int n) { return n >= 1 && n <= 12 ? OS_KEY_F1 + n - 1 : OS_KEY_NONE; }

// The name a user reads for a key and modifier bits: "Ctrl+Shift+S", "F6",
// "Backspace", "1"; empty for OS_KEY_NONE and unknown codes.
std::string OS_KeyName(int key, int modifiers);
