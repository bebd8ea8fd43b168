// Text lists and the folder list (see UI_List.h).
#include "ui/UI_List.h"

#include "ui/UI_Text.h"

#include <algorithm>
#include <filesystem>

#include "core/OMB_Arguments.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Text.h"

UI_DEFINE_CLASS(UI_List, UI_View)
// A file list is no plain list to the lookups.
UI_DEFINE_CLASS(UI_FileList, UI_View)

// ---------------------------------------------------------------- list

int UI_List::VisibleRows() const { return std::max(1, m_rect.Height() / std::max(RowHeight(), 1)); }

int UI_List::RowAt(int x, int y) const {
    if (!m_rect.Contains(x, y)) return -1;
    const int row = m_first + (m_rect.y1 - y) / std::max(RowHeight(), 1);
    return row < int(m_items.size()) ? row : -1;
}

void UI_List::ScrollTo(int first) {
    const int last = std::max(0, int(m_items.size()) - VisibleRows());
    m_first = std::clamp(first, 0, last);
    Invalidate();
}

void UI_List::SetItems(std::vector<std::string> items) {
    m_items = std::move(items);
    if (m_selected >= int(m_items.size())) m_selected = -1;
    ScrollTo(m_first);
}

void UI_List::SetSelected(int row) {
    m_selected = row >= 0 && row < int(m_items.size()) ? row : -1;
    Invalidate();
}

bool UI_List::LeftDown(const UI_MouseState& m) {
    const int row = RowAt(m.x, m.y);
    if (row < 0) return false;
    SetSelected(row);
    OnPick(row);
    return true;
}

void UI_List::OnPick(int row) {
    if (!m_onSelect.empty()) RunCommand(OMB_CommandWithArgument(m_onSelect, m_items[size_t(row)]));
    if (!m_onPickRow.empty()) RunCommand(m_onPickRow + std::to_string(row + 1));
}

bool UI_List::Wheel(const UI_MouseState& m) {
    // Wheel up (positive) shows earlier rows: three rows a notch of 8.
    const int rows = int((m.wheel - m.prevWheel) / kWheelNotch * 3.0f);
    if (rows == 0) return false;
    ScrollTo(m_first - rows);
    return true;
}

std::string UI_List::CutTextAt(int x, int y) const {
    const int row = RowAt(x, y);
    if (row < 0) return std::string();
    const std::string& item = m_items[size_t(row)];
    return UI_TextColumns(item) > UI_Canvas::TextColumns(m_rect, m_fontSize[0], UI_ALIGN_LEFT) ? item : std::string();
}

void UI_List::Draw() {
    FillRect(m_bgColor, m_rect);
    const int height = RowHeight();
    int top = m_rect.y1;
    for (int row = m_first; row < int(m_items.size()) && top - height + 1 >= m_rect.y0; ++row, top -= height) {
        const OMB_Rect r = {m_rect.x0, top - height + 1, m_rect.x1, top};
        if (row == m_selected) FillRect(kThemeListSelection, r);
        DrawText(m_items[size_t(row)].c_str(), m_fontColor, r, m_fontSize[0], m_fontSize[1], UI_ALIGN_LEFT);
    }
}

bool UI_List::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    std::string items;
    if (UI_ReadText(node, "items", items)) {
        std::vector<std::string> list;
        size_t start = 0;
        while (start <= items.size() && !items.empty()) {
            const size_t end = std::min(items.find(';', start), items.size());
            list.push_back(items.substr(start, end - start));
            start = end + 1;
        }
        SetItems(std::move(list));
    }
    int selected = m_selected;
    if (UI_ReadInt(node, "selected", selected)) SetSelected(selected);
    UI_ReadText(node, "onSelect", m_onSelect);
    UI_ReadText(node, "onPickRow", m_onPickRow);
    UI_ReadFontSize(node, m_fontSize);
    UI_ReadColor(node, "bgColor", m_bgColor);
    UI_ReadColor(node, "fontColor", m_fontColor);
    return true;
}

// ---------------------------------------------------------------- file list

namespace {
namespace fs = std::filesystem;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

bool LessNoCase(const std::string& a, const std::string& b) { return Lower(a) < Lower(b); }

std::string Slashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool HasExtension(const std::string& name, const std::string& ext) {
    if (ext.empty()) return true;
    const std::string want = Lower(ext[0] == '.' ? ext : "." + ext);
    return name.size() > want.size() && Lower(name.substr(name.size() - want.size())) == want;
}

// Any of the blank-separated extensions; every file when there are none.
bool HasAnyExtension(const std::string& name, const std::string& exts) {
    bool any = false;
    for (size_t start = 0; start < exts.size();) {
        const size_t end = std::min(exts.find(' ', start), exts.size());
        if (end > start) {
            if (HasExtension(name, exts.substr(start, end - start))) return true;
            any = true;
        }
        start = end + 1;
    }
    return !any;
}
}  // namespace

void UI_FileList::Update() {
    std::vector<std::string> folders, files;
    std::error_code error;
    fs::directory_iterator it(m_root.empty() ? fs::path(".") : fs::u8path(m_root), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (folders.size() + files.size() >= kMaxEntries) break;
        const std::string name = it->path().filename().u8string();
        std::error_code typeError;
        if (it->is_directory(typeError))
            folders.push_back(name + "/");
        else if (HasAnyExtension(name, m_ext))
            files.push_back(name);
    }
    m_problem = error ? error.message() : std::string();
    if (error) folders.clear(), files.clear();
    std::sort(folders.begin(), folders.end(), LessNoCase);
    std::sort(files.begin(), files.end(), LessNoCase);
    folders.insert(folders.begin(), "../");
    m_folderCount = int(folders.size());
    folders.insert(folders.end(), files.begin(), files.end());
    SetItems(std::move(folders));
    SelectPath(m_selectedPath);
}

std::string UI_FileList::PathOf(int row) const {
    std::string name = m_items[size_t(row)];
    if (IsFolder(row)) name.pop_back();
    if (m_root.empty()) return name;
    return m_root.back() == '/' ? m_root + name : m_root + "/" + name;
}

void UI_FileList::SelectPath(const std::string& path) {
    m_selectedPath = path;
    int found = -1;
    for (int row = m_folderCount; row < int(m_items.size()) && found < 0; ++row)
        if (UI_SameText(PathOf(row).c_str(), path.c_str()) || UI_SameText(m_items[size_t(row)].c_str(), path.c_str()))
            found = row;
    SetSelected(found);
}

void UI_FileList::OnPick(int row) {
    if (IsFolder(row)) {
        if (!m_onSelectFolder.empty()) RunCommand(OMB_CommandWithArgument(m_onSelectFolder, PathOf(row)));
        return;
    }
    m_selectedPath = PathOf(row);
    if (!m_onSelect.empty()) RunCommand(OMB_CommandWithArgument(m_onSelect, m_selectedPath));
}

bool UI_FileList::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_List::ParseAttributes(node)) return false;
    bool relist = UI_FindAttribute(node, "update") != nullptr;
    std::string text;
    if (UI_ReadText(node, "root", text)) {
        m_root = Slashes(text);
        m_first = 0;
        relist = true;
    }
    if (UI_ReadText(node, "ext", m_ext)) relist = true;
    UI_ReadText(node, "onSelectFolder", m_onSelectFolder);
    if (relist) Update();
    if (UI_ReadText(node, "selected", text)) SelectPath(Slashes(text));
    return true;
}
