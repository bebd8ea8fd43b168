// The face stroke: the selection flood under "b_face_col", "b_face_4" and "b_face_pal", the ground case,
// extrusion layers, loft, and the layer count taken from the mouse ray.
#include <utility>
#include <vector>

#include "TK_BrushTest.h"
#include "brush/TK_FaceBrush.h"

namespace {

using tk_test::Cell;

// A 6 x 6 x 4 model: the floor layer in colour 1 with a diagonal pair
// (1, 1), (2, 2) in colour 2, and a voxel on (3, 3) covering its top face.
class FaceBrush : public tk_test::BrushTest {
protected:
    void SetUp() override {
        BrushTest::SetUp();
        SetSize(6, 6, 4);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                env->model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), 0, uint8_t(x == y && (x == 1 || x == 2) ? 2 : 1)});
        Fill(3, 3, 1, 1);
    }
    void Select(bool sameColor, bool four, bool palette) {
        options.faceSameColor = sameColor, options.face4 = four, options.facePalette = palette;
        ASSERT_TRUE(region.Select(*env, options, Pick(1, 1, 0, 6)));
    }
    TK_FaceRegion region;
};

TEST_F(FaceBrush, SelectionLayersLoftAndColours) {
    enum { kAttach = TK_BRUSH_ATTACH };
    struct Case {
        const char* what;
        int mode;
        bool sameColor, four, palette;
        int layers, loft[3], cells;
        std::vector<std::pair<Cell, int>> colors;  // -1: not in the stroke
    } cases[] = {
        {"every colour, 8 ways", kAttach, false, false, false, 1, {0, 0, 0}, 35,
         {{{1, 1, 1}, 2}, {{2, 2, 1}, 2}, {{0, 0, 1}, 1}}},
        {"the same colour", kAttach, true, false, false, 1, {0, 0, 0}, 2, {{{2, 2, 1}, 2}, {{0, 0, 1}, -1}}},
        {"the same colour, 4 ways", kAttach, true, true, false, 1, {0, 0, 0}, 1, {{{1, 1, 1}, 2}, {{2, 2, 1}, -1}}},
        {"the current colour", kAttach, false, true, true, 1, {0, 0, 0}, 35, {{{1, 1, 1}, 9}, {{0, 0, 1}, 9}}},
        {"paint lays the current colour whatever b_face_pal says", TK_BRUSH_PAINT, false, false, false, 1, {0, 0, 0},
         35, {{{1, 1, 0}, 9}, {{2, 2, 0}, 9}}},
        {"attach 2 layers", kAttach, true, false, false, 2, {0, 0, 0}, 4, {{{2, 2, 2}, 2}}},
        {"erasing clips below the floor", TK_BRUSH_ERASE, true, false, false, 3, {0, 0, 0}, 2, {{{1, 1, 0}, 0}}},
        {"loft on the face axis", kAttach, true, false, false, 1, {0, 0, 1}, 6, {{{1, 1, 3}, 2}}},
        {"loft in the plane", kAttach, true, false, false, 1, {1, 0, 0}, 12, {{{5, 2, 1}, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.mode = c.mode;
        std::copy(c.loft, c.loft + 3, options.loft);
        Select(c.sameColor, c.four, c.palette);
        TK_BuildFaceStroke(stroke, *env, options, region, c.layers);
        EXPECT_EQ(int(Cells().size()), c.cells);
        for (const auto& [cell, color] : c.colors) EXPECT_EQ(ColorOf(cell), color) << testing::PrintToString(cell);
    }
}

TEST_F(FaceBrush, LayerCountFollowsTheRayAlongTheNormal) {
    // Pressed straight down on the top of (1, 1, 0); the current ray runs
    // level at height z, meeting the normal line 1 - z below the face.
    struct Case {
        int mode;
        float z;
        int layers;
    } cases[] = {
        {TK_BRUSH_ATTACH, 3.5f, 2},
        {TK_BRUSH_ATTACH, 0.2f, 1},
        {TK_BRUSH_ERASE, -2.5f, 3},
        {TK_BRUSH_ERASE, 1.5f, 1},
    };
    Select(true, false, false);
    const TK_Ray press{{1.5f, 1.5f, 10}};
    TK_Ray current{{10, 1.5f, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        options.mode = c.mode;
        current.origin[2] = c.z;
        EXPECT_EQ(TK_FaceLayers(region, options, press, current), c.layers) << "mode " << c.mode << " z " << c.z;
    }
}

TEST_F(FaceBrush, GroundSelectsTheEmptyFloor) {
    SetSize(4, 4, 2);
    Fill(1, 1, 0, 3);
    ASSERT_TRUE(region.Select(*env, options, Pick(0, 0, -1, 6)));
    TK_BuildFaceStroke(stroke, *env, options, region, 1);
    EXPECT_EQ(int(Cells().size()), 15);
    EXPECT_EQ(ColorOf({3, 3, 0}), 9);
    EXPECT_EQ(ColorOf({1, 1, 0}), -1);
}

}  // namespace
