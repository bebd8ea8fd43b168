// The brush stroke commands: what each keeps, one history step per stroke,
// exact undo and redo, and a lookup grid that stays right without a rebuild.
#include <memory>
#include <utility>
#include <vector>

#include "TK_EditFixture.h"
#include "edit/TK_VoxelCommands.h"

namespace {

using tk_test::ModelState;

class VoxelCommands : public tk_test::EditEnvTest {
protected:
    // A 4-cube with one layer z = 0 filled in colours 1..4 by x.
    void SetUp() override {
        EditEnvTest::SetUp();
        Shape(4, 4, 4, [](int x, int, int z) { return z == 0 ? x + 1 : 0; });
    }

    // Runs the stroke as a brush commits it: one history step, or none and
    // no change when it fails; then undo and redo must give back the two
    // states exactly.
    bool RunAndRoundTrip(std::unique_ptr<OMB_Command> command) {
        const ModelState before = State();
        ::testing::internal::CaptureStdout();
        const bool ok = env->RunCommand(std::move(command), nullptr);
        ::testing::internal::GetCapturedStdout();
        const ModelState after = State();
        EXPECT_TRUE(GridMatches());
        EXPECT_EQ(History(), ok ? 1u : 0u);
        EXPECT_TRUE(ok || after == before) << "a failed stroke changed the model";
        if (!ok) return false;
        const std::pair<const char*, const ModelState*> steps[] = {{"undo", &before}, {"redo", &after}};
        for (const auto& [line, state] : steps) {
            EXPECT_TRUE(Run(line) && State() == *state) << line;
            EXPECT_TRUE(GridMatches()) << line;
        }
        return true;
    }

    static VoxelList Cells(std::initializer_list<Voxel> cells) {
        VoxelList list;
        for (const Voxel& v : cells) list.Add(v);
        return list;
    }
};

TEST_F(VoxelCommands, AttachNeverOverwritesAFilledCell) {
    // Filled, new, repeated, outside the model, colour 0.
    auto add = std::make_unique<TK_CMD_AddVoxels>(Cells({{1, 1, 0, 9}, {1, 1, 1, 9}, {1, 1, 1, 8}, {4, 0, 0, 9}, {2, 2, 2, 0}}));
    ASSERT_TRUE(RunAndRoundTrip(std::move(add)));
    EXPECT_EQ((std::vector<int>{ColorAt(1, 1, 0), ColorAt(1, 1, 1), Count()}), (std::vector<int>{2, 9, 17}));
}

TEST_F(VoxelCommands, PaintNeverFillsAnEmptyCell) {
    // Empty, same colour, a new colour twice in one cell.
    auto paint = std::make_unique<TK_CMD_PaintVoxels>(Cells({{0, 0, 1, 9}, {0, 0, 0, 1}, {3, 0, 0, 9}, {3, 0, 0, 7}}));
    ASSERT_TRUE(RunAndRoundTrip(std::move(paint)));
    // The later entry wins, and undo still restores the first colour.
    const std::vector<int> cells = {ColorAt(0, 0, 1), ColorAt(0, 0, 0), ColorAt(3, 0, 0), Count()};
    EXPECT_EQ(cells, (std::vector<int>{0, 1, 7, 16}));
}

TEST_F(VoxelCommands, EraseStoresColoursSoUndoRestoresThem) {
    // One cell of 16 takes the one-by-one path, most of the model the
    // compacting one; both must leave the grid exact.
    for (const int cells : {1, 12}) {
        SCOPED_TRACE(cells);
        VoxelList stroke;
        for (int i = 0; i < cells; ++i) stroke.Add(Voxel{uint8_t(i % 4), uint8_t(i / 4), 0, 0});
        if (cells > 1) stroke.Add(Voxel{0, 0, 3, 0});  // empty: dropped
        ASSERT_TRUE(RunAndRoundTrip(std::make_unique<TK_CMD_EraseVoxels>(stroke)));
        EXPECT_EQ(Count(), 16 - cells);
        env->executor.Undo();
        env->executor.ClearHistory();
    }
}

TEST_F(VoxelCommands, StrokeThatChangesNothingLeavesNoHistory) {
    EXPECT_FALSE(RunAndRoundTrip(std::make_unique<TK_CMD_AddVoxels>(Cells({{0, 0, 0, 5}}))));
    EXPECT_FALSE(RunAndRoundTrip(std::make_unique<TK_CMD_EraseVoxels>(Cells({{0, 0, 2, 0}}))));
    EXPECT_FALSE(RunAndRoundTrip(std::make_unique<TK_CMD_PaintVoxels>(Cells({{2, 0, 0, 3}}))));
}

}  // namespace
