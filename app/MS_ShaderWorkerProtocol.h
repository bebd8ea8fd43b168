// MS_ShaderWorkerProtocol: what the shader worker and its parent say to each
// other, whatever carries it (a socket pair on POSIX, a named pipe on
// Windows: MS_ShaderWorker.cpp and MS_ShaderWorker_win.cpp own only that).
// The worker first sends one byte, 1 when it has its context. Then, per job,
// the parent sends a fixed header, the file name, the shader text and the
// cells; the worker answers a status byte and, after a 1, one byte per cell.
// MS_ShaderWorker::Evaluate, the parent's side of one command, is defined
// with the protocol (MS_ShaderWorkerProtocol.cpp): it is the same on every
// platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "edit/TK_VoxelShaderEvaluator.h"

// The largest box a job may carry, in cells, and the largest shader text.
constexpr int64_t kShaderWorkerMaxCells = int64_t(1) << 26;
constexpr uint32_t kShaderWorkerMaxSource = 1 << 20;
// The worker's own start (program, driver, context) is not the shader's
// time; it gets a generous bound of its own.
constexpr double kShaderWorkerStartLimit = 60;
// How often a waiting parent calls its wait hook, in seconds.
constexpr double kShaderWorkerHookInterval = 0.05;

// The bytes that carry `job` to the worker (the log mode goes with it).
std::string MS_ShaderJobMessage(const TK_VoxelShaderJob& job);

// The worker's ends of its channel: each moves the whole buffer or fails
// (the parent has gone).
struct MS_ShaderWorkerChannel {
    std::function<bool(void*, size_t)> read;
    std::function<bool(const void*, size_t)> write;
};
// The worker's life once its platform has set up the channel: makes the
// offscreen context, says whether it has one, then answers jobs until the
// parent closes the channel or sends a malformed job. Returns the process's
// exit status.
int MS_ServeShaderJobs(const MS_ShaderWorkerChannel& channel);
