// The model file commands (see TK_ModelFileCommands.h). Loads are read into
// a fresh model and normalised before they replace the current one, so a
// failed load leaves the document as it was; file operations never replace
// an existing file other than the one the command names.
#include "edit/TK_ModelFileCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "core/OS_Trash.h"
#include "edit/TK_CommandArgs.h"
#include "model/TK_WindowLink.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"

namespace {

// Name, size, voxels, trim/re-centre, voxel colours.
constexpr int kOpenFlags = TK_CHANGE_NAME | TK_CHANGE_SIZE | TK_CHANGE_TRIM | TK_CHANGE_VOXELS | TK_CHANGE_COLORS;
// Name, file lists, and 16 (the model was written).
constexpr int kSaveFlags = TK_CHANGE_NAME | TK_CHANGE_FILES | TK_CHANGE_SAVED;
constexpr int kNameFlag = TK_CHANGE_NAME;
constexpr int kNewFlags = TK_CHANGE_NAME | TK_CHANGE_SIZE | TK_CHANGE_VOXELS;
// Name and file lists.
constexpr int kFileFlags = TK_CHANGE_NAME | TK_CHANGE_FILES;
constexpr int kFileListFlag = TK_CHANGE_FILES;

bool IsFullOf(const TK_Model& model, int color) {
    if (model.voxels.Count() != model.CellCount()) return false;
    for (const Voxel& v : model.voxels)
        if (v.colorIndex != color) return false;
    return true;
}

// Every cell of the box, z outermost and x innermost.
void FillBox(TK_Model& model, int color) {
    model.voxels.Resize(model.CellCount());
    Voxel* out = model.voxels.Data();
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < model.size[1]; ++y)
            for (int x = 0; x < model.size[0]; ++x) *out++ = Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(color)};
}

}  // namespace

// ---------------------------------------------------------------- open

bool TK_CMD_LoadPath::Execute() {
    if (!m_path.empty() && m_path[0] == '#') return SwitchModel(m_path.substr(1));
    std::string path;
    // No path from the dialog (cancelled, or none could be shown): the
    // command did nothing and must not report success.
    if (!ChoosePath(false, std::string(), path)) return NotChosen("failed to get model name");
    const std::string current = ModelFilePath();
    if (!current.empty() && TK_SamePath(path, current)) return true;
    TK_Model loaded;
    // A file without materials or scene settings brings the defaults: the
    // model looks as it did when it was saved, not as the last one did.
    TK_ModelLook look;
    if (!TK_ReadModelFile(*m_env, path, loaded, look)) return false;
    Replace(std::move(loaded), kOpenFlags, true, &look);
    m_env->executor.MarkSaved();
    return true;
}

// The edited model's chunks in its kept record: its file's bytes while it is
// what they hold (cut to fit, say), else its own.
std::shared_ptr<TK_VoxKept> TK_CMD_LoadPath::KeepCurrent() const {
    const TK_Model& model = m_env->model;
    auto kept = std::make_shared<TK_VoxKept>(*model.kept);
    TK_Model original;
    TK_VoxKeptModel(*kept, kept->current, original);
    original.NormalizeModel(m_env->maxModelSize, m_env->currentColorIndex);
    if (std::equal(model.size, model.size + 3, original.size) && model.voxels.Count() == original.voxels.Count() &&
        std::equal(model.voxels.begin(), model.voxels.end(), original.voxels.begin()))
        return kept;
    for (TK_VoxKept::Chunk& c : kept->chunks) {
        if (c.model != kept->current) continue;
        c.bytes.clear();
        TK_PutVoxModelChunk(c.bytes, c.id, model);
    }
    return kept;
}

