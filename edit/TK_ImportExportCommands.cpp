// Import and export through the format plugins (see TK_ImportExportCommands.h).
// Every plugin writes through a temporary file renamed into place, so a
// failed export never damages a file that was already there.
#include "edit/TK_ImportExportCommands.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/OMB_Arguments.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"
#include "model/TK_VoxFile.h"
#include "model/TK_WindowLink.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_PluginRegistry.h"
#include "plugins/TK_Plugin_Bake.h"
#include "plugins/TK_Plugin_VOX.h"

namespace fs = std::filesystem;

namespace {

// Name, size, trim/re-centre, voxels and their colours.
constexpr int kImportFlags = TK_CHANGE_NAME | TK_CHANGE_SIZE | TK_CHANGE_TRIM | TK_CHANGE_VOXELS | TK_CHANGE_COLORS;

bool Fail(const char* message, const std::string& detail = std::string()) {
    OMB_Printf("[Error] %s%s\n", message, detail.c_str());
    return false;
}

// A file operation's failure, with the reason the system or the format gave.
bool FailWithCause(const char* message, const std::string& path) {
    OMB_Printf("[Error] %s%s%s\n", message, path.c_str(), OMB_TakeCause().c_str());
    return false;
}

std::string BaseNameOr(const TK_Model& model, const char* fallback) {
    const std::string base = model.ModelBaseName();
    return base.empty() ? fallback : base;
}

// The ".vox" files of a folder in name order; empty when it cannot be read.
std::vector<std::string> ListModels(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end; it.increment(error)) {
        std::string ext = it->path().extension().u8string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (ext == ".vox" && it->is_regular_file(error)) files.push_back(it->path().generic_u8string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The description of the palette image formats, which "o" does not offer.
constexpr const char* kPaletteFormat = "Palette";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(fs::u8path(a), fs::u8path(b), error);
}

}  // namespace

// ---------------------------------------------------------------- i

bool TK_CMD_ImportModel::Execute() {
    OS_FileRequest choice;
    choice.title = "Import Model";
    choice.filter = "All Files (*.*)";
    choice.folder = m_env->workspace.importFolder;
    choice.command = "i";
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return NotChosen("failed to get model name");
    OMB_Printf("[%s]\n", path.c_str());
    std::unique_ptr<TK_Plugin> plugin = CreatePlugin(Extension(path));
    if (!plugin) return false;
    TK_Model model;
    if (!ReadWith(*plugin, path, model)) return false;
    model.NormalizeModel(m_env->maxModelSize, m_env->currentColorIndex);
    model.name.clear();
    Replace(std::move(model), kImportFlags, true);
    return true;
}

// The model reader first, then the picture route.
bool TK_CMD_ImportModel::ReadWith(TK_Plugin& plugin, const std::string& path, TK_Model& model) const {
    if (plugin.LoadModel(path, std::string(), model)) return true;
    Image image;
    if (!plugin.LoadImage(path, std::string(), image)) return Fail("failed to import model or image : ", path);
    if (image.Empty()) return Fail("empty image : ", path);
    model = TK_Model();
    model.palette = m_env->model.palette;
    return ImageToModel(image, model) || Fail("failed to import model or image : ", path);
}

// ---------------------------------------------------------------- o

bool TK_CMD_ExportModel::Parse(const char* args) {
    std::vector<std::string> words;
    if (!OMB_SplitArguments(args, words) || words.size() > 3) return false;
    m_overwrite = words.size() > 2 && words.back() == kOverwriteWord;
    if (m_overwrite) words.pop_back();
    if (words.size() > 2) return false;
    m_format = words.empty() ? std::string() : words[0];
    m_path = words.size() > 1 ? words[1] : std::string();
    return true;
}

// "o NAME.EXT" names the file: the format is the one written with EXT.
void TK_CMD_ExportModel::FormatFromPath() {
    if (!m_path.empty() || FindPlugin(m_format) || Extension(m_format).empty() || !m_env->plugins) return;
    const std::string ext = Extension(m_format);
    const TK_PluginEntry* entry = FindPlugin(ext);
    for (const TK_PluginEntry& e : m_env->plugins->Entries())
        if (!entry && e.extension == ext) entry = &e;
    if (!entry) return;
    m_path = m_format;
    m_format = entry->key;
}

// Without a format the dialog offers every model format; the chosen name's
// extension then picks the format.
bool TK_CMD_ExportModel::AskForFormat() {
    OS_FileRequest choice;
    choice.save = true;
    choice.title = "Export Model";
    choice.folder = m_env->workspace.exportFolder;
    choice.base = m_env->workspace.exportFolder;
    choice.name = BaseNameOr(m_env->model, "untitled") + ".obj";
    choice.command = "o";
    choice.filter.clear();
    if (m_env->plugins)
        for (const TK_PluginEntry& e : m_env->plugins->Entries())
            if (e.description != kPaletteFormat) choice.filter += (choice.filter.empty() ? "" : " ") + e.Filter();
    std::string path;
    if (ChooseFile(std::string(), choice, path)) {
        m_format = path;
        FormatFromPath();
        return !m_path.empty() || Fail("cannot find plugin : ", Extension(path));
    }
    return NotChosen("failed to get export name");
}

bool TK_CMD_ExportModel::MayReplace(const std::string& path) const {
    if (m_overwrite) return true;
    const std::string own = ModelFilePath();
    if (!own.empty() && TK_SamePath(path, own))
        return Fail("export would replace the model's own file (add \"overwrite\" to replace it) : ", path);
    if (m_format != "vox" && FileHasVoxMagic(path.c_str()))
        return Fail("export would replace a model file with another format (add \"overwrite\" to replace it) : ", path);
    return true;
}

bool TK_CMD_ExportModel::Execute() {
    const TK_Model& model = m_env->model;
    if (model.voxels.Empty()) return Fail("export model is empty");
    if (m_format.empty()) {
        if (!AskForFormat()) return false;
        if (Asked()) return true;
    }
    FormatFromPath();
    std::unique_ptr<TK_Plugin> plugin = CreatePlugin(m_format);
    if (!plugin) return false;
    std::string path;
    if (!ChooseTarget(*FindPlugin(m_format), path)) return NotChosen("failed to get export name");
    if (!MayReplace(path)) return false;
    TK_ModelLook look;
    look.Capture(*m_env);
    plugin->SetLook(&look);
    WriteCacheCopy();
    OMB_ClearCause();
    if (!plugin->SaveModel(path, std::string(), model)) return FailWithCause("failed to export model : ", path);
    OMB_Printf("[Log] export : %s\n", path.c_str());
    return true;
}

// A typed path gets the format's extension when it has another one.
bool TK_CMD_ExportModel::ChooseTarget(const TK_PluginEntry& entry, std::string& path) const {
    OS_FileRequest choice;
    choice.save = true;
    choice.title = "Export Model";
    choice.filter = entry.Filter();
    choice.folder = m_env->workspace.exportFolder;
    choice.name = BaseNameOr(m_env->model, "untitled") + "." + entry.extension;
    choice.base = m_env->workspace.exportFolder;
    choice.command = "o " + m_format;
    if (!ChooseFile(m_path, choice, path)) return false;
    if (Extension(path) != entry.extension) path += "." + entry.extension;
    return true;
}

// ---------------------------------------------------------------- odir

bool TK_CMD_ExportDir::Parse(const char* args) {
    std::vector<std::string> words;
    if (!OMB_SplitArguments(args, words) || words.size() > 3) return false;
    words.resize(3);
    m_format = words[0], m_folder = words[1], m_out = words[2];
    return true;
}

bool TK_CMD_ExportDir::SourceFolder(std::string& folder) const {
    if (!m_folder.empty()) {
        folder = ResolveModelPath(m_folder);
        return true;
    }
    if (!m_env->window) {
        folder = m_env->workspace.modelFolder;
        return true;
    }
    return m_env->window->FileListFolder(folder);
}

bool TK_CMD_ExportDir::Execute() {
    std::string folder;
    if (!SourceFolder(folder)) return Fail("no file list view");
    const std::vector<std::string> files = ListModels(folder);
    if (files.empty()) return Fail("empty file list");
    const TK_PluginEntry* entry = FindPlugin(m_format);
    if (!entry) return Fail("cannot find plugin : ", m_format);
    const std::string& exports = m_env->workspace.exportFolder;
    const std::string out = m_out.empty() ? exports : TK_Workspace::Resolve(exports, m_out);
    std::error_code error;
    fs::create_directories(fs::u8path(out), error);
    bool allDone = true;
    for (const std::string& file : files) allDone = ConvertOne(*entry, file, out) && allDone;
    return allDone;
}

bool TK_CMD_ExportDir::ConvertOne(const TK_PluginEntry& entry, const std::string& source,
                                  const std::string& outFolder) const {
    TK_Model model;
    TK_ModelLook look;
    OMB_ClearCause();
    if (!TK_Plugin_VOX::Load(source, model, &look)) {
        OMB_Printf("[Error] [Export] failed to load model : %s%s\n", source.c_str(), OMB_TakeCause().c_str());
        return false;
    }
    model.NormalizeModel(m_env->maxModelSize, m_env->currentColorIndex);
    model.name = FileName(source);
    const std::string target = outFolder + "/" + model.ModelBaseName() + "." + entry.extension;
    // Converting a folder into itself must not write over its own sources.
    // Each model keeps its own materials and scene settings.
    std::unique_ptr<TK_Plugin> plugin = entry.factory();
    plugin->SetLook(&look);
    OMB_ClearCause();
    const bool same = SameFile(source, target);
    if (same) OMB_SetCause("the source itself");
    if (same || !plugin->SaveModel(target, std::string(), model)) {
        OMB_Printf("[Error] [Export] failed to export model : %s%s\n", target.c_str(), OMB_TakeCause().c_str());
        return false;
    }
    OMB_Printf("[Export] %s\n", target.c_str());
    return true;
}

// ---------------------------------------------------------------- ipal

bool TK_CMD_ImportPalette::Execute() {
    OS_FileRequest choice;
    choice.title = "Import Palette";
    choice.filter = "PNG (*.png)";
    choice.folder = choice.base = m_env->workspace.paletteFolder;
    choice.command = "ipal";
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return NotChosen("failed to get palette name");
    std::unique_ptr<TK_Plugin> plugin = CreatePlugin(Extension(path));
    if (!plugin) return false;
    Image image;
    if (!plugin->LoadImage(path, std::string(), image)) return Fail("failed to import image : ", path);
    Palette palette = m_env->model.palette;
    const bool manyColours = int64_t(image.width) * image.height > 256;
    if (!ImageToPalette(image, palette, manyColours)) return Fail("failed to convert image to palette");
    palette[0] = 0;
    for (int i = 1; i < 256; ++i) palette[i] |= 0xFF000000u;
    if (std::equal(palette.entries + 1, palette.entries + 256, m_env->model.palette.entries + 1))
        return Fail("same palette");
    m_other = palette;
    Exchange();
    return true;
}

void TK_CMD_ImportPalette::Exchange() {
    std::swap(m_other, m_env->model.palette);
    m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
}

// ---------------------------------------------------------------- opal

bool TK_CMD_ExportPalette::Execute() {
    OS_FileRequest choice;
    choice.save = true;
    choice.title = "Export Palette";
    choice.filter = "PNG (*.png)";
    choice.folder = choice.base = m_env->workspace.paletteFolder;
    choice.name = BaseNameOr(m_env->model, "untitled") + ".png";
    choice.command = "opal";
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return NotChosen("failed to get palette name");
    std::unique_ptr<TK_Plugin> plugin = CreatePlugin(Extension(path));
    if (!plugin) return false;
    OMB_ClearCause();
    if (!plugin->SaveModel(path, std::string(), m_env->model)) return FailWithCause("failed to export palette : ", path);
    return true;
}

// ---------------------------------------------------------------- bake

bool TK_CMD_Bake::Execute() {
    const TK_Model& model = m_env->model;
    if (model.voxels.Empty()) return Fail("export model is empty");
    OS_FileRequest choice;
    choice.save = true;
    choice.title = "Bake Model";
    choice.filter = "PLY (*.ply)";
    choice.folder = m_env->workspace.exportFolder;
    choice.name = BaseNameOr(model, "untitled") + ".bake.ply";
    choice.base = m_env->workspace.exportFolder;
    choice.command = "bake";
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return NotChosen("failed to get export name");
    if (Extension(path) != "ply") path += ".ply";
    WriteCacheCopy();
    OMB_ClearCause();
    if (!TK_Plugin_Bake().Bake(path, std::string(), model)) return FailWithCause("failed to export model : ", path);
    OMB_Printf("[Log] export : %s\n", path.c_str());
    return true;
}
