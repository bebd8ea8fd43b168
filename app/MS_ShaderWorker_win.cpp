// The voxel shader worker on Windows (see MS_ShaderWorker.h). The child
// process of the POSIX version (a socket pair, posix_spawn, SIGKILL) has no
// Windows twin yet: until it has (CreateProcessW with inherited pipes,
// TerminateProcess at the time limit), "xs" fails with a clear message
// instead of running a shader without the protection of its own process.
#include "app/MS_ShaderWorker.h"

#include <cstring>

#include "core/OMB_Log.h"

MS_ShaderWorker::MS_ShaderWorker(std::string program, double limitSeconds)
    : m_program(std::move(program)), m_limit(limitSeconds) {}

MS_ShaderWorker::~MS_ShaderWorker() {}

bool MS_ShaderWorker::Evaluate(const TK_VoxelShaderJob& job, uint8_t*) {
    OMB_Printf("[Error] xs : %s : voxel shaders do not run on Windows yet\n", job.fileName.c_str());
    return false;
}

bool MS_IsShaderWorkerCall(int argc, char** argv, int& fd) {
    fd = -1;
    return argc == 3 && std::strcmp(argv[1], "--shader-worker") == 0;
}

int MS_RunShaderWorker(int) { return 1; }
