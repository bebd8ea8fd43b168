// "prim" and "fractal" (see TK_GeneratorCommands.h).
#include "edit/TK_GeneratorCommands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/OMB_Arguments.h"
#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"
#include "core/OS_FileDialog.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_VoxelGrid.h"
#include "model/TK_VoxFile.h"

namespace {

bool IsPaletteColor(int c) { return c >= 1 && c <= 255; }

// Position of a cell centre across the box, -1 .. 1.
double Across(int p, int size) { return (p + 0.5 - size * 0.5) / (size * 0.5); }

bool HasPrefixNoCase(const OMB_Token& word, const char* prefix) {
    const int n = int(std::strlen(prefix));
    if (word.length < n) return false;
    for (int i = 0; i < n; ++i)
        if (char(word.start[i] | 0x20) != prefix[i]) return false;
    return true;
}

}  // namespace

// The column of cells around the upright axis always belongs to the shape:
// in a tall narrow box even the cell centres nearest the axis can lie
// outside the apex or the poles, and the shape would stop short of the top.
bool TK_PrimContains(TK_PrimShape shape, const int size[3], int x, int y, int z) {
    constexpr double kSlack = 1e-9;  // cells exactly on the surface belong to the shape
    const bool axisX = x == (size[0] - 1) / 2 || x == size[0] / 2;
    const bool axisY = y == (size[1] - 1) / 2 || y == size[1] / 2;
    if (axisX && axisY) return true;
    const double u = Across(x, size[0]), v = Across(y, size[1]);
    // Height of the layer's bottom face, 0 at the floor, just under 1 at the top.
    const double h = double(z) / size[2];
    switch (shape) {
    case TK_PrimShape::Ellipsoid: {
        const double w = Across(z, size[2]);
        return u * u + v * v + w * w <= 1.0 + kSlack;
    }
    case TK_PrimShape::Pyramid:
        return std::max(std::fabs(u), std::fabs(v)) <= 1.0 - h + kSlack;
    case TK_PrimShape::Cylinder:
        return u * u + v * v <= 1.0 + kSlack;
    case TK_PrimShape::Cone:
        return u * u + v * v <= (1.0 - h) * (1.0 - h) + kSlack;
    }
    return false;
}

// ---------------------------------------------------------------------------
// prim
// ---------------------------------------------------------------------------
bool TK_CMD_Prim::Parse(const char* args) {
    static const char* const kWords[4] = {"elli", "pyra", "cyli", "cone"};
    m_color = m_env->currentColorIndex;
    OMB_Lexer lex(args, 0);
    OMB_Token word;
    if (!lex.NextToken(word) || word.kind != OMB_TOKEN_WORD || !TK_ArgsAtEnd(lex)) return false;
    for (int i = 0; i < 4; ++i)
        if (HasPrefixNoCase(word, kWords[i])) {
            m_shape = TK_PrimShape(i + 1);
            return true;
        }
    return false;
}

bool TK_CMD_Prim::CanApply() { return IsPaletteColor(m_color); }

bool TK_CMD_Prim::Apply() {
    TK_Model& model = Model();
    TK_VoxelGrid grid(model.size[0], model.size[1], model.size[2]);
    uint8_t* cell = grid.cells.data();
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < model.size[1]; ++y)
            for (int x = 0; x < model.size[0]; ++x, ++cell)
                if (TK_PrimContains(m_shape, model.size, x, y, z)) *cell = uint8_t(m_color);
    grid.WriteTo(model);
    return true;
}

// ---------------------------------------------------------------------------
// Pattern
// ---------------------------------------------------------------------------
bool TK_CMD_Pattern::LoadPattern(const std::string& path) {
    m_bits.clear();
    TK_Model pattern;
    if (!ReadVox(pattern, path.c_str())) return false;
    pattern.NormalizeModel(m_env->maxModelSize, 1);
    if (pattern.voxels.Empty()) return false;
    std::copy(pattern.size, pattern.size + 3, m_patternSize);
    m_rowStride = m_patternSize[0];
    m_layerStride = m_patternSize[0] * m_patternSize[1];
    m_bits.assign((size_t(m_layerStride) * size_t(m_patternSize[2]) + 31) / 32, 0u);
    for (const Voxel& v : pattern.voxels) {
        const int bit = v.x + m_rowStride * v.y + m_layerStride * v.z;
        m_bits[size_t(bit) >> 5] |= 1u << (bit & 31);
    }
    return true;
}

// ---------------------------------------------------------------------------
// fractal
// ---------------------------------------------------------------------------
bool TK_CMD_Fractal::Parse(const char* args) {
    m_path = OMB_PathArgument(args);
    return true;
}

bool TK_CMD_Fractal::CanApply() {
    if (Model().voxels.Empty()) return false;
    std::string path = m_path;
    if (path.empty()) {
        OS_FileRequest options;
        options.title = "Fractal pattern";
        options.folder = m_env->workspace.patternFolder;
        options.headless = m_env->headless;
        OS_FileDialog::Run(options, path);
    }
    if (path.empty() || !LoadPattern(TK_Workspace::Resolve(m_env->workspace.modelFolder, path))) {
        OMB_Printf("[Error] %s\n", "failed to load fractal model");
        return false;
    }
    return true;
}

bool TK_CMD_Fractal::Apply() {
    TK_Model& model = Model();
    const TK_VoxelGrid old = TK_VoxelGrid::FromModel(model);
    int size[3];
    std::vector<int> outer[3], inner[3];  // old cell and pattern cell per new coordinate
    for (int a = 0; a < 3; ++a) {
        size[a] = std::min(model.size[a] * m_patternSize[a], kMaxModelSize);
        for (int p = 0; p < size[a]; ++p) {
            outer[a].push_back(p / m_patternSize[a]);
            inner[a].push_back(p % m_patternSize[a]);
        }
    }
    TK_VoxelGrid out(size[0], size[1], size[2]);
    uint8_t* cell = out.cells.data();
    for (int z = 0; z < size[2]; ++z)
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x, ++cell)
                if (PatternAt(inner[0][x], inner[1][y], inner[2][z]))
                    *cell = old.cells[old.Index(outer[0][x], outer[1][y], outer[2][z])];
    out.WriteTo(model);
    return true;
}
