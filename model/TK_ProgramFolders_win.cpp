// Where the program's folders are on Windows (see TK_Workspace.h). The
// executable's folder comes from GetModuleFileNameW. A folder with config/
// beside tarsk.exe is portable (an unpacked zip) unless the installer marked
// it with a file "installed" there (a per-user install is writable, so
// writability cannot tell); an installed copy keeps its configuration in
// %APPDATA%\Tarsk, its cache in %LOCALAPPDATA%\Tarsk and its workspace in
// Documents\Tarsk, all found through the Known Folders API.
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "core/OS_WinText.h"
#include "model/TK_Workspace.h"

namespace {

std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesW(OS_WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(OS_WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// KNOWN\Tarsk; empty when the system has no such folder.
std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) folder = Slashed(OS_Utf8(path)) + "/Tarsk";
    CoTaskMemFree(path);
    return folder;
}

}  // namespace

std::string TK_ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::string folder = Slashed(OS_Utf8(path));
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? "." : folder.substr(0, slash);
}

TK_ProgramFolders TK_FindProgramFolders(const std::string& exeDir, TK_GetEnv) {
    TK_ProgramFolders f;
    f.dataDir = exeDir;
    f.perUser = !IsFolder(exeDir + "/config") || Exists(exeDir + "/installed");
    if (f.perUser) {
        f.configDir = KnownFolder(FOLDERID_RoamingAppData);
        f.cacheDir = KnownFolder(FOLDERID_LocalAppData);
        f.workDir = KnownFolder(FOLDERID_Documents);
    }
    if (f.configDir.empty() || f.workDir.empty()) {
        f.configDir = exeDir + "/config";
        f.workDir = exeDir;
        f.cacheDir.clear();
        f.perUser = false;
    }
    return f;
}

std::string TK_ConfigFile(const std::string& configDir, const std::string& dataDir) {
    const std::string own = configDir + "/config.txt";
    return Exists(own) ? own : dataDir + "/config/config.txt";
}

bool TK_IsAbsolutePath(const std::string& path) {
    const bool drive = path.size() > 2 && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
    return drive || (!path.empty() && (path[0] == '/' || path[0] == '\\'));
}
