// OS_FileDialog: the platform's open and save dialogs, run as a child process
// (zenity, else kdialog). Commands that take a file ask here when no path was
// given. Without either tool, or when the program runs headless, the dialog
// reports "cancelled" and "[Warning] file dialog unavailable" is printed once
// per run, so scripted runs never block on a window.
#pragma once

#include <string>

struct OS_FileDialogOptions {
    bool save = false;        // save dialog (asks before overwriting)
    std::string title;
    std::string filter;       // "Tarsk (.vox)", "PNG (*.png)", "All Files (*.*)"
    std::string folder;       // where the dialog starts
    std::string defaultName;  // file name offered by a save dialog
    bool headless = false;    // no window: never start a dialog
};

class OS_FileDialog {
public:
    // True with the chosen path (backslashes turned into "/"); false when the
    // user cancelled or no dialog could be shown.
    static bool Run(const OS_FileDialogOptions& options, std::string& path);
    // True when zenity or kdialog is on the PATH.
    static bool HasHelper();

    // The file patterns of a filter text: "Tarsk (.vox)" -> "*.vox",
    // "All Files (*.*)" -> "*". Several patterns are separated by spaces.
    static std::string FilterPatterns(const std::string& filter);
};
