// Path handling, file dialogs and whole-model snapshots shared by the model
// file commands (see TK_CMD_Model.h).
#include "edit/TK_CMD_Model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/OMB_Arguments.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_FileDialog.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"
#include "plugins/TK_PluginRegistry.h"

bool TK_CMD_Model::Parse(const char* args) {
    m_path = OMB_PathArgument(args);
    return true;
}

std::string TK_CMD_Model::ResolveModelPath(const std::string& path) const {
    return TK_Workspace::Resolve(m_env->workspace.modelFolder, path);
}

std::string TK_CMD_Model::ModelFilePath() const {
    const TK_Model& model = m_env->model;
    if (!model.path.empty()) return model.path;
    return model.name.empty() ? std::string() : ResolveModelPath(model.name);
}

bool TK_CMD_Model::ChoosePath(bool save, const std::string& defaultName, std::string& path) const {
    OS_FileRequest choice;
    choice.save = save;
    choice.title = save ? "Save Model" : "Open Model";
    choice.folder = m_env->workspace.modelFolder;
    choice.name = defaultName;
    choice.command = save ? "save" : "open";
    return ChooseFile(m_path, choice, path);
}

bool TK_CMD_Model::ChooseFile(const std::string& typed, const OS_FileRequest& choice, std::string& path) const {
    const std::string& base = choice.base.empty() ? m_env->workspace.modelFolder : choice.base;
    if (!typed.empty()) {
        path = TK_Workspace::Resolve(base, typed);
        return true;
    }
    // The window's own dialog serves when no helper program exists or the
    // configuration asks for it; it never blocks: it runs the line again.
    const bool own = m_env->workspace.ownFileDialog || !OS_FileDialog::HasHelper();
    if (own && !m_env->headless && m_env->window && !choice.command.empty() && m_env->window->AskForFile(choice)) {
        m_asked = true;
        return false;
    }
    OS_FileRequest request = choice;
    request.headless = m_env->headless;
    std::string chosen;
    if (!OS_FileDialog::Run(request, chosen)) return false;
    path = TK_Workspace::Resolve(base, chosen);
    return true;
}

bool TK_CMD_Model::NotChosen(const char* message) const {
    if (m_asked) return true;
    OMB_Printf("[Error] %s\n", message);
    return false;
}

