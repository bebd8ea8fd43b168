// Temporary file plus rename (see OMB_AtomicFile.h).
#include "core/OMB_AtomicFile.h"

#include <unistd.h>

#include <cstdio>

bool OMB_WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    if (path.empty()) return false;
    // Same folder as the target, so that the rename never crosses devices;
    // the process id keeps two writers of one path apart.
    std::string temp = path + ".tmp" + std::to_string(::getpid());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}
