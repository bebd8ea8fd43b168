// The program's version text, set by the build.
#pragma once

#include <string>

inline const char* TK_VersionText() { return TK_VERSION; }

// The window's caption, alone and followed by what the window shows.
inline constexpr const char* kTarskCaption = "Tarsk @ Ombrel";
inline std::string TK_Caption(const std::string& shown) { return std::string(kTarskCaption) + " - " + shown; }
