// Helpers of the plugin tests: little-endian files and pictures built by
// hand, and a model's voxels in forms that compare across lists and palettes.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "TK_TestSupport.h"
#include "core/OMB_LmpParser.h"
#include "model/Image.h"
#include "model/TK_Model.h"
#include "plugins/TK_ObjImport.h"
#include "plugins/TK_Plugin_Mesh.h"

namespace tk_test {

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& U8(int v) { return data.push_back(uint8_t(v)), *this; }
    Bytes& U16(int v) { return U8(v).U8(v >> 8); }
    Bytes& U32(uint32_t v) { return U16(int(v & 0xFFFF)).U16(int(v >> 16)); }
    Bytes& F32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return U32(bits);
    }
    Bytes& Text(const std::string& s) { return data.insert(data.end(), s.begin(), s.end()), *this; }
    Bytes& Add(const std::vector<uint8_t>& b) { return data.insert(data.end(), b.begin(), b.end()), *this; }
    Bytes& Fill(size_t n, uint8_t v) { return data.insert(data.end(), n, v), *this; }
};

// read(data, size, into) on a buffer, what it prints kept in *log.
template <typename Read, typename Buffer, typename Into>
bool ReadLogged(Read read, const Buffer& b, Into& into, std::string* log = nullptr) {
    testing::internal::CaptureStdout();
    const bool ok = read(b.data(), b.size(), into);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (log) *log = printed;
    return ok;
}

// Cell (x | y << 8 | z << 16) -> RGB of its voxel.
inline std::map<uint32_t, uint32_t> ColoredCells(const TK_Model& m) {
    std::map<uint32_t, uint32_t> cells;
    for (const Voxel& v : m.voxels) cells[v.Word() & 0xFFFFFFu] = m.palette[v.colorIndex] & 0xFFFFFFu;
    return cells;
}

inline uint32_t RgbAt(const TK_Model& m, int x, int y, int z) {
    auto cells = ColoredCells(m);
    auto it = cells.find(uint32_t(x | y << 8 | z << 16));
    return it == cells.end() ? 0xFF000000u : it->second | 0xFF000000u;
}

// (direction, x, y, z, colour index) of a voxel face: direction 2a faces -a,
// 2a + 1 faces +a.
using UnitFace = std::tuple<int, int, int, int, int>;

// Every face that no voxel covers, counted once.
inline std::map<UnitFace, int> ExposedFaces(const TK_Model& m) {
    const std::map<uint32_t, uint32_t> cells = ColoredCells(m);
    std::map<UnitFace, int> faces;
    for (const Voxel& v : m.voxels)
        for (int d = 0; d < 6; ++d) {
            int n[3] = {v.x, v.y, v.z};
            n[d / 2] += d % 2 ? 1 : -1;
            if (!m.InBox(n[0], n[1], n[2]) || !cells.count(uint32_t(n[0] | n[1] << 8 | n[2] << 16)))
                faces[{d, v.x, v.y, v.z, v.colorIndex}] = 1;
        }
    return faces;
}

// Same cells; voxels on the surface keep their colour (hidden ones take the
// colour of the surface beside them: the file holds no other).
inline void ExpectSameModel(const TK_Model& model, const TK_Model& back) {
    for (int a = 0; a < 3; ++a) EXPECT_EQ(back.size[a], model.size[a]);
    const auto original = ColoredCells(model), imported = ColoredCells(back);
    ASSERT_EQ(imported.size(), original.size());
    std::set<uint32_t> exposed;
    for (const auto& [f, once] : ExposedFaces(model))
        exposed.insert(uint32_t(std::get<1>(f) | std::get<2>(f) << 8 | std::get<3>(f) << 16));
    for (const auto& [cell, rgb] : original) {
        ASSERT_EQ(imported.count(cell), 1u) << cell;
        ASSERT_TRUE(!exposed.count(cell) || imported.at(cell) == rgb)
            << (cell & 255) << " " << (cell >> 8 & 255) << " " << (cell >> 16);
    }
}

// An RGB picture whose pixel (x, y), top row first, is colourAt(x, y).
inline Image RgbImage(int w, int h, const std::function<uint32_t(int, int)>& colourAt) {
    Image image;
    image.Allocate(IMAGE_RGB, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) image.pixels[3 * (size_t(y) * w + x) + c] = uint8_t(colourAt(x, y) >> (8 * c));
    return image;
}

// Options (starting from `o`) read from the section `section` of a
// configuration text.
template <typename Options = TK_MeshOptions>
Options ReadOptions(const char* config, const char* section, Options o = Options()) {
    OMB_LmpParser parser;
    EXPECT_TRUE(parser.Parse(config));
    o.Read(OMB_LmpParser::FindChild(&parser.Root(), section));
    return o;
}

