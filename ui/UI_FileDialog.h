// UI_FileDialog: the toolkit's own file dialog, used where no native dialog
// program exists (or the configuration asks for it). It is a panel of the
// window, not a window of its own, and it never runs an event loop: Open
// shows it with a request, and when the user accepts, the request's command
// line followed by the chosen path goes to the done handler, which runs it
// like a typed line. Cancelling hands the handler an empty line.
//
// The panel lists the folder (".." first, then folders, then the files of
// the request's extensions) above a file-name field that holds the
// keyboard while the dialog is open. A click on a file puts its name in the
// field, a double click or Enter accepts, a click on a folder (or a folder
// name and Enter) goes there, Esc and the Cancel button cancel. A save over
// an existing file asks "Replace NAME?" first; "New folder" makes a folder
// and goes into it.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/OS_FileDialog.h"
#include "ui/UI_Box.h"

class UI_FileList;
class UI_TextField;
class UI_Label;
class UI_TextButton;
class UI_Question;


class UI_FileDialog : public UI_VBox {
public:
    UI_DECLARE_CLASS()
    static constexpr double kDoubleClick = 0.5;  // seconds between two clicks on one file

    UI_FileDialog();

    // Shows the dialog for the request and gives the name field the keyboard.
    void Open(const OS_FileRequest& request);
    bool IsOpen() const { return !IsHidden(); }
    // Called once per Open: the command line with the path, or "" when
    // cancelled. The dialog is hidden already.
    void SetDoneHandler(std::function<void(const std::string&)> handler) { m_done = std::move(handler); }

    // Accepts the name in the field: a folder is entered, a file ends the
    // dialog. False when the field is empty.
    bool Accept();
    void Cancel();
    // Lists another folder.
    void Browse(const std::string& folder);
    const std::string& Folder() const { return m_folder; }
    UI_FileList* List() const { return m_list; }
    UI_TextField* NameField() const { return m_name; }

    // The parts' lines ("dlg_pick PATH", "dlg_folder PATH", "dlg_accept",
    // "dlg_cancel") end here; any other line goes on up.
    void RunCommand(const std::string& text) override;
    // Esc cancels, Enter accepts (keys the field passed on).
    bool KeyDown(const UI_KeyState& k) override;
    void Draw() override;

    // A line with the path as its last argument, quoted when it holds a blank.
    static std::string CommandLine(const std::string& command, const std::string& path);

private:
    void Pick(const std::string& path);
    void Finish(const std::string& line);
    // "New folder": a folder named by the name field (when it holds no file
    // name with an extension), else "New folder" (numbered when taken); the
    // dialog goes into it.
    void MakeFolder();
    void FocusName();
    std::string PathOf(const std::string& name) const;
    // The request names one file kind (a save then adds its extension).
    bool OneKind() const { return !m_extensions.empty() && m_extensions.find(' ') == std::string::npos; }

    OS_FileRequest m_request;
    std::string m_extensions;  // of the request's filter, blank-separated
    std::string m_folder;
    UI_Label* m_title = nullptr;
    UI_Label* m_where = nullptr;
    UI_FileList* m_list = nullptr;
    UI_TextField* m_name = nullptr;
    UI_TextButton* m_ok = nullptr;
    UI_Question* m_ask = nullptr;  // "Replace NAME?" before a save over a file
    std::function<void(const std::string&)> m_done;
    std::string m_lastPick;
    std::chrono::steady_clock::time_point m_lastPickTime;
};
