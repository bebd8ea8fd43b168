// Raw indexed volume reader and writer (see TK_Plugin_RAW.h).
#include "plugins/TK_Plugin_RAW.h"

#include <cstring>

#include "plugins/TK_PluginFile.h"

namespace {

const uint8_t kMagic[4] = {'X', 'R', 'A', 'W'};
const uint8_t kFormat[4] = {0, 4, 8, 8};  // unsigned, RGBA, 8 bits per channel, 8 bits per index
constexpr int kPaletteSize = 256;

struct Header {
    int32_t size[3] = {0, 0, 0};
};

bool ReadHeader(OMB_LoadBitFile& file, Header& h) {
    uint8_t bytes[24];
    if (!file.ReadBytes(bytes, sizeof bytes)) return false;
    if (std::memcmp(bytes, kMagic, 4) != 0 || std::memcmp(bytes + 4, kFormat, 4) != 0) return false;
    for (int a = 0; a < 3; ++a) {
        h.size[a] = OMB_GetInt32LE(bytes + 8 + 4 * a);
        if (h.size[a] <= 0) return false;
    }
    return OMB_GetInt32LE(bytes + 20) == kPaletteSize;
}

// Every cell is written as a voxel but only filled ones are counted, so the
// loop does not branch per cell.
void AddRow(const uint8_t* row, int y, int z, TK_Model& model) {
    const int start = model.voxels.Count(), width = model.size[0];
    Voxel* out = model.voxels.Extend(width);
    const uint32_t base = uint32_t(y) << 8 | uint32_t(z) << 16;
    int n = 0;
    for (int x = 0; x < width; ++x) {
        const uint32_t index = row[x];
        StoreVoxelWord(out + n, base + uint32_t(x) + (index << 24));
        n += index != 0;
    }
    model.voxels.Truncate(start + n);
}

// Index bytes in slices of width x height; slices and rows past the kept
// size are skipped unread.
bool ReadIndices(OMB_LoadBitFile& file, const Header& h, TK_Model& model) {
    const int64_t slice = int64_t(h.size[0]) * h.size[1];
    const int64_t start = file.Tell();
    std::vector<uint8_t> bytes;
    for (int z = 0; z < model.size[2]; ++z) {
        const int64_t rows = std::min<int64_t>(h.size[1], model.size[1]);
        bytes.resize(size_t(rows * h.size[0]));
        if (!file.Seek(start + z * slice) || !file.ReadBytes(bytes.data(), bytes.size())) return false;
        for (int y = 0; y < rows; ++y) AddRow(&bytes[size_t(y) * size_t(h.size[0])], y, z, model);
    }
    return file.Seek(start + slice * h.size[2]);
}

}  // namespace

bool TK_Plugin_RAW::Read(OMB_LoadBitFile& file, TK_Model& model) {
    Header h;
    if (!ReadHeader(file, h)) return false;
    // The whole index block must be there before anything is kept.
    if (BoundedVolume(h.size[0], h.size[1], h.size[2], file.Remaining()) < 0) return false;
    model.voxels.Clear();
    for (int a = 0; a < 3; ++a) model.size[a] = ClampFileAxis(h.size[a]);
    model.voxels.Reserve(model.CellCount());  // the list never moves while it fills
    if (!ReadIndices(file, h, model)) return false;
    uint8_t colors[4 * kPaletteSize];
    const size_t n = size_t(std::min<int64_t>(sizeof colors, file.Remaining())) / 4;
    file.ReadBytes(colors, 4 * n);
    for (size_t i = 0; i < n; ++i) model.palette[int(i)] = uint32_t(OMB_GetInt32LE(colors + 4 * i));
    return true;
}

bool TK_Plugin_RAW::Write(OMB_SaveBitFile& file, const TK_Model& model) {
    if (model.voxels.Empty()) return false;
    const size_t sx = size_t(model.size[0]), sy = size_t(model.size[1]), sz = size_t(model.size[2]);
    file.WriteBytes(kMagic, 4);
    file.WriteBytes(kFormat, 4);
    for (int a = 0; a < 3; ++a) file.WriteInt32(model.size[a]);
    file.WriteInt32(kPaletteSize);
    std::vector<uint8_t> grid(sx * sy * sz, 0);
    ScatterVoxels(model, grid.data(), [sx, sy](size_t x, size_t y, size_t z) { return x + sx * (y + sy * z); });
    uint8_t colors[4 * kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) OMB_PutInt32LE(colors + 4 * i, int32_t(model.palette[i]));
    return file.WriteBytes(grid.data(), grid.size()) && file.WriteBytes(colors, sizeof colors);
}

