// Whole-process figures: runs the built program (TK_BUILD_DIR/tarsk) as a
// child with its output discarded, so a benchmark times start-up and all.
// Include only in benchmarks compiled with TK_BUILD_DIR defined.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>

#include <string>
#include <vector>

extern char** environ;

namespace tk_bench {

// Runs build/tarsk with ARGS, standard output and error discarded; true on
// exit status 0. With `peakMegabytes` the child's peak resident memory
// raises it.
inline bool RunTarsk(const std::vector<std::string>& args, double* peakMegabytes = nullptr) {
    const std::string program = std::string(TK_BUILD_DIR) + "/tarsk";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage = {};
    if (error != 0 || wait4(pid, &status, 0, &usage) != pid) return false;
    if (peakMegabytes) *peakMegabytes = std::max(*peakMegabytes, double(usage.ru_maxrss) / 1024.0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tk_bench
