// Filtering printf front end for all program output (see OMB_Log.h).
#include "core/OMB_Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
OMB_LogMode g_mode = OMB_LogMode::All;

bool IsProblem(const char* format) {
    return std::strncmp(format, "[Error]", 7) == 0 || std::strncmp(format, "[Warning]", 9) == 0;
}
}  // namespace

void OMB_SetLogMode(OMB_LogMode mode) { g_mode = mode; }
OMB_LogMode OMB_GetLogMode() { return g_mode; }

void OMB_Printf(const char* format, ...) {
    if (g_mode == OMB_LogMode::Silent) return;
    if (g_mode == OMB_LogMode::ProblemsOnly && !IsProblem(format)) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
}
