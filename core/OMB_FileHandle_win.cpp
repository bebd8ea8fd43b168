// Opening for reading on Windows (see OMB_FileHandle.h): a wide path, and
// only a regular file (a folder, a pipe or a device such as "CON" or "NUL"
// is refused before anything reads from it).
#include "core/OMB_FileHandle.h"

#include <fcntl.h>
#include <io.h>
#include <cerrno>
#include <windows.h>

#include "core/OMB_Cause.h"
#include "core/OS_WinText.h"

OMB_FileHandle OMB_OpenForReading(const char* path, int64_t* size) {
    if (!path || !*path) return nullptr;
    // "NUL.vox" would open the device: say why instead.
    const std::string problem = OS_WindowsNameProblem(path);
    if (!problem.empty() && problem.compare(0, 4, "path") != 0) {
        OMB_SetCause(problem);
        return nullptr;
    }
    HANDLE h = CreateFileW(OS_WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        OMB_SetCause(OS_ErrorText(GetLastError()));
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        OMB_SetCause(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "Is a directory" : "not a regular file");
        CloseHandle(h);
        return nullptr;
    }
    const int fd = _open_osfhandle(intptr_t(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        OMB_SetCause("cannot open");
        return nullptr;
    }
    OMB_FileHandle file(_fdopen(fd, "rb"));
    if (!file) {
        _close(fd);
        OMB_SetCause("cannot open");
        return nullptr;
    }
    if (size) *size = int64_t((uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return file;
}

FILE* OMB_OpenFile(const char* path, const char* mode) {
    return _wfopen(OS_WidePath(path).c_str(), OS_Wide(mode).c_str());
}

bool OMB_RenameFile(const char* from, const char* to) {
    if (MoveFileExW(OS_WidePath(from).c_str(), OS_WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    errno = GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
    return false;
}
