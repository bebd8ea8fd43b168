// OS_FileDialog: the platform's open and save dialogs, run as a child process
// (zenity, else kdialog). Commands that take a file ask here when no path was
// given. Without either tool, or when the program runs headless, the dialog
// reports "cancelled" and "[Warning] file dialog unavailable" is printed once
// per run, so scripted runs never block on a window.
#pragma once

#include <string>

// A command's request for a file, whoever answers it: zenity or kdialog,
// the window's own dialog (ui/UI_FileDialog) or the path typed with it.
struct OS_FileRequest {
    bool save = false;  // a save dialog (asks before overwriting)
    std::string title;
    std::string filter = "Tarsk (.vox)";  // "PNG (*.png)", "All Files (*.*)"...
    std::string folder;                   // where the dialog starts
    std::string name;                     // the file name a save dialog offers
    // The command line that takes the chosen path as its last argument: the
    // window's own dialog runs it once the user accepts. Empty for commands
    // that only a helper program's dialog serves.
    std::string command;
    // The folder a typed relative path is taken in; empty: the models folder.
    std::string base;
    bool headless = false;  // no window: never start a dialog
};

class OS_FileDialog {
public:
    // True with the chosen path (backslashes turned into "/"); false when the
    // user cancelled or no dialog could be shown.
    static bool Run(const OS_FileRequest& request, std::string& path);
    // True when zenity or kdialog is on the PATH.
    static bool HasHelper();

    // The file patterns of a filter text: "Tarsk (.vox)" -> "*.vox",
    // "All Files (*.*)" -> "*". Several patterns are separated by spaces.
    static std::string FilterPatterns(const std::string& filter);
    // The extensions of a filter's patterns, without dots: "Tarsk (.vox)"
    // -> "vox", "(*.vox *.qb)" -> "vox qb"; empty for every file.
    static std::string FilterExtensions(const std::string& filter);
};
