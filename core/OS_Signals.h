// OS_Signals: how every mode of the program hears that it should stop.
// SIGINT (Ctrl+C), SIGTERM (a batch scheduler's time limit, `timeout`),
// SIGHUP (a closed terminal, a logout) and SIGQUIT are caught by one
// handler that only records the first signal and wakes a self-pipe; the
// loops ask OS_StopSignal() between steps and end the way their mode ends
// (the editor as a window close, the batch modes with status 128 + signal).
// A second signal while the first is being answered ends the process at
// once: a person pressing Ctrl+C twice means it.
//
// The rule not to break: the handler does nothing that is not
// async-signal-safe (an atomic store, write(), alarm(), _exit()).
#pragma once

#include <string>

// Installs the handler for the four signals; call once, early in main.
// False when the self-pipe or a handler cannot be set up.
bool OS_InstallStopSignals();
// Batch modes: a process still running `seconds` after the first stop
// signal (stuck in one long command) ends then with the signal's status.
// 0 (the default) waits for the loops, as the editor must.
void OS_SetStopDeadline(int seconds);
// The line the deadline writes to standard error before it ends the process
// (say what the unfinished work leaves behind); "" for none. Copied; at most
// 511 bytes are kept.
void OS_SetStopNotice(const std::string& text);
// The first stop signal received, 0 while none came.
int OS_StopSignal();
// The conventional exit status for the received signal (130 for SIGINT,
// 143 for SIGTERM), 0 while none came.
int OS_StopStatus();
// A descriptor that becomes readable once a stop signal came (-1 before
// OS_InstallStopSignals), for waits that poll().
int OS_StopSignalFd();
// Forgets a received signal (tests deliver several in one process).
void OS_ClearStopSignal();
