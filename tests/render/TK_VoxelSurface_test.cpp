// The raster renderer's CPU geometry: exposed faces per direction and slice,
// culling ranges, quad corners, edge lines and the occlusion volume.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "TK_TestSupport.h"
#include "render/TK_VoxelSurface.h"

namespace {

using tk_test::MakeModel;

TEST(VoxelSurface, ExposedFacesPerDirection) {
    const struct {
        const char* name;
        TK_Model model;
        int faces;  // the same in every direction
    } cases[] = {
        {"single", MakeModel(1, 1, 1, {{0, 0, 0, 3}}), 1},
        {"full 2x2x2", tk_test::ShapeModel(2, 2, 2, [](int, int, int) { return 1; }), 4},
        {"checkerboard 4",
         tk_test::ShapeModel(4, 4, 4, [](int x, int y, int z) { return (x + y + z) % 2 ? 0 : 5; }), 32},
        {"outside the size: ignored", MakeModel(2, 2, 2, {{0, 0, 0, 1}, {5, 0, 0, 1}}), 1},
    };
    for (const auto& c : cases) {
        TK_VoxelSurface surface;
        surface.Build(c.model);
        for (int dir = 1; dir <= 6; ++dir) EXPECT_EQ(surface.FaceCount(dir), c.faces) << c.name << " dir " << dir;
    }
}

TEST(VoxelSurface, FacesAreSortedBySlice) {
    TK_VoxelSurface surface;
    surface.Build(MakeModel(5, 1, 1, {{4, 0, 0, 1}, {0, 0, 0, 2}, {2, 0, 0, 3}}));
    for (int x = 0; x < 5; ++x) {
        const int count = int(surface.SliceEnd(1, x) - surface.SliceBegin(1, x));
        EXPECT_EQ(count, x % 2 == 0 ? 1 : 0) << x;
        EXPECT_TRUE(!count || Voxel::FromWord(*surface.SliceBegin(1, x)).x == x) << x;
    }
}

TEST(VoxelSurface, VisibleSlices) {
    const struct {
        bool ortho;
        float eyeOrDir;  // eye.x (perspective) or viewDir.x (orthographic)
        int dir;
        int first, count, step;
    } cases[] = {
        {false, 1.5f, 1, 2, 2, 1},   // -X faces at x > floor(1.5)
        {false, 1.5f, 2, 0, 1, -1},  // +X faces at x < 1
        {false, -5, 1, 0, 4, 1},
        {false, 10, 2, 3, 4, -1},
        {false, NAN, 1, 0, 4, 1},  // no sane eye: draw everything
        {true, 1, 1, 0, 4, 1},     // looking towards +x sees the -X faces
        {true, -1, 2, 3, 4, -1},
    };
    for (const auto& c : cases) {
        TK_FaceView view;
        view.ortho = c.ortho;
        (c.ortho ? view.viewDir : view.eye)[0] = c.eyeOrDir;
        const TK_SliceRange r = TK_VisibleSlices(c.dir, 4, view);
        EXPECT_EQ(r.count, c.count) << c.eyeOrDir << " dir " << c.dir;
        EXPECT_TRUE(!r.count || (r.first == c.first && r.step == c.step)) << c.eyeOrDir << " dir " << c.dir;
    }
}

TEST(VoxelSurface, QuadCorners) {
    TK_VoxelSurface surface;
    surface.Build(MakeModel(8, 8, 8, {{2, 3, 4, 9}}));
    TK_FaceView view;
    view.eye[0] = view.eye[1] = view.eye[2] = -10;  // sees -X, -Y, -Z
    TK_QuadBuffer quads;
    quads.Reserve(64);
    EXPECT_EQ(TK_AppendFaceQuads(surface, 1, view, quads), 1u);
    EXPECT_EQ(TK_AppendFaceQuads(surface, 2, view, quads), 0u);
    std::vector<std::array<int, 4>> corners;
    for (const TK_QuadVertex* v = quads.Data(); v != quads.Data() + quads.Count(); ++v)
        corners.push_back({v->x, v->y, v->z, v->index});
    EXPECT_EQ(corners, (std::vector<std::array<int, 4>>{{2, 3, 4, 9}, {2, 4, 4, 9}, {2, 4, 5, 9}, {2, 3, 5, 9}}));
    view.eye[2] = 20;  // now above: the +Z face lies on z = 5
    EXPECT_EQ(TK_AppendFaceQuads(surface, 6, view, quads), 1u);
    for (size_t i = 4; i < 8; ++i) EXPECT_EQ(quads.Data()[i].z, 5);
    EXPECT_EQ(TK_AppendGroundQuads(2, 3, quads), 6u);
    EXPECT_EQ(quads.Count(), 32u);
    EXPECT_EQ(quads.Data()[8].index, 0);
}

bool HasSegment(const std::vector<TK_EdgePoint>& edges, int ax, int ay, int az, int bx, int by, int bz) {
    for (size_t i = 0; i + 1 < edges.size(); i += 2) {
        const TK_EdgePoint &p = edges[i], &q = edges[i + 1];
        if (p.x == ax && p.y == ay && p.z == az && q.x == bx && q.y == by && q.z == bz) return true;
    }
    return false;
}

TEST(VoxelSurface, EdgeLines) {
    std::vector<TK_EdgePoint> edges;
    TK_VoxelSurface surface;
    surface.Build(MakeModel(1, 1, 1, {{0, 0, 0, 1}}));
    surface.BuildEdges(edges);
    EXPECT_EQ(edges.size(), 24u);  // the 12 edges of a cube
    surface.Build(MakeModel(2, 1, 1, {{0, 0, 0, 1}, {1, 0, 0, 1}}));
    surface.BuildEdges(edges);
    EXPECT_EQ(edges.size(), 32u);  // the long edges in two pieces; no seam
    // An L: the inner corner is a concave edge, the flat bottom has no seam.
    surface.Build(MakeModel(2, 1, 2, {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 1, 1}}));
    surface.BuildEdges(edges);
    EXPECT_TRUE(HasSegment(edges, 1, 0, 1, 1, 1, 1));
    EXPECT_FALSE(HasSegment(edges, 1, 0, 0, 1, 1, 0));
}

TEST(VoxelSurface, OcclusionAndShadow) {
    TK_VoxelSurface surface;
    surface.Build(MakeModel(2, 2, 2, {{1, 0, 1, 1}}));
    std::vector<uint8_t> volume;
    auto at = [&](int x, int y, int z) { return &volume[size_t(x + 2 * (y + 2 * z)) * 2]; };
    surface.BuildOcclusion(false, volume);
    ASSERT_EQ(volume.size(), 16u);
    EXPECT_EQ(at(1, 0, 1)[0], 255);
    EXPECT_EQ(std::count(volume.begin(), volume.end(), 255), 1);
    surface.BuildOcclusion(true, volume);
    // Light from +x, -y, +z: the voxel shades the next cell down that diagonal.
    EXPECT_EQ(at(0, 1, 0)[1], 255);
    EXPECT_EQ(at(1, 1, 0)[1], 0);
    EXPECT_EQ(at(1, 0, 1)[1], 0);
}

}  // namespace
