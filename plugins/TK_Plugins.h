// The built-in format plugins: one list, called once at start-up.
#pragma once

class TK_PluginRegistry;

// Registers every built-in format in its fixed order (the order of the
// export menus and of lookups that share an extension).
void TK_RegisterPlugins(TK_PluginRegistry& registry);
