// "repeat", "scale", "x2" and "rot" (see TK_ResampleCommands.h).
//
// Resampling is separable for repeat and scale: each axis gets a table from
// new coordinate to old coordinate (-1 outside), so the per-cell work is
// three table reads and one grid read. Coordinates are computed in double
// and range-checked before they become integers, so absurd factors or
// angles give an empty or clamped box, never an overflow.
#include "edit/TK_ResampleCommands.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/OMB_Lexer.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_VoxelGrid.h"

namespace {

int ClampSize(double v) {
    if (!(v >= 1.0)) return 1;  // also NaN
    return v >= kMaxModelSize ? kMaxModelSize : int(v);
}

bool AllOne(const float f[3]) {
    for (int a = 0; a < 3; ++a)
        if (std::fabs(f[a] - 1.0f) >= 0.000001f) return false;
    return true;
}

// An old coordinate for a computed position, or -1 when it lies outside.
int OldCell(double p, int oldSize) {
    const double cell = std::floor(p);
    return cell >= 0.0 && cell < oldSize ? int(cell) : -1;
}

// Fills the new grid from per-axis tables of old coordinates.
void ResampleSeparable(const TK_VoxelGrid& old, TK_VoxelGrid& out, const std::vector<int> table[3]) {
    uint8_t* cell = out.cells.data();
    for (int z = 0; z < out.size[2]; ++z)
        for (int y = 0; y < out.size[1]; ++y)
            for (int x = 0; x < out.size[0]; ++x, ++cell) {
                const int ox = table[0][x], oy = table[1][y], oz = table[2][z];
                if ((ox | oy | oz) >= 0) *cell = old.cells[old.Index(ox, oy, oz)];
            }
}

bool SameSize(const int a[3], const int b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// False on anything but up to three numbers.
bool ParseFactors(const char* args, float factors[3]) {
    OMB_Lexer lex(args, 0);
    int n = 0;
    for (; n < 3; ++n) {
        lex.SkipToToken();
        if (lex.AtEnd()) break;
        if (!lex.ReadFloat(factors[n])) return false;
    }
    if (!TK_ArgsAtEnd(lex)) return false;
    if (n == 1) factors[1] = factors[2] = factors[0];
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// repeat
// ---------------------------------------------------------------------------
bool TK_CMD_Repeat::Parse(const char* args) { return ParseFactors(args, m_factors); }

bool TK_CMD_Repeat::CanApply() {
    for (float& f : m_factors) {
        f = std::fabs(f);
        if (f == 0.0f || !std::isfinite(f)) f = 1.0f;
    }
    if (Model().voxels.Empty() || AllOne(m_factors)) return false;
    std::copy(Model().size, Model().size + 3, m_size);
    return true;
}

bool TK_CMD_Repeat::Apply() {
    TK_Model& model = Model();
    int size[3];
    std::vector<int> table[3];
    for (int a = 0; a < 3; ++a) {
        size[a] = ClampSize(std::floor(double(model.size[a]) * m_factors[a] + 0.5));
        table[a].resize(size_t(size[a]));
        for (int p = 0; p < size[a]; ++p) table[a][p] = p % model.size[a];
    }
    if (SameSize(size, model.size)) return false;
    const TK_VoxelGrid old = TK_VoxelGrid::FromModel(model);
    TK_VoxelGrid out(size[0], size[1], size[2]);
    ResampleSeparable(old, out, table);
    out.WriteTo(model);
    return true;
}

// ---------------------------------------------------------------------------
// scale
// ---------------------------------------------------------------------------
bool TK_CMD_Scale::Parse(const char* args) { return ParseFactors(args, m_factors); }

bool TK_CMD_Scale::CanApply() {
    for (float& f : m_factors)
        if (!(f > 0.0f) || !std::isfinite(f)) f = 1.0f;
    return !Model().voxels.Empty() && !AllOne(m_factors);
}

// x and y scale about the centre (integer halves of the sizes), z about the
// floor, so a model standing on the ground keeps standing on it.
bool TK_CMD_Scale::Apply() {
    TK_Model& model = Model();
    int size[3];
    std::vector<int> table[3];
    for (int a = 0; a < 3; ++a) {
        const int o = model.size[a];
        const double f = m_factors[a];
        size[a] = ClampSize(std::floor(o * f + 0.5));
        table[a].resize(size_t(size[a]));
        for (int p = 0; p < size[a]; ++p) {
            const double src = a == 2 ? p / f : (p - size[a] / 2) / f + o / 2;
            table[a][p] = OldCell(src, o);
        }
    }
    const TK_VoxelGrid old = TK_VoxelGrid::FromModel(model);
    TK_VoxelGrid out(size[0], size[1], size[2]);
    ResampleSeparable(old, out, table);
    const bool sameSize = SameSize(size, model.size);
    out.WriteTo(model);
    return !(sameSize && model.voxels.Empty());
}

// ---------------------------------------------------------------------------
// x2
// ---------------------------------------------------------------------------
bool TK_CMD_Scale2X::Apply() {
    TK_Model& model = Model();
    int size[3], shift[3];
    for (int a = 0; a < 3; ++a) {
        size[a] = ClampSize(2.0 * model.size[a]);
        // Centred in x and y when clamped; z grows from the floor.
        shift[a] = a == 2 ? 0 : size[a] / 2 - model.size[a];
    }
    if (SameSize(size, model.size) && model.voxels.Empty()) return false;
    VoxelList out(model.voxels.GrowStep());
    out.Reserve(std::min(8 * model.voxels.Count(), size[0] * size[1] * size[2]));
    for (const Voxel& v : model.voxels) {
        const int base[3] = {2 * v.x + shift[0], 2 * v.y + shift[1], 2 * v.z + shift[2]};
        for (int k = 0; k < 8; ++k) {
            const int x = base[0] + (k & 1), y = base[1] + (k >> 1 & 1), z = base[2] + (k >> 2);
            if (unsigned(x) < unsigned(size[0]) && unsigned(y) < unsigned(size[1]) && unsigned(z) < unsigned(size[2]))
                out.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), v.colorIndex});
        }
    }
    std::copy(size, size + 3, model.size);
    model.voxels = std::move(out);
    return true;
}

