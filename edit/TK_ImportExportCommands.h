// The commands that move models and palettes through the format plugins:
// "i" imports a model (or a picture as a model) by the file's extension,
// "o" exports the model in a named format, "odir" converts every model of a
// folder, "ipal" and "opal" read and write the palette as an image file,
// "bake" writes the model as a PLY mesh shaded by ambient occlusion.
// Plugins come from the environment's registry, one fresh object per file.
// Only "i" and "ipal" change the document; both keep what they replaced for
// undo.
#pragma once

#include <string>

#include "edit/TK_CMD_Model.h"

// "i [PATH]": the plugin for the file's extension reads a model; when it
// cannot, its image reader reads a picture, which becomes a one-cell-thick
// model in the current palette. The imported model has no name (a later
// "save" asks where, so the source file is never overwritten).
class TK_CMD_ImportModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_ImportModel, TK_CMD_Model)
public:
    bool Execute() override;
    void Undo() override { UndoReplace(); }
    void Redo() override { RedoReplace(); }

private:
    bool ReadWith(TK_Plugin& plugin, const std::string& path, TK_Model& model) const;
};

// "o FORMAT [PATH] [overwrite]": writes the model with the plugin registered
// as FORMAT; without a path the save dialog asks. The file gets the format's
// extension. The model's own file, and a native model file in any other
// format, are replaced only with the word "overwrite".
class TK_CMD_ExportModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_ExportModel, TK_CMD_Model)
public:
    // A format word, then an optional path; or only a path whose extension
    // names the format; or nothing (the dialog asks for both).
    bool Parse(const char* args) override;
    bool IsUndoable() const override { return false; }
    bool Execute() override;

private:
    // A format word that is a file name with an extension becomes the path,
    // and the format the one written with that extension.
    void FormatFromPath();
    // "o" alone: the path, and with it the format, from the dialog.
    bool AskForFormat();
    bool ChooseTarget(const TK_PluginEntry& entry, std::string& path) const;
    // False, after saying why, when `path` may not be replaced.
    bool MayReplace(const std::string& path) const;

    static constexpr const char* kOverwriteWord = "overwrite";
    std::string m_format;
    bool m_overwrite = false;
};

// "odir FORMAT [FOLDER [OUT]]": converts every ".vox" model of FOLDER
// (default: the window's file list folder, or the models folder when there
// is no window) into OUT (default: the export folder), printing each file it
// writes. The current model is not touched. False when any file failed.
class TK_CMD_ExportDir : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_ExportDir, TK_CMD_Model)
public:
    bool Parse(const char* args) override;  // one to three words
    bool IsUndoable() const override { return false; }
    bool Execute() override;

private:
    bool SourceFolder(std::string& folder) const;
    bool ConvertOne(const TK_PluginEntry& entry, const std::string& source, const std::string& outFolder) const;

    std::string m_format, m_folder, m_out;
};

// "ipal [PATH]": the palette from an image file (any format whose plugin
// reads images: the palette formats and the model formats' palettes).
// Refused when it equals the current palette in entries 1..255.
class TK_CMD_ImportPalette : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_ImportPalette, TK_CMD_Model)
public:
    bool IsUndoable() const override { return true; }
    bool Execute() override;
    void Undo() override { Exchange(); }
    void Redo() override { Exchange(); }

private:
    void Exchange();

    Palette m_other;  // the palette not installed
};

// "opal [PATH]": writes the palette with the plugin for the file's
// extension (the save dialog offers PNG in the palettes folder).
class TK_CMD_ExportPalette : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_ExportPalette, TK_CMD_Model)
public:
    bool IsUndoable() const override { return false; }
    bool Execute() override;
};

// "bake [PATH]": writes the model's visible faces, shaded by ambient
// occlusion, as a PLY mesh (TK_Plugin_Bake). Without a path the save dialog
// offers NAME.bake.ply in the export folder; a typed path gets ".ply" when
// it has another extension.
class TK_CMD_Bake : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_Bake, TK_CMD_Model)
public:
    bool IsUndoable() const override { return false; }
    bool Execute() override;
};
