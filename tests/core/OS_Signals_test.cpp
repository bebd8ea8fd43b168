// The stop signals in a child process: the first is recorded for the loops,
// a second ends the process at once, and a deadline ends one stuck in work.
#include "core/OS_Signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace {

// Runs `body` in a child; its exit status (-1 when it did not exit), and
// the seconds it took.
template <typename Body>
int InChild(Body body, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(StopSignals, RecordedOnceThenFatalOrAtTheDeadline) {
    double seconds = 0;
    // Recorded: the loop sees it and ends its own way.
    EXPECT_EQ(InChild(
                  [] {
                      OS_InstallStopSignals();
                      raise(SIGTERM);
                      char byte = 0;
                      _exit(OS_StopSignal() == SIGTERM && OS_StopStatus() == 143 &&
                                    read(OS_StopSignalFd(), &byte, 1) == 1
                                ? 7
                                : 1);
                  },
                  seconds),
              7);
    // A second signal ends the process with the first one's status.
    EXPECT_EQ(InChild(
                  [] {
                      OS_InstallStopSignals();
                      raise(SIGINT);
                      raise(SIGHUP);
                  },
                  seconds),
              130);
    // Stuck in work past the deadline.
    EXPECT_EQ(InChild(
                  [] {
                      OS_InstallStopSignals();
                      OS_SetStopDeadline(1);
                      raise(SIGTERM);
                      for (volatile unsigned spin = 0;; spin = spin + 1) {  // wraps; never ends
                      }
                  },
                  seconds),
              143);
    EXPECT_LT(seconds, 3.0);
}

}  // namespace
