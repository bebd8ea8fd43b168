// Filtering printf front end for all program output (see OMB_Log.h).
#include "core/OMB_Log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
OMB_LogMode g_mode = OMB_LogMode::All;
std::vector<OMB_LogSink*> g_sinks;

bool IsProblem(const char* format) {
    return std::strncmp(format, "[Error]", 7) == 0 || std::strncmp(format, "[Warning]", 9) == 0;
}

void WriteToSinks(const char* format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n <= 0) return;
    if (size_t(n) < sizeof small) {
        for (OMB_LogSink* sink : g_sinks) sink->Write(small, size_t(n));
        return;
    }
    std::vector<char> big(size_t(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, args);
    for (OMB_LogSink* sink : g_sinks) sink->Write(big.data(), size_t(n));
}
}  // namespace

void OMB_SetLogMode(OMB_LogMode mode) { g_mode = mode; }
OMB_LogMode OMB_GetLogMode() { return g_mode; }

void OMB_Printf(const char* format, ...) {
    if (g_mode == OMB_LogMode::Silent) return;
    if (g_mode == OMB_LogMode::ProblemsOnly && !IsProblem(format)) return;
    va_list args;
    va_start(args, format);
    if (!g_sinks.empty()) {
        va_list copy;
        va_copy(copy, args);
        WriteToSinks(format, copy);
        va_end(copy);
    }
    std::vfprintf(stdout, format, args);
    va_end(args);
}

void OMB_AddLogSink(OMB_LogSink* sink) {
    if (sink && std::find(g_sinks.begin(), g_sinks.end(), sink) == g_sinks.end()) g_sinks.push_back(sink);
}

void OMB_RemoveLogSink(OMB_LogSink* sink) { g_sinks.erase(std::remove(g_sinks.begin(), g_sinks.end(), sink), g_sinks.end()); }
