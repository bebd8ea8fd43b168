// Registry of format plugins (see TK_PluginRegistry.h).
#include "plugins/TK_PluginRegistry.h"

#include "core/OMB_Log.h"

bool TK_PluginRegistry::Add(const char* key, const char* extension, const char* description,
                            TK_PluginFactory factory) {
    if (!key || !*key || !factory || Find(key)) return false;
    m_entries.push_back(TK_PluginEntry{key, extension ? extension : "", description ? description : "", factory});
    return true;
}

const TK_PluginEntry* TK_PluginRegistry::Find(const std::string& key) const {
    for (const TK_PluginEntry& e : m_entries)
        if (e.key == key) return &e;
    return nullptr;
}

std::unique_ptr<TK_Plugin> TK_PluginRegistry::Create(const std::string& key) const {
    if (const TK_PluginEntry* e = Find(key)) return e->factory();
    OMB_Printf("[Error] failed to load plugin : %s\n", key.c_str());
    return nullptr;
}