// "open #N": model N of the file (1-based); "open #" lists them.
bool TK_CMD_LoadPath::SwitchModel(const std::string& which) {
    const TK_Model& model = m_env->model;
    const int count = model.kept ? model.kept->modelCount : 1;
    if (count < 2 || !model.kept->HasChunks()) {
        OMB_Printf("[Error] open : %s holds one model\n", model.name.empty() ? "the model's file" : model.name.c_str());
        return false;
    }
    if (which.empty()) {
        for (int k = 0; k < count; ++k)
            OMB_Printf("%s%s\n", model.kept->Label(k).c_str(), k == model.kept->current ? " *" : "");
        return true;
    }
    char* end = nullptr;
    const long n = std::strtol(which.c_str(), &end, 10);
    if (*end || n < 1 || n > count) {
        OMB_Printf("[Error] open : no model %s in %s, which holds %d\n", which.c_str(), model.name.c_str(), count);
        return false;
    }
    if (n - 1 == model.kept->current) return true;
    // Each model is saved before another is edited: the history and the
    // unsaved mark then speak of one model at a time.
    if (m_env->unsaved) {
        OMB_Printf("[Error] open : %s has unsaved changes: save them (or undo them) first\n",
                   model.kept->Label().c_str());
        return false;
    }
    std::shared_ptr<TK_VoxKept> kept = KeepCurrent();
    kept->current = int(n - 1);
    TK_Model next;
    TK_VoxKeptModel(*kept, kept->current, next);
    next.name = model.name;
    next.path = model.path;
    next.palette = model.palette;
    next.kept = kept;
    TK_FitModel(*m_env, next);
    Replace(std::move(next), kOpenFlags, false);
    OMB_Printf("[Log] open : %s\n", m_env->model.kept->Label().c_str());
    return true;
}

// ---------------------------------------------------------------- recover

bool TK_CMD_Recover::Execute() {
    TK_Model recovered;
    TK_ModelLook look;
    std::string keptAs;
    if (!m_env->window) {
        OMB_Printf("[Error] recover : no window\n");
        return false;
    }
    if (!m_env->window->ClaimRecovery(recovered, look, keptAs)) return false;
    recovered.NormalizeModel(m_env->maxModelSize, m_env->currentColorIndex);
    Replace(std::move(recovered), kOpenFlags, true, &look);
    MarkUnsaved();
    OMB_Printf("recovered unsaved work, kept as %s\n", keptAs.c_str());
    return true;
}

void TK_CMD_Recover::Redo() {
    RedoReplace();
    MarkUnsaved();
}

// What it holds is in no file the model is bound to.
void TK_CMD_Recover::MarkUnsaved() {
    m_env->unsaved = true;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_NAME);
}

// ---------------------------------------------------------------- save

bool TK_CMD_SaveModel::Execute() {
    TK_Model& model = m_env->model;
    std::string path = m_path.empty() && !m_saveAs ? ModelFilePath() : std::string();
    if (path.empty()) ChoosePath(true, model.name.empty() ? "untitled" : model.name, path);
    if (Asked()) return true;
    TK_ModelLook look;
    look.Capture(*m_env);
    errno = 0;
    OMB_ClearCause();
    if (path.empty() || !WriteVox(model, path.c_str(), &look)) {
        // The system's reason (a missing or read-only folder, a name too
        // long) tells the user what to change.
        const int cause = path.empty() ? 0 : errno;
        if (!cause && OMB_HasCause())
            OMB_Printf("[Error] failed to save model : %s%s\n", path.c_str(), OMB_TakeCause().c_str());
        else if (cause)
            OMB_Printf("[Error] failed to save model : %s (%s)\n", path.c_str(), std::strerror(cause));
        else
            OMB_Printf("[Error] %s%s\n", "failed to save model : ", path.c_str());
        if (cause) OMB_SetCause("cannot write " + m_env->workspace.Shown(path) + ": " + OMB_WriteFailure(cause));
        return false;
    }
    m_saved = true;
    model.name = FileName(path);
    model.path = path;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kSaveFlags);
    m_env->executor.MarkSaved(true);
    OMB_Printf("saved %s\n", m_env->workspace.Shown(path).c_str());
    return true;
}

