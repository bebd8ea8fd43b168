// The program's version text, set by the build.
#pragma once

inline const char* TK_VersionText() { return TK_VERSION; }
