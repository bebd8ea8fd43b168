// The box and line strokes: box corners, loft, clipping, mirrored unions
// without repeats, the mode filter; the straight line's cells.
#include "TK_BrushTest.h"
#include "brush/TK_BoxBrush.h"
#include "brush/TK_LineBrush.h"

namespace {

using tk_test::Cell;

class BoxBrush : public tk_test::BrushTest {};

TEST_F(BoxBrush, BoxFromTwoPicks) {
    struct Case {
        const char* what;
        int mode;
        int loft[3];
        TK_Pick a, b;
        bool valid;
        int lo[3], hi[3];
    } cases[] = {
        {"attach on the ground", TK_BRUSH_ATTACH, {0, 0, 0}, Pick(1, 5, -1, 6), Pick(3, 2, -1, 6), true, {1, 2, 0}, {3, 5, 0}},
        {"loft z spans the height", TK_BRUSH_ATTACH, {0, 0, 1}, Pick(1, 1, 2, 6), Pick(2, 2, 3, 6), true, {1, 1, 0}, {2, 2, 7}},
        {"attach off the top", TK_BRUSH_ATTACH, {0, 0, 0}, Pick(1, 1, 7, 6), Pick(2, 2, 7, 6), false, {}, {}},
        {"erase keeps picked cells", TK_BRUSH_ERASE, {0, 0, 0}, Pick(1, 1, 7, 6), Pick(2, 2, 7, 6), true, {1, 1, 7}, {2, 2, 7}},
        {"a miss", TK_BRUSH_ERASE, {0, 0, 0}, Pick(1, 1, 7, 6), TK_Pick{}, false, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.mode = c.mode;
        std::copy(c.loft, c.loft + 3, options.loft);
        TK_StrokeBox box;
        ASSERT_EQ(TK_MakeStrokeBox(*env, options, c.a, c.b, box), c.valid);
        if (!c.valid) continue;
        for (int a = 0; a < 3; ++a) {
            EXPECT_EQ(box.lo[a], c.lo[a]);
            EXPECT_EQ(box.hi[a], c.hi[a]);
        }
    }
}

TEST_F(BoxBrush, MirroredBoxIsTheUnionOfItsImages) {
    SetSize(10, 4, 4);
    options.mirror[0] = 1;
    struct Case {
        int lo, hi;
        std::set<int> xs;
    } cases[] = {{1, 2, {1, 2, 7, 8}}, {3, 6, {3, 4, 5, 6}}, {2, 4, {2, 3, 4, 5, 6, 7}}, {-3, 0, {0, 9}}};
    for (const auto& c : cases) {
        TK_StrokeBox box;
        box.lo[0] = c.lo, box.hi[0] = c.hi;
        box.lo[1] = box.hi[1] = box.lo[2] = box.hi[2] = 1;
        TK_BuildBoxStroke(stroke, *env, options, box);
        std::set<int> xs;
        for (const Cell& cell : Cells()) xs.insert(cell[0]);
        EXPECT_EQ(xs, c.xs) << "box " << c.lo << ".." << c.hi;
        EXPECT_EQ(stroke.Voxels().Count(), int(c.xs.size()));
    }
}

TEST_F(BoxBrush, StrokeKeepsOnlyCellsSuitedToTheMode) {
    // Attach never takes a filled cell; erase and paint never an empty one.
    for (int x = 0; x < 8; x += 2) Fill(x, 0, 0, 4);
    TK_StrokeBox box;
    box.lo[0] = -2, box.hi[0] = 9;
    box.hi[1] = box.hi[2] = 0;
    for (int mode : {TK_BRUSH_ATTACH, TK_BRUSH_ERASE, TK_BRUSH_PAINT}) {
        options.mode = mode;
        TK_BuildBoxStroke(stroke, *env, options, box);
        EXPECT_EQ(stroke.Voxels().Count(), 4) << "mode " << mode;
        for (const Cell& cell : Cells()) EXPECT_EQ(Filled(cell), mode != TK_BRUSH_ATTACH) << "mode " << mode;
    }
}

TEST_F(BoxBrush, StraightLineRoundsToNearestCells) {
    struct Case {
        Cell from, to;
        std::set<Cell> cells;
    } cases[] = {
        {{0, 0, 0}, {4, 2, 0}, {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 2, 0}, {4, 2, 0}}},
        {{4, 2, 0}, {0, 0, 0}, {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 2, 0}, {4, 2, 0}}},
        {{1, 1, 3}, {1, 1, 1}, {{1, 1, 1}, {1, 1, 2}, {1, 1, 3}}},
        {{2, 2, 2}, {2, 2, 2}, {{2, 2, 2}}},
        {{6, 0, 0}, {10, 0, 0}, {{6, 0, 0}, {7, 0, 0}}},
    };
    for (const auto& c : cases) {
        TK_BuildLineStroke(stroke, *env, options, c.from.data(), c.to.data());
        EXPECT_EQ(Cells(), c.cells);
    }
}

}  // namespace
