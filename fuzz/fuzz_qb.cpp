// libFuzzer target for the Qubicle Binary reader: any bytes through
// TK_Plugin_QB::ReadBytes, then the normalisation every caller runs, then a
// write and a second read that must give the same coloured cells. Catches
// reads past the data, runs that write outside a matrix, voxel floods from
// tiny files, and writer/reader disagreements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "core/OMB_Log.h"
#include "plugins/TK_Plugin_QB.h"

namespace {

std::map<uint32_t, uint32_t> Cells(const TK_Model& m) {
    std::map<uint32_t, uint32_t> cells;
    for (const Voxel& v : m.voxels) cells[v.Word() & 0xFFFFFFu] = m.palette[v.colorIndex] & 0xFFFFFFu;
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    TK_Model model;
    if (!TK_Plugin_QB::ReadBytes(data, size, model)) return 0;
    if (model.voxels.Count() > kMaxQBVoxels) std::abort();
    for (int a = 0; a < 3; ++a)
        if (model.size[a] < 1 || model.size[a] > 256) std::abort();
    for (const Voxel& v : model.voxels)
        if (!model.InBox(v.x, v.y, v.z) || v.colorIndex == 0) std::abort();
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    model.NormalizeModel(limit, 1);
    if (model.voxels.Empty()) return 0;

    std::vector<uint8_t> bytes;
    TK_Model again;
    if (!TK_Plugin_QB::WriteBytes(model, bytes) || !TK_Plugin_QB::ReadBytes(bytes.data(), bytes.size(), again))
        std::abort();
    if (Cells(again) != Cells(model)) std::abort();
    return 0;
}
