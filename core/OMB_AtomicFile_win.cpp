// The atomic writer on Windows (see OMB_AtomicFile.h): the same temporary
// file beside the target, created exclusively through the wide API; the
// commit flushes it (FlushFileBuffers) and moves it over the target with
// MoveFileExW(REPLACE_EXISTING | WRITE_THROUGH), which returns only once the
// move is on the disk. A read-only target (the attribute) or one that is not
// a regular file is refused with the same messages as on POSIX. Windows
// resolves links itself when the file is opened, so there is no link walk.
#include "core/OMB_AtomicFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "core/OMB_AtomicNames.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_Process.h"
#include "core/OS_WinText.h"

namespace {

std::string Slashed(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool Refuse(const char* why, const std::string& path) {
    OMB_Printf("[Error] %s : %s\n", why, path.c_str());
    OMB_SetCause(why);
    return false;
}

void CauseFromSystem() { OMB_SetCause(OS_ErrorText(GetLastError())); }

// Leftovers of dead processes among the files beside `folder` (those of
// `stem`, or every one when it is empty).
void RemoveStaleTemps(const std::string& folder, const std::string& stem) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(OS_WidePath(folder + "/*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = OS_Utf8(entry.cFileName);
        const long pid = OMB_AtomicTempOwner(name.c_str(), stem);
        if (pid == 0 || pid == OS_ProcessId() || OS_IsProcessRunning(pid)) continue;
        DeleteFileW(OS_WidePath(folder + "/" + name).c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

}  // namespace

bool OMB_AtomicFile::Open(const std::string& path) {
    Discard();
    if (path.empty()) return false;
    const std::string target = Slashed(path);
    const std::string problem = OS_WindowsNameProblem(target);
    if (!problem.empty()) {
        OMB_Printf("[Error] %s : %s\n", problem.c_str(), target.c_str());
        OMB_SetCause(problem);
        return false;
    }
    const DWORD attributes = GetFileAttributesW(OS_WidePath(target).c_str());
    const bool hasOld = attributes != INVALID_FILE_ATTRIBUTES;
    if (hasOld && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return Refuse("not a regular file", target);
    if (hasOld && (attributes & FILE_ATTRIBUTE_READONLY)) return Refuse("file is read-only", target);
    const std::string folder = OMB_AtomicFolderOf(target);
    RemoveStaleTemps(folder, OMB_AtomicTempStem(OMB_AtomicFileOf(target)));
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temp = OMB_AtomicTempName(target, OS_ProcessId(), counter++);
        HANDLE h = CreateFileW(OS_WidePath(m_temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            CauseFromSystem();
            break;
        }
        const int fd = _open_osfhandle(intptr_t(h), _O_WRONLY | _O_BINARY);
        m_file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
        if (m_file) {
            m_target = target;
            return true;
        }
        OMB_SetCause("cannot open the temporary file");
        if (fd >= 0)
            _close(fd);
        else
            CloseHandle(h);
        DeleteFileW(OS_WidePath(m_temp).c_str());
        break;
    }
    m_temp.clear();
    return false;
}

bool OMB_AtomicFile::Commit() {
    if (!m_file) return false;
    FILE* file = m_file;
    m_file = nullptr;
    // The bytes reach the disk before the name moves.
    bool ok = !std::ferror(file) && std::fflush(file) == 0;
    if (ok && OMB_FlushOnCommit() && !FlushFileBuffers(HANDLE(_get_osfhandle(_fileno(file))))) {
        CauseFromSystem();
        ok = false;
    } else if (!ok) {
        OMB_SetCauseErrno(errno ? errno : EIO);
    }
    if (std::fclose(file) != 0 && ok) {
        OMB_SetCauseErrno(errno);
        ok = false;
    }
    // The temporary file is hidden; the model it becomes is not.
    if (ok) SetFileAttributesW(OS_WidePath(m_temp).c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (OMB_FlushOnCommit() ? MOVEFILE_WRITE_THROUGH : 0);
    if (ok && !MoveFileExW(OS_WidePath(m_temp).c_str(), OS_WidePath(m_target).c_str(), flags)) {
        CauseFromSystem();
        ok = false;
    }
    if (!ok) DeleteFileW(OS_WidePath(m_temp).c_str());
    m_temp.clear();
    m_target.clear();
    return ok;
}

void OMB_AtomicFile::Discard() {
    if (!m_file) return;
    std::fclose(m_file);
    m_file = nullptr;
    DeleteFileW(OS_WidePath(m_temp).c_str());
    m_temp.clear();
    m_target.clear();
}

void OMB_RemoveStaleTemps(const std::string& folder) { RemoveStaleTemps(Slashed(folder), std::string()); }
