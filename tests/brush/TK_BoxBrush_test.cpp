// The box and line strokes: corners, loft, clipping, the mirrored union
// without repeats, the mode filter, and the straight line's cells.
#include "TK_BrushTest.h"
#include "brush/TK_BoxBrush.h"
#include "brush/TK_LineBrush.h"

namespace {

using tk_test::Cell;

class BoxBrush : public tk_test::BrushTest {};

TEST_F(BoxBrush, BoxFromTwoPicks) {
    struct Case {
        const char* what;
        int loftZ;
        TK_Pick a, b;
        bool valid;
        int lo[3], hi[3];
    } cases[] = {
        {"on the ground", 0, Pick(1, 5, -1, 6), Pick(3, 2, -1, 6), true, {1, 2, 0}, {3, 5, 0}},
        {"loft z spans the height", 1, Pick(1, 1, 2, 6), Pick(2, 2, 3, 6), true, {1, 1, 0}, {2, 2, 7}},
        {"attach off the top", 0, Pick(1, 1, 7, 6), Pick(2, 2, 7, 6), false, {}, {}},
    };
    for (const auto& c : cases) {
        options.loft[2] = c.loftZ;
        TK_StrokeBox box;
        ASSERT_EQ(TK_MakeStrokeBox(*env, options, c.a, c.b, box), c.valid) << c.what;
        for (int a = 0; a < 3 && c.valid; ++a) EXPECT_TRUE(box.lo[a] == c.lo[a] && box.hi[a] == c.hi[a]) << c.what;
    }
}

TEST_F(BoxBrush, MirroredBoxIsTheUnionOfItsImages) {
    SetSize(10, 4, 4);
    options.mirror[0] = 1;
    struct Case {
        int lo, hi;
        std::set<int> xs;
    } cases[] = {{1, 2, {1, 2, 7, 8}}, {2, 4, {2, 3, 4, 5, 6, 7}}, {-3, 0, {0, 9}}};
    for (const auto& c : cases) {
        TK_BuildBoxStroke(stroke, *env, options, TK_StrokeBox{{c.lo, 0, 0}, {c.hi, 0, 0}});
        std::set<int> xs;
        for (const Cell& cell : Cells()) xs.insert(cell[0]);
        EXPECT_EQ(xs, c.xs) << "box " << c.lo << ".." << c.hi;
    }
}

TEST_F(BoxBrush, AttachTakesOnlyEmptyCellsEraseAndPaintOnlyFilled) {
    for (int x = 0; x < 8; x += 2) Fill(x, 0, 0, 4);
    const TK_StrokeBox box{{-2, 0, 0}, {9, 0, 0}};
    for (int mode : {TK_BRUSH_ATTACH, TK_BRUSH_ERASE, TK_BRUSH_PAINT}) {
        options.mode = mode;
        TK_BuildBoxStroke(stroke, *env, options, box);
        EXPECT_EQ(stroke.Voxels().Count(), 4) << "mode " << mode;
        for (const Cell& c : Cells())
            EXPECT_EQ(env->VoxelAt(c[0], c[1], c[2]) >= 0, mode != TK_BRUSH_ATTACH) << "mode " << mode;
    }
}

TEST_F(BoxBrush, StraightLineRoundsToNearestCells) {
    const std::set<Cell> slope = {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 2, 0}, {4, 2, 0}};
    struct Case {
        Cell from, to;
        std::set<Cell> cells;
    } cases[] = {
        {{0, 0, 0}, {4, 2, 0}, slope},
        {{4, 2, 0}, {0, 0, 0}, slope},
        {{6, 0, 3}, {10, 0, 1}, {{6, 0, 3}, {7, 0, 3}}},
    };
    for (const auto& c : cases) {
        TK_BuildLineStroke(stroke, *env, options, c.from.data(), c.to.data());
        EXPECT_EQ(Cells(), c.cells);
    }
}

}  // namespace
