// The workspace: where the program reads its shipped files, where it keeps
// its configuration, and the folders where models, patterns, palettes,
// exports and the cache live, plus the raster view's configurable colours.
//
// Two layouts. Portable: a writable config/ beside the binary (a build
// folder, an unpacked archive) makes that folder everything at once, the
// program directory of old. Installed: the binary sits in PREFIX/bin with its
// shipped files in PREFIX/share/tarsk and no config/ beside it (or that
// config/ is read-only); the writable side is then the user's: the
// configuration in $XDG_CONFIG_HOME/tarsk, the workspace folders in
// $XDG_DATA_HOME/tarsk. The rule not to break: nothing is written below the
// data folder of an installed copy.
#pragma once

#include <cstdint>
#include <string>

// Folder of the running executable, "/" separators, no trailing "/".
std::string TK_ProgramDirectory();

// The three roots of a run; in portable mode data and work are the program
// directory and config is its config/ folder.
struct TK_ProgramFolders {
    std::string dataDir;    // shipped, read only: config/ (editor.ui, font, defaults), shader/
    std::string configDir;  // config.txt and the camera slot files
    std::string workDir;    // base of the default workspace folders and of "$" in folder values
    std::string cacheDir;   // empty: workDir/cache
    bool perUser = false;   // installed: config and work are the user's own folders
};

// Environment lookups, injectable for tests; getenv by default.
using TK_GetEnv = const char* (*)(const char* name);

// Decides the layout for a binary in `exeDir` (see the file comment). XDG
// variables that are unset, empty or relative fall back to HOME's defaults.
TK_ProgramFolders TK_FindProgramFolders(const std::string& exeDir, TK_GetEnv getEnv = nullptr);
// The folders of this process, decided once from the executable's path.
const TK_ProgramFolders& TK_Folders();
// The configuration file to read: the one in `configDir` when it exists,
// else the shipped defaults below `dataDir`.
std::string TK_ConfigFile(const std::string& configDir, const std::string& dataDir);
// The same for this process's folders (the plugins' own sections).
inline std::string TK_ConfigFile() { return TK_ConfigFile(TK_Folders().configDir, TK_Folders().dataDir); }

// Whether `path` ("/" separators) is absolute: "/..." on POSIX; "C:/...",
// "//server/..." or "/..." on Windows.
bool TK_IsAbsolutePath(const std::string& path);

struct TK_Workspace {
    std::string programDir;  // the work folder: "$" and the defaults below
    std::string dataDir;
    std::string configDir;
    std::string modelFolder;
    std::string importFolder;  // where the import dialog starts
    std::string exportFolder;
    std::string paletteFolder;
    std::string patternFolder;
    std::string cacheFolder;
    bool perUser = false;  // installed: configuration and work folders are the user's

    uint8_t groundColor[4] = {179, 204, 255, 255};
    uint8_t edgeColor[4] = {255, 51, 102, 255};
    float ambientColor[3] = {0.07f, 0.05f, 0.15f};
    float bgColorBottom[3] = {0.5f, 0.5f, 0.5f};
    float bgColorTop[3] = {0.1f, 0.1f, 0.1f};
    // Files are chosen with the editor's own dialog even where zenity or
    // kdialog exists (config "workspace" "file_dialog" = 'own').
    bool ownFileDialog = false;
    // Device pixels per unit of the user interface, 1 to 3 in quarter
    // steps; 0 takes the display's own scale (config "ui_scale" = 'auto').
    float uiScale = 0;
    // Seconds a voxel shader may run before "xs" gives up on it.
    double shaderTimeLimit = 5;

    // Every folder at its default below `dir`, a portable program directory.
    void SetDefaults(const std::string& dir);
    // Every folder at its default for the given roots.
    void SetDefaults(const TK_ProgramFolders& folders);

    // A relative path (after backslashes become "/") is taken relative to
    // `folder`; an absolute one is kept.
    static std::string Resolve(const std::string& folder, const std::string& path);
    // `path` as messages show it: relative to the work folder when inside it
    // ("vox/lantern.vox"), else whole.
    std::string Shown(const std::string& path) const;
};
