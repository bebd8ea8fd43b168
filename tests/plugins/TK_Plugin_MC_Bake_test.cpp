// The smooth ("mc") and baked PLY exports: the smooth surface is closed,
// wound outwards, coloured from the voxels beside it and placed by the mesh
// options; baked corners darken where voxels stand in front of them, merging
// keeps the shading, and both writers leave no file when they fail.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "TK_PluginTest.h"
#include "plugins/TK_Plugin_Bake.h"
#include "plugins/TK_Plugin_MC.h"

namespace {

using Point = std::array<double, 3>;

struct Ply {
    std::vector<Point> points;
    std::vector<std::array<int, 3>> colours;
    std::vector<std::vector<int>> faces;
};

// The counts of the writers' header (whose layout the mesh export tests
// check), then exactly the counted lines.
Ply Parse(const std::string& text) {
    Ply ply;
    size_t vertices = 0, faces = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && line != "end_header") {
        std::sscanf(line.c_str(), "element vertex %zu", &vertices);
        std::sscanf(line.c_str(), "element face %zu", &faces);
    }
    Point p;
    std::array<int, 3> c;
    for (size_t i = 0; i < vertices && std::getline(in, line); ++i)
        if (std::istringstream(line) >> p[0] >> p[1] >> p[2] >> c[0] >> c[1] >> c[2])
            ply.points.push_back(p), ply.colours.push_back(c);
    for (size_t i = 0; i < faces && std::getline(in, line); ++i) {
        std::istringstream row(line);
        int n = 0, v;
        std::vector<int> face;
        for (row >> n; row >> v && v >= 0 && size_t(v) < vertices;) face.push_back(v);
        if (face.size() == size_t(n)) ply.faces.push_back(face);
    }
    EXPECT_TRUE(ply.points.size() == vertices && ply.faces.size() == faces && !std::getline(in, line)) << text;
    return ply;
}

// Enclosed volume, positive when the faces wind counter-clockwise seen from
// outside (fans from each face's first corner).
double Volume(const Ply& ply) {
    double volume = 0;
    for (const auto& f : ply.faces)
        for (size_t k = 1; k + 1 < f.size(); ++k) {
            const Point &a = ply.points[size_t(f[0])], &b = ply.points[size_t(f[k])], &c = ply.points[size_t(f[k + 1])];
            volume += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                      a[2] * (b[0] * c[1] - b[1] * c[0]);
        }
    return volume / 6;
}

TK_Model Shape(int sx, int sy, int sz, const std::function<int(int, int, int)>& colourAt) {
    TK_Model m = tk_test::ShapeModel(sx, sy, sz, colourAt);
    for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 200, 255 - i);
    return m;
}

TK_Model Cells(int sx, int sy, int sz, std::vector<std::array<int, 3>> cells) {
    return Shape(sx, sy, sz, [cells](int x, int y, int z) {
        return int(std::count(cells.begin(), cells.end(), std::array<int, 3>{x, y, z}));
    });
}

TK_MeshOptions Plain(bool optimize = false) {
    TK_MeshOptions o;
    o.pivot[2] = 0, o.optimize = optimize;
    return o;
}

template <typename Writer>
Ply Write(const TK_Model& m, const TK_MeshOptions& o = Plain()) {
    TK_MeshText out;
    Writer::WritePly(m, o, "shape", out);
    return Parse(out.text);
}

