// The stop signals' handler and its self-pipe (see OS_Signals.h).
#include "core/OS_Signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile sig_atomic_t g_signal = 0;
volatile sig_atomic_t g_deadline = 0;
int g_pipe[2] = {-1, -1};
char g_notice[512];
volatile sig_atomic_t g_noticeLength = 0;

// The deadline passed with the work still running: end as the signal asked,
// after saying what that leaves.
void OnDeadline(int) {
    if (g_noticeLength > 0) {
        ssize_t ignored = write(2, g_notice, size_t(g_noticeLength));
        (void)ignored;
    }
    _exit(128 + (g_signal ? g_signal : SIGTERM));
}

void OnStopSignal(int sig) {
    if (g_signal != 0) _exit(128 + g_signal);
    g_signal = sig;
    if (g_deadline > 0) alarm(unsigned(g_deadline));
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        // A full pipe already says the same thing.
        ssize_t ignored = write(g_pipe[1], &byte, 1);
        (void)ignored;
    }
}

bool MakePipe() {
    if (g_pipe[0] >= 0) return true;
    if (pipe(g_pipe) != 0) return false;
    for (int fd : g_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}

}  // namespace

bool OS_InstallStopSignals() {
    if (!MakePipe()) return false;
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    bool ok = true;
    for (int sig : kStopSignals) ok = sigaction(sig, &action, nullptr) == 0 && ok;
    return ok;
}

void OS_SetStopDeadline(int seconds) {
    struct sigaction action = {};
    action.sa_handler = &OnDeadline;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    g_deadline = seconds;
}

void OS_SetStopNotice(const std::string& text) {
    // The deadline may interrupt this: it sees no notice rather than half of one.
    g_noticeLength = 0;
    const size_t n = std::min(text.size(), sizeof g_notice - 1);
    std::memcpy(g_notice, text.data(), n);
    g_noticeLength = sig_atomic_t(n);
}

int OS_StopSignal() { return g_signal; }

int OS_StopStatus() { return g_signal ? 128 + g_signal : 0; }

int OS_StopSignalFd() { return g_pipe[0]; }

void OS_ClearStopSignal() {
    g_signal = 0;
    char buffer[64];
    if (g_pipe[0] >= 0)
        while (read(g_pipe[0], buffer, sizeof buffer) > 0) {
        }
}
