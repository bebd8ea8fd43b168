// Whole-file writes that never leave a half-written file behind: the bytes go
// to a temporary file beside the target, which is renamed over the target only
// after every byte was written and the file closed. Camera files and PNG
// snapshots are written this way; a failed write leaves the old file intact.
#pragma once

#include <cstddef>
#include <string>

// False when the temporary file cannot be created, written, closed or
// renamed; the temporary file is removed in that case. Prints nothing: the
// caller reports failure in its own words.
bool OMB_WriteFileAtomic(const std::string& path, const void* data, size_t size);
