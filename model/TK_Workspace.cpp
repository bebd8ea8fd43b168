// Program folders and workspace folder defaults (see TK_Workspace.h).
#include "model/TK_Workspace.h"

#include <algorithm>
#include <cstdlib>

const TK_ProgramFolders& TK_Folders() {
    static const TK_ProgramFolders folders = TK_FindProgramFolders(TK_ProgramDirectory());
    return folders;
}

void TK_Workspace::SetDefaults(const std::string& dir) {
    TK_ProgramFolders folders;
    folders.dataDir = folders.workDir = dir;
    folders.configDir = dir + "/config";
    SetDefaults(folders);
}

void TK_Workspace::SetDefaults(const TK_ProgramFolders& folders) {
    programDir = folders.workDir;
    dataDir = folders.dataDir;
    configDir = folders.configDir;
    perUser = folders.perUser;
    const std::string& dir = folders.workDir;
    modelFolder = importFolder = patternFolder = dir + "/vox";
    exportFolder = dir + "/export";
    paletteFolder = dir + "/palette";
    cacheFolder = folders.cacheDir.empty() ? dir + "/cache" : folders.cacheDir;
}

std::string TK_Workspace::Shown(const std::string& path) const {
    const std::string base = programDir + "/";
    if (programDir.empty() || path.compare(0, base.size(), base) != 0 || path.size() == base.size()) return path;
    return path.substr(base.size());
}

std::string TK_Workspace::Resolve(const std::string& folder, const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.empty() || TK_IsAbsolutePath(p)) return p;
    return folder + "/" + p;
}
