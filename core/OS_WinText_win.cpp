// UTF-8 <-> UTF-16 for the Windows services (see OS_WinText.h).
#include "core/OS_WinText.h"

#include <windows.h>

#include <algorithm>

std::wstring OS_Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n);
    return out;
}

std::string OS_Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring OS_WidePath(const std::string& path) {
    std::wstring wide = OS_Wide(path);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    const bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    if (drive && wide.size() >= MAX_PATH) wide = L"\\\\?\\" + wide;
    return wide;
}

std::string OS_ErrorText(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"error " + std::to_wstring(error);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.')) text.pop_back();
    return OS_Utf8(text);
}

namespace {

bool IsReservedName(std::string name) {
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    for (char& c : name) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices)
        if (name == device) return true;
    return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

}  // namespace

std::string OS_WindowsNameProblem(const std::string& path) {
    if (OS_Wide(path).size() >= MAX_PATH) return "path longer than 259 characters";
    // Every component after the drive ("C:") is a name.
    size_t start = path.size() > 1 && path[1] == ':' ? 2 : 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("/\\", start), path.size());
        const std::string name = path.substr(start, end - start);
        for (unsigned char c : name)
            if (c < 32 || std::string("<>:\"|?*").find(char(c)) != std::string::npos)
                return "name has a character Windows forbids (< > : \" | ? *) : " + name;
        if (!name.empty() && name != "." && name != ".." && IsReservedName(name))
            return "reserved device name : " + name;
        start = end + 1;
    }
    return std::string();
}