// ---------------------------------------------------------------------------
// rot
// ---------------------------------------------------------------------------
bool TK_CMD_Rotate::Parse(const char* args) {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    OMB_Lexer lex(args, 0);
    OMB_Token word;
    int pairs = 0;
    for (;; ++pairs) {
        lex.SkipToToken();
        if (lex.AtEnd()) break;
        float degrees = 0;
        if (!lex.NextToken(word) || word.kind != OMB_TOKEN_WORD || !lex.ReadFloat(degrees)) return false;
        if (!std::isfinite(degrees)) return false;
        const double angle = double(degrees) * 0.017453292;
        const double c = std::cos(angle), s = std::sin(angle);
        for (int i = 0; i < word.length; ++i) {
            const char letter = char(word.start[i] | 0x20);  // fold case
            if (letter < 'x' || letter > 'z') continue;
            // The rotation about axis a acts on the other two axes u, w.
            const int a = letter - 'x', u = (a + 1) % 3, w = (a + 2) % 3;
            double r[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
            r[a][a] = 1;
            r[u][u] = c;
            r[u][w] = -s;
            r[w][u] = s;
            r[w][w] = c;
            double product[3][3];
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 3; ++col)
                    product[row][col] = m[row][0] * r[0][col] + m[row][1] * r[1][col] + m[row][2] * r[2][col];
            std::copy(&product[0][0], &product[0][0] + 9, &m[0][0]);
        }
    }
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m_matrix[row][col] = float(m[row][col]);
    return pairs > 0;
}

// Inverse mapping: each new cell centre, taken relative to the new centre,
// goes back through the transposed (inverse) rotation onto the old box.
bool TK_CMD_Rotate::Apply() {
    TK_Model& model = Model();
    int size[3];
    for (int i = 0; i < 3; ++i) {
        double extent = 0;
        for (int j = 0; j < 3; ++j) extent += std::fabs(double(m_matrix[i][j])) * model.size[j];
        size[i] = ClampSize(std::floor(extent + 0.5));
    }
    if (SameSize(size, model.size) && model.voxels.Empty()) return false;
    const TK_VoxelGrid old = TK_VoxelGrid::FromModel(model);
    TK_VoxelGrid out(size[0], size[1], size[2]);
    uint8_t* cell = out.cells.data();
    for (int z = 0; z < size[2]; ++z)
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x, ++cell) {
                const double d[3] = {x + 0.5 - size[0] * 0.5, y + 0.5 - size[1] * 0.5, z + 0.5 - size[2] * 0.5};
                int src[3];
                for (int j = 0; j < 3; ++j)
                    src[j] = OldCell(m_matrix[0][j] * d[0] + m_matrix[1][j] * d[1] + m_matrix[2][j] * d[2] +
                                         old.size[j] * 0.5,
                                     old.size[j]);
                if ((src[0] | src[1] | src[2]) >= 0) *cell = old.cells[old.Index(src[0], src[1], src[2])];
            }
    out.WriteTo(model);
    return true;
}
