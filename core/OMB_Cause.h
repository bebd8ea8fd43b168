// Why the last file operation of this thread failed. The low layers (opening,
// writing, flushing, renaming, reading a model's header) record a short
// reason where they fail; the command that prints the failure appends it, so
// "failed to export model : PATH" says what to change ("No space left on
// device", "not a model file"). Per thread: the autosave writes on a thread
// of its own.
#pragma once

#include <string>

// Forgets any recorded reason; call before the operation whose failure will
// be reported.
void OMB_ClearCause();
// Records `why` (replacing an earlier reason).
void OMB_SetCause(const std::string& why);
// Records the system's text for `error` (an errno value); 0 records nothing.
void OMB_SetCauseErrno(int error);
// True while a reason is recorded.
bool OMB_HasCause();
// " : WHY" for the recorded reason, or "" when none was recorded; clears it.
std::string OMB_TakeCause();
// Why a file could not be written, in a user's words: "no such folder" for a
// missing folder on the way, else the system's text for `error`.
std::string OMB_WriteFailure(int error);
