// The stop requests on Windows (see OS_Signals.h). The console's control
// events stand for the signals: Ctrl+C and Ctrl+Break for SIGINT (status 130),
// closing the console, logging off or shutting down for SIGTERM (143). Windows
// calls the handler on a thread of its own, so unlike a signal handler it may
// wait: it plays the deadline itself, and for a closing console it holds the
// process until the loops have ended it (Windows allows some seconds).
#include "core/OS_Signals.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kSigInt = 2;
constexpr int kSigTerm = 15;

std::atomic<int> g_signal{0};
std::atomic<int> g_deadline{0};
char g_notice[512];
std::atomic<int> g_noticeLength{0};

void EndNow(int sig) {
    const int n = g_noticeLength;
    if (n > 0) {
        std::fwrite(g_notice, 1, size_t(n), stderr);
        std::fflush(stderr);
    }
    ExitProcess(UINT(128 + sig));
}

BOOL WINAPI OnControl(DWORD event) {
    const int sig = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? kSigInt : kSigTerm;
    int none = 0;
    if (!g_signal.compare_exchange_strong(none, sig)) ExitProcess(UINT(128 + g_signal));
    const int deadline = g_deadline;
    if (deadline > 0) {
        Sleep(DWORD(deadline) * 1000);
        EndNow(sig);
    }
    // Returning would let Windows end a closing console's process at once.
    if (sig == kSigTerm) Sleep(INFINITE);
    return TRUE;
}

}  // namespace

bool OS_InstallStopSignals() { return SetConsoleCtrlHandler(&OnControl, TRUE) != 0; }

void OS_SetStopDeadline(int seconds) { g_deadline = seconds; }

void OS_SetStopNotice(const std::string& text) {
    g_noticeLength = 0;
    const size_t n = std::min(text.size(), sizeof g_notice - 1);
    std::memcpy(g_notice, text.data(), n);
    g_noticeLength = int(n);
}

int OS_StopSignal() { return g_signal; }

int OS_StopStatus() { return g_signal ? 128 + g_signal : 0; }

// Nothing to poll on Windows: the waits that watch this descriptor on POSIX
// ask OS_StopSignal() instead.
int OS_StopSignalFd() { return -1; }

void OS_ClearStopSignal() { g_signal = 0; }
