// libFuzzer target for the Slab6 reader (and, for inputs starting with
// "VOX ", the native reader it hands them to): any bytes through
// TK_Plugin_SLAB::ReadBytes, normalisation, then a Slab6 write and a second
// read that must give the same voxels. Catches length checks that overflow
// and reads past the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/OMB_Log.h"
#include "plugins/TK_Plugin_SLAB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    TK_Model model;
    if (!TK_Plugin_SLAB::ReadBytes(data, size, model)) return 0;
    if (size_t(model.voxels.Count()) > size) std::abort();
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    model.NormalizeModel(limit, 1);
    if (model.voxels.Empty()) return 0;

    std::vector<uint8_t> bytes;
    TK_Model again;
    if (!TK_Plugin_SLAB::WriteBytes(model, bytes) || !TK_Plugin_SLAB::ReadBytes(bytes.data(), bytes.size(), again))
        std::abort();
    if (again.voxels.Count() != model.voxels.Count()) std::abort();
    for (int a = 0; a < 3; ++a)
        if (again.size[a] != model.size[a]) std::abort();
    return 0;
}
