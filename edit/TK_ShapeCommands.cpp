// "zero", "mir", "full" and "inv" (see TK_ShapeCommands.h). Every Apply is
// one or two linear passes; "inv" marks occupancy in a dense grid of the box
// rather than searching the list per cell.
#include "edit/TK_ShapeCommands.h"

#include <cstdint>
#include <string>
#include <vector>

#include "core/OMB_Cause.h"
#include "core/OMB_Lexer.h"

namespace {

bool IsPaletteColor(int c) { return c >= 1 && c <= 255; }

// Appends the cells of the box in z, y, x order (x fastest) for which `keep`
// is true, all in colour c.
template <typename Keep>
void AppendBoxCells(TK_Model& model, int c, Keep keep) {
    const int* s = model.size;
    for (int z = 0; z < s[2]; ++z)
        for (int y = 0; y < s[1]; ++y)
            for (int x = 0; x < s[0]; ++x)
                if (keep(x, y, z)) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c)});
}

}  // namespace

// ---------------------------------------------------------------------------
// zero
// ---------------------------------------------------------------------------
bool TK_CMD_Clear::CanApply() {
    if (!Model().voxels.Empty()) return true;
    OMB_SetCause("nothing to change, the box is already empty");
    return false;
}

bool TK_CMD_Clear::Apply() {
    Model().voxels.Clear();
    Model().voxels.Trim();
    return true;
}

// ---------------------------------------------------------------------------
// mir
// ---------------------------------------------------------------------------
bool TK_CMD_MirrorModel::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    m_axis = 0;
    if (!lexer.NextToken(token) || token.kind != OMB_TOKEN_WORD) return true;
    const std::string word = token.Text();
    if (OMB_EqualNoCase(word.c_str(), "y")) m_axis = 1;
    if (OMB_EqualNoCase(word.c_str(), "z")) m_axis = 2;
    return true;
}

bool TK_CMD_MirrorModel::CanApply() { return !Model().voxels.Empty(); }

bool TK_CMD_MirrorModel::Apply() {
    VoxelList& voxels = Model().voxels;
    const int s = Model().size[m_axis];
    const int before = voxels.Count();
    auto coord = [this](Voxel& v) -> uint8_t& { return m_axis == 0 ? v.x : m_axis == 1 ? v.y : v.z; };
    for (int i = 0; i < voxels.Count();) {
        if (coord(voxels[i]) >= (s + 1) / 2) voxels.RemoveAt(i);
        else ++i;
    }
    const int kept = voxels.Count();
    voxels.Reserve(2 * kept);
    for (int i = 0; i < kept; ++i) {
        Voxel copy = voxels[i];
        if (coord(copy) >= s / 2) continue;
        coord(copy) = uint8_t(s - 1 - coord(copy));
        voxels.Add(copy);
    }
    return kept != before || voxels.Count() != kept;
}

bool TK_CMD_MirrorModel::Merge(OMB_Command* next) {
    return next->SameClass(*this) && static_cast<TK_CMD_MirrorModel*>(next)->m_axis == m_axis;
}

// ---------------------------------------------------------------------------
// full
// ---------------------------------------------------------------------------
bool TK_CMD_Full::Parse(const char*) {
    m_colorIndex = m_env->currentColorIndex;
    return true;
}

bool TK_CMD_Full::CanApply() {
    if (!IsPaletteColor(m_colorIndex)) return false;
    const TK_Model& model = Model();
    if (model.voxels.Count() != model.CellCount()) return true;
    for (const Voxel& v : model.voxels)
        if (v.colorIndex != m_colorIndex) return true;
    OMB_SetCause("nothing to change, the box is already full of colour " + std::to_string(m_colorIndex));
    return false;
}

bool TK_CMD_Full::Apply() {
    TK_Model& model = Model();
    model.voxels.Clear();
    model.voxels.Reserve(model.CellCount());
    AppendBoxCells(model, m_colorIndex, [](int, int, int) { return true; });
    return true;
}

// ---------------------------------------------------------------------------
// inv
// ---------------------------------------------------------------------------
bool TK_CMD_Inverse::Parse(const char*) {
    m_colorIndex = m_env->currentColorIndex;
    return true;
}

bool TK_CMD_Inverse::CanApply() { return IsPaletteColor(m_colorIndex); }

bool TK_CMD_Inverse::Apply() {
    TK_Model& model = Model();
    const int cells = model.CellCount();
    const int empty = cells - model.voxels.Count();
    if (empty <= 0) {
        model.voxels.Clear();
        return true;
    }
    const int sx = model.size[0], sxy = model.size[0] * model.size[1];
    std::vector<uint8_t> occupied(size_t(cells), 0);
    for (const Voxel& v : model.voxels)
        if (model.InBox(v.x, v.y, v.z)) occupied[v.x + sx * v.y + sxy * v.z] = 1;
    model.voxels.Clear();
    model.voxels.Reserve(empty);
    AppendBoxCells(model, m_colorIndex, [&](int x, int y, int z) { return !occupied[x + sx * y + sxy * z]; });
    return true;
}
