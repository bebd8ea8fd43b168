// The native open and save dialogs of Windows (see OS_FileDialog.h):
// GetOpenFileNameW and GetSaveFileNameW, wide strings throughout, the
// overwrite question asked by the dialog itself. Headless runs never show
// one.
#include "core/OS_FileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "core/OMB_Log.h"
#include "core/OS_WinText.h"

namespace {

// "Title\0*.vox;*.qb\0\0": the filter list the dialogs read.
std::wstring FilterList(const std::string& filter) {
    std::string patterns = OS_FileDialog::FilterPatterns(filter);
    std::replace(patterns.begin(), patterns.end(), ' ', ';');
    std::wstring list = OS_Wide(filter.empty() ? "All Files" : filter);
    list.push_back(L'\0');
    list += OS_Wide(patterns == "*" ? "*.*" : patterns);
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

}  // namespace

bool OS_FileDialog::HasHelper() { return true; }

bool OS_FileDialog::Run(const OS_FileRequest& request, std::string& path) {
    path.clear();
    if (request.headless) {
        static bool warned = false;
        if (!warned) OMB_Printf("[Warning] file dialog unavailable\n");
        warned = true;
        return false;
    }
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring offered = OS_Wide(request.save ? request.name : std::string());
    std::copy_n(offered.begin(), std::min(offered.size(), name.size() - 1), name.begin());
    const std::wstring filter = FilterList(request.filter);
    const std::wstring folder = OS_WidePath(request.folder);
    const std::wstring title = OS_Wide(request.title);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = DWORD(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return false;
    path = OS_Utf8(name.data());
    std::replace(path.begin(), path.end(), '\\', '/');
    return !path.empty();
}
