// The commands on the current model's file: "open", "save" and "new" load,
// write and replace the model; "dup" and "name" give it another name (the
// second also renames its file); "del" moves its file to the trash; "ipatt"
// loads the pattern model. "open" and "new" keep whole copies for undo;
// "save" and "dup" undo only the model's name and path (a written file
// stays). A model remembers the file it was opened from or last saved to:
// "save" without a path writes back there. A model without one ("new",
// "dup") is saved under its name in the models folder.
#pragma once

#include <memory>
#include <string>

#include "edit/TK_CMD_Model.h"

struct TK_VoxKept;

// "open [PATH]": reads a native model file (the open dialog without a path).
// A cancelled dialog or the file already loaded ends it without effect.
// A file of several models opens its first; "open #N" edits model N of the
// same file instead (undoable like "open"), "open #" lists them. Switching
// refuses while the edited model has unsaved changes, so each model is
// saved before the next is edited; the models not edited, and one switched
// away from unchanged, keep their file's bytes.
class TK_CMD_LoadPath : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_LoadPath, TK_CMD_Model)
public:
    bool Execute() override;  // false, after a message, when the dialog gives no path or the file does not load
    void Undo() override { UndoReplace(); }
    void Redo() override { RedoReplace(); }

private:
    bool SwitchModel(const std::string& which);
    std::shared_ptr<TK_VoxKept> KeepCurrent() const;
};

// "recover": opens the newest unsaved work that an ended session (a crash, a
// killed editor) left in the cache folder; its file joins the kept backups.
// Undoable like "open"; the model is unsaved work afterwards.
class TK_CMD_Recover : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_Recover, TK_CMD_Model)
public:
    bool Execute() override;
    void Undo() override { UndoReplace(); }
    void Redo() override;

private:
    void MarkUnsaved();
};

// "save [PATH]": writes the model with the native format plugin; without a
// path, back to the file it came from (or its name in the models folder), or
// through the save dialog ("untitled") when it has neither; "save as" always
// asks. The save is recorded, but its Undo and Redo change nothing: the
// written file stays and the model stays bound to it, so no undo can point
// the next "save" back at a file the model was saved away from.
class TK_CMD_SaveModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_SaveModel, TK_CMD_Model)
public:
    bool Parse(const char* args) override;
    bool IsUndoable() const override { return m_saved; }
    bool Execute() override;  // false, after a message, when nothing was written
    void Undo() override {}
    void Redo() override {}

private:
    bool m_saveAs = false;
    bool m_saved = false;
};

// "new": an unnamed full box of the model's size in the current colour.
class TK_CMD_NewModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_NewModel, TK_CMD_Model)
public:
    bool Parse(const char* args) override { return true; }
    // False for a colour outside 1..255, or when the model is already an
    // unnamed box full of the current colour.
    bool Execute() override;
    void Undo() override { UndoReplace(); }
    void Redo() override { RedoReplace(); }
};

// "dup NAME": the model takes a new name in the models folder, so the next
// "save" writes a copy there. Without a name the save dialog asks for one.
class TK_CMD_DupModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_DupModel, TK_CMD_Model)
public:
    bool IsUndoable() const override { return true; }
    bool Execute() override;  // false for an empty name
    void Undo() override;
    void Redo() override;

private:
    std::string m_oldName, m_newName;
    std::string m_oldPath;
};

// "name NAME": renames the model's file in its folder and the model with it;
// an existing file of the new name is never replaced. An unnamed model has
// no file yet and simply takes the name. Undo and Redo rename the file
// back and forth (a refusal is a warning; the model's name follows anyway).
class TK_CMD_RenameModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_RenameModel, TK_CMD_Model)
public:
    bool IsUndoable() const override { return true; }
    bool Execute() override;
    void Undo() override;
    void Redo() override;

private:
    bool RenameFile(const std::string& from, const std::string& to) const;

    void SetName(const std::string& name, const std::string& modelPath);

    std::string m_oldName, m_newName;
    std::string m_oldPath, m_newPath;  // empty when no file was renamed
    std::string m_oldModelPath, m_newModelPath;
};

// "del": moves the model's file to the user's trash (or a "trash" folder in
// the cache folder), where it can be recovered. The model itself stays.
class TK_CMD_DeleteModel : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_DeleteModel, TK_CMD_Model)
public:
    bool Parse(const char* args) override { return true; }
    bool IsUndoable() const override { return false; }
    bool Execute() override;  // false for an unnamed model or a file that did not move
};

// "ipatt [PATH]": loads a native model file as the pattern brush's model
// (the open dialog starts in the patterns folder). A failed load empties the
// pattern model.
class TK_CMD_LoadPattern : public TK_CMD_Model {
    OMB_COMMAND_CLASS(TK_CMD_LoadPattern, TK_CMD_Model)
public:
    bool IsUndoable() const override { return false; }
    bool Execute() override;
};
