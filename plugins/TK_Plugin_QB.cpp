// Qubicle Binary reader and writer (see TK_Plugin_QB.h).
//
// Sections: colour matching, matrix reading (plain and run-length), merging
// the matrices, the writer.
#include "plugins/TK_Plugin_QB.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "core/OMB_Log.h"
#include "plugins/TK_PluginFile.h"

namespace {

const uint8_t kVersion[4] = {1, 1, 0, 0};
constexpr uint32_t kEndSlice = 6;
constexpr uint32_t kRun = 2;

// ---------------------------------------------------------------- colours

// Palette indices for file colours: the first 255 distinct colours take the
// entries 1, 2, 3... (alpha kept), later ones the nearest entry. An index,
// once given, never changes, so every answer is kept in a table by colour:
// 4096 blocks of 4096 bytes, each made on first use (a shared zero block
// stands in for the others, so a lookup never branches).
class ColorMatcher {
public:
    explicit ColorMatcher(TK_Model& model) : m_model(model) {
        for (uint8_t*& block : m_top) block = s_unknown;
    }

    // The index of a colour already met, else 0.
    int Known(uint32_t rgb) const { return m_top[rgb >> 12][rgb & 4095]; }
    int Index(uint32_t rgba) {
        const int known = Known(rgba & 0x00FFFFFFu);
        return known ? known : Learn(rgba);
    }
    int Learn(uint32_t rgba) {
        const uint32_t rgb = rgba & 0x00FFFFFFu;
        uint8_t*& block = m_top[rgb >> 12];
        if (block == s_unknown) {
            m_blocks.emplace_back(new uint8_t[4096]());
            block = m_blocks.back().get();
        }
        const int index = Resolve(rgba);
        block[rgb & 4095] = uint8_t(index);
        return index;
    }

private:
    int Resolve(uint32_t rgba) {
        if (m_counter >= 256) return m_model.FindNearestColor(rgba);
        if (int i = m_model.FindExactColor(rgba, m_counter)) return i;
        m_model.palette[m_counter] = rgba;
        return m_counter++;
    }

