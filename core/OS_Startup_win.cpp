// Process start-up on Windows (see OS_Startup.h). tarsk.exe is a windowed
// program (no console window when double-clicked); tarsk.com, the same code
// built for the console, is what cmd and PowerShell start for "tarsk ..."
// (.COM comes before .EXE in PATHEXT), so they wait for it and get its exit
// status. tarsk.exe started from a console still prints there.
#include "core/OS_Startup.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/OS_WinText.h"

void OS_Utf8Arguments(int& argc, char**& argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return;
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    texts.clear();
    for (int i = 0; i < count; ++i) texts.push_back(OS_Utf8(wide[i]));
    LocalFree(wide);
    pointers.clear();
    for (std::string& text : texts) pointers.push_back(&text[0]);
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
}

namespace {

bool Redirected(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

void OS_UseParentConsole() {
    // A console program (tarsk.com) or redirected output has what it needs.
    if (GetConsoleWindow() || (Redirected(STD_OUTPUT_HANDLE) && Redirected(STD_ERROR_HANDLE))) {
        SetConsoleOutputCP(CP_UTF8);
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    SetConsoleOutputCP(CP_UTF8);
    if (!Redirected(STD_OUTPUT_HANDLE)) std::freopen("CONOUT$", "w", stdout);
    if (!Redirected(STD_ERROR_HANDLE)) std::freopen("CONOUT$", "w", stderr);
}
