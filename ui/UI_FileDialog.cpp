// The toolkit's own file dialog (see UI_FileDialog.h).
#include "ui/UI_FileDialog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/OMB_Arguments.h"
#include "core/OMB_LmpParser.h"
#include "core/OS_Keys.h"
#include "ui/UI_Button.h"
#include "ui/UI_Label.h"
#include "ui/UI_List.h"
#include "ui/UI_Theme.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Question.h"
#include "ui/UI_TextField.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_FileDialog, UI_VBox)

namespace {

namespace fs = std::filesystem;

// The parts, in the description language of the toolkit.
const char* const kParts = R"(vbox {
  label (id='dlg_title' align='left' fontColor='235 235 235' bgColor='24 25 28' size='28')
  label (id='dlg_where' align='left' fontColor='150 150 150' bgColor='24 25 28' size='22')
  fileList (id='dlg_list' onSelect='dlg_pick' onSelectFolder='dlg_folder' flex='1' prev='2')
  question (id='dlg_ask' size='100' hidden='1')
  hbox (size='26' prev='6') {
    label (text='File name' align='left' fontColor='150 150 150' size='90')
    textField (id='dlg_name' onEnter='dlg_accept' flex='1')
    button (text='New folder' style='gr' onClick='dlg_mkdir' size='96' prev='6')
    button (text='Cancel' style='gr' onClick='dlg_cancel' size='72' prev='4')
    button (id='dlg_ok' text='Open' style='gr' onClick='dlg_accept' size='72' prev='4')
  }
})";

void SetPart(UI_View* view, const char* key, const std::string& value) {
    if (view) view->SetAttribute(key, value);
}

template <typename T>
T* Part(UI_View* root, const char* id) {
    return UI_Cast<T>(root ? root->FindView(id, &T::kClass) : nullptr);
}

bool HasExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && dot > 0 && name.find('/', dot) == std::string::npos;
}

}  // namespace

UI_FileDialog::UI_FileDialog() {
    UI_View* parts = UI_AddParts(*this, kParts, "file dialog");
    m_title = Part<UI_Label>(parts, "dlg_title");
    m_where = Part<UI_Label>(parts, "dlg_where");
    m_list = Part<UI_FileList>(parts, "dlg_list");
    m_name = Part<UI_TextField>(parts, "dlg_name");
    m_ok = Part<UI_TextButton>(parts, "dlg_ok");
    m_ask = Part<UI_Question>(parts, "dlg_ask");
    m_hidden = true;
}

void UI_FileDialog::Open(const OS_FileRequest& request) {
    m_request = request;
    m_extensions = OS_FileDialog::FilterExtensions(request.filter);
    SetPart(m_title, "text", request.title);
    SetPart(m_ok, "text", request.save ? "Save" : "Open");
    SetPart(m_list, "ext", m_extensions);
    Browse(request.folder);
    if (m_name) {
        // From its start, the name without its extension selected: typing
        // replaces the name and keeps the kind. Where the typed extension
        // picks the kind (a filter of several kinds, as Export's), the whole
        // name is the user's to type.
        m_name->SetText(request.name);
        const size_t dot = request.name.rfind('.');
        const bool severalKinds = std::count(request.filter.begin(), request.filter.end(), '(') > 1;
        const bool stem = !severalKinds && dot != std::string::npos && dot > 0;
        m_name->Select(int(stem ? dot : request.name.size()), 0);
    }
    m_lastPick.clear();
    SetHidden(false);
    if (m_window) m_window->RefreshLayout();
    FocusName();
}

void UI_FileDialog::Browse(const std::string& folder) {
    std::error_code error;
    const fs::path normal = fs::u8path(folder.empty() ? "." : folder).lexically_normal();
    fs::path absolute = fs::absolute(normal, error);
    if (error) absolute = normal;
    m_folder = absolute.lexically_normal().generic_u8string();
    // A drive's root keeps its "/" ("C:" alone names the drive's current folder).
    if (m_folder.size() > 1 && m_folder.back() == '/' && m_folder[m_folder.size() - 2] != ':') m_folder.pop_back();
    SetPart(m_list, "root", m_folder);
    const std::string problem = m_list ? m_list->Problem() : std::string();
    SetPart(m_where, "text", problem.empty() ? m_folder : m_folder + " : " + problem);
    FocusName();
}

