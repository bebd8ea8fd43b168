// The app tests' child processes on POSIX (see TK_AppTest.h):
// posix_spawn with the output redirected, waitpid polled against a limit.
// The Windows twin is TK_AppProcess_win_support.cpp.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "TK_AppTest.h"

extern char** environ;

pid_t SpawnTarsk(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    const std::string program = std::string(TK_BUILD_DIR) + "/tarsk";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.empty() ? "/dev/null" : err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitExit(pid_t pid, double limit, double& seconds) {
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (seconds > limit) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

long OtherRunningProcessId() { return long(getppid()); }
