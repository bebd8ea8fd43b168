// Temporary file plus rename, respecting the target (see OMB_AtomicFile.h).
#include "core/OMB_AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/OMB_AtomicNames.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_Process.h"

namespace {

constexpr int kMaxLinkHops = 40;


// The file a chain of symbolic links ends at (which need not exist yet: a
// dangling link is written through, as editors do). Empty for a loop.
std::string ResolveLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char buffer[4096];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n <= 0 || size_t(n) >= sizeof buffer) return std::string();
        const std::string link(buffer, size_t(n));
        path = link[0] == '/' ? link : OMB_AtomicFolderOf(path) + "/" + link;
    }
    return std::string();
}

// A save killed half-way leaves its temporary file (up to the model's size)
// beside the target. Those of `stem` go, or every one when `stem` is empty.
void RemoveStaleTemps(const std::string& folder, const std::string& stem) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = OMB_AtomicTempOwner(entry->d_name, stem);
        if (pid == 0 || pid == OS_ProcessId() || OS_IsProcessRunning(pid)) continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// The folder entry of a rename reaches the disk only with the folder's own
// flush. Best effort: the file is in place by now, and some file systems
// cannot flush a folder at all.
void FlushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

bool Refuse(const char* why, const std::string& path) {
    OMB_Printf("[Error] %s : %s\n", why, path.c_str());
    OMB_SetCause(why);
    return false;
}

}  // namespace

bool OMB_AtomicFile::Open(const std::string& path) {
    Discard();
    if (path.empty()) return false;
    const std::string target = ResolveLinks(path);
    if (target.empty()) return Refuse("too many symbolic links", path);
    struct stat old;
    const bool hasOld = ::stat(target.c_str(), &old) == 0;
    if (hasOld && !S_ISREG(old.st_mode)) return Refuse("not a regular file", target);
    if (hasOld && (old.st_mode & 0222) == 0) return Refuse("file is read-only", target);
    const std::string folder = OMB_AtomicFolderOf(target);
    const std::string stem = OMB_AtomicTempStem(OMB_AtomicFileOf(target));
    RemoveStaleTemps(folder, stem);
    // The autosave writes on a thread of its own while exports write here.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Same folder as the target, so that the rename never crosses devices.
        m_temp = OMB_AtomicTempName(target, OS_ProcessId(), counter++);
        const int fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            OMB_SetCauseErrno(errno);
            break;
        }
        // Who owns, reads, writes or runs the file stays as it was (the
        // owner only where the system lets this process give it away).
        if (hasOld) {
            (void)::fchown(fd, old.st_uid, old.st_gid);
            (void)::fchmod(fd, old.st_mode & 07777);
        }
        m_file = ::fdopen(fd, "wb");
        if (m_file) {
            m_target = target;
            return true;
        }
        OMB_SetCauseErrno(errno);
        ::close(fd);
        ::unlink(m_temp.c_str());
        break;
    }
    m_temp.clear();
    return false;
}

bool OMB_AtomicFile::Commit() {
    if (!m_file) return false;
    FILE* file = m_file;
    m_file = nullptr;
    // The bytes reach the disk before the name moves: a power cut after
    // the rename must not leave an empty file under the old name.
    // A failed write left its reason in errno (nothing since can succeed
    // on this stream).
    bool ok = !std::ferror(file) && std::fflush(file) == 0 && (!OMB_FlushOnCommit() || ::fsync(::fileno(file)) == 0);
    if (!ok) OMB_SetCauseErrno(errno ? errno : EIO);
    if (std::fclose(file) != 0 && ok) {
        OMB_SetCauseErrno(errno);
        ok = false;
    }
    if (ok && std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        OMB_SetCauseErrno(errno);
        ok = false;
    }
    if (ok && OMB_FlushOnCommit()) FlushFolder(OMB_AtomicFolderOf(m_target));
    if (!ok) ::unlink(m_temp.c_str());
    m_temp.clear();
    m_target.clear();
    return ok;
}

void OMB_AtomicFile::Discard() {
    if (!m_file) return;
    std::fclose(m_file);
    m_file = nullptr;
    ::unlink(m_temp.c_str());
    m_temp.clear();
    m_target.clear();
}

void OMB_RemoveStaleTemps(const std::string& folder) { RemoveStaleTemps(folder, std::string()); }