    static uint8_t s_unknown[4096];  // never written
    TK_Model& m_model;
    int m_counter = 1;
    uint8_t* m_top[4096];
    std::vector<std::unique_ptr<uint8_t[]>> m_blocks;
};

uint8_t ColorMatcher::s_unknown[4096] = {};

uint32_t SwapRB(uint32_t c) { return (c & 0xFF00FF00u) | (c >> 16 & 0xFFu) | (c & 0xFFu) << 16; }

// ---------------------------------------------------------------- matrices

// A matrix's voxels are the range [begin, end) of the model's voxel list, in
// model axes relative to the matrix's lowest corner until they are merged.
struct Matrix {
    int size[3] = {1, 1, 1};    // QB axes, clamped
    int64_t lo[3] = {0, 0, 0};  // lowest model cell of the box
    int dims[3] = {1, 1, 1};    // model axes
    int begin = 0, end = 0;
};

struct ReadState {
    OMB_LoadBitFile& file;
    TK_Model& model;
    ColorMatcher& colors;
    bool bgra = false;
    bool ended = false;      // the data ran out or the voxel budget was spent
    bool truncated = false;  // a plain matrix ended early: the file is damaged
};

Voxel ToVoxel(const Matrix& m, int qx, int qy, int qz, int index) {
    return Voxel{uint8_t(m.size[0] - 1 - qx), uint8_t(qz), uint8_t(qy), uint8_t(index)};
}

// One row of a plain matrix. Every cell is written as a voxel word but only
// filled ones are counted, so the loop does not branch on empty cells; a row
// never passes the budget.
void AddRow(ReadState& s, const Matrix& m, const uint8_t* cells, int n, int qy, int qz) {
    if (s.model.voxels.Count() + n > kMaxQBVoxels) {
        s.ended = true;
        return;
    }
    const int start = s.model.voxels.Count();
    Voxel* out = s.model.voxels.Extend(n);
    const uint32_t base = uint32_t(qz) << 8 | uint32_t(qy) << 16;
    const uint32_t xTop = uint32_t(m.size[0] - 1);
    int k = 0;
    for (int qx = 0; qx < n; ++qx, cells += 4) {
        uint32_t color = uint32_t(OMB_GetInt32LE(cells));
        if (s.bgra) color = SwapRB(color);
        const bool filled = color >> 24 != 0;
        uint32_t index = uint32_t(s.colors.Known(color & 0x00FFFFFFu));
        if (filled && index == 0) index = uint32_t(s.colors.Learn(color));
        StoreVoxelWord(out + k, base | (xTop - uint32_t(qx)) | index << 24);
        k += filled;
    }
    s.model.voxels.Truncate(start + k);
}

void ReadPlain(ReadState& s, const Matrix& m) {
    const int w = m.size[0], h = m.size[1];
    const int64_t want = int64_t(w) * h * 4;
    // Room for every cell the data can still hold, so the list never moves.
    const int64_t room = std::min(want / 4 * m.size[2], s.file.Remaining() / 4);
    s.model.voxels.Reserve(int(std::min<int64_t>(s.model.voxels.Count() + room, kMaxQBVoxels)));
    std::vector<uint8_t> slice;
    for (int qz = 0; qz < m.size[2] && !s.ended; ++qz) {
        const int64_t have = std::min(want, s.file.Remaining());
        slice.resize(size_t(have));
        s.file.ReadBytes(slice.data(), slice.size());
        const int cells = int(have / 4);
        for (int qy = 0; qy * w < cells && qy < h && !s.ended; ++qy)
            AddRow(s, m, &slice[size_t(qy) * w * 4], std::min(w, cells - qy * w), qy, qz);
        if (have < want) s.ended = s.truncated = true;
    }
}

// Position p of slice qz in a run-length matrix.
void AddCell(ReadState& s, const Matrix& m, int64_t p, int qz, uint32_t color) {
    if (color >> 24 == 0) return;
    if (s.model.voxels.Count() >= kMaxQBVoxels) {
        s.ended = true;
        return;
    }
    const int index = s.colors.Index(s.bgra ? SwapRB(color) : color);
    s.model.voxels.Add(ToVoxel(m, int(p % m.size[0]), int(p / m.size[0]), qz, index));
}

bool ReadWord(ReadState& s, uint32_t& word) {
    int32_t value = 0;
    if (!s.file.ReadInt32(value)) s.ended = true;
    word = uint32_t(value);
    return !s.ended;
}

// One slice of a run-length matrix: positions past the slice are consumed
// but never stored, so no run can write outside the matrix.
void ReadRunLengthSlice(ReadState& s, const Matrix& m, int qz) {
    const int64_t cells = int64_t(m.size[0]) * m.size[1];
    int64_t p = 0;
    for (uint32_t word; !s.ended && ReadWord(s, word) && word != kEndSlice;) {
        if (word != kRun) {
            if (p < cells) AddCell(s, m, p, qz, word);
            ++p;
            continue;
        }
        uint32_t count = 0, color = 0;
        if (!ReadWord(s, count) || !ReadWord(s, color)) return;
        const int64_t end = std::min<int64_t>(p + count, cells);
        if (color >> 24 != 0)
            for (int64_t q = p; q < end && !s.ended; ++q) AddCell(s, m, q, qz, color);
        p += count;
    }
}

void ReadRunLength(ReadState& s, const Matrix& m) {
    for (int qz = 0; qz < m.size[2] && !s.ended; ++qz) ReadRunLengthSlice(s, m, qz);
}

// The header of one matrix, or false when the data ends inside it.
bool ReadMatrixHeader(ReadState& s, Matrix& m, int number) {
    uint8_t nameLength = 0;
    char name[256] = {};
    uint8_t numbers[24];
    if (!s.file.ReadByte(nameLength) || !s.file.ReadBytes(name, nameLength) || !s.file.ReadBytes(numbers, 24))
        return false;
    int32_t size[3], pos[3];
    for (int a = 0; a < 3; ++a) {
        size[a] = OMB_GetInt32LE(numbers + 4 * a);
        pos[a] = OMB_GetInt32LE(numbers + 12 + 4 * a);
        m.size[a] = ClampFileAxis(size[a]);
    }
    OMB_Printf("[Log] QB : # %d : %s : ( %d %d %d ) : ( %d %d %d )\n", number, name, size[0], size[1], size[2],
               pos[0], pos[2], pos[1]);
    // Rows are as long as the file says: a clamped side would misread the
    // rest, so a matrix past the limit is refused by name.
    for (int32_t side : size)
        if (side > kMaxFileAxis) {
            OMB_Printf("[Error] QB : matrix too large : %s : %d x %d x %d (at most %d a side)\n", name, size[0],
                       size[1], size[2], kMaxFileAxis);
            return false;
        }
    // Model axes: y and z exchanged, and x mirrored across the whole file
    // (not only inside the matrix) so that matrices keep their arrangement.
    m.dims[0] = m.size[0], m.dims[1] = m.size[2], m.dims[2] = m.size[1];
    m.lo[0] = -(int64_t(pos[0]) + m.size[0]);
    m.lo[1] = pos[2];
    m.lo[2] = pos[1];
    return true;
}

// ---------------------------------------------------------------- merging

// The union of the boxes of the matrices with voxels becomes the model box;
// each matrix's voxels move by its corner's offset in that box, in place.
bool Merge(const std::vector<Matrix>& matrices, TK_Model& model) {
    int64_t lo[3] = {INT64_MAX, INT64_MAX, INT64_MAX}, hi[3] = {INT64_MIN, INT64_MIN, INT64_MIN};
    for (const Matrix& m : matrices) {
        if (m.end == m.begin) continue;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], m.lo[a]);
            hi[a] = std::max(hi[a], m.lo[a] + m.dims[a] - 1);
        }
    }
    if (model.voxels.Empty()) return false;
    for (int a = 0; a < 3; ++a) model.size[a] = int(std::clamp<int64_t>(hi[a] - lo[a] + 1, 1, kMaxFileAxis));
    Voxel* v = model.voxels.Data();
    int kept = 0;
    for (const Matrix& m : matrices) {
        int64_t shift[3];
        bool stays = kept == m.begin;
        for (int a = 0; a < 3; ++a) {
            shift[a] = m.lo[a] - lo[a];
            stays = stays && shift[a] == 0 && m.dims[a] <= model.size[a];
        }
        if (stays) {  // already in place (one matrix at the corner: the usual file)
            kept = m.end;
            continue;
        }
        for (int i = m.begin; i < m.end; ++i) {
            const int64_t x = v[i].x + shift[0], y = v[i].y + shift[1], z = v[i].z + shift[2];
            if (x < model.size[0] && y < model.size[1] && z < model.size[2])
                v[kept++] = Voxel{uint8_t(x), uint8_t(y), uint8_t(z), v[i].colorIndex};
        }
    }
    model.voxels.Truncate(kept);
    return true;
}