bool TK_CMD_SaveModel::Parse(const char* args) {
    TK_CMD_Model::Parse(args);
    // "save as" (Ctrl+Shift+S) always asks, even for a model with a file.
    m_saveAs = m_path == "as";
    if (m_saveAs) m_path.clear();
    return true;
}

// ---------------------------------------------------------------- new

bool TK_CMD_NewModel::Execute() {
    const TK_Model& current = m_env->model;
    const int color = m_env->currentColorIndex;
    if (!TK_IsPaletteIndex(color)) return false;
    TK_ModelLook look;
    look.Capture(*m_env);
    if (current.name.empty() && IsFullOf(current, color) && look.IsDefault()) return false;
    TK_Model box;
    for (int a = 0; a < 3; ++a) box.size[a] = current.size[a];
    box.palette = current.palette;
    FillBox(box, color);
    // A new model starts with the default materials and scene, as a file
    // without them opens.
    const TK_ModelLook defaults;
    Replace(std::move(box), kNewFlags, false, &defaults);
    return true;
}

// ---------------------------------------------------------------- dup

bool TK_CMD_DupModel::Execute() {
    std::string name = m_path;
    if (name.empty()) {
        OS_FileRequest choice;
        choice.save = true;
        choice.title = "Duplicate Model";
        choice.folder = m_env->workspace.modelFolder;
        choice.name = m_env->model.name.empty() ? "untitled" : FileName(m_env->model.name);
        std::string chosen;
        if (ChooseFile(std::string(), choice, chosen)) name = FileName(chosen);
    }
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty()) {
        OMB_Printf("[Error] %s\n", "failed to duplicate model : new name is empty");
        return false;
    }
    // The copy belongs in the models folder: a path could aim the next
    // "save" and "del" anywhere.
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        OMB_Printf("[Error] failed to duplicate model : a name, not a path : %s\n", name.c_str());
        return false;
    }
    m_oldName = m_env->model.name;
    m_oldPath = m_env->model.path;
    m_newName = name;
    Redo();
    return true;
}

void TK_CMD_DupModel::Undo() {
    m_env->model.name = m_oldName;
    m_env->model.path = m_oldPath;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kNameFlag);
}

// The copy lives in the models folder, under its name.
void TK_CMD_DupModel::Redo() {
    m_env->model.name = m_newName;
    m_env->model.path.clear();
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kNameFlag);
}

// ---------------------------------------------------------------- name

bool TK_CMD_RenameModel::Execute() {
    namespace fs = std::filesystem;
    const std::string newFile = FileName(m_path);
    if (newFile.empty()) {
        OMB_Printf("[Error] %s\n", "failed to rename model : new name is empty");
        return false;
    }
    // A folder would be dropped without a word: the file is renamed where
    // it is, never moved.
    if (m_path.find_first_of("/\\") != std::string::npos) {
        OMB_Printf("[Error] failed to rename model : a name, not a path (\"save PATH\" writes elsewhere) : %s\n",
                   m_path.c_str());
        return false;
    }
    m_oldName = m_env->model.name;
    m_oldModelPath = m_env->model.path;
    if (m_oldName.empty()) {
        // No file yet: nothing to rename, the name is what "save" will write.
        m_newName = m_path;
        std::replace(m_newName.begin(), m_newName.end(), '\\', '/');
        SetName(m_newName, m_oldModelPath);
        return true;
    }
    const fs::path source = fs::u8path(ModelFilePath());
    std::error_code error;
    if (!fs::is_directory(source.parent_path(), error)) {
        OMB_Printf("[Error] %s%s\n", "failed to rename model : src folder is unknown : ", m_oldName.c_str());
        return false;
    }
    const size_t slash = m_oldName.find_last_of('/');
    m_newName = (slash == std::string::npos ? std::string() : m_oldName.substr(0, slash + 1)) + newFile;
    m_oldPath = source.u8string();
    m_newPath = (source.parent_path() / fs::u8path(newFile)).u8string();
    OMB_ClearCause();
    if (!RenameFile(m_oldPath, m_newPath)) {
        OMB_Printf("[Error] %s%s%s%s%s\n", "failed to rename model from : ", m_oldPath.c_str(), " to : ",
                   m_newPath.c_str(), OMB_TakeCause().c_str());
        return false;
    }
    // A model that remembers its file follows it; one known by name stays so.
    m_newModelPath = m_oldModelPath.empty() ? std::string() : m_newPath;
    SetName(m_newName, m_newModelPath);
    return true;
}

