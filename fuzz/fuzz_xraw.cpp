// libFuzzer target for the raw volume reader: any bytes through
// TK_Plugin_RAW::ReadBytes, then normalisation, a write and a second read
// that must give the same voxels and palette. Catches forged sizes that
// allocate or read past the data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "plugins/TK_Plugin_RAW.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TK_Model model;
    if (!TK_Plugin_RAW::ReadBytes(data, size, model)) return 0;
    // One index byte per voxel, all of them from the data.
    if (size_t(model.voxels.Count()) > size) std::abort();
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    model.NormalizeModel(limit, 1);
    if (model.voxels.Empty()) return 0;

    std::vector<uint8_t> bytes;
    TK_Model again;
    if (!TK_Plugin_RAW::WriteBytes(model, bytes) || !TK_Plugin_RAW::ReadBytes(bytes.data(), bytes.size(), again))
        std::abort();
    if (again.voxels.Count() != model.voxels.Count() || again.palette != model.palette) std::abort();
    for (int a = 0; a < 3; ++a)
        if (again.size[a] != model.size[a]) std::abort();
    return 0;
}
