// A table of key bindings: key code + modifier mask + repeat flag -> command
// text. The editor keeps several tables (global, per view); the found text is
// run through the executor with an empty prefix.
#pragma once

#include <string>
#include <vector>

struct OMB_Hotkey {
    int key = 0;
    int mods = 0;
    bool repeat = false;
    std::string text;
};

class OMB_HotkeyTable {
public:
    // False (and a message) when the same key, mask and repeat flag exist.
    bool Register(int key, int mods, bool repeat, const char* text);
    // The first entry with that key and mask that fires on a repeat when
    // `repeat` is set (any entry otherwise); null when none.
    const char* Find(int key, int mods, bool repeat) const;
    const std::vector<OMB_Hotkey>& Entries() const { return m_entries; }

private:
    std::vector<OMB_Hotkey> m_entries;
};