// Refuses to replace an existing file: a rename must never lose a model.
bool TK_CMD_RenameModel::RenameFile(const std::string& from, const std::string& to) const {
    namespace fs = std::filesystem;
    std::error_code error;
    if (from == to) return fs::exists(fs::u8path(from), error);
    if (fs::exists(fs::symlink_status(fs::u8path(to), error))) {
        OMB_SetCause("a file of that name exists");
        return false;
    }
    fs::rename(fs::u8path(from), fs::u8path(to), error);
    if (error) OMB_SetCause(error.message());
    return !error;
}

void TK_CMD_RenameModel::SetName(const std::string& name, const std::string& modelPath) {
    m_env->model.name = name;
    m_env->model.path = modelPath;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kFileFlags);
}

void TK_CMD_RenameModel::Undo() {
    if (!m_oldPath.empty() && !RenameFile(m_newPath, m_oldPath)) OMB_Printf("[Warning] %s\n", "failed to undo rename");
    SetName(m_oldName, m_oldModelPath);
}

void TK_CMD_RenameModel::Redo() {
    if (!m_oldPath.empty() && !RenameFile(m_oldPath, m_newPath)) OMB_Printf("[Warning] %s\n", "failed to redo rename");
    SetName(m_newName, m_newModelPath);
}

// ---------------------------------------------------------------- del

bool TK_CMD_DeleteModel::Execute() {
    const std::string& name = m_env->model.name;
    if (name.empty()) {
        OMB_Printf("[Error] %s\n", "failed to delete model : name is empty");
        return false;
    }
    // Only the model's own file, and only when it is a model file: a name
    // or path set by hand must not trash anything else.
    std::error_code error;
    const std::string path = std::filesystem::absolute(std::filesystem::u8path(ModelFilePath()), error).lexically_normal().u8string();
    if (std::filesystem::exists(std::filesystem::u8path(path), error) && !FileHasVoxMagic(path.c_str())) {
        OMB_Printf("[Error] failed to delete model : not a model file : %s\n", path.c_str());
        return false;
    }
    std::string where;
    if (!OS_Trash::MoveToTrash(path, m_env->workspace.cacheFolder + "/trash", &where)) {
        OMB_Printf("[Error] %s%s\n", "failed to delete model : ", name.c_str());
        return false;
    }
    OMB_Printf("[Log] model moved to the trash : %s\n", where.c_str());
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kFileListFlag);
    return true;
}

// ---------------------------------------------------------------- ipatt

bool TK_CMD_LoadPattern::Execute() {
    OS_FileRequest choice;
    choice.title = "Open Pattern";
    choice.folder = m_env->workspace.patternFolder;
    choice.command = "ipatt";
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return NotChosen("failed to get pattern name");
    TK_Model pattern;
    if (!ReadVox(pattern, path.c_str())) {
        OMB_Printf("[Error] %s\n", "failed to load pattern model");
        m_env->patternModel = TK_Model();
        return false;
    }
    pattern.NormalizeModel(m_env->maxModelSize, m_env->currentColorIndex);
    pattern.name = FileName(path);
    m_env->patternModel = std::move(pattern);
    if (m_env->window) m_env->window->SetViewAttribute("file_patt", "selected", m_env->patternModel.name);
    return true;
}
