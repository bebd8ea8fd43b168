// The shader worker's protocol and the parent's side of one job (see
// MS_ShaderWorkerProtocol.h).
#include "app/MS_ShaderWorkerProtocol.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/MS_OffscreenGL.h"
#include "app/MS_ShaderWorker.h"
#include "core/OMB_Log.h"
#include "core/OS_Signals.h"
#include "core/OS_Stopwatch.h"
#include "render/TK_GLVoxelShader.h"

namespace {

constexpr uint32_t kMagic = 0x53584b54;  // "TKXS"
constexpr uint32_t kMaxNameBytes = 4096;
constexpr int kMaxSide = 1024;

// Both ends are this program built for one machine: the header goes as its
// bytes.
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

bool ValidHeader(const JobHeader& h) {
    if (h.magic != kMagic || h.nameBytes > kMaxNameBytes || h.sourceBytes > kShaderWorkerMaxSource) return false;
    for (int32_t side : h.size)
        if (side < 1 || side > kMaxSide) return false;
    return CellCount(h.size) <= kShaderWorkerMaxCells && h.numVoxels >= 0;
}

// Reads one job; false at the parent's end or on a malformed job.
bool ReadJob(const MS_ShaderWorkerChannel& channel, TK_VoxelShaderJob& job, std::vector<uint8_t>& cells,
             bool& quiet) {
    JobHeader h;
    if (!channel.read(&h, sizeof h) || !ValidHeader(h)) return false;
    job.fileName.resize(h.nameBytes);
    job.source.resize(h.sourceBytes);
    cells.resize(size_t(CellCount(h.size)));
    if (!channel.read(&job.fileName[0], h.nameBytes) || !channel.read(&job.source[0], h.sourceBytes) ||
        !channel.read(cells.data(), cells.size()))
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

std::string MS_ShaderJobMessage(const TK_VoxelShaderJob& job) {
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

int MS_ServeShaderJobs(const MS_ShaderWorkerChannel& channel) {
    std::unique_ptr<TK_GLContext> context = MS_OffscreenGL::Create();
    std::fflush(stdout);
    const uint8_t ready = context ? 1 : 0;
    if (!channel.write(&ready, 1) || !context) return 1;
    TK_GLVoxelShaderEvaluator evaluator;
    TK_VoxelShaderJob job;
    std::vector<uint8_t> cells, result;
    bool quiet = false;
    while (ReadJob(channel, job, cells, quiet)) {
        OMB_SetLogMode(quiet ? OMB_LogMode::ProblemsOnly : OMB_LogMode::All);
        result.assign(cells.size(), 0);
        const uint8_t ok = evaluator.Evaluate(job, result.data()) ? 1 : 0;
        // The parent's standard output is ours: its messages come first.
        std::fflush(stdout);
        if (!channel.write(&ok, 1) || (ok && !channel.write(result.data(), result.size()))) return 1;
    }
    return 0;
}

bool MS_ShaderWorker::Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) {
    const int64_t cells = int64_t(job.size[0]) * job.size[1] * job.size[2];
    if (cells < 1 || cells > kShaderWorkerMaxCells || !job.cells || job.source.size() > kShaderWorkerMaxSource) {
        OMB_Printf("[Error] xs : %s : the job is too large\n", job.fileName.c_str());
        return false;
    }
    // Our buffered lines come before the worker's.
    std::fflush(stdout);
    if (!m_child && !Start()) {
        if (OS_StopSignal()) return false;
        OMB_Printf("[Error] xs : cannot start the shader worker %s\n", m_program.c_str());
        return false;
    }
    const double deadline = OS_Seconds() + m_limit;
    uint8_t ok = 0;
    Wait wait = Exchange(MS_ShaderJobMessage(job), &ok, 1, deadline);
    if (wait == Wait::Done && ok) wait = Exchange(std::string(), result, size_t(cells), deadline);
    if (wait == Wait::Done) return ok != 0;
    Stop();
    if (wait == Wait::Timeout)
        OMB_Printf("[Error] xs : %s ran past the time limit of %g s\n", job.fileName.c_str(), m_limit);
    else if (wait == Wait::Signal || OS_StopSignal())
        OMB_Printf("[Error] xs : %s stopped by a signal\n", job.fileName.c_str());
    else
        OMB_Printf("[Error] xs : the shader worker ended while running %s\n", job.fileName.c_str());
    return false;
}

MS_ShaderWorker::Wait MS_ShaderWorker::Turn(double& hooked, double deadline, int& waitMs) {
    if (m_waitHook && OS_Seconds() - hooked >= kShaderWorkerHookInterval) {
        m_waitHook();
        hooked = OS_Seconds();
    }
    if (OS_StopSignal()) return Wait::Signal;
    const double left = deadline - OS_Seconds();
    if (left <= 0) return Wait::Timeout;
    // A short bound as well: the wait hook wants its turn, and a stop may
    // come with nothing to wake the wait.
    waitMs = int(std::min(left * 1000.0 + 1, kShaderWorkerHookInterval * 1000.0));
    return Wait::Done;
}
