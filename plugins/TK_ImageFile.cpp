// Whole-file reads and writes of the palette image plugins (see
// TK_ImageFile.h).
#include "plugins/TK_ImageFile.h"

#include "core/OMB_AtomicFile.h"
#include "core/OMB_BitFile.h"

bool TK_ReadFileBytes(const std::string& path, size_t maxSize, std::vector<uint8_t>& bytes) {
    bytes.clear();
    OMB_LoadBitFile file;
    if (path.empty() || !file.Open(path.c_str())) return false;
    const int64_t size = file.Size();
    if (size < 0 || uint64_t(size) > maxSize) return false;
    bytes.resize(size_t(size));
    if (size > 0 && !file.ReadBytes(bytes.data(), bytes.size())) {
        bytes.clear();
        return false;
    }
    return true;
}

bool TK_WriteFileBytes(const std::string& path, const void* data, size_t size) {
    return !path.empty() && OMB_WriteFileAtomic(path, data, size);
}
