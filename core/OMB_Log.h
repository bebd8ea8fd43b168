// Program output. Every message of the program goes through OMB_Printf so that
// the headless runner's quiet mode and the benchmarks can filter it in one
// place. Messages are printf-style and each call writes whole lines.
#pragma once

enum class OMB_LogMode {
    All,          // everything (default)
    ProblemsOnly, // only lines starting "[Error]" or "[Warning]"
    Silent,       // nothing (benchmarks)
};

void OMB_SetLogMode(OMB_LogMode mode);
OMB_LogMode OMB_GetLogMode();

void OMB_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
