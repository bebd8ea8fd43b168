// Slab6 reader and writer (see TK_Plugin_SLAB.h).
#include "plugins/TK_Plugin_SLAB.h"

#include "core/OMB_Log.h"
#include "model/TK_VoxFile.h"
#include "plugins/TK_PluginFile.h"

namespace {

constexpr uint8_t kEmpty = 255;
constexpr int kPaletteBytes = 768;
constexpr int kOverhead = 12 + kPaletteBytes;

// One x slab of the file (size y * size z bytes, y' and z' reversed). Every
// cell is written as a voxel word but only filled ones are counted, so the
// loop does not branch per cell.
void AddSlab(const uint8_t* slab, int x, const int32_t file[3], TK_Model& model) {
    const int64_t sy = file[1], sz = file[2];
    const int64_t z2First = std::max<int64_t>(0, sz - model.size[2]);
    for (int64_t y2 = std::max<int64_t>(0, sy - model.size[1]); y2 < sy; ++y2) {
        const uint8_t* column = slab + y2 * sz;
        const uint32_t base = uint32_t(x) | uint32_t(sy - 1 - y2) << 8;
        const int start = model.voxels.Count();
        Voxel* out = model.voxels.Extend(int(sz - z2First));
        int n = 0;
        for (int64_t z2 = z2First; z2 < sz; ++z2) {
            const uint32_t value = column[z2];
            StoreVoxelWord(out + n, base | uint32_t(sz - 1 - z2) << 16 | (value + 1) << 24);
            n += value != kEmpty;
        }
        model.voxels.Truncate(start + n);
    }
}

void ReadPalette(OMB_LoadBitFile& file, Palette& palette) {
    uint8_t rgb[kPaletteBytes] = {};
    file.ReadBytes(rgb, sizeof rgb);
    for (int k = 0; k < 255; ++k)
        palette[k + 1] = PackRGBA(std::min(rgb[3 * k] * 4, 255), std::min(rgb[3 * k + 1] * 4, 255),
                                  std::min(rgb[3 * k + 2] * 4, 255));
}

}  // namespace

bool TK_Plugin_SLAB::Read(OMB_LoadBitFile& file, TK_Model& model) {
    uint8_t bytes[12];
    if (!file.ReadBytes(bytes, sizeof bytes)) return false;
    int32_t size[3];
    for (int a = 0; a < 3; ++a) size[a] = OMB_GetInt32LE(bytes + 4 * a);
    if (size[0] < 1 || size[1] < 1 || size[2] < 1) {
        OMB_Printf("[Error] SLAB : invalid size\n");
        return false;
    }
    const int64_t cells = BoundedVolume(size[0], size[1], size[2], file.Size());
    if (cells < 0 || cells != file.Size() - kOverhead) {
        OMB_Printf("[Error] SLAB : file size not match\n");
        return false;
    }
    model.voxels.Clear();
    for (int a = 0; a < 3; ++a) model.size[a] = ClampFileAxis(size[a]);
    model.voxels.Reserve(model.CellCount());  // the list never moves while it fills
    const int64_t slabBytes = int64_t(size[1]) * size[2];
    std::vector<uint8_t> slab(static_cast<size_t>(slabBytes));
    for (int x = 0; x < model.size[0]; ++x) {
        if (!file.Seek(12 + x * slabBytes) || !file.ReadBytes(slab.data(), slab.size())) return false;
        AddSlab(slab.data(), x, size, model);
    }
    if (!file.Seek(file.Size() - kPaletteBytes)) return false;
    ReadPalette(file, model.palette);
    return true;
}

bool TK_Plugin_SLAB::Write(OMB_SaveBitFile& file, const TK_Model& model) {
    if (model.voxels.Empty()) return false;
    const size_t sx = size_t(model.size[0]), sy = size_t(model.size[1]), sz = size_t(model.size[2]);
    for (int a = 0; a < 3; ++a) file.WriteInt32(model.size[a]);
    std::vector<uint8_t> grid(sx * sy * sz, 0);
    ScatterVoxels(model, grid.data(),
                  [sy, sz](size_t x, size_t y, size_t z) { return sz - 1 - z + sz * (sy - 1 - y) + sy * sz * x; });
    // Colour index - 1 for every cell: an empty cell (0) wraps to 255.
    for (uint8_t& cell : grid) cell = uint8_t(cell - 1);
    uint8_t rgb[kPaletteBytes];
    for (int k = 0; k < 256; ++k) {
        const uint32_t c = model.palette[(k + 1) & 255];
        rgb[3 * k] = uint8_t(ColorR(c) >> 2);
        rgb[3 * k + 1] = uint8_t(ColorG(c) >> 2);
        rgb[3 * k + 2] = uint8_t(ColorB(c) >> 2);
    }
    return file.WriteBytes(grid.data(), grid.size()) && file.WriteBytes(rgb, sizeof rgb);
}

bool TK_Plugin_SLAB::ReadBytes(const void* data, size_t size, TK_Model& model) {
    if (HasVoxMagic(data, size)) return ReadVoxBytes(model, data, size);
    return TK_BinaryPlugin::ReadBytes(data, size, model);
}

bool TK_Plugin_SLAB::LoadModel(const std::string& path, const std::string& options, TK_Model& model) {
    if (FileHasVoxMagic(path.c_str())) return ReadVox(model, path.c_str());
    return TK_BinaryPlugin::LoadModel(path, options, model);
}

