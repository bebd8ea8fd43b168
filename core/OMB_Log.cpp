// Filtering printf front end for all program output (see OMB_Log.h).
#include "core/OMB_Log.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {
std::atomic<OMB_LogMode> g_mode{OMB_LogMode::All};
std::atomic<unsigned long> g_problems{0};
std::vector<OMB_LogSink*> g_sinks;
// Guards the sinks and keeps each call's text whole on standard output: the
// autosave thread prints too. Recursive: a sink may print.
std::recursive_mutex g_lock;

bool IsHidden(unsigned char c) { return (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F; }

bool IsProblem(const char* format) {
    return std::strncmp(format, "[Error]", 7) == 0 || std::strncmp(format, "[Warning]", 9) == 0;
}

// Control bytes other than line feed and tab come from data (a file name
// holding a terminal escape); they are shown as "\xHH", never sent raw.
void Escape(std::string& text) {
    size_t i = 0;
    while (i < text.size() && !IsHidden(static_cast<unsigned char>(text[i]))) ++i;
    if (i == text.size()) return;
    std::string shown(text, 0, i);
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsHidden(c)) {
            shown += char(c);
            continue;
        }
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        shown += hex;
    }
    text.swap(shown);
}

std::string Format(const char* format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n <= 0) return std::string();
    if (size_t(n) < sizeof small) return std::string(small, size_t(n));
    std::string big(size_t(n) + 1, '\0');
    std::vsnprintf(&big[0], big.size(), format, args);
    big.resize(size_t(n));
    return big;
}
}  // namespace

void OMB_SetLogMode(OMB_LogMode mode) { g_mode = mode; }
OMB_LogMode OMB_GetLogMode() { return g_mode; }

unsigned long OMB_ProblemCount() { return g_problems; }

void OMB_Printf(const char* format, ...) {
    const bool problem = IsProblem(format);
    if (problem) ++g_problems;
    if (g_mode == OMB_LogMode::Silent) return;
    if (g_mode == OMB_LogMode::ProblemsOnly && !problem) return;
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    Escape(text);
    const std::lock_guard<std::recursive_mutex> hold(g_lock);
    for (OMB_LogSink* sink : g_sinks) sink->Write(text.data(), text.size());
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void OMB_AddLogSink(OMB_LogSink* sink) {
    const std::lock_guard<std::recursive_mutex> hold(g_lock);
    if (sink && std::find(g_sinks.begin(), g_sinks.end(), sink) == g_sinks.end()) g_sinks.push_back(sink);
}

void OMB_RemoveLogSink(OMB_LogSink* sink) {
    const std::lock_guard<std::recursive_mutex> hold(g_lock);
    g_sinks.erase(std::remove(g_sinks.begin(), g_sinks.end(), sink), g_sinks.end());
}
