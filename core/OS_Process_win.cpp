// Process ids on Windows (see OS_Process.h).
#include "core/OS_Process.h"

#include <windows.h>

#include <cstdlib>
#include <thread>

#include "core/OS_WinText.h"

namespace {
constexpr int kMaxDigits = 10;  // a DWORD
}  // namespace

long OS_ProcessId() { return long(GetCurrentProcessId()); }

bool OS_IsProcessRunning(long pid) {
    if (pid <= 0) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // another user's
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

void OS_EndAfter(unsigned seconds) {
    // No alarm here: a detached thread plays its part.
    std::thread([seconds] {
        Sleep(DWORD(seconds) * 1000);
        ExitProcess(142);  // 128 + SIGALRM, as on POSIX
    }).detach();
}

void OS_SetEnvironment(const char* name, const char* value) {
    // Both tables: Windows' own (seen by children and by SDL) and the C
    // runtime's (seen by getenv).
    // An empty value removes the C runtime's variable; null removes Windows'.
    SetEnvironmentVariableW(OS_Wide(name).c_str(), value ? OS_Wide(value).c_str() : nullptr);
    _putenv_s(name, value ? value : "");
}

long OS_ReadProcessId(const char*& p) {
    long long pid = 0;
    int digits = 0;
    while (p[digits] >= '0' && p[digits] <= '9') {
        if (++digits > kMaxDigits) return -1;
        pid = pid * 10 + (p[digits - 1] - '0');
    }
    if (digits == 0 || pid > 0x7fffffff) return -1;
    p += digits;
    return long(pid);
}
