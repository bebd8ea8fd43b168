// The shared stroke rules: the cell a pick works on, mirroring with the mode
// filter, and committing as one history step.
#include "TK_BrushTest.h"

namespace {

using tk_test::Cell;

class Stroke : public tk_test::BrushTest {};

TEST_F(Stroke, PickCellIsInFrontWhenAttachingOrOnTheGround) {
    struct Case {
        TK_Pick pick;
        int mode;
        Cell cell;
    } cases[] = {{Pick(3, 3, 2, 1), TK_BRUSH_ATTACH, {2, 3, 2}},
                 {Pick(3, 3, 2, 6), TK_BRUSH_PAINT, {3, 3, 2}},
                 {Pick(3, 3, -1, 6), TK_BRUSH_ERASE, {3, 3, 0}}};
    for (const auto& c : cases) {
        int cell[3];
        ASSERT_TRUE(TK_StrokeCell(c.pick, c.mode, cell));
        EXPECT_EQ((Cell{cell[0], cell[1], cell[2]}), c.cell) << "face " << c.pick.face << " mode " << c.mode;
    }
}

TEST_F(Stroke, MirrorImagesSuitingTheMode) {
    // On a 10 x 8 x 6 model (9 wide: x = 4 is its own image) with (7, 1, 1)
    // filled, the images of (2, 1, 1).
    struct Case {
        int width, mode;
        int mirror[3];
        std::set<Cell> cells;
    } cases[] = {
        {10, TK_BRUSH_PAINT, {1, 0, 0}, {{7, 1, 1}}},
        {10, TK_BRUSH_ATTACH, {1, 1, 1}, {{2, 1, 1}, {2, 6, 1}, {7, 6, 1}, {2, 1, 4}, {7, 1, 4}, {2, 6, 4}, {7, 6, 4}}},
        {9, TK_BRUSH_ATTACH, {1, 0, 0}, {{2, 1, 1}, {6, 1, 1}}},
    };
    for (const auto& c : cases) {
        SetSize(c.width, 8, 6);
        Fill(7, 1, 1, 3);
        options.mode = c.mode;
        std::copy(c.mirror, c.mirror + 3, options.mirror);
        stroke.Begin(*env, options);
        stroke.AddMirrored(2, 1, 1, options.color);
        stroke.AddMirrored(2, 1, 1, options.color);
        EXPECT_EQ(Cells(), c.cells) << "width " << c.width << " mode " << c.mode;
    }
}

TEST_F(Stroke, OneCommitIsOneUndoStep) {
    stroke.Begin(*env, options);
    EXPECT_FALSE(stroke.Commit(*env, this)) << "an empty stroke commits nothing";
    for (int x = 0; x < 3; ++x) stroke.AddMirrored(x, 0, 0, options.color);
    ASSERT_TRUE(env->executor.Lock(this));
    EXPECT_TRUE(stroke.Commit(*env, this)) << "the lock's holder commits";
    EXPECT_EQ(env->model.voxels.Count(), 3);
    EXPECT_EQ(env->executor.UndoCount(), 1u);
}

}  // namespace
