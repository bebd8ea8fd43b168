// The one way the program replaces a file: the bytes go to a temporary file
// created exclusively beside the target, which is renamed over the target
// only after every byte was written and the file closed. Model saves,
// exports, camera files and PNG snapshots all write this way; a failed write
// leaves the old file intact.
//
// What is at the target is respected: a symbolic link is followed and the
// file it names is replaced (the link stays); a target that is not a regular
// file, or that has no write permission bit (a file the user made read-only),
// is refused with an "[Error]" line naming it, and nothing changes. The
// replacement keeps the old file's permission bits (and its owner where the
// system allows). A rename makes a new file: hard links to the old one keep
// the old bytes. Temporary files are named ".NAME.tarsk-PID-N.tmp" (NAME cut
// short to fit the system's limit); those of this target left by a process
// that no longer runs are removed. A failure records its reason (OMB_Cause.h).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class OMB_AtomicFile {
public:
    OMB_AtomicFile() = default;
    OMB_AtomicFile(const OMB_AtomicFile&) = delete;
    OMB_AtomicFile& operator=(const OMB_AtomicFile&) = delete;
    ~OMB_AtomicFile() { Discard(); }

    // Starts replacing `path` (any open replacement is discarded first).
    // False for an empty path, a refused target (after its message) or a
    // temporary file that cannot be created.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    // The temporary file's stream while open; owned here.
    FILE* Stream() const { return m_file; }
    // Closes and renames into place: true when every write, the close and
    // the rename succeeded; on failure the temporary file is removed.
    bool Commit();
    // Abandons the replacement: the target stays as it was.
    void Discard();

private:
    FILE* m_file = nullptr;
    std::string m_target;  // symbolic links resolved
    std::string m_temp;
};

// Whether commits flush the file and its folder to the disk (the default).
// Off only for output that is a cache anyone can make again (a thumbnail),
// where the flush would cost more time than the whole picture.
void OMB_SetFlushOnCommit(bool flush);

// The whole buffer through an OMB_AtomicFile; false on any failed step.
bool OMB_WriteFileAtomic(const std::string& path, const void* data, size_t size);

// Removes every temporary file in `folder` left by a process that no longer
// runs (a save killed half-way), whatever its target, and nothing else; at start-up, for the
// folders the program writes.
void OMB_RemoveStaleTemps(const std::string& folder);

// The temporary file that process `pid` uses for its `n`th write of `target`.
std::string OMB_AtomicTempName(const std::string& target, long pid, unsigned n);
