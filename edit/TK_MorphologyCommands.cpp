// "flood", "dil" and "ero" (see TK_MorphologyCommands.h).
//
// The dilation and erosion neighbourhoods are products of one set per axis
// ({0}, {0,1}, {-1,0} or {-1,0,1}), so both run as three one-axis passes of
// a max (dilation) or min (erosion) filter over an occupancy grid: linear in
// the box whatever the neighbourhood, instead of 26 lookups per voxel.
#include "edit/TK_MorphologyCommands.h"

#include <utility>
#include <vector>

#include "core/OMB_Cause.h"
#include "core/OMB_Lexer.h"
#include "edit/TK_VoxelGrid.h"

namespace {

bool IsPaletteColor(int c) { return c >= 1 && c <= 255; }

// A word of axis letters under the current sign. Digits and "_" inside a
// word are characters the axis text does not allow.
bool ApplyAxisWord(const OMB_Token& word, int sign, int modes[3]) {
    for (int i = 0; i < word.length; ++i) {
        char c = word.start[i];
        if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
        if (c < 'x' || c > 'z') return false;
        modes[c - 'x'] = sign;
    }
    return true;
}

OMB_LargeVector<uint8_t> Occupancy(const TK_Model& model) {
    TK_VoxelGrid grid = TK_VoxelGrid::FromModel(model);
    for (uint8_t& c : grid.cells) c = c != 0;
    return std::move(grid.cells);
}

// One axis of the separable filter. A dilation cell takes the OR of the
// cells it can be reached from, an erosion cell the AND of the cells it
// reaches; outside the box counts as empty either way.
void FilterAxis(OMB_LargeVector<uint8_t>& cells, const int size[3], int axis, int mode, bool dilate) {
    if (mode == 0) return;
    const int stride = axis == 0 ? 1 : axis == 1 ? size[0] : size[0] * size[1];
    const int n = size[axis];
    const bool usesLower = mode == 2 || mode == (dilate ? 1 : -1);
    const bool usesUpper = mode == 2 || mode == (dilate ? -1 : 1);
    const OMB_LargeVector<uint8_t> src(cells);
    int i = 0;
    for (int z = 0; z < size[2]; ++z)
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x, ++i) {
                const int p = axis == 0 ? x : axis == 1 ? y : z;
                const uint8_t lower = usesLower ? (p > 0 ? src[i - stride] : 0) : src[i];
                const uint8_t upper = usesUpper ? (p + 1 < n ? src[i + stride] : 0) : src[i];
                cells[i] = dilate ? (src[i] | lower | upper) : (src[i] & lower & upper);
            }
}

void FilterAllAxes(OMB_LargeVector<uint8_t>& cells, const int size[3], const int modes[3], bool dilate) {
    for (int a = 0; a < 3; ++a) FilterAxis(cells, size, a, modes[a], dilate);
}

}  // namespace

bool TK_ParseNeighbourAxes(const char* args, int modes[3]) {
    OMB_Lexer lex(args, 0);
    lex.SkipToToken();
    if (lex.AtEnd()) {
        modes[0] = modes[1] = modes[2] = 2;
        return true;
    }
    modes[0] = modes[1] = modes[2] = 0;
    int sign = 2;
    OMB_Token token;
    while (lex.NextToken(token)) {
        if (token.kind == OMB_TOKEN_WORD) {
            if (!ApplyAxisWord(token, sign, modes)) return false;
        } else if (token.Is("+") || token.Is("++")) {
            sign = 1;
        } else if (token.Is("-") || token.Is("--")) {
            sign = -1;
        } else {
            return false;
        }
    }
    // The loop ends at the end of the text (error 3) or on a lexer error.
    return lex.Error() == 3;
}

// ---------------------------------------------------------------------------
// flood
// ---------------------------------------------------------------------------
bool TK_CMD_FloodFill::Parse(const char*) {
    m_color = m_env->currentColorIndex;
    return true;
}

