// The isometric sprite export (see TK_Plugin_Iso.h for the projection).
#include "plugins/TK_Plugin_Iso.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/OMB_LargeAlloc.h"
#include "core/OMB_LmpParser.h"
#include "model/TK_Config.h"
#include "model/TK_Workspace.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Sprite.h"

namespace {

// The model turned for the view, as a dense grid with an empty border of
// one cell so that neighbour tests never leave it.
struct IsoGrid {
    int dims[3] = {0, 0, 0};  // U, V, Z
    OMB_LargeVector<uint8_t> cells;

    size_t Index(int u, int v, int z) const {
        return size_t(u + 1) + size_t(dims[0] + 2) * (size_t(v + 1) + size_t(dims[1] + 2) * size_t(z + 1));
    }
    uint8_t At(int u, int v, int z) const { return cells[Index(u, v, z)]; }
};

IsoGrid TurnedGrid(const TK_Model& model, int view) {
    IsoGrid grid;
    const bool swapped = view % 2 == 1;
    grid.dims[0] = swapped ? model.size[1] : model.size[0];
    grid.dims[1] = swapped ? model.size[0] : model.size[1];
    grid.dims[2] = model.size[2];
    grid.cells.assign(size_t(grid.dims[0] + 2) * (grid.dims[1] + 2) * (grid.dims[2] + 2), 0);
    for (const Voxel& vox : model.voxels) {
        if (!vox.colorIndex || !model.InBox(vox.x, vox.y, vox.z)) continue;
        int x = vox.x, y = vox.y, a = model.size[0], b = model.size[1];
        for (int turn = 0; turn < view; ++turn) {
            const int nx = b - 1 - y;  // anticlockwise seen from above
            y = x;
            x = nx;
            std::swap(a, b);
        }
        grid.cells[grid.Index(x, b - 1 - y, vox.z)] = vox.colorIndex;
    }
    return grid;
}

// Rows of one pixel column of a cube, counted from the cube's base row;
// first > last means none.
struct IsoColumn {
    int topFirst, topLast, sideFirst, sideLast;
};

// The pixel columns of one cube, left to right: column i lies i - size
// pixels from the column of the cube's top corner. `half` is 1 when that
// corner sits half a pixel below the base row. Computed in quarter pixels:
// a column centre is 4i + 2, a row centre 4r + 2, and every face edge
// crosses a column centre at an odd quarter, so no centre is ever on an
// edge.
std::vector<IsoColumn> CubeStamp(int size, int sideHeight, int half) {
    std::vector<IsoColumn> columns(size_t(2 * size));
    for (int i = 0; i < 2 * size; ++i) {
        const int d = std::abs(4 * (i - size) + 2) / 2;  // quarters of the diamond's slope
        const int top = 2 * half + d, bottom = 2 * half + 4 * size - d;
        columns[size_t(i)] = {(top + 2) / 4, (bottom - 3) / 4, (bottom + 2) / 4, (bottom + 4 * sideHeight - 3) / 4};
    }
    return columns;
}

bool InTop(const std::vector<IsoColumn>& stamp, int i, int row) {
    return i >= 0 && i < int(stamp.size()) && row >= stamp[size_t(i)].topFirst && row <= stamp[size_t(i)].topLast;
}

bool IsRim(const std::vector<IsoColumn>& stamp, int i, int row) {
    return !InTop(stamp, i - 1, row) || !InTop(stamp, i + 1, row) || !InTop(stamp, i, row - 1) ||
           !InTop(stamp, i, row + 1);
}

int SideHeight(int size, float height) {
    return std::max(1, int(std::lround(float(size) * height)));
}

// Picture size without the outline border.
void SpriteExtent(const int dims[3], int size, float height, int& width, int& rows) {
    width = (dims[0] + dims[1]) * size;
    rows = (dims[0] + dims[1]) * size / 2 + dims[2] * SideHeight(size, height);
}

struct FaceColours {
    uint32_t top[256], rim[256], left[256], right[256];
};

void MakeColours(const TK_Model& model, const TK_IsoOptions& o, FaceColours& out) {
    for (int c = 1; c < 256; ++c) {
        const uint32_t base = model.palette[c] | 0xFF000000u;
        out.top[c] = base;
        out.rim[c] = o.bevel ? TK_LightenSpriteColour(base, kIsoBevelLift) : base;
        out.left[c] = TK_ScaleSpriteColour(base, o.left);
        out.right[c] = TK_ScaleSpriteColour(base, o.right);
    }
}

}  // namespace

