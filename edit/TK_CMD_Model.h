// TK_CMD_Model: the base of the model file commands ("open", "save", "new"
// and the other commands that move models between the editor and files).
// It reads the optional path argument, resolves paths against the models
// folder (backslashes become "/"), asks the file dialog when no path was
// given, and keeps full copies of the model for the commands that replace it:
// their Undo and Redo put a copy back whole (name, size, voxels, palette,
// and for "open" the materials and scene settings).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "edit/TK_CMD.h"
#include "model/TK_ModelLook.h"
#include "model/TK_WindowLink.h"

class TK_Plugin;
struct TK_PluginEntry;

// Two spellings of one file: "." and ".." and symbolic links resolved as
// far as the path exists.
bool TK_SamePath(const std::string& a, const std::string& b);

// Prints "Cache Model" and writes the current model to "cache.vox" in the
// cache folder (created when missing); a failure is only a warning. The quit
// backups ("backup.vox" and older) and the autosaves are never touched.
// Nothing in a batch run (TK_EditorEnv::writesCacheCopy).
void TK_WriteCacheCopy(const TK_EditorEnv& env);

// The one road by which the editor reads its model file: `path` read with
// its look (the defaults when it has none), normalised for `env` and bound
// to the file (name and path); a file of several models says which one is
// edited. False after "[Error] failed to load model :
// PATH : REASON"; `model` is then to be thrown away.
bool TK_ReadModelFile(const TK_EditorEnv& env, const std::string& path, TK_Model& model, TK_ModelLook& look);

// Normalises a model read from its file (`model.path`) for `env`; one whose
// file holds more than fits ("size" larger than the editor's largest) is cut
// with a warning that names the size, and its kept record protects that
// file: WriteVox refuses to write the cut model over it.
void TK_FitModel(const TK_EditorEnv& env, TK_Model& model);

// Puts a model read by TK_ReadModelFile in place of the environment's, its
// look included, outside the history (start-up, recovery), and tells the
// listeners: the palette first, then the model, so the unsaved mark says
// whether what is shown is what the file holds.
void TK_InstallModel(TK_EditorEnv& env, TK_Model& loaded, const TK_ModelLook& look);

class TK_CMD_Model : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Model, TK_CMD)
public:
    // An optional path; quotes around it are removed.
    bool Parse(const char* args) override;
    // Kept only when it changed the model.
    bool IsUndoable() const override { return m_after != nullptr; }

protected:
    // A path relative to the models folder, or an absolute one.
    std::string ResolveModelPath(const std::string& path) const;
    // Where the current model's file is: the path it was opened from or last
    // saved to, else its name in the models folder; empty for an unnamed model.
    std::string ModelFilePath() const;
    // The argument path, resolved; without one, the path chosen in the open
    // or save dialog (filter "Tarsk (.vox)", starting in the models folder).
    // False when the dialog was cancelled or could not be shown.
    bool ChoosePath(bool save, const std::string& defaultName, std::string& path) const;
    // `typed` resolved against choice.base (the models folder when empty)
    // when it is not empty, else the dialog's choice. False when cancelled,
    // and also when the window's own dialog was opened instead (it runs the
    // command again with the path): then Asked() is true and the command
    // ends without effect and without a message.
    bool ChooseFile(const std::string& typed, const OS_FileRequest& choice, std::string& path) const;
    bool Asked() const { return m_asked; }
    // A failed choice: nothing while the window's dialog asks, else
    // "[Error] message" and false.
    bool NotChosen(const char* message) const;
    // The last component of a path.
    static std::string FileName(const std::string& path);
    // The extension after the last "." of the file name, in lower case.
    static std::string Extension(const std::string& path);

    // The registered format with this key; null (silently) when none is.
    const TK_PluginEntry* FindPlugin(const std::string& key) const;
    // A fresh plugin for the key; null after the registry's lookup message.
    std::unique_ptr<TK_Plugin> CreatePlugin(const std::string& key) const;
    // The cache copy (TK_WriteCacheCopy), as exports do first.
    void WriteCacheCopy() const;

    // Remembers the current model and `after`, then installs `after`. With
    // a look, the environment's materials and scene settings are remembered
    // and replaced too.
    void Replace(TK_Model after, int modelFlags, bool paletteChanged, const TK_ModelLook* look = nullptr);
    void UndoReplace() { Install(*m_before, m_lookBefore.get()); }
    void RedoReplace() { Install(*m_after, m_lookAfter.get()); }

    std::string m_path;  // as typed, may be empty
    mutable bool m_asked = false;

private:
    void Install(const TK_Model& snapshot, const TK_ModelLook* look);

    std::unique_ptr<TK_Model> m_before;
    std::unique_ptr<TK_Model> m_after;
    std::unique_ptr<TK_ModelLook> m_lookBefore;  // both null without a look
    std::unique_ptr<TK_ModelLook> m_lookAfter;
    int m_modelFlags = 0;
    bool m_paletteChanged = false;
};
