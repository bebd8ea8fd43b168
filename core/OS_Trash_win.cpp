// Deleting to the Recycle Bin (see OS_Trash.h): SHFileOperationW with
// FOF_ALLOWUNDO, the operation Explorer's own Delete uses, so the file can be
// restored from the Recycle Bin. When the bin refuses (a network or removable
// drive has none), the file moves into the fallback folder instead.
#include "core/OS_Trash.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "core/OS_WinText.h"

namespace {

constexpr int kMaxNameTries = 1000;

std::wstring FullPath(const std::string& path) {
    const std::wstring wide = OS_WidePath(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), n, &full[0], nullptr));
    return full;
}

bool IsRegularFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool MoveIntoRecycleBin(const std::wstring& file) {
    std::wstring from = file;
    from.push_back(L'\0');  // the list ends with two NULs
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted && !IsRegularFile(file);
}

// "a.vox" for n = 1, "a.2.vox" for n = 2.
std::wstring NumberedName(const std::wstring& name, int n) {
    if (n == 1) return name;
    const size_t dot = name.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && dot > 0;
    const std::wstring stem = hasExtension ? name.substr(0, dot) : name;
    return stem + L"." + std::to_wstring(n) + (hasExtension ? name.substr(dot) : std::wstring());
}

bool MoveIntoFolder(const std::wstring& file, const std::string& folder, std::string* where) {
    if (folder.empty()) return false;
    const std::wstring into = FullPath(folder);
    SHCreateDirectoryExW(nullptr, into.c_str(), nullptr);
    const std::wstring name = file.substr(file.find_last_of(L'\\') + 1);
    for (int n = 1; n <= kMaxNameTries; ++n) {
        const std::wstring target = into + L"\\" + NumberedName(name, n);
        if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        // Copies across drives and removes the original only after the copy.
        if (!MoveFileExW(file.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) return false;
        if (where) *where = OS_Utf8(target);
        return true;
    }
    return false;
}

}  // namespace

std::string OS_Trash::UserTrash() { return "Recycle Bin"; }

bool OS_Trash::MoveToTrash(const std::string& path, const std::string& fallbackFolder, std::string* where) {
    const std::wstring file = FullPath(path);
    if (file.empty() || !IsRegularFile(file)) return false;
    if (MoveIntoRecycleBin(file)) {
        if (where) *where = UserTrash();
        return true;
    }
    return MoveIntoFolder(file, fallbackFolder, where);
}
