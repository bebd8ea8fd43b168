// TK_PluginRegistry: the format plugins by key. Each entry names a key (the
// word the file commands look up: a file's extension when importing, the
// format word when exporting), the extension its files are written with, a
// description for dialog filters, and a factory. Entries stay in
// registration order; the first entry of a key wins.
//
// The registry owns no plugin objects: Create makes a fresh one per call and
// the caller destroys it after its one use (plugins keep no state).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugins/TK_Plugin.h"

using TK_PluginFactory = std::unique_ptr<TK_Plugin> (*)();

template <typename T>
std::unique_ptr<TK_Plugin> TK_MakePlugin() {
    return std::make_unique<T>();
}

struct TK_PluginEntry {
    std::string key;
    std::string extension;
    std::string description;
    TK_PluginFactory factory = nullptr;

    // The dialog filter of the entry: "Qubicle Binary (*.qb)".
    std::string Filter() const { return description + " (*." + extension + ")"; }
};

class TK_PluginRegistry {
public:
    // False (and nothing added) for an empty key, a missing factory or a
    // key already taken.
    bool Add(const char* key, const char* extension, const char* description, TK_PluginFactory factory);

    // The entry whose key equals `key` exactly; null when none does. Silent.
    const TK_PluginEntry* Find(const std::string& key) const;
    // A new plugin for `key`; null after "[Error] failed to load plugin : KEY"
    // when no entry matches.
    std::unique_ptr<TK_Plugin> Create(const std::string& key) const;

    const std::vector<TK_PluginEntry>& Entries() const { return m_entries; }

private:
    std::vector<TK_PluginEntry> m_entries;
};