std::string UI_FileDialog::PathOf(const std::string& name) const {
    if (!name.empty() && name[0] == '/') return name;
    return m_folder == "/" ? "/" + name : m_folder + "/" + name;
}

bool UI_FileDialog::Accept() {
    std::string name = m_name ? m_name->Text() : std::string();
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    if (name.empty()) return false;
    std::string path = PathOf(name);
    std::error_code error;
    if (fs::is_directory(fs::u8path(path), error)) {
        Browse(path);
        if (m_name) m_name->SetText(std::string());
        return true;
    }
    // A save with one file kind gets its extension when none was typed.
    if (m_request.save && OneKind() && !HasExtension(name)) path += "." + m_extensions;
    const std::string line = CommandLine(m_request.command, path);
    if (!m_request.save || !fs::exists(fs::u8path(path), error) || !m_ask) {
        Finish(line);
        return true;
    }
    m_ask->Ask("Replace " + fs::u8path(path).filename().u8string() + "?", "Replace", std::string(),
               [this, line](UI_Question::Answer answer) {
                   if (answer == UI_Question::kFirst) Finish(line);
                   else FocusName();
               });
    return true;
}

void UI_FileDialog::MakeFolder() {
    std::string name = m_name ? m_name->Text() : std::string();
    if (name.empty() || HasExtension(name) || name.find('/') != std::string::npos) {
        name = "New folder";
        std::error_code error;
        for (int n = 2; fs::exists(fs::u8path(PathOf(name)), error) && n < 1000; ++n) name = "New folder " + std::to_string(n);
    }
    const std::string path = PathOf(name);
    std::error_code error;
    if (!fs::create_directory(fs::u8path(path), error)) {
        SetPart(m_where, "text", path + " : " + (error ? error.message() : std::string("already there")));
        return;
    }
    Browse(path);
    if (m_name) m_name->SetText(m_request.name);
}

void UI_FileDialog::Cancel() { Finish(std::string()); }

void UI_FileDialog::Finish(const std::string& line) {
    if (IsHidden()) return;
    SetHidden(true);
    if (m_window) {
        m_window->SetFocus(nullptr);
        m_window->RefreshLayout();
    }
    if (m_done) m_done(line);
}

void UI_FileDialog::Pick(const std::string& path) {
    const auto now = std::chrono::steady_clock::now();
    const bool twice = path == m_lastPick && std::chrono::duration<double>(now - m_lastPickTime).count() < kDoubleClick;
    m_lastPick = path;
    m_lastPickTime = now;
    if (m_name) m_name->SetText(fs::u8path(path).filename().u8string());
    if (twice) {
        Accept();
        return;
    }
    FocusName();
}

void UI_FileDialog::FocusName() {
    if (m_window && m_name && !IsHidden()) m_window->SetFocus(m_name);
}

void UI_FileDialog::RunCommand(const std::string& text) {
    const size_t blank = text.find(' ');
    const std::string word = text.substr(0, blank);
    const std::string argument = blank == std::string::npos ? std::string() : OMB_PathArgument(text.c_str() + blank + 1);
    if (word == "dlg_pick") return Pick(argument);
    if (word == "dlg_folder") return Browse(argument);
    if (word == "dlg_accept") {
        Accept();
        return;
    }
    if (word == "dlg_cancel") return Cancel();
    if (word == "dlg_mkdir") return MakeFolder();
    UI_VBox::RunCommand(text);
}

bool UI_FileDialog::KeyDown(const UI_KeyState& k) {
    if (k.key == OS_KEY_ESCAPE) {
        Cancel();
        return true;
    }
    if (k.key == OS_KEY_ENTER) return Accept();
    return false;
}

void UI_FileDialog::Draw() { FillRect(kThemeDialogBackground, m_rect); }

std::string UI_FileDialog::CommandLine(const std::string& command, const std::string& path) {
    return OMB_CommandWithArgument(command, path);
}
