// Ambient-occlusion PLY export (see TK_Plugin_Bake.h).
#include "plugins/TK_Plugin_Bake.h"

#include <algorithm>
#include <cmath>

namespace {

// A face with the occlusion level of each corner, two bits per corner at
// bit 2 * (cu + 2 * cv), where cu, cv tell the far ends of u and v.
struct BakedFace {
    TK_MeshFace face;
    uint8_t levels;
};

// Colour index in the low byte, corner levels in the high byte; 0: no face.
using FaceKey = uint16_t;

bool Uniform(FaceKey key) {
    const int levels = key >> 8;
    return levels == (levels & 3) * 0x55;
}

// The keys of the exposed faces of one layer, u fastest.
void LayerKeys(const TK_MeshGrid& grid, int direction, int layer, std::vector<FaceKey>& keys) {
    const int a = direction / 2, u = (a + 1) % 3, v = (a + 2) % 3;
    const int nu = grid.size[u], nv = grid.size[v];
    const ptrdiff_t ahead = direction % 2 ? ptrdiff_t(grid.stride[a]) : -ptrdiff_t(grid.stride[a]);
    const ptrdiff_t su = ptrdiff_t(grid.stride[u]), sv = ptrdiff_t(grid.stride[v]);
    const uint8_t* cells = grid.cells.data();
    keys.assign(size_t(nu) * nv, 0);
    int p[3];
    p[a] = layer;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            p[u] = i, p[v] = j;
            const ptrdiff_t cell = ptrdiff_t(grid.Index(p[0], p[1], p[2]));
            const uint8_t colour = cells[cell];
            if (!colour || cells[cell + ahead]) continue;
            const uint8_t* front = cells + cell + ahead;
            int levels = 0;
            for (int corner = 0; corner < 4; ++corner) {
                const ptrdiff_t du = corner & 1 ? su : -su, dv = corner & 2 ? sv : -sv;
                const int side1 = front[du] != 0, side2 = front[dv] != 0, diagonal = front[du + dv] != 0;
                levels |= (side1 && side2 ? 3 : side1 + side2 + diagonal) << (2 * corner);
            }
            keys[size_t(j) * nu + i] = FaceKey(colour | levels << 8);
        }
}

void CollectFaces(const TK_Model& model, bool optimize, std::vector<BakedFace>& faces) {
    const TK_MeshGrid grid(model);
    std::vector<FaceKey> keys;
    for (int d = 0; d < 6; ++d) {
        const int a = d / 2, nu = grid.size[(a + 1) % 3], nv = grid.size[(a + 2) % 3];
        for (int layer = 0; layer < grid.size[a]; ++layer) {
            LayerKeys(grid, d, layer, keys);
            const uint8_t plane = uint8_t(layer + d % 2);
            // Only faces lit the same at all four corners merge.
            auto canMerge = [optimize](FaceKey key) { return optimize && Uniform(key); };
            TK_MergeRectangles(keys, nu, nv, canMerge, [&](FaceKey key, int u0, int v0, int u1, int v1) {
                const TK_MeshFace face{uint8_t(d),  uint8_t(key), plane,      uint8_t(u0),
                                       uint8_t(v0), uint8_t(u1),  uint8_t(v1)};
                faces.push_back(BakedFace{face, uint8_t(key >> 8)});
            });
        }
    }
}

// " R G B\n" of every colour at every level, colour * 4 + level.
void ColourTexts(const TK_Model& model, const TK_MeshOptions& o, std::vector<std::string>& texts) {
    texts.assign(256 * 4, std::string());
    const double exponent = o.gamma > 0 ? 1.0 / o.gamma : 1.0;
    for (int level = 0; level < 4; ++level) {
        const double lit = o.ambient + (1.0 - o.ambient) * TK_Plugin_Bake::kLevels[level];
        const double factor = std::pow(lit, exponent);
        auto channel = [factor](int c) { return std::to_string(std::clamp(int(std::lround(c * factor)), 0, 255)); };
        for (int i = 1; i < 256; ++i) {
            const uint32_t c = model.palette[i];
            texts[size_t(i) * 4 + level] =
                " " + channel(ColorR(c)) + " " + channel(ColorG(c)) + " " + channel(ColorB(c)) + "\n";
        }
    }
}

}  // namespace

void TK_Plugin_Bake::WritePly(const TK_Model& model, const TK_MeshOptions& o, const std::string& name,
                              TK_MeshText& out) {
    std::vector<BakedFace> faces;
    CollectFaces(model, o.optimize, faces);
    const long long count = (long long)faces.size();
    WritePlyHeader(name, 4 * count, count, out);
    std::vector<std::string> colours;
    ColourTexts(model, o, colours);
    const bool reverse = ReverseWinding(o);
    const TK_MeshCoordinates coordinates(o, model);
    int corners[4][3], level[4];
    for (const BakedFace& baked : faces) {
        const TK_MeshFace& f = baked.face;
        FaceCorners(f, reverse, corners);
        const int a = f.direction / 2, u = (a + 1) % 3, v = (a + 2) % 3;
        for (int k = 0; k < 4; ++k) {
            const int corner = (corners[k][u] != f.u0) + 2 * (corners[k][v] != f.v0);
            level[k] = baked.levels >> (2 * corner) & 3;
        }
        const int first = level[1] + level[3] > level[0] + level[2] ? 1 : 0;
        for (int k = 0; k < 4; ++k) {
            const int c = (first + k) % 4;
            coordinates.Append(corners[c], out);
            out.Str(colours[size_t(f.colour) * 4 + level[c]]);
        }
        out.Flush();
    }
    WritePlyQuads(count, out);
}

bool TK_Plugin_Bake::Bake(const std::string& path, const std::string&, const TK_Model& model) {
    return SaveText(path, model, &WritePly);
}