void TK_IsoOptions::Read(const OMB_LmpNode* section) {
    TK_ReadSpriteInt(section, "view", view);
    TK_ReadSpriteInt(section, "size", size);
    TK_ReadSpriteNumber(section, "height", height);
    TK_ReadSpriteBool(section, "outline", outline);
    TK_ReadSpriteNumber(section, "left", left);
    TK_ReadSpriteNumber(section, "right", right);
    TK_ReadSpriteBool(section, "bevel", bevel);
    *this = Clamped();
}

void TK_IsoOptions::Load(const std::string& configPath) {
    OMB_LmpParser parser;
    if (TK_ParseConfigFile(configPath, parser)) Read(OMB_LmpParser::FindChild(&parser.Root(), "file_iso"));
}

TK_IsoOptions TK_IsoOptions::Clamped() const {
    TK_IsoOptions o = *this;
    o.view = (view % 4 + 4) % 4;
    o.size = std::clamp(size, 1, kMaxSize);
    o.height = TK_ClampSpriteNumber(height, kMinHeight, kMaxHeight);
    o.left = TK_ClampSpriteNumber(left, 0, 1);
    o.right = TK_ClampSpriteNumber(right, 0, 1);
    return o;
}

bool TK_RenderIso(const TK_Model& model, const TK_IsoOptions& rawOptions, Image& image) {
    image = Image();
    if (!TK_IsSpriteDrawable(model)) return false;
    const TK_IsoOptions o = rawOptions.Clamped();
    const IsoGrid grid = TurnedGrid(model, o.view);
    const int pad = o.outline ? 1 : 0;

    int s = o.size, width = 0, rows = 0;
    for (;; --s) {
        SpriteExtent(grid.dims, s, o.height, width, rows);
        if (s == 1 || TK_IsImageSizeAllowed(width + 2 * pad, rows + 2 * pad)) break;
    }
    if (!image.Allocate(IMAGE_RGBA, width + 2 * pad, rows + 2 * pad)) return false;

    const int h = SideHeight(s, o.height), U = grid.dims[0], V = grid.dims[1], Z = grid.dims[2];
    const std::vector<IsoColumn> stamps[2] = {CubeStamp(s, h, 0), CubeStamp(s, h, 1)};
    FaceColours colours;
    MakeColours(model, o, colours);
    auto put = [&image](int x, int y, uint32_t c) {
        TK_PutSpritePixel(&image.pixels[4 * (size_t(y) * image.width + x)], c);
    };

    for (int z = 0; z < Z; ++z)
        for (int v = 0; v < V; ++v)
            for (int u = 0; u < U; ++u) {
                const uint8_t c = grid.At(u, v, z);
                if (!c || (grid.At(u + 1, v, z) && grid.At(u, v + 1, z) && grid.At(u, v, z + 1))) continue;
                // The top corner's row in half pixels; never negative, the
                // highest cube's corner is row `pad`.
                const int cornerY2 = (u + v) * s - 2 * (z + 1) * h + 2 * (Z * h + pad);
                const std::vector<IsoColumn>& stamp = stamps[cornerY2 & 1];
                const int baseRow = cornerY2 >> 1, firstX = (u - v - 1) * s + V * s + pad;
                for (int i = 0; i < 2 * s; ++i) {
                    const IsoColumn& col = stamp[size_t(i)];
                    for (int r = col.topFirst; r <= col.topLast; ++r)
                        put(firstX + i, baseRow + r, o.bevel && IsRim(stamp, i, r) ? colours.rim[c] : colours.top[c]);
                    const uint32_t side = i < s ? colours.left[c] : colours.right[c];
                    for (int r = col.sideFirst; r <= col.sideLast; ++r) put(firstX + i, baseRow + r, side);
                }
            }
    if (o.outline) TK_AddSpriteOutline(image);
    return true;
}

TK_Plugin_Iso::TK_Plugin_Iso() {
    options.Load(TK_ConfigFile());
}

bool TK_Plugin_Iso::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    Image image;
    if (path.empty() || !TK_RenderIso(model, options, image)) return false;
    return TK_SaveSprite(path, image);
}
