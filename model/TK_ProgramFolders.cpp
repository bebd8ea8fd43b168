// Where the program's folders are on POSIX systems (see TK_Workspace.h):
// the executable from /proc/self/exe, the XDG base folders for an
// installed copy.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "model/TK_Workspace.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Home(TK_GetEnv getEnv) {
    const char* home = getEnv("HOME");
    if (home && home[0] == '/') return home;
    // A service started without HOME still has an account.
    const passwd* account = ::getpwuid(::getuid());
    return account && account->pw_dir ? account->pw_dir : "/";
}

// $VAR/tarsk, or HOME/fallback/tarsk when VAR is not an absolute path (the
// base directory rules ignore relative values).
std::string UserFolder(TK_GetEnv getEnv, const char* var, const char* fallback) {
    const char* value = getEnv(var);
    std::string base = value && value[0] == '/' ? std::string(value) : Home(getEnv) + fallback;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/tarsk";
}

}  // namespace

std::string TK_ProgramDirectory() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, size_t(n));
    std::replace(path.begin(), path.end(), '\\', '/');
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    path.erase(slash);
    return path;
}

TK_ProgramFolders TK_FindProgramFolders(const std::string& exeDir, TK_GetEnv getEnv) {
    if (!getEnv) getEnv = [](const char* name) -> const char* { return std::getenv(name); };
    TK_ProgramFolders f;
    f.dataDir = exeDir;
    const std::string besideConfig = exeDir + "/config";
    const size_t slash = exeDir.rfind('/');
    const bool inBin = slash != std::string::npos && exeDir.compare(slash, std::string::npos, "/bin") == 0;
    const std::string shared = exeDir.substr(0, inBin ? slash : 0) + "/share/tarsk";
    if (IsFolder(besideConfig)) {
        // Root passes any access test; a portable folder is its own either way.
        f.perUser = ::access(besideConfig.c_str(), W_OK) != 0;
    } else if (inBin && IsFolder(shared + "/config")) {
        f.dataDir = shared;
        f.perUser = true;
    }
    if (f.perUser) {
        f.configDir = UserFolder(getEnv, "XDG_CONFIG_HOME", "/.config");
        f.workDir = UserFolder(getEnv, "XDG_DATA_HOME", "/.local/share");
    } else {
        f.configDir = besideConfig;
        f.workDir = exeDir;
    }
    return f;
}

std::string TK_ConfigFile(const std::string& configDir, const std::string& dataDir) {
    // In portable mode both name the same file.
    const std::string own = configDir + "/config.txt";
    return ::access(own.c_str(), F_OK) == 0 ? own : dataDir + "/config/config.txt";
}

bool TK_IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }
