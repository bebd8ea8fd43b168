// Temporary-file names shared by the atomic writers (see OMB_AtomicNames.h).
#include "core/OMB_AtomicNames.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/OMB_AtomicFile.h"
#include "core/OMB_Cause.h"
#include "core/OS_Process.h"

namespace {

std::atomic<bool> g_flush{true};

// A temporary file is ".NAME.tarsk-PID-N.tmp": hidden, and of a form no
// user file has, so that start-up can remove dead saves' leftovers without
// touching anything else. NAME is cut short (at a character boundary) when
// the whole would pass the system's limit for a name.
constexpr const char kTempMark[] = ".tarsk-";
constexpr const char kTempEnd[] = ".tmp";
constexpr size_t kMaxName = 255;                                       // NAME_MAX on the common file systems
constexpr size_t kTempExtra = 1 + sizeof kTempMark - 1 + 10 + 1 + 10 + sizeof kTempEnd - 1;  // dot, mark, numbers

}  // namespace

std::string OMB_AtomicTempStem(const std::string& name) {
    size_t keep = std::min(name.size(), kMaxName - kTempExtra);
    while (keep > 0 && keep < name.size() && (uint8_t(name[keep]) & 0xC0) == 0x80) --keep;
    return "." + name.substr(0, keep) + kTempMark;
}

long OMB_AtomicTempOwner(const char* entry, const std::string& stem) {
    const char* p = entry;
    if (!stem.empty()) {
        if (std::strncmp(entry, stem.c_str(), stem.size()) != 0) return 0;
        p += stem.size();
    } else {
        if (entry[0] != '.') return 0;
        const char* mark = nullptr;
        for (const char* next = std::strstr(entry + 1, kTempMark); next; next = std::strstr(next + 1, kTempMark))
            mark = next;
        if (!mark || mark == entry + 1) return 0;
        p = mark + sizeof kTempMark - 1;
    }
    const long pid = OS_ReadProcessId(p);
    if (pid <= 0 || *p++ != '-' || OS_ReadProcessId(p) < 0) return 0;
    return std::strcmp(p, kTempEnd) == 0 ? pid : 0;
}

std::string OMB_AtomicFolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string OMB_AtomicFileOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

bool OMB_FlushOnCommit() { return g_flush; }

void OMB_SetFlushOnCommit(bool flush) { g_flush = flush; }

bool OMB_WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    OMB_AtomicFile file;
    if (!file.Open(path)) return false;
    if (size != 0 && std::fwrite(data, 1, size, file.Stream()) != size) {
        OMB_SetCauseErrno(errno ? errno : EIO);
        return false;
    }
    return file.Commit();
}

std::string OMB_AtomicTempName(const std::string& target, long pid, unsigned n) {
    return OMB_AtomicFolderOf(target) + "/" + OMB_AtomicTempStem(OMB_AtomicFileOf(target)) + std::to_string(pid) + "-" + std::to_string(n) + kTempEnd;
}
