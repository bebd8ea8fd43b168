// MS_ShaderWorker: runs the voxel shaders of "xs" in a child process, so a
// shader that never ends (or hangs the GL driver) costs a failed command,
// not the session. The child is the program itself started as
// `tarsk --shader-worker FD`: it makes its own offscreen context, then
// answers jobs on a socket (the job's fields, the shader text and the
// model's cells one way; a status byte and the new cells the other). It
// stays alive between jobs, so only the first "xs" of a session pays for
// the start and the context.
//
// The rule not to break: the parent never waits without a bound. A job
// that is not answered within the time limit, or a stop signal, kills the
// child; the command then fails and the next job starts a new one.
//
// The process and its channel are the platform's (MS_ShaderWorker.cpp for
// POSIX, MS_ShaderWorker_win.cpp for Windows); what goes over the channel,
// and Evaluate, are shared (MS_ShaderWorkerProtocol).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "edit/TK_VoxelShaderEvaluator.h"

class MS_ShaderWorker : public TK_VoxelShaderEvaluator {
public:
    // `program` is the tarsk executable; `limitSeconds` bounds each job.
    MS_ShaderWorker(std::string program, double limitSeconds);
    ~MS_ShaderWorker() override;
    MS_ShaderWorker(const MS_ShaderWorker&) = delete;
    MS_ShaderWorker& operator=(const MS_ShaderWorker&) = delete;

    // False after printing "[Error] xs : ..." when the shader fails, runs
    // past the limit, a stop signal arrives, or the worker cannot start.
    bool Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) override;
    // Called about every 50 ms while a job runs: the editor keeps its
    // window drawn. The hook must not run commands.
    void SetWaitHook(std::function<void()> hook) { m_waitHook = std::move(hook); }

private:
    enum class Wait { Done, Timeout, Signal, Broken };
    // The running worker: its process and the parent's end of the channel,
    // released (the process killed) with the object.
    struct Child;
    bool Start();
    void Stop();
    // Sends `out` and receives `inBytes` bytes, both by `deadline` (OS_Seconds).
    Wait Exchange(const std::string& out, uint8_t* in, size_t inBytes, double deadline);
    // One turn of Exchange's loop, the same on every platform: the wait hook
    // when it is due (`hooked`: its last call), then Signal or Timeout when
    // the job must end; else Done, with the bound of this turn's wait.
    Wait Turn(double& hooked, double deadline, int& waitMs);

    std::string m_program;
    double m_limit;
    std::unique_ptr<Child> m_child;
    std::function<void()> m_waitHook;
};

// The child's side: serves jobs on `channel` (a descriptor on POSIX, a
// handle on Windows) until the parent closes it (or dies). Returns the
// process's exit status.
int MS_RunShaderWorker(intptr_t channel);
// True when argv names the worker mode; `channel` receives its value.
bool MS_IsShaderWorkerCall(int argc, char** argv, intptr_t& channel);
