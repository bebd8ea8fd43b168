// The voxel shader worker's process and channel on POSIX (see
// MS_ShaderWorker.h): a socket pair, posix_spawn, poll with a deadline and
// SIGKILL at the time limit.
#include "app/MS_ShaderWorker.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/MS_ShaderWorkerProtocol.h"
#include "core/OS_Signals.h"
#include "core/OS_Stopwatch.h"

extern char** environ;

struct MS_ShaderWorker::Child {
    pid_t pid = -1;
    int fd = -1;

    ~Child() {
        if (fd >= 0) close(fd);
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
};

namespace {

bool ReadAll(int fd, void* data, size_t bytes) {
    auto* p = static_cast<uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t got = read(fd, p, bytes);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        bytes -= size_t(got);
    }
    return true;
}

bool WriteAll(int fd, const void* data, size_t bytes) {
    auto* p = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t put = send(fd, p, bytes, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        p += put;
        bytes -= size_t(put);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- the child

bool MS_IsShaderWorkerCall(int argc, char** argv, intptr_t& channel) {
    if (argc != 3 || std::strcmp(argv[1], "--shader-worker") != 0) return false;
    channel = std::atoi(argv[2]);
    return channel > 2;
}

int MS_RunShaderWorker(intptr_t channel) {
    // An orphaned worker would run an endless shader for ever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) return 1;
    const int fd = int(channel);
    return MS_ServeShaderJobs({[fd](void* data, size_t bytes) { return ReadAll(fd, data, bytes); },
                               [fd](const void* data, size_t bytes) { return WriteAll(fd, data, bytes); }});
}

// ---------------------------------------------------------------- the parent

MS_ShaderWorker::MS_ShaderWorker(std::string program, double limitSeconds)
    : m_program(std::move(program)), m_limit(limitSeconds) {}

MS_ShaderWorker::~MS_ShaderWorker() = default;

bool MS_ShaderWorker::Start() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
    m_child = std::make_unique<Child>();
    // The child's end is handed over as a high descriptor: a dup2 onto
    // itself would keep close-on-exec.
    const int childFd = fcntl(pair[1], F_DUPFD, 10);
    close(pair[1]);
    const std::string fdText = std::to_string(childFd);
    char* argv[] = {const_cast<char*>("tarsk"), const_cast<char*>("--shader-worker"), const_cast<char*>(fdText.c_str()),
                    nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pair[0]);
    const int spawned =
        childFd >= 0 ? posix_spawn(&m_child->pid, m_program.c_str(), &actions, nullptr, argv, environ) : -1;
    posix_spawn_file_actions_destroy(&actions);
    if (childFd >= 0) close(childFd);
    m_child->fd = pair[0];
    if (spawned != 0) {
        m_child->pid = -1;
        Stop();
        return false;
    }
    fcntl(m_child->fd, F_SETFL, fcntl(m_child->fd, F_GETFL) | O_NONBLOCK);
    uint8_t ready = 0;
    if (Exchange(std::string(), &ready, 1, OS_Seconds() + kShaderWorkerStartLimit) == Wait::Done && ready == 1)
        return true;
    Stop();
    return false;
}

void MS_ShaderWorker::Stop() { m_child.reset(); }

MS_ShaderWorker::Wait MS_ShaderWorker::Exchange(const std::string& out, uint8_t* in, size_t inBytes,
                                                double deadline) {
    const int fd = m_child->fd;
    size_t sent = 0, got = 0;
    double hooked = OS_Seconds();
    while (sent < out.size() || got < inBytes) {
        int waitMs = 0;
        const Wait turn = Turn(hooked, deadline, waitMs);
        if (turn != Wait::Done) return turn;
        // The stop signal's pipe wakes the wait too.
        pollfd fds[2] = {{fd, short(POLLIN | (sent < out.size() ? POLLOUT : 0)), 0}, {OS_StopSignalFd(), POLLIN, 0}};
        if (poll(fds, fds[1].fd >= 0 ? 2 : 1, waitMs) < 0 && errno != EINTR) return Wait::Broken;
        if (fds[0].revents & POLLOUT) {
            const ssize_t put = send(fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (put < 0 && errno != EAGAIN && errno != EINTR) return Wait::Broken;
            if (put > 0) sent += size_t(put);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t r = got < inBytes ? recv(fd, in + got, inBytes - got, 0) : 0;
            if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) return Wait::Broken;
            if (r > 0) got += size_t(r);
        }
    }
    return Wait::Done;
}
