// Temporary file plus rename, respecting the target (see OMB_AtomicFile.h).
#include "core/OMB_AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/OMB_Log.h"

namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit for a path

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

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
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return std::string();
}

// "NAME.tmpPID" or "NAME.tmpPID-N": the process id, or 0 when `entry` is not
// one of the temporary files of `name`.
long TempOwner(const char* entry, const std::string& name) {
    const std::string prefix = name + ".tmp";
    if (std::strncmp(entry, prefix.c_str(), prefix.size()) != 0) return 0;
    const char* p = entry + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(p, &end, 10);
    if (end == p || pid <= 0) return 0;
    if (*end == '-') {
        const char* n = end + 1;
        std::strtol(n, &end, 10);
        if (end == n) return 0;
    }
    return *end == 0 ? pid : 0;
}

// The owner of a temporary file of any target; 0 for other names.
long AnyTempOwner(const char* entry) {
    const char* tmp = std::strstr(entry, ".tmp");
    for (const char* next = tmp; next; next = std::strstr(next + 1, ".tmp")) tmp = next;
    if (!tmp || tmp == entry) return 0;
    return TempOwner(entry, std::string(entry, tmp));
}

// A save killed half-way leaves its temporary file (up to the model's size)
// beside the target. Those of `name` go, or every one when `name` is empty.
void RemoveStaleTemps(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = name.empty() ? AnyTempOwner(entry->d_name) : TempOwner(entry->d_name, name);
        if (pid == 0 || pid == long(::getpid())) continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;  // alive, or not ours to judge
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

bool Refuse(const char* why, const std::string& path) {
    OMB_Printf("[Error] %s : %s\n", why, path.c_str());
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
    RemoveStaleTemps(FolderOf(target), target.substr(target.find_last_of('/') + 1));
    // The autosave writes on a thread of its own while exports write here.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Same folder as the target, so that the rename never crosses devices.
        m_temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
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
    bool ok = !std::ferror(file);
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(m_temp.c_str(), m_target.c_str()) == 0;
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

bool OMB_WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    OMB_AtomicFile file;
    if (!file.Open(path)) return false;
    if (size != 0 && std::fwrite(data, 1, size, file.Stream()) != size) return false;
    return file.Commit();
}

void OMB_RemoveStaleTemps(const std::string& folder) { RemoveStaleTemps(folder, std::string()); }
