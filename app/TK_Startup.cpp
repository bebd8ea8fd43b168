// Start-up registrations, the document part of the start-up script, and the
// model file steps around a session (see TK_Startup.h).
#include "app/TK_Startup.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/MS_ShaderWorker.h"
#include "core/OMB_Arguments.h"
#include "core/OMB_AtomicFile.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_Process.h"
#include "edit/TK_CMD_Model.h"
#include "edit/TK_Commands.h"
#include "model/TK_Config.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_VoxFile.h"
#include "model/TK_Workspace.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_PluginRegistry.h"
#include "plugins/TK_Plugins.h"

namespace {
constexpr size_t kMaxConfigBytes = 1 << 20;

void MakeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(folder), error);
    if (error) OMB_Printf("[Warning] cannot make folder : %s : %s\n", folder.c_str(), error.message().c_str());
}
}  // namespace

bool TK_PrepareUserFolders(const TK_Workspace& workspace) {
    if (!workspace.perUser) return true;
    // Made at every start, so a removed models folder never fails a save.
    const std::string base = workspace.programDir;
    for (const std::string& folder : {workspace.configDir, base + "/vox", base + "/export", base + "/palette",
                                      base + "/cache"}) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::u8path(folder), error);
        if (error) {
            OMB_Printf("[Error] cannot make folder : %s\n", folder.c_str());
            return false;
        }
    }
    const std::string own = workspace.configDir + "/config.txt";
    std::error_code present;
    if (std::filesystem::exists(std::filesystem::u8path(own), present)) return true;
    // Concurrent first runs each write a whole copy and rename it into place.
    std::vector<uint8_t> shipped;
    if (!TK_ReadFileBytes(workspace.dataDir + "/config/config.txt", kMaxConfigBytes, shipped) ||
        !OMB_WriteFileAtomic(own, shipped.data(), shipped.size())) {
        OMB_Printf("[Error] cannot copy the configuration to : %s\n", own.c_str());
        return false;
    }
    OMB_Printf("[Log] first run : models, exports and palettes go to %s, the configuration to %s\n", base.c_str(),
               workspace.configDir.c_str());
    return true;
}

void TK_SetupEnvironment(TK_EditorEnv& env) {
    // "rand" and "maze" draw from std::rand: each session its own sequence
    // (their commands keep the drawn seed, so redo repeats the result).
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    std::srand(unsigned(uint64_t(now) ^ uint64_t(now) >> 32 ^ uint64_t(OS_ProcessId()) << 16));
    TK_PrepareUserFolders(env.workspace);
    LoadConfig(env.workspace, ConfigPath(env.workspace));
    // The configured folders, made at every start: a copied or unpacked
    // program folder without them still saves and exports.
    const TK_Workspace& folders = env.workspace;
    for (const std::string* folder : {&folders.modelFolder, &folders.exportFolder, &folders.paletteFolder})
        MakeFolder(*folder);
    // The configured colours are the settings' start-up values.
    TK_Settings& s = env.settings;
    std::copy(env.workspace.groundColor, env.workspace.groundColor + 4, s.rasterGround);
    std::copy(env.workspace.groundColor, env.workspace.groundColor + 4, s.ptGround);
    std::copy(env.workspace.edgeColor, env.workspace.edgeColor + 4, s.rasterEdge);
    // Saves killed half-way left their temporary files behind.
    const TK_Workspace& ws = env.workspace;
    for (const std::string* folder : {&ws.modelFolder, &ws.exportFolder, &ws.paletteFolder, &ws.cacheFolder})
        OMB_RemoveStaleTemps(*folder);
    TK_RegisterCommands(env.executor);
    env.plugins = std::make_shared<TK_PluginRegistry>();
    TK_RegisterPlugins(*env.plugins);
    // The shaders run in a worker process of their own, where a time limit
    // can stop one that never ends.
    env.voxelShaders =
        std::make_shared<MS_ShaderWorker>(TK_ProgramDirectory() + "/tarsk", env.workspace.shaderTimeLimit);
}

void TK_RunStartupScript(TK_EditorEnv& env) {
    enum Kind { kAny, kWindow };
    struct Line {
        const char* command;
        std::string text;
        Kind kind;
    };
    const Line lines[] = {
        {"ui_set", OMB_CommandWithArgument("ui_set file root", env.workspace.modelFolder), kWindow},
        {"ui_set", OMB_CommandWithArgument("ui_set file_patt root", env.workspace.patternFolder), kWindow},
        {"set", "set r_show frame 1", kAny},
        {"set", "set b_shape box", kAny},
        {"set", "set b_type erase", kAny},
        {"set", "set b_vox_size 1", kAny},
        {"pal", "pal mac", kAny},
        {"index", "index 79", kAny},
        {"size", "size 45", kAny},
        {"new", "new", kAny},
        {"ui_set", "ui_set scene reset 1", kWindow},
        {"set", "set pt_image 960 800", kAny},
    };
    for (const Line& line : lines) {
        // Window lines need the editor window; the others run everywhere.
        if ((line.kind == kWindow && !env.window) || !env.executor.Find(line.command)) continue;
        // A line that succeeds tells the listeners (history message), so
        // the undo and redo buttons follow from the first line on.
        env.ExecuteText(line.text.c_str());
    }
    env.executor.ClearHistory();
    // The start-up box is no unsaved work: undoing back to it is clean.
    env.executor.MarkSaved();
}

bool TK_OpenModelFile(TK_EditorEnv& env, const std::string& path) {
    TK_Model loaded;
    TK_ModelLook look;
    // "save" writes back here, whatever folder the program runs in later.
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(std::filesystem::u8path(path), error).u8string();
    if (!TK_ReadModelFile(env, path, loaded, look)) return false;
    if (!error) loaded.path = absolute;
    TK_InstallModel(env, loaded, look);
    env.executor.MarkSaved();
    return true;
}
