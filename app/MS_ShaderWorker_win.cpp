// The voxel shader worker on Windows (see MS_ShaderWorker.h). The child
// process of the POSIX version (a socket pair, posix_spawn, SIGKILL) has no
// Windows twin yet: until it has (CreateProcessW with inherited pipes,
// TerminateProcess at the time limit), "xs" fails with a clear message
// instead of running a shader without the protection of its own process.
#include "app/MS_ShaderWorker.h"

#include <cstring>

struct MS_ShaderWorker::Child {};

MS_ShaderWorker::MS_ShaderWorker(std::string program, double limitSeconds)
    : m_program(std::move(program)), m_limit(limitSeconds) {}

MS_ShaderWorker::~MS_ShaderWorker() = default;

bool MS_ShaderWorker::Start() { return false; }

void MS_ShaderWorker::Stop() { m_child.reset(); }

MS_ShaderWorker::Wait MS_ShaderWorker::Exchange(const std::string&, uint8_t*, size_t, double) { return Wait::Broken; }

bool MS_IsShaderWorkerCall(int argc, char** argv, intptr_t& channel) {
    channel = -1;
    return argc == 3 && std::strcmp(argv[1], "--shader-worker") == 0;
}

int MS_RunShaderWorker(intptr_t) { return 1; }
