// The parts of the atomic writer (OMB_AtomicFile.h) that every platform
// shares: the temporary files' names, how a leftover is recognised, and the
// flush switch. Paths here use "/" (the Windows writer turns "\\" into "/"
// before it asks).
#pragma once

#include <string>

// The folder of `path` ("." when it has none) and its last component.
std::string OMB_AtomicFolderOf(const std::string& path);
std::string OMB_AtomicFileOf(const std::string& path);
// ".NAME.tarsk-": the start of every temporary file of the target NAME.
std::string OMB_AtomicTempStem(const std::string& name);
// The process id of a temporary file named `entry` whose stem is `stem`
// (any stem when empty); 0 when `entry` is not of exactly that form.
long OMB_AtomicTempOwner(const char* entry, const std::string& stem);
// Whether commits flush to the disk (OMB_SetFlushOnCommit).
bool OMB_FlushOnCommit();
