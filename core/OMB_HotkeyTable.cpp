// Hotkey registration and lookup (see OMB_HotkeyTable.h).
#include "core/OMB_HotkeyTable.h"

#include "core/OMB_Log.h"

bool OMB_HotkeyTable::Register(int key, int mods, bool repeat, const char* text) {
    for (const OMB_Hotkey& h : m_entries) {
        if (h.key == key && h.mods == mods && h.repeat == repeat) {
            OMB_Printf("Hotkey has been registered : %s\n", text);
            return false;
        }
    }
    m_entries.push_back({key, mods, repeat, text ? text : ""});
    return true;
}

const char* OMB_HotkeyTable::Find(int key, int mods, bool repeat) const {
    for (const OMB_Hotkey& h : m_entries)
        if (h.key == key && h.mods == mods && (h.repeat || !repeat)) return h.text.c_str();
    return nullptr;
}