// ---------------------------------------------------------------- writer

void WriteHeader(OMB_SaveBitFile& file, const TK_Model& model) {
    file.WriteBytes(kVersion, 4);
    const int32_t words[5] = {0, 1, 0, 0, 1};  // RGBA, z-axis orientation, plain, mask, one matrix
    for (int32_t w : words) file.WriteInt32(w);
    const std::string name = model.ModelBaseName().substr(0, 127);
    file.WriteByte(uint8_t(name.size()));
    file.WriteBytes(name.data(), name.size());
    const int32_t box[6] = {model.size[0], model.size[2], model.size[1], 0, 0, 0};
    for (int32_t w : box) file.WriteInt32(w);
}

}  // namespace

bool TK_Plugin_QB::Read(OMB_LoadBitFile& file, TK_Model& model) {
    uint8_t version[4] = {};
    if (!file.ReadBytes(version, 4) || std::memcmp(version, kVersion, 4) != 0) {
        OMB_Printf("[Error] QB : version does not match : 1.1.0.0\n");
        return false;
    }
    int32_t header[5];
    for (int32_t& h : header)
        if (!file.ReadInt32(h)) return false;
    OMB_Printf("[Log] QB : colorFormat : %d\n", header[0]);
    OMB_Printf("[Log] QB : compression : %d\n", header[2]);
    OMB_Printf("[Log] QB : numModels   : %d\n", header[4]);
    model.size[0] = model.size[1] = model.size[2] = 0;
    model.voxels.Clear();
    const uint32_t count = uint32_t(header[4]);
    if (count == 0) return false;
    model.MakeGreyPalette();
    auto colors = std::make_unique<ColorMatcher>(model);
    ReadState state{file, model, *colors, header[0] != 0};
    std::vector<Matrix> matrices;
    for (uint32_t i = 0; i < count && !state.ended; ++i) {
        Matrix m;
        // Fewer matrices than the count says: the file is damaged.
        if (!ReadMatrixHeader(state, m, int(i))) return false;
        m.begin = model.voxels.Count();
        if (header[2] == 0)
            ReadPlain(state, m);
        else
            ReadRunLength(state, m);
        m.end = model.voxels.Count();
        matrices.push_back(m);
    }
    // A run-length matrix that ends early keeps what was read (its slices
    // carry no length); a plain one that ends early is a damaged file.
    return !state.truncated && Merge(matrices, model);
}

bool TK_Plugin_QB::Write(OMB_SaveBitFile& file, const TK_Model& model) {
    if (model.voxels.Empty()) return false;
    WriteHeader(file, model);
    // QB axes: width = model x, height = model z, depth = model y.
    const size_t w = size_t(model.size[0]), h = size_t(model.size[2]), d = size_t(model.size[1]);
    std::vector<uint8_t> grid(w * h * d, 0);
    ScatterVoxels(model, grid.data(), [w, h](size_t x, size_t y, size_t z) { return w - 1 - x + w * (z + h * y); });
    uint8_t colors[256][4];
    for (int i = 0; i < 256; ++i) OMB_PutInt32LE(colors[i], int32_t(model.palette[i]));
    std::memset(colors[0], 0, 4);  // empty cells must read back as empty
    std::vector<uint8_t> slice(w * h * 4);
    bool ok = true;
    for (size_t qz = 0; qz < d && ok; ++qz) {
        const uint8_t* cells = &grid[qz * w * h];
        for (size_t p = 0; p < w * h; ++p) std::memcpy(&slice[4 * p], colors[cells[p]], 4);
        ok = file.WriteBytes(slice.data(), slice.size());
    }
    return ok;
}

