// Non-blocking, type-checked opening for reading (see OMB_FileHandle.h).
#include "core/OMB_FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/OMB_Cause.h"

OMB_FileHandle OMB_OpenForReading(const char* path, int64_t* size) {
    if (!path || !*path) return nullptr;
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        OMB_SetCauseErrno(errno);
        return nullptr;
    }
    struct stat info = {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        if (S_ISDIR(info.st_mode))
            OMB_SetCauseErrno(EISDIR);
        else
            OMB_SetCause("not a regular file");
        ::close(fd);
        return nullptr;
    }
    OMB_FileHandle file(::fdopen(fd, "rb"));
    if (!file) {
        OMB_SetCauseErrno(errno);
        ::close(fd);
        return nullptr;
    }
    if (size) *size = int64_t(info.st_size);
    return file;
}

FILE* OMB_OpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

bool OMB_RenameFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
