// File dialogs through zenity or kdialog (see OS_FileDialog.h). The tool runs
// without a shell, so paths and titles are never interpreted; its output is
// read with a fixed bound.
#include "core/OS_FileDialog.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/OMB_Log.h"

extern char** environ;

namespace {

constexpr size_t kMaxOutput = 64 * 1024;

void WarnUnavailable() {
    static bool warned = false;
    if (warned) return;
    warned = true;
    OMB_Printf("[Warning] file dialog unavailable\n");
}

bool InPath(const char* tool) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = std::min(dirs.find(':', begin), dirs.size());
        std::string dir = dirs.substr(begin, end - begin);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + tool;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        begin = end + 1;
    }
    return false;
}

std::string StartPath(const OS_FileRequest& o) {
    std::string folder = o.folder.empty() ? "." : o.folder;
    return folder + "/" + (o.save ? o.name : std::string());
}

std::vector<std::string> ZenityArgs(const OS_FileRequest& o) {
    std::vector<std::string> args = {"zenity", "--file-selection", "--filename=" + StartPath(o)};
    if (!o.title.empty()) args.push_back("--title=" + o.title);
    if (o.save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    if (!o.filter.empty())
        args.push_back("--file-filter=" + o.filter + " | " + OS_FileDialog::FilterPatterns(o.filter));
    return args;
}

std::vector<std::string> KdialogArgs(const OS_FileRequest& o) {
    std::vector<std::string> args = {"kdialog"};
    if (!o.title.empty()) {
        args.push_back("--title");
        args.push_back(o.title);
    }
    args.push_back(o.save ? "--getsavefilename" : "--getopenfilename");
    args.push_back(StartPath(o));
    if (!o.filter.empty()) args.push_back(OS_FileDialog::FilterPatterns(o.filter) + "|" + o.filter);
    return args;
}

// Runs the tool with stdout into a pipe; true when it exited with 0.
bool RunTool(const std::vector<std::string>& args, std::string& output) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            // Keep draining past the bound so the child never blocks.
            output.append(buffer, std::min(size_t(n), kMaxOutput - output.size()));
        }
    }
    ::close(pipeFds[0]);
    if (spawned != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool OS_FileDialog::HasHelper() { return InPath("zenity") || InPath("kdialog"); }

bool OS_FileDialog::Run(const OS_FileRequest& options, std::string& path) {
    path.clear();
    std::vector<std::string> args;
    if (!options.headless && InPath("zenity"))
        args = ZenityArgs(options);
    else if (!options.headless && InPath("kdialog"))
        args = KdialogArgs(options);
    if (args.empty()) {
        WarnUnavailable();
        return false;
    }
    std::string output;
    if (!RunTool(args, output)) return false;
    output.erase(std::min(output.find('\n'), output.size()));
    std::replace(output.begin(), output.end(), '\\', '/');
    if (output.empty()) return false;
    path = output;
    return true;
}