// How often each undirected edge of a set of polygons is used, the edge
// taken by its exact end positions, with their triangle count and area.
struct EdgeUse {
    using Point = std::array<float, 3>;
    std::map<std::pair<Point, Point>, int> uses;
    std::map<std::pair<Point, Point>, int> turns;  // uses from the lower end minus the others
    size_t triangles = 0;
    double area = 0;

    void AddPolygon(const std::vector<Point>& points) {
        const size_t n = points.size();
        double normal[3] = {0, 0, 0};
        for (size_t k = 0; k < n; ++k) {
            const Point& a = points[k];
            const Point& b = points[(k + 1) % n];
            ++uses[std::minmax(a, b)];
            turns[std::minmax(a, b)] += a < b ? 1 : -1;
            for (int i = 0; i < 3; ++i)
                normal[i] += double(a[(i + 1) % 3]) * b[(i + 2) % 3] - double(a[(i + 2) % 3]) * b[(i + 1) % 3];
        }
        triangles += n - 2;
        area += std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]) / 2;
    }
    // The faces of a mesh read back from a file.
    void AddMesh(const TK_ObjMesh& mesh) {
        for (size_t f = 0; f < mesh.FaceCount(); ++f) {
            std::vector<Point> points;
            for (int c = mesh.faceStart[f]; c < mesh.faceStart[f + 1]; ++c) {
                const float* p = &mesh.positions[3 * size_t(mesh.cornerPosition[size_t(c)])];
                points.push_back({p[0], p[1], p[2]});
            }
            AddPolygon(points);
        }
    }
    // Edges not crossed as often one way as the other: faces that turn
    // against their neighbours.
    size_t Unpaired() const {
        return size_t(std::count_if(turns.begin(), turns.end(), [](const auto& e) { return e.second != 0; }));
    }
    // Edges used by one face only, and edges used by an odd number.
    size_t Count(bool once) const {
        return size_t(std::count_if(uses.begin(), uses.end(),
                                    [once](const auto& e) { return once ? e.second == 1 : e.second % 2 == 1; }));
    }
};

// A blocky figure: boots, legs, a striped body with a belt, arms with
// hands, a head with eyes and a mouth, and a hat.
inline int CharacterCell(int x, int y, int z) {
    const bool leg = z < 10 && y >= 4 && y < 8 && ((x >= 5 && x < 9) || (x >= 11 && x < 15));
    const bool body = z >= 10 && z < 22 && x >= 5 && x < 15 && y >= 3 && y < 9;
    const bool arm = z >= 12 && z < 21 && y >= 4 && y < 8 && ((x >= 1 && x < 5) || (x >= 15 && x < 19));
    const bool head = z >= 22 && z < 30 && x >= 6 && x < 14 && y >= 2 && y < 10;
    const bool hat = z >= 30 && x >= 7 && x < 13 && y >= 3 && y < 9;
    if (head) return y == 2 && z == 26 && (x == 8 || x == 11) ? 2 : y == 2 && z == 24 && x >= 9 && x < 11 ? 3 : 4;
    if (body) return z == 13 ? 5 : (x + z) % 7 == 0 ? 6 : 7;
    if (leg) return z < 2 ? 8 : 9;
    if (arm) return z < 14 ? 4 : 7;
    return hat ? 10 : 0;
}

// A block with a tunnel and a notch, and two voxels that touch it and each
// other only along an edge.
inline int HolesCell(int x, int y, int z) {
    if (x < 8 && y < 8 && z < 8) return (y >= 3 && y < 5 && z >= 3 && z < 5) || (x < 2 && z > 5) ? 0 : 1 + (x > 3);
    return (x == 8 && y == 8 && z == 2) || (x == 9 && y == 9 && z == 2) ? 3 : 0;
}

struct NamedModel {
    const char* name;
    TK_Model model;
};

// Models whose merged faces meet in T-junctions, the character last.
inline std::vector<NamedModel> CrackModels() {
    std::mt19937 random(5);
    return {
        {"start box", ShapeModel(45, 45, 45, [](int, int, int) { return 79; })},
        {"sphere", ShapeModel(24, 24, 24, [](int x, int y, int z) {
             return (2 * x - 23) * (2 * x - 23) + (2 * y - 23) * (2 * y - 23) + (2 * z - 23) * (2 * z - 23) <= 22 * 22;
         })},
        {"staircase", ShapeModel(10, 6, 10, [](int x, int, int z) { return z <= x ? 1 + x % 2 : 0; })},
        {"random", ShapeModel(12, 12, 12, [&](int, int, int) {
             const uint32_t r = random();
             return r & 1 ? int(1 + (r >> 1) % 4) : 0;
         })},
        {"holes and edge contact", ShapeModel(10, 10, 8, HolesCell)},
        {"character", ShapeModel(20, 12, 32, CharacterCell)},
    };
}

}  // namespace tk_test
