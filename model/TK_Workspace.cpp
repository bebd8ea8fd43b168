// Program directory and workspace folder defaults (see TK_Workspace.h).
#include "model/TK_Workspace.h"

#include <unistd.h>

#include <algorithm>

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

void TK_Workspace::SetDefaults(const std::string& dir) {
    programDir = dir;
    modelFolder = importFolder = patternFolder = dir + "/vox";
    exportFolder = dir + "/export";
    paletteFolder = dir + "/palette";
    cacheFolder = dir + "/cache";
}

std::string TK_Workspace::Resolve(const std::string& folder, const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty() || p[0] == '/') return p;
    return folder + "/" + p;
}
