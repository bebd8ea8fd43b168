// The workspace: the program directory and the folders below it where models,
// patterns, palettes, exports and the cache live, plus the raster view's
// configurable colours. Defaults come from the program directory; the
// configuration file may override some of them.
#pragma once

#include <cstdint>
#include <string>

// Folder of the running executable, "/" separators, no trailing "/".
std::string TK_ProgramDirectory();

struct TK_Workspace {
    std::string programDir;
    std::string modelFolder;
    std::string importFolder;  // where the import dialog starts
    std::string exportFolder;
    std::string paletteFolder;
    std::string patternFolder;
    std::string cacheFolder;

    uint8_t groundColor[4] = {179, 204, 255, 255};
    uint8_t edgeColor[4] = {255, 51, 102, 255};
    float ambientColor[3] = {0.07f, 0.05f, 0.15f};
    float bgColorBottom[3] = {0.5f, 0.5f, 0.5f};
    float bgColorTop[3] = {0.1f, 0.1f, 0.1f};
    // Seconds a voxel shader may run before "xs" gives up on it.
    double shaderTimeLimit = 5;

    // Every folder at its default below `dir`.
    void SetDefaults(const std::string& dir);

    // A relative path (after backslashes become "/") is taken relative to
    // `folder`; an absolute one is kept.
    static std::string Resolve(const std::string& folder, const std::string& path);
};
