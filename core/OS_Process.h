// OS_Process: process ids, for the files that carry their writer's id in
// their name (the atomic writer's temporary files, the autosaves). A file
// whose process no longer runs was left by a crash or a kill.
#pragma once

// This process's id.
long OS_ProcessId();

// False only when no process has this id; a process of another user counts
// as running (it is not ours to judge).
bool OS_IsProcessRunning(long pid);

// Ends the process with a failing status `seconds` from now, whatever it is
// doing then (a watchdog for work that must never hang).
void OS_EndAfter(unsigned seconds);

// Sets a variable of this process's environment (seen by the libraries it
// loads and the programs it starts); a null `value` removes it.
void OS_SetEnvironment(const char* name, const char* value);

// The positive process id written in decimal at `p`; advances `p` past the
// digits. -1 (and `p` unchanged) when there are no digits or too many for
// a process id.
long OS_ReadProcessId(const char*& p);
