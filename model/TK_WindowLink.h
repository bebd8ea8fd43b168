// TK_WindowLink: what the commands may ask of the editor window, without
// knowing the UI toolkit. The window implements it and hands itself to the
// environment (TK_EditorEnv::window); headless runs have none, and every
// caller treats a null link as "no window".
#pragma once

#include <cstdint>
#include <string>

#include "core/OS_FileDialog.h"

class TK_Model;
struct TK_ModelLook;

class TK_Model;
struct TK_ModelLook;

// How a command asks for a file when none was typed.
struct TK_FileChoice {
    bool save = false;
    std::string title;
    std::string filter = "Tarsk (.vox)";
    std::string folder;       // where the dialog starts
    std::string defaultName;  // offered by a save dialog
    // The command line that takes the chosen path as its last argument: the
    // window's own dialog runs it once the user accepts. Empty for commands
    // that only a native dialog serves.
    std::string command;
    // The folder a typed relative path is taken in; empty: the models folder.
    std::string base;
};

class TK_WindowLink {
public:
    virtual ~TK_WindowLink() = default;

    // The folder the model file list shows. False when the window has no
    // file list view.
    virtual bool FileListFolder(std::string& folder) const = 0;
    // Sets an attribute of the named view (as "ui_set VIEW KEY VALUE" would);
    // false when there is no such view.
    virtual bool SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) = 0;

    // The view operations below do nothing by default, so a window without
    // views still links.
    // True when some view has the name.
    virtual bool HasView(const std::string& view) const { return false; }
    // Shows a hidden view or hides a visible one; false when no view has
    // the name.
    virtual bool ToggleView(const std::string& view) { return false; }
    // Lays the window out again after visibility changes.
    virtual void Relayout() {}
    // The user interface's scale (0: the display's own); the window lays
    // itself out again at once.
    virtual void SetUiScale(float scale) {}
    // Opens the message panel with the first line printed after `mark` (a
    // MessageMark taken before printing) at its top.
    virtual uint64_t MessageMark() const { return 0; }
    virtual void ShowMessagesFrom(uint64_t mark) {}
    // Writes a PNG of the whole window (empty view name) or of the named
    // view; while the path tracer is showing, a named view gives the traced
    // image. RGBA with `alpha`, else RGB. False after printing why.
    virtual bool Snap(const std::string& view, const std::string& path, bool alpha) { return false; }
    // Camera slot files of the view named "scene": false without such a
    // view or when the file cannot be written or read (after the camera's
    // own message). Loading sets the "v_cam" widget's value to the new mode.
    virtual bool SaveSceneCamera(const std::string& path) { return false; }
    virtual bool LoadSceneCamera(const std::string& path) { return false; }
    // Opens the window's own file dialog for the request and returns at
    // once; accepting it later runs request.command with the chosen path. False
    // when the window has no such dialog.
    virtual bool AskForFile(const OS_FileRequest& request) { return false; }
    // The newest unsaved work an ended session left behind: read into
    // `model` (with its name and file) and `look`, and its file moved among
    // the kept backups, at `keptAs`. False when none waits or it cannot be
    // read (after a message).
    virtual bool ClaimRecovery(TK_Model& model, TK_ModelLook& look, std::string& keptAs) { return false; }
};