bool TK_CMD_FloodFill::CanApply() {
    if (!IsPaletteColor(m_color)) m_color = m_env->currentColorIndex;
    return IsPaletteColor(m_color) && !Model().voxels.Empty();
}

// The grid has two free layers around the box. The outermost layer starts
// out as "reached", so the walk never needs a bounds check; the walk starts
// in the second layer, which is empty and wraps the whole box.
bool TK_CMD_FloodFill::Apply() {
    enum : uint8_t { kFree = 0, kSolid = 1, kOutside = 2 };
    TK_Model& model = Model();
    const int d[3] = {model.size[0] + 4, model.size[1] + 4, model.size[2] + 4};
    const int sx = d[0], sxy = d[0] * d[1];
    OMB_LargeVector<uint8_t> state(size_t(sxy) * size_t(d[2]), kFree);
    for (int z = 0; z < d[2]; ++z)
        for (int y = 0; y < d[1]; ++y)
            for (int x = 0; x < d[0]; ++x)
                if (x == 0 || y == 0 || z == 0 || x == d[0] - 1 || y == d[1] - 1 || z == d[2] - 1)
                    state[x + sx * y + sxy * z] = kOutside;
    for (const Voxel& v : model.voxels) state[(v.x + 2) + sx * (v.y + 2) + sxy * (v.z + 2)] = kSolid;

    std::vector<int> stack{1 + sx + sxy};
    state[stack[0]] = kOutside;
    const int steps[6] = {1, -1, sx, -sx, sxy, -sxy};
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        for (int s : steps)
            if (state[i + s] == kFree) {
                state[i + s] = kOutside;
                stack.push_back(i + s);
            }
    }

    const int before = model.voxels.Count();
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < model.size[1]; ++y)
            for (int x = 0; x < model.size[0]; ++x)
                if (state[(x + 2) + sx * (y + 2) + sxy * (z + 2)] == kFree)
                    model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(m_color)});
    if (model.voxels.Count() != before) return true;
    OMB_SetCause("nothing to fill, no hollow is closed off from the outside");
    return false;
}

// ---------------------------------------------------------------------------
// dil
// ---------------------------------------------------------------------------
bool TK_CMD_Dilation::Parse(const char* args) {
    m_color = m_env->currentColorIndex;
    return TK_ParseNeighbourAxes(args, m_modes);
}

bool TK_CMD_Dilation::CanApply() {
    const TK_Model& model = Model();
    return IsPaletteColor(m_color) && !model.voxels.Empty() && model.voxels.Count() < model.CellCount();
}

bool TK_CMD_Dilation::Apply() {
    TK_Model& model = Model();
    const OMB_LargeVector<uint8_t> before = Occupancy(model);
    OMB_LargeVector<uint8_t> grown = before;
    FilterAllAxes(grown, model.size, m_modes, true);
    const int count = model.voxels.Count();
    int i = 0;
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < model.size[1]; ++y)
            for (int x = 0; x < model.size[0]; ++x, ++i)
                if (grown[i] && !before[i]) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(m_color)});
    return model.voxels.Count() != count;
}

// ---------------------------------------------------------------------------
// ero
// ---------------------------------------------------------------------------
bool TK_CMD_Erosion::Parse(const char* args) { return TK_ParseNeighbourAxes(args, m_modes); }

bool TK_CMD_Erosion::CanApply() { return !Model().voxels.Empty(); }

bool TK_CMD_Erosion::Apply() {
    TK_Model& model = Model();
    OMB_LargeVector<uint8_t> kept = Occupancy(model);
    FilterAllAxes(kept, model.size, m_modes, false);
    VoxelList& voxels = model.voxels;
    const int sx = model.size[0], sxy = model.size[0] * model.size[1];
    int out = 0;
    for (int i = 0; i < voxels.Count(); ++i) {
        const Voxel v = voxels[i];
        if (kept[v.x + sx * v.y + sxy * v.z]) voxels[out++] = v;
    }
    const bool changed = out != voxels.Count();
    voxels.Truncate(out);
    return changed;
}
