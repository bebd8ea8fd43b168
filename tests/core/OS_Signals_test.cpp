// The stop signals in a child process: the first is recorded for the loops,
// a second ends the process at once, and a deadline ends one stuck in work
// (saying what that leaves).
#include "core/OS_Signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

// Each body runs in a child, which must end with the case's status, soon.
TEST(StopSignals, RecordedOnceThenFatalOrAtTheDeadline) {
    const struct {
        const char* what;
        void (*body)();
        int status;
    } cases[] = {
        {"recorded: the loop sees it and ends its own way",
         [] {
             OS_InstallStopSignals();
             raise(SIGTERM);
             char byte = 0;
             const bool recorded = OS_StopSignal() == SIGTERM && OS_StopStatus() == 143;
             _exit(recorded && read(OS_StopSignalFd(), &byte, 1) == 1 ? 7 : 1);
         },
         7},
        {"a second signal ends the process with the first one's status",
         [] {
             OS_InstallStopSignals();
             raise(SIGINT);
             raise(SIGHUP);
         },
         130},
        {"stuck in work past the deadline",
         [] {
             OS_InstallStopSignals();
             OS_SetStopDeadline(1);
             raise(SIGTERM);
             for (volatile unsigned spin = 0;; spin = spin + 1) {  // wraps; never ends
             }
         },
         143},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            c.body();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << c.what;
    }
}

// Work cut off at the deadline says what it leaves (a render stopped while
// writing its picture has written nothing).
TEST(StopSignals, TheDeadlineWritesItsNotice) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 2);
        OS_InstallStopSignals();
        OS_SetStopNotice("render : stopped; nothing was written to x.png\n");
        OS_SetStopDeadline(1);
        raise(SIGINT);
        for (volatile unsigned spin = 0;; spin = spin + 1) {
        }
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    EXPECT_EQ(text, "render : stopped; nothing was written to x.png\n");
}

}  // namespace
