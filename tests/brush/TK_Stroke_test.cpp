// The shared stroke rules: the cell a pick works on, mirroring with the mode
// filter, rebuilding, and committing as one history step.
#include "TK_BrushTest.h"

namespace {

using tk_test::Cell;

class Stroke : public tk_test::BrushTest {};

TEST_F(Stroke, PickCellIsInFrontWhenAttachingOrOnTheGround) {
    struct Case {
        TK_Pick pick;
        int mode;
        Cell cell;
    } cases[] = {
        {Pick(3, 3, 2, 6), TK_BRUSH_ATTACH, {3, 3, 3}}, {Pick(3, 3, 2, 1), TK_BRUSH_ATTACH, {2, 3, 2}},
        {Pick(3, 3, 2, 6), TK_BRUSH_ERASE, {3, 3, 2}},  {Pick(3, 3, 2, 4), TK_BRUSH_PAINT, {3, 3, 2}},
        {Pick(3, 3, -1, 6), TK_BRUSH_ERASE, {3, 3, 0}},
    };
    for (const auto& c : cases) {
        int cell[3];
        ASSERT_TRUE(TK_StrokeCell(c.pick, c.mode, cell));
        EXPECT_EQ((Cell{cell[0], cell[1], cell[2]}), c.cell) << "face " << c.pick.face << " mode " << c.mode;
    }
    int cell[3];
    EXPECT_FALSE(TK_StrokeCell(TK_Pick{}, TK_BRUSH_ATTACH, cell));
}

TEST_F(Stroke, MirrorImagesAcrossTheModel) {
    struct Case {
        int size[3];
        int mirror[3];
        Cell cell;
        std::set<Cell> cells;
    } cases[] = {
        {{10, 8, 6}, {1, 0, 0}, {2, 1, 1}, {{2, 1, 1}, {7, 1, 1}}},
        {{10, 8, 6}, {1, 1, 1}, {2, 1, 1}, {{2, 1, 1}, {7, 1, 1}, {2, 6, 1}, {7, 6, 1}, {2, 1, 4}, {7, 1, 4}, {2, 6, 4}, {7, 6, 4}}},
        {{9, 8, 6}, {1, 0, 0}, {4, 1, 1}, {{4, 1, 1}}},
        {{10, 8, 6}, {0, 0, 0}, {12, 1, 1}, {}},
    };
    for (const auto& c : cases) {
        SetSize(c.size[0], c.size[1], c.size[2]);
        std::copy(c.mirror, c.mirror + 3, options.mirror);
        stroke.Begin(*env, options);
        stroke.AddMirrored(c.cell[0], c.cell[1], c.cell[2], options.color);
        stroke.AddMirrored(c.cell[0], c.cell[1], c.cell[2], options.color);
        EXPECT_EQ(Cells(), c.cells) << "mirror " << c.mirror[0] << c.mirror[1] << c.mirror[2];
    }
}

TEST_F(Stroke, ImagesMustSuitTheMode) {
    SetSize(10, 8, 6);
    Fill(7, 1, 1, 3);
    options.mirror[0] = 1;
    struct Case {
        int mode;
        std::set<Cell> cells;
        int color;
    } cases[] = {{TK_BRUSH_ATTACH, {{2, 1, 1}}, 9}, {TK_BRUSH_ERASE, {{7, 1, 1}}, 0}, {TK_BRUSH_PAINT, {{7, 1, 1}}, 9}};
    for (const auto& c : cases) {
        options.mode = c.mode;
        stroke.Begin(*env, options);
        stroke.AddMirrored(2, 1, 1, options.color);
        EXPECT_EQ(Cells(), c.cells) << "mode " << c.mode;
        EXPECT_EQ(stroke.Voxels()[0].colorIndex, c.color);
    }
}

TEST_F(Stroke, OneCommitIsOneUndoStep) {
    stroke.Begin(*env, options);
    EXPECT_FALSE(stroke.Commit(*env, this)) << "an empty stroke commits nothing";
    for (int x = 0; x < 3; ++x) stroke.AddMirrored(x, 0, 0, options.color);
    // A rebuild starts clean: the same cells come back.
    stroke.Begin(*env, options);
    for (int x = 0; x < 3; ++x) stroke.AddMirrored(x, 0, 0, options.color);
    ASSERT_EQ(stroke.Voxels().Count(), 3);
    ASSERT_TRUE(env->executor.Lock(this));
    EXPECT_TRUE(stroke.Commit(*env, this));
    env->executor.Unlock(this);
    EXPECT_EQ(env->model.voxels.Count(), 3);
    EXPECT_EQ(env->executor.UndoCount(), 1u);
    EXPECT_TRUE(env->executor.Undo());
    EXPECT_EQ(env->model.voxels.Count(), 0);
    EXPECT_TRUE(env->executor.Redo());
    EXPECT_EQ(env->model.voxels.Count(), 3);
}

}  // namespace
