// The voxel shader worker and its parent's side (see MS_ShaderWorker.h).
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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/MS_OffscreenGL.h"
#include "core/OMB_Log.h"
#include "core/OS_Signals.h"
#include "core/OS_Stopwatch.h"
#include "render/TK_GLVoxelShader.h"

extern char** environ;

namespace {

constexpr uint32_t kMagic = 0x53584b54;  // "TKXS"
constexpr uint32_t kMaxNameBytes = 4096;
constexpr uint32_t kMaxSourceBytes = 1 << 20;
constexpr int kMaxSide = 1024;
constexpr int64_t kMaxCells = int64_t(1) << 26;
// The worker's own start (program, driver, context) is not the shader's
// time; it gets a generous bound of its own.
constexpr double kStartLimit = 60;
constexpr double kHookInterval = 0.05;

struct JobHeader {
    uint32_t magic = kMagic;
    uint32_t nameBytes = 0;
    uint32_t sourceBytes = 0;
    int32_t size[3] = {1, 1, 1};
    int32_t numVoxels = 0;
    int32_t quiet = 0;
    float colorIndex = 0;
    float mirror[3] = {0, 0, 0};
    float axis[3] = {0, 0, 0};
    float args[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    float frame = 0;
};

int64_t CellCount(const int32_t size[3]) { return int64_t(size[0]) * size[1] * size[2]; }

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

bool ValidHeader(const JobHeader& h) {
    if (h.magic != kMagic || h.nameBytes > kMaxNameBytes || h.sourceBytes > kMaxSourceBytes) return false;
    for (int32_t side : h.size)
        if (side < 1 || side > kMaxSide) return false;
    return CellCount(h.size) <= kMaxCells && h.numVoxels >= 0;
}

std::string Serialize(const TK_VoxelShaderJob& job) {
    JobHeader h;
    h.nameBytes = uint32_t(job.fileName.size());
    h.sourceBytes = uint32_t(job.source.size());
    std::copy(job.size, job.size + 3, h.size);
    h.numVoxels = job.numVoxels;
    h.quiet = OMB_GetLogMode() == OMB_LogMode::ProblemsOnly;
    h.colorIndex = job.colorIndex;
    std::copy(job.mirror, job.mirror + 3, h.mirror);
    std::copy(job.axis, job.axis + 3, h.axis);
    std::copy(job.args, job.args + 8, h.args);
    h.frame = job.frame;
    std::string out(reinterpret_cast<const char*>(&h), sizeof h);
    out += job.fileName;
    out += job.source;
    out.append(reinterpret_cast<const char*>(job.cells), size_t(CellCount(h.size)));
    return out;
}

// Reads one job; false at the parent's end or on a malformed job.
bool ReadJob(int fd, TK_VoxelShaderJob& job, std::vector<uint8_t>& cells, bool& quiet) {
    JobHeader h;
    if (!ReadAll(fd, &h, sizeof h) || !ValidHeader(h)) return false;
    job.fileName.resize(h.nameBytes);
    job.source.resize(h.sourceBytes);
    cells.resize(size_t(CellCount(h.size)));
    if (!ReadAll(fd, &job.fileName[0], h.nameBytes) || !ReadAll(fd, &job.source[0], h.sourceBytes) ||
        !ReadAll(fd, cells.data(), cells.size()))
        return false;
    std::copy(h.size, h.size + 3, job.size);
    job.cells = cells.data();
    job.numVoxels = h.numVoxels;
    job.colorIndex = h.colorIndex;
    std::copy(h.mirror, h.mirror + 3, job.mirror);
    std::copy(h.axis, h.axis + 3, job.axis);
    std::copy(h.args, h.args + 8, job.args);
    job.frame = h.frame;
    quiet = h.quiet != 0;
    return true;
}

}  // namespace

// ---------------------------------------------------------------- the child

bool MS_IsShaderWorkerCall(int argc, char** argv, int& fd) {
    if (argc != 3 || std::strcmp(argv[1], "--shader-worker") != 0) return false;
    fd = std::atoi(argv[2]);
    return fd > 2;
}

int MS_RunShaderWorker(int fd) {
    // An orphaned worker would run an endless shader for ever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) return 1;
    std::unique_ptr<TK_GLContext> context = MS_OffscreenGL::Create();
    std::fflush(stdout);
    const uint8_t ready = context ? 1 : 0;
    if (!WriteAll(fd, &ready, 1) || !context) return 1;
    TK_GLVoxelShaderEvaluator evaluator;
    TK_VoxelShaderJob job;
    std::vector<uint8_t> cells, result;
    bool quiet = false;
    while (ReadJob(fd, job, cells, quiet)) {
        OMB_SetLogMode(quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
        result.assign(cells.size(), 0);
        const uint8_t ok = evaluator.Evaluate(job, result.data()) ? 1 : 0;
        // The parent's standard output is ours: its messages come first.
        std::fflush(stdout);
        if (!WriteAll(fd, &ok, 1) || (ok && !WriteAll(fd, result.data(), result.size()))) return 1;
    }
    return 0;
}

// ---------------------------------------------------------------- the parent

MS_ShaderWorker::MS_ShaderWorker(std::string program, double limitSeconds)
    : m_program(std::move(program)), m_limit(limitSeconds) {}

MS_ShaderWorker::~MS_ShaderWorker() { Stop(); }

bool MS_ShaderWorker::Start() {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return false;
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
    const int spawned = childFd >= 0 ? posix_spawn(&m_pid, m_program.c_str(), &actions, nullptr, argv, environ) : -1;
    posix_spawn_file_actions_destroy(&actions);
    if (childFd >= 0) close(childFd);
    m_fd = pair[0];
    if (spawned != 0) {
        m_pid = -1;
        Stop();
        return false;
    }
    fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    uint8_t ready = 0;
    if (Exchange(std::string(), &ready, 1, OS_Seconds() + kStartLimit) == Wait::Done && ready == 1) return true;
    Stop();
    return false;
}

void MS_ShaderWorker::Stop() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

MS_ShaderWorker::Wait MS_ShaderWorker::Exchange(const std::string& out, uint8_t* in, size_t inBytes,
                                                double deadline) {
    size_t sent = 0, got = 0;
    double hooked = OS_Seconds();
    while (sent < out.size() || got < inBytes) {
        if (m_waitHook && OS_Seconds() - hooked >= kHookInterval) {
            m_waitHook();
            hooked = OS_Seconds();
        }
        if (OS_StopSignal()) return Wait::Signal;
        const double left = deadline - OS_Seconds();
        if (left <= 0) return Wait::Timeout;
        pollfd fds[2] = {{m_fd, short(POLLIN | (sent < out.size() ? POLLOUT : 0)), 0}, {OS_StopSignalFd(), POLLIN, 0}};
        // A short bound as well: the signal may have come before the pipe
        // existed, and the wait hook wants its turn.
        const int waitMs = int(std::min(left * 1000.0 + 1, kHookInterval * 1000.0));
        if (poll(fds, fds[1].fd >= 0 ? 2 : 1, waitMs) < 0 && errno != EINTR) return Wait::Broken;
        if (fds[0].revents & POLLOUT) {
            const ssize_t put = send(m_fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
            if (put < 0 && errno != EAGAIN && errno != EINTR) return Wait::Broken;
            if (put > 0) sent += size_t(put);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t r = got < inBytes ? recv(m_fd, in + got, inBytes - got, 0) : 0;
            if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) return Wait::Broken;
            if (r > 0) got += size_t(r);
        }
    }
    return Wait::Done;
}

bool MS_ShaderWorker::Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) {
    const int64_t cells = int64_t(job.size[0]) * job.size[1] * job.size[2];
    if (cells < 1 || cells > kMaxCells || !job.cells || job.source.size() > kMaxSourceBytes) {
        OMB_Printf("[Error] xs : %s : the job is too large\n", job.fileName.c_str());
        return false;
    }
    // Our buffered lines come before the worker's.
    std::fflush(stdout);
    if (m_pid <= 0 && !Start()) {
        if (OS_StopSignal()) return false;
        OMB_Printf("[Error] xs : cannot start the shader worker %s\n", m_program.c_str());
        return false;
    }
    const double deadline = OS_Seconds() + m_limit;
    uint8_t ok = 0;
    Wait wait = Exchange(Serialize(job), &ok, 1, deadline);
    if (wait == Wait::Done && ok) wait = Exchange(std::string(), result, size_t(cells), deadline);
    if (wait == Wait::Done) return ok != 0;
    Stop();
    if (wait == Wait::Timeout)
        OMB_Printf("[Error] xs : %s ran past the time limit of %g s\n",
                   job.fileName.c_str(), m_limit);
    else if (wait == Wait::Signal || OS_StopSignal())
        OMB_Printf("[Error] xs : %s stopped by a signal\n", job.fileName.c_str());
    else
        OMB_Printf("[Error] xs : the shader worker ended while running %s\n", job.fileName.c_str());
    return false;
}
