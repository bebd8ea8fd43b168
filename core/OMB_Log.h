// Program output. Every message of the program goes through OMB_Printf so that
// the headless runner's quiet mode and the benchmarks can filter it in one
// place. Messages are printf-style and each call writes whole lines.
//
// Besides standard output, every text that passes the filter reaches the
// registered sinks (the editor window's message log): printing a line is all
// a module needs to do for it to show in the window.
#pragma once

#include <cstddef>

enum class OMB_LogMode {
    All,          // everything (default)
    ProblemsOnly, // only lines starting "[Error]" or "[Warning]"
    Silent,       // nothing (benchmarks)
};

void OMB_SetLogMode(OMB_LogMode mode);
OMB_LogMode OMB_GetLogMode();

// The compiler checks each format against the C library the build uses
// (TK_PRINTF_FORMAT: the Windows build's C99 printf is gnu_printf).
#ifndef TK_PRINTF_FORMAT
#define TK_PRINTF_FORMAT printf
#endif
void OMB_Printf(const char* format, ...) __attribute__((format(TK_PRINTF_FORMAT, 1, 2)));

// "[Error]" and "[Warning]" calls of OMB_Printf so far, printed or filtered:
// a caller learns whether what it ran has spoken of a problem already.
unsigned long OMB_ProblemCount();

// Receives the formatted text of each OMB_Printf call that passes the filter
// (one or more whole lines, or a piece of one). Called on the printing thread,
// which may be any thread, one call at a time: a sink that shares its state
// with one thread (a window) hands text from the others over to it.
class OMB_LogSink {
public:
    virtual ~OMB_LogSink() = default;
    virtual void Write(const char* text, size_t size) = 0;
};

// The sink receives from now on; adding it twice does nothing. A sink must
// be removed before it dies.
void OMB_AddLogSink(OMB_LogSink* sink);
void OMB_RemoveLogSink(OMB_LogSink* sink);
