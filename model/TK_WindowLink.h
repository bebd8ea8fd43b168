// TK_WindowLink: what the commands may ask of the editor window, without
// knowing the UI toolkit. The window implements it and hands itself to the
// environment (TK_EditorEnv::window); headless runs have none, and every
// caller treats a null link as "no window".
#pragma once

#include <string>

class TK_WindowLink {
public:
    virtual ~TK_WindowLink() = default;

    // The folder the model file list shows. False when the window has no
    // file list view.
    virtual bool FileListFolder(std::string& folder) const = 0;
    // Sets an attribute of the named view (as "ui_set VIEW KEY VALUE" would);
    // false when there is no such view.
    virtual bool SetViewAttribute(const std::string& view, const std::string& key, const std::string& value) = 0;
};
