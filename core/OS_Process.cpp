// Process ids (see OS_Process.h).
#include "core/OS_Process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {
constexpr int kMaxDigits = 9;  // pid_max is at most 2^22 on Linux
}  // namespace

long OS_ProcessId() { return long(::getpid()); }

bool OS_IsProcessRunning(long pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH); }

void OS_EndAfter(unsigned seconds) {
    // The alarm's default action ends the process.
    ::signal(SIGALRM, SIG_DFL);
    ::alarm(seconds);
}

void OS_SetEnvironment(const char* name, const char* value) {
    if (value) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

long OS_ReadProcessId(const char*& p) {
    long pid = 0;
    int digits = 0;
    while (p[digits] >= '0' && p[digits] <= '9') {
        if (++digits > kMaxDigits) return -1;
        pid = pid * 10 + (p[digits - 1] - '0');
    }
    if (digits == 0) return -1;
    p += digits;
    return pid;
}