// Every edge used once each way, no triangle of zero area, wound outwards.
void ExpectClosed(const Ply& ply, const std::string& what) {
    std::map<std::pair<int, int>, int> edges;
    for (const auto& f : ply.faces) {
        ASSERT_EQ(f.size(), 3u) << what;
        for (size_t k = 0; k < 3; ++k) ++edges[{f[k], f[(k + 1) % 3]}];
        const Point &a = ply.points[size_t(f[0])], &b = ply.points[size_t(f[1])], &c = ply.points[size_t(f[2])];
        const Point u{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const Point n{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        ASSERT_GT(std::hypot(n[0], n[1], n[2]), 1e-4) << what << ": a degenerate triangle";
    }
    for (const auto& [edge, uses] : edges)
        ASSERT_TRUE(uses == 1 && edges.count({edge.second, edge.first})) << what << ": edge " << edge.first;
    EXPECT_GT(Volume(ply), 0) << what;
}

}  // namespace

TEST(MarchingCube, SurfaceIsClosedForEveryCubeAndModel) {
    // The eight cells of a 2 x 2 x 2 model are the corners of one sampling
    // cube: its 255 fillings are every case.
    for (int bits = 1; bits < 256; ++bits) {
        ExpectClosed(Write<TK_Plugin_MC>(
                         Shape(2, 2, 2, [bits](int x, int y, int z) { return bits >> (x + 2 * y + 4 * z) & 1; })),
                     "cube " + std::to_string(bits));
        if (HasFatalFailure()) return;
    }
    std::mt19937 random(7);
    const struct {
        const char* name;
        TK_Model model;
        bool ball;  // one piece without holes
    } cases[] = {
        {"single voxel", Cells(3, 3, 3, {{1, 1, 1}}), true},
        {"full box", Shape(5, 6, 7, [](int, int, int) { return 4; }), true},
        {"checkerboard", Shape(7, 7, 7, [](int x, int y, int z) { return (x + y + z) % 2; }), false},
        {"random", Shape(12, 12, 12, [&random](int, int, int) { return random() % 2 ? 1 + int(random() % 3) : 0; }),
         false},
    };
    for (const auto& c : cases) {
        const Ply ply = Write<TK_Plugin_MC>(c.model);
        ExpectClosed(ply, c.name);
        EXPECT_TRUE(!c.ball || ply.points.size() * 2 == ply.faces.size() + 4) << c.name << ": V - E + F = 2";
    }
}

TEST(MarchingCube, VertexColoursComeFromTheVoxelsBesideThem) {
    // Smoothing moves a vertex at most half a cell, so only vertices near
    // the seam between the halves may take either colour.
    const Ply ply = Write<TK_Plugin_MC>(Shape(6, 3, 3, [](int x, int, int) { return x < 3 ? 3 : 9; }));
    std::map<int, int> seen;
    for (size_t v = 0; v < ply.points.size(); ++v) {
        const int red = ply.colours[v][0], x2 = int(std::floor(ply.points[v][0] * 2));
        EXPECT_TRUE((x2 >= 5 && x2 < 7) || red == (x2 < 5 ? 3 : 9)) << ply.points[v][0] << " " << red;
        ++seen[red];
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST(MarchingCube, PositionsFollowTheOptionsAndMirrorsKeepTheWinding) {
    // Smoothing spreads one ring per pass, so the middles of a large box's
    // faces stay flat and the vertices span the box exactly.
    const TK_Model m = Shape(24, 25, 26, [](int, int, int) { return 1; });
    const struct {
        const char* config;
        Point lo, hi;
    } cases[] = {
        {"file_ply ( pivot = '0 0 -1' )", {0, 0, 26}, {24, 25, 52}},
        {"file_ply ( pivot = '0.5 0.5 0' scale = '2 1 0.5' )", {-24, -12.5, 0}, {24, 12.5, 13}},
        {"file_ply ( axis = 'x-zy' pivot = '0 0 0' )", {0, -26, 0}, {24, 0, 25}},
        {"file_ply ( axis = '-xyz' pivot = '0 0 0' )", {-24, 0, 0}, {0, 25, 26}},  // a mirror: faces turn outward
    };
    for (const auto& c : cases) {
        const Ply ply = Write<TK_Plugin_MC>(m, tk_test::ReadOptions(c.config, "file_ply"));
        Point lo = ply.points[0], hi = lo;
        for (const Point& p : ply.points)
            for (int i = 0; i < 3; ++i) lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(std::abs(lo[i] - c.lo[i]) < 1e-4 && std::abs(hi[i] - c.hi[i]) < 1e-4) << c.config << i;
        EXPECT_GT(Volume(ply), 0) << c.config;
    }
}

namespace {

// Every colour's green is 200, so a baked vertex's green tells its level.
int Level(const std::array<int, 3>& colour) {
    for (int level = 0; level < 4; ++level)
        if (colour[1] == int(std::lround(200 * TK_Plugin_Bake::kLevels[level]))) return level;
    return -1;
}

// Twice the face centre and twice the corner -> level.
std::map<std::array<int, 6>, int> CornerLevels(const Ply& ply) {
    std::map<std::array<int, 6>, int> levels;
    for (const auto& f : ply.faces) {
        Point centre{};
        for (int v : f)
            for (int k = 0; k < 3; ++k) centre[k] += ply.points[size_t(v)][k] / 2;
        for (int v : f) {
            const Point& p = ply.points[size_t(v)];
            levels[{int(centre[0]), int(centre[1]), int(centre[2]), int(2 * p[0]), int(2 * p[1]), int(2 * p[2])}] =
                Level(ply.colours[size_t(v)]);
        }
    }
    return levels;
}

// How many faces have corners of different levels.
long Shaded(const Ply& ply) {
    auto level = [&ply](int v) { return Level(ply.colours[size_t(v)]); };
    return std::count_if(ply.faces.begin(), ply.faces.end(), [&](const std::vector<int>& f) {
        return std::any_of(f.begin(), f.end(), [&](int v) { return level(v) != level(f[0]); });
    });
}

// A 3 x 3 floor with a pillar on its middle.
TK_Model Floor() {
    std::vector<std::array<int, 3>> cells = {{1, 1, 1}};
    for (int i = 0; i < 9; ++i) cells.push_back({i % 3, i / 3, 0});
    return Cells(3, 3, 2, cells);
}

}  // namespace

TEST(Bake, CornersDarkenWhereVoxelsStandInFront) {
    const Ply ply = Write<TK_Plugin_Bake>(Floor());
    EXPECT_EQ(ply.faces.size(), 34u);
    const auto levels = CornerLevels(ply);
    const struct {
        const char* what;
        std::array<int, 6> key;  // twice the face centre, twice the corner
        int level;
    } cases[] = {
        {"floor top beside the pillar, near corner", {1, 3, 2, 2, 2, 2}, 1},
        {"floor top beside the pillar, far corner", {1, 3, 2, 0, 2, 2}, 0},
        {"floor top diagonal to the pillar", {1, 1, 2, 2, 2, 2}, 1},
        {"pillar side at the floor", {2, 3, 3, 2, 2, 2}, 2},
        {"pillar side at the top", {2, 3, 3, 2, 4, 4}, 0},
        {"floor bottom", {3, 3, 0, 2, 2, 0}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(levels.count(c.key) ? levels.at(c.key) : -1, c.level) << c.what;
    // Two walls meeting over a voxel: both sides filled is the darkest
    // level, whatever the diagonal holds.
    const auto inner = CornerLevels(Write<TK_Plugin_Bake>(Cells(2, 2, 2, {{0, 0, 0}, {1, 0, 1}, {0, 1, 1}})));
    EXPECT_EQ(inner.at({1, 1, 2, 2, 2, 2}), 3);
    EXPECT_EQ(inner.at({1, 1, 2, 0, 2, 2}), 1);
    // Fan readers split along the first corner's diagonal: the darker one.
    for (const auto& f : ply.faces)
        EXPECT_GE(Level(ply.colours[size_t(f[0])]) + Level(ply.colours[size_t(f[2])]),
                  Level(ply.colours[size_t(f[1])]) + Level(ply.colours[size_t(f[3])]));
}

TEST(Bake, MergingKeepsTheShadingAndTheVolume) {
    // Merged, the floor's bottom and four sides are one quad each; the
    // shaded faces stay as they were, even a row of identical ones along a
    // wall.
    EXPECT_EQ(Write<TK_Plugin_Bake>(Floor(), Plain(true)).faces.size(), 18u);
    const TK_Model walled = Shape(4, 3, 2, [](int, int y, int z) { return z == (y == 2); });
    const long shaded = Shaded(Write<TK_Plugin_Bake>(walled));
    EXPECT_GE(shaded, 4);
    EXPECT_EQ(Shaded(Write<TK_Plugin_Bake>(walled, Plain(true))), shaded);
    // The enclosed volume is the voxel count only when the faces close the
    // surface and all face outwards.
    std::mt19937 random(11);
    const TK_Model m = Shape(9, 8, 7, [&random](int, int, int) { return random() % 2 ? 1 + int(random() % 2) : 0; });
    for (int variant = 0; variant < 8; ++variant) {
        TK_MeshOptions o = Plain(variant & 1);
        o.cw = variant & 2;
        o.SetAxis(variant & 4 ? "-xzy" : "");
        EXPECT_NEAR(Volume(Write<TK_Plugin_Bake>(m, o)), (o.cw ? -1 : 1) * m.voxels.Count(), 1e-6) << variant;
    }
}

TEST(Bake, AmbientLiftsAndGammaBrightensTheLevels) {
    // An L: its inner faces are at level 1 (200 * 0.8) beside the crease.
    const TK_Model m = Cells(1, 2, 2, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}});
    const struct {
        float ambient, gamma;
        int darkest;
    } cases[] = {{0, 1, 160}, {1, 1, 200}, {0.5f, 1, 180}, {0, 2, 179}, {0, 0, 160}};  // gamma 0 counts as 1
    for (const auto& c : cases) {
        TK_MeshOptions o = Plain();
        o.ambient = c.ambient, o.gamma = c.gamma;
        int darkest = 255;
        for (const auto& colour : Write<TK_Plugin_Bake>(m, o).colours) darkest = std::min(darkest, colour[1]);
        EXPECT_EQ(darkest, c.darkest) << c.ambient << " " << c.gamma;
    }
}

TEST(PlyWriters, WriteTheFileOrNothing) {
    namespace fs = std::filesystem;
    const tk_test::TempFolder folder("tk_mc_bake");
    const fs::path& dir = folder.Dir();
    TK_Model m = Cells(2, 2, 2, {{0, 0, 0}, {1, 0, 0}});
    m.name = "shape.vox";
    TK_Plugin_MC mc;
    TK_Plugin_Bake bake;
    const std::function<bool(const std::string&)> writers[] = {
        [&](const std::string& path) { return mc.SaveModel(path, "", m); },
        [&](const std::string& path) { return bake.Bake(path, "", m); }};
    for (const auto& save : writers) {
        ASSERT_TRUE(save((dir / "out.ply").string()));
        std::stringstream written;
        written << std::ifstream(dir / "out.ply").rdbuf();
        EXPECT_FALSE(Parse(written.str()).faces.empty());
        fs::remove(dir / "out.ply");
        EXPECT_FALSE(save((dir / "missing/out.ply").string()));
    }
    EXPECT_FALSE(bake.SaveModel((dir / "s.ply").string(), "", m)) << "baking is its own operation";
    m.voxels.Clear();
    for (const auto& save : writers) EXPECT_FALSE(save((dir / "empty.ply").string()));
    EXPECT_TRUE(fs::is_empty(dir));
}
