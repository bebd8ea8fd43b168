// libFuzzer target for the native model file reader: any bytes through
// ReadVoxBytes (and so the chunk tree reader and the scene chunks' checks:
// nTRN, nGRP, nSHP, LAYR, MATL, rOBJ, rCAM, NOTE, IMAP), then the
// normalisation every caller runs, every other model of the file as "open
// #N" reads it, a colour swap through the kept chunks, then a write and a
// second read that must give the same model and the same materials and
// scene settings. Catches reads past the data, unbounded allocations from
// forged counts and chunk trees, and writer/reader disagreements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/OMB_Log.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    TK_Model model;
    TK_ModelLook look;
    if (!ReadVoxBytes(model, data, size, &look)) return 0;
    // Every voxel is read from the data: never more than the bytes hold.
    if (size_t(model.voxels.Count()) > size / 4) std::abort();
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    model.NormalizeModel(limit, 1);
    if (model.kept) {
        for (int k = 0; k < model.kept->modelCount; ++k) {
            TK_Model other;
            if (!TK_VoxKeptModel(*model.kept, k, other) || size_t(other.voxels.Count()) > size / 4) std::abort();
        }
        TK_VoxSwapColors(model, 1 + data[size / 2] % 255, 1 + data[size / 3] % 255);
    }

    std::vector<uint8_t> bytes;
    TK_Model again;
    TK_ModelLook lookAgain;
    if (!WriteVoxBytes(model, bytes, &look) || !ReadVoxBytes(again, bytes.data(), bytes.size(), &lookAgain)) std::abort();
    std::vector<uint8_t> first, second;
    look.Encode(first);
    lookAgain.Encode(second);
    if (first != second) std::abort();
    for (int a = 0; a < 3; ++a)
        if (again.size[a] != model.size[a]) std::abort();
    if (again.voxels.Count() != model.voxels.Count()) std::abort();
    for (int i = 0; i < model.voxels.Count(); ++i)
        if (again.voxels[i] != model.voxels[i]) std::abort();
    for (int i = 1; i < 256; ++i)
        if ((again.palette[i] ^ model.palette[i]) & 0x00FFFFFFu) std::abort();
    return 0;
}
