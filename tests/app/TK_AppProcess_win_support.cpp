// The app tests' child processes on Windows (see TK_AppTest.h; the POSIX
// twin is TK_AppProcess_support.cpp): tarsk.com, the console twin, started
// with CreateProcessW and its output in inherited file handles. The "pid"
// handed back is the process id; its handle stays open until WaitExit, so
// the exit status can still be read after the process ends.
#include <windows.h>

#include <chrono>
#include <map>
#include <mutex>

#include "TK_AppTest.h"
#include "core/OS_WinText.h"

namespace {

std::mutex gLock;
std::map<pid_t, HANDLE> gProcesses;

// One argument as CommandLineToArgvW reads it back: quoted when it has a
// space, tab or quote, backslashes doubled only before a quote.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(2 * slashes, L'\\');
    return out + L"\"";
}

std::wstring ConsoleProgram() { return OS_WidePath(std::string(TK_BUILD_DIR) + "/tarsk.com"); }

HANDLE OpenForChild(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return CreateFileW(path.empty() ? L"NUL" : OS_WidePath(path).c_str(), GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

pid_t SpawnTarsk(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    const std::wstring program = ConsoleProgram();
    std::wstring line = QuoteArgument(program);
    for (const std::string& a : args) line += L" " + QuoteArgument(OS_Wide(a));
    HANDLE output = OpenForChild(out), error = OpenForChild(err);
    STARTUPINFOW start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = INVALID_HANDLE_VALUE;
    start.hStdOutput = output;
    start.hStdError = error;
    PROCESS_INFORMATION process{};
    const bool started = output != INVALID_HANDLE_VALUE && error != INVALID_HANDLE_VALUE &&
                         CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &start, &process);
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    if (error != INVALID_HANDLE_VALUE) CloseHandle(error);
    if (!started) return -1;
    CloseHandle(process.hThread);
    std::lock_guard<std::mutex> lock(gLock);
    gProcesses[pid_t(process.dwProcessId)] = process.hProcess;
    return pid_t(process.dwProcessId);
}

int WaitExit(pid_t pid, double limit, double& seconds) {
    HANDLE process = nullptr;
    {
        std::lock_guard<std::mutex> lock(gLock);
        const auto found = gProcesses.find(pid);
        if (found == gProcesses.end()) return -1;
        process = found->second;
        gProcesses.erase(found);
    }
    const auto start = std::chrono::steady_clock::now();
    const DWORD waited = WaitForSingleObject(process, DWORD(limit * 1000));
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    DWORD status = DWORD(-1);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
    } else if (!GetExitCodeProcess(process, &status)) {
        status = DWORD(-1);
    }
    CloseHandle(process);
    return waited != WAIT_OBJECT_0 ? -2 : int(status);
}

// A process of our own that stays until this one ends: the console program,
// started suspended (it runs no code) and ended with the test process.
// Windows gives no parent to rely on, and another process found in the
// process list may end at any time (under Wine, a new prefix's set-up).
long OtherRunningProcessId() {
    static struct Sleeper {
        PROCESS_INFORMATION info{};
        Sleeper() {
            std::wstring line = QuoteArgument(ConsoleProgram());
            STARTUPINFOW start{};
            start.cb = sizeof(start);
            if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                                nullptr, nullptr, &start, &info))
                info = PROCESS_INFORMATION{};
        }
        ~Sleeper() {
            if (!info.hProcess) return;
            TerminateProcess(info.hProcess, 0);
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    } sleeper;
    return sleeper.info.hProcess ? long(sleeper.info.dwProcessId) : -1;
}