std::string TK_CMD_Model::FileName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TK_CMD_Model::Extension(const std::string& path) {
    const std::string name = FileName(path);
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

const TK_PluginEntry* TK_CMD_Model::FindPlugin(const std::string& key) const {
    return m_env->plugins ? m_env->plugins->Find(key) : nullptr;
}

std::unique_ptr<TK_Plugin> TK_CMD_Model::CreatePlugin(const std::string& key) const {
    if (m_env->plugins) return m_env->plugins->Create(key);
    OMB_Printf("[Error] failed to load plugin : %s\n", key.c_str());
    return nullptr;
}

bool TK_ReadModelFile(const TK_EditorEnv& env, const std::string& path, TK_Model& model, TK_ModelLook& look) {
    OMB_ClearCause();
    if (!ReadVox(model, path.c_str(), &look)) {
        const std::string why = OMB_TakeCause();
        OMB_Printf("[Error] %s%s%s\n", "failed to load model : ", path.c_str(), why.c_str());
        OMB_SetCause("cannot read " + env.workspace.Shown(path) + (why.empty() ? "" : ": " + why.substr(3)));
        return false;
    }
    model.name = std::filesystem::u8path(path).filename().u8string();
    model.path = path;
    if (model.kept && !model.kept->protect.empty())
        OMB_Printf("[Warning] open : %s : %s\n", path.c_str(), model.kept->protect.c_str());
    TK_FitModel(env, model);
    if (model.kept && model.kept->modelCount > 1)
        OMB_Printf("[Log] open : %s (\"open #N\" edits another)\n", model.kept->Label().c_str());
    return true;
}

void TK_FitModel(const TK_EditorEnv& env, TK_Model& model) {
    const int read[3] = {model.size[0], model.size[1], model.size[2]};
    model.NormalizeModel(env.maxModelSize, env.currentColorIndex);
    bool cut = false;
    for (int a = 0; a < 3; ++a) cut = cut || read[a] > model.size[a];
    if (!cut || model.path.empty()) return;
    char size[64];
    std::snprintf(size, sizeof size, "%d x %d x %d", read[0], read[1], read[2]);
    const int* limit = env.maxModelSize;
    OMB_Printf("[Warning] open : %s holds a model of %s cells, larger than %d x %d x %d: the part that fits is "
               "shown, and \"save\" keeps the file: save it under another name\n",
               model.path.c_str(), size, limit[0], limit[1], limit[2]);
    auto kept = std::make_shared<TK_VoxKept>(model.kept ? *model.kept : TK_VoxKept());
    kept->source = model.path;
    kept->protect = "the model was cut from " + std::string(size) + " cells to fit: save it under another name";
    model.kept = std::move(kept);
}

void TK_InstallModel(TK_EditorEnv& env, TK_Model& loaded, const TK_ModelLook& look) {
    TK_Model& model = env.model;
    model.name = loaded.name;
    model.path = loaded.path;
    std::copy(loaded.size, loaded.size + 3, model.size);
    // Move-assignment keeps the environment's own grow step.
    model.voxels = std::move(loaded.voxels);
    model.palette = loaded.palette;
    model.kept = loaded.kept;
    env.ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_NAME | TK_CHANGE_SIZE | TK_CHANGE_TRIM | TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
    look.Install(env);
}

bool TK_SamePath(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(fs::u8path(a), ea), cb = fs::weakly_canonical(fs::u8path(b), eb);
    if (ea || eb) return fs::u8path(a).lexically_normal() == fs::u8path(b).lexically_normal();
    return ca == cb;
}

void TK_WriteCacheCopy(const TK_EditorEnv& env) {
    if (!env.writesCacheCopy) return;
    OMB_Printf("Cache Model\n");
    const std::string& folder = env.workspace.cacheFolder;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(folder), error);
    // Not "backup.vox": that is the quit backups' newest, which an export
    // must never replace.
    const std::string path = folder + "/cache.vox";
    TK_ModelLook look;
    look.Capture(env);
    if (!WriteVox(env.model, path.c_str(), &look))
        OMB_Printf("[Warning] failed to write the cache copy : %s\n", path.c_str());
}

void TK_CMD_Model::WriteCacheCopy() const { TK_WriteCacheCopy(*m_env); }

void TK_CMD_Model::Replace(TK_Model after, int modelFlags, bool paletteChanged, const TK_ModelLook* look) {
    m_before = std::make_unique<TK_Model>(m_env->model);
    m_after = std::make_unique<TK_Model>(std::move(after));
    if (look) {
        m_lookBefore = std::make_unique<TK_ModelLook>();
        m_lookBefore->Capture(*m_env);
        m_lookAfter = std::make_unique<TK_ModelLook>(*look);
    }
    m_modelFlags = modelFlags;
    m_paletteChanged = paletteChanged;
    Install(*m_after, m_lookAfter.get());
}

void TK_CMD_Model::Install(const TK_Model& snapshot, const TK_ModelLook* look) {
    TK_Model& model = m_env->model;
    model.name = snapshot.name;
    model.path = snapshot.path;
    std::memcpy(model.size, snapshot.size, sizeof model.size);
    model.voxels = snapshot.voxels;  // keeps the environment's grow step
    model.palette = snapshot.palette;
    model.kept = snapshot.kept;
    // The palette first: the model's message then says whether what is
    // shown is what its file holds.
    if (m_paletteChanged) m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, m_modelFlags);
    if (look) look->Install(*m_env);
}
