// The model transform commands (flip, loop, rot90, shrink, expand, size,
// fill) and the snapshot commands (zero, mir, full, inv) through console
// lines. Each forward result is checked cell by cell against a formula that
// reads the old model, then undo, redo and undo again; the refusals must
// leave model and history untouched; merges, and chains of different
// commands undone in turn, close the file.
#include "edit/TK_TransformCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "TK_EditFixture.h"
#include "edit/TK_CMD_Shape.h"

namespace {

using tk_test::ModelState;

constexpr int kColor = 9;  // the current colour in every test

// Old colour at a cell, 0 outside the old box or empty.
using OldAt = std::function<int(int, int, int)>;
using CellRule = int (*)(const OldAt& old, int x, int y, int z);

// Changes the size and clears the voxels, then reports failure.
class FailingShape : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(FailingShape, TK_CMD_Shape)
public:
    bool Apply() override {
        Model().size[0] = 1;
        Model().voxels.Clear();
        return false;
    }
};

// One more cell on x, the way a generator may resize the box.
class GrowingShape : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(GrowingShape, TK_CMD_Shape)
public:
    bool Apply() override { return ++Model().size[0] > 0; }
};

class TransformCommands : public tk_test::EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        env->currentColorIndex = kColor;
        env->executor.Register("failing", &OMB_MakeCommand<FailingShape>);
        env->executor.Register("grow", &OMB_MakeCommand<GrowingShape>);
    }
    void NewBox(int x, int y, int z) {
        SetBox(x, y, z);
        env->executor.ClearHistory();  // table rows must not merge into each other
    }
    // 7 x 8 x 9, a third of x 1..5 and z 2..8 filled at random (fixed seed),
    // with corners that make those the bounds: room for shrink on x and z.
    void BaseModel() {
        std::mt19937 rng(11);
        Shape(7, 8, 9, [&rng](int x, int y, int z) {
            const bool in = x >= 1 && x < 6 && z >= 2;
            const bool take = in && (rng() % 3 == 0 || (x == 1 && y == 0 && z == 2) || (x == 5 && y == 7 && z == 8));
            return take ? int(1 + rng() % 255) : 0;
        });
        env->executor.ClearHistory();
    }
    // The model a rule gives over a new box, reading the current model.
    ModelState Expected(int sx, int sy, int sz, CellRule rule) const {
        const OldAt old = [this](int x, int y, int z) { return ColorAt(x, y, z); };
        const auto cell = [&](int x, int y, int z) { return rule(old, x, y, z); };
        ModelState s = ModelState::Of(tk_test::ShapeModel(sx, sy, sz, cell));
        s.palette = env->model.palette;
        return s;
    }
};

TEST_F(TransformCommands, EveryCommandRoundTrips) {
    const struct {
        const char* line;
        int size[3];
        int flags;  // of each step; 0 for none
        CellRule rule;
    } cases[] = {
        {"flip x", {7, 8, 9}, 64, [](const OldAt& o, int x, int y, int z) { return o(6 - x, y, z); }},
        {"flip Yz", {7, 8, 9}, 64, [](const OldAt& o, int x, int y, int z) { return o(x, 7 - y, 8 - z); }},
        {"loop x 3 z -1", {7, 8, 9}, 64, [](const OldAt& o, int x, int y, int z) { return o((x + 4) % 7, y, (z + 1) % 9); }},
        {"loop x -14", {7, 8, 9}, 0, [](const OldAt& o, int x, int y, int z) { return o(x, y, z); }},
        {"rot90 z", {8, 7, 9}, 68, [](const OldAt& o, int x, int y, int z) { return o(y, 7 - x, z); }},
        {"rot90 y", {9, 8, 7}, 68, [](const OldAt& o, int x, int y, int z) { return o(6 - z, y, x); }},
        {"shrink", {5, 8, 7}, 68, [](const OldAt& o, int x, int y, int z) { return o(x + 1, y, z + 2); }},
        {"shrink xY", {5, 8, 9}, 68, [](const OldAt& o, int x, int y, int z) { return o(x + 1, y, z); }},
        {"expand", {9, 10, 11}, 68, [](const OldAt& o, int x, int y, int z) { return o(x - 1, y - 1, z - 1); }},
        {"size 4 5 3", {4, 5, 3}, 68, [](const OldAt& o, int x, int y, int z) { return o(x + 1, y + 2, z); }},
        {"size 12", {12, 12, 12}, 68, [](const OldAt& o, int x, int y, int z) { return o(x - 3, y - 2, z); }},
        {"fill", {7, 8, 9}, 128, [](const OldAt& o, int x, int y, int z) { return o(x, y, z) ? kColor : 0; }},
        {"zero", {7, 8, 9}, 64, [](const OldAt&, int, int, int) { return 0; }},
        {"mir", {7, 8, 9}, 64, [](const OldAt& o, int x, int y, int z) { return o(std::min(x, 6 - x), y, z); }},
        {"full", {7, 8, 9}, 64, [](const OldAt&, int, int, int) { return kColor; }},
        {"inv", {7, 8, 9}, 64, [](const OldAt& o, int x, int y, int z) { return o(x, y, z) ? 0 : kColor; }},
        {"grow", {8, 8, 9}, 68, [](const OldAt& o, int x, int y, int z) { return o(x, y, z); }},
    };
    for (const auto& c : cases) {
        BaseModel();
        const ModelState before = State();
        const ModelState after = Expected(c.size[0], c.size[1], c.size[2], c.rule);
        const std::vector<int> once = c.flags ? std::vector<int>{c.flags} : std::vector<int>{};
        const struct {
            const char* line;
            const ModelState& result;
        } steps[] = {{c.line, after}, {"undo", before}, {"redo", after}, {"undo", before}};
        for (const auto& step : steps) {
            messages.clear();
            ASSERT_TRUE(Run(step.line)) << c.line << ": " << output;
            EXPECT_TRUE(State() == step.result) << c.line << " then " << step.line;
            EXPECT_TRUE(GridMatches()) << c.line << " then " << step.line;
            EXPECT_EQ(Told(TK_NOTIFY_MODEL), once) << c.line << " then " << step.line;
        }
    }
}

TEST_F(TransformCommands, SizeAndExpandClampToTheLargestModel) {
    const struct {
        const char* args;
        int x, y, z;
    } sizes[] = {{"10", 10, 10, 10}, {"10 20", 10, 20, 20}, {"0 0 0", 1, 1, 1},
                 {"-5 +7 300 4", 1, 7, 126}, {"8 abc", 8, 8, 8}, {"4294967295", 1, 1, 1}};
    for (const auto& c : sizes) {
        NewBox(3, 3, 3);
        ASSERT_TRUE(Run(std::string("size ") + c.args)) << c.args;
        EXPECT_EQ(Size(), (std::vector<int>{c.x, c.y, c.z})) << c.args;
    }
    // A 125-wide axis gains one cell and no offset, so only the size changes.
    NewBox(125, 126, 3);
    Add(0, 0, 0, 3);
    messages.clear();
    ASSERT_TRUE(Run("expand x"));
    EXPECT_EQ(Told(TK_NOTIFY_MODEL), std::vector<int>{TK_CHANGE_SIZE});
    ASSERT_TRUE(Run("expand"));
    EXPECT_EQ(ColorAt(0, 0, 1), 3);
    EXPECT_EQ(Size(), (std::vector<int>{126, 126, 5}));
}

TEST_F(TransformCommands, RefusalsLeaveModelAndHistoryAlone) {
    enum Model { kBase, kEmpty, kTight, kLargest };
    const struct {
        Model model;
        int color;
        const char* line;
        const char* message;
    } cases[] = {
        {kBase, kColor, "flip", "failed : TK_CMD_Flip"},
        {kBase, kColor, "loop x 1 2", "parse parms: TK_CMD_Loop"},
        {kBase, kColor, "flip q", "failed : TK_CMD_Flip"},
        {kBase, kColor, "rot90 xy", "parse parms: TK_CMD_Rot90"},
        {kBase, kColor, "loop y 0", "failed : TK_CMD_Loop"},
        {kBase, kColor, "size 7 8 9", "failed : TK_CMD_Resize"},
        {kBase, kColor, "failing", "failed : FailingShape"},
        {kBase, kColor, "flip x `", "parse parms: TK_CMD_Flip"},
        {kBase, kColor, "flip 1", "parse parms: TK_CMD_Flip"},
        {kBase, kColor, "rot90", "parse parms: TK_CMD_Rot90"},
        {kBase, kColor, "loop x", "parse parms: TK_CMD_Loop"},
        {kBase, kColor, "shrink q", "failed : TK_CMD_Shrink"},
        {kBase, 0, "fill", "failed : TK_CMD_Fill"},
        {kBase, 256, "full", "failed : TK_CMD_Full"},
        {kBase, 0, "inv", "failed : TK_CMD_Inverse"},
        {kTight, kColor, "shrink", "failed : TK_CMD_Shrink"},
        {kTight, kColor, "fill", "failed : TK_CMD_Fill"},
        {kTight, kColor, "full",
         "[Error] full: nothing to change, the box is already full of colour 9\n[Error] cmd failed : TK_CMD_Full"},
        {kTight, kColor, "index 9", "[Error] index: nothing to change, colour 9 is already current\n[Error] cmd"},
        {kTight, kColor, "flood", "[Error] flood: nothing to fill, no hollow is closed off from the outside\n[Error]"},
        {kEmpty, kColor, "flip x", "failed : TK_CMD_Flip"},
        {kEmpty, kColor, "loop x 1", "failed : TK_CMD_Loop"},
        {kEmpty, kColor, "rot90 z", "failed : TK_CMD_Rot90"},
        {kEmpty, kColor, "shrink", "failed : TK_CMD_Shrink"},
        {kEmpty, kColor, "zero", "[Error] zero: nothing to change, the box is already empty\n[Error] cmd failed"},
        {kEmpty, kColor, "mir", "failed : TK_CMD_MirrorModel"},
        {kLargest, kColor, "expand", "failed : TK_CMD_Expand"},
    };
    for (const auto& c : cases) {
        if (c.model == kBase) BaseModel();
        if (c.model == kEmpty) NewBox(4, 4, 4);
        if (c.model == kLargest) NewBox(126, 126, 126);
        if (c.model == kTight) {
            NewBox(3, 3, 3);
            FillBox(kColor);
        }
        // An entry that a refused command must neither merge with nor drop.
        if (Count() > 0) {
            ASSERT_TRUE(Run("loop y 1"));
        }
        env->currentColorIndex = c.color;
        ExpectRefused(c.line, c.message);
        env->currentColorIndex = kColor;
    }
}

TEST_F(TransformCommands, MergesFoldConsecutiveSteps) {
    const struct {
        const char* line;
        size_t entries;
    } cases[] = {
        {"flip x | flip x", 0},
        {"flip x | flip y", 1},
        {"flip x | rot90 z", 2},
        {"rot90 z | rot90 z | rot90 z | rot90 z", 0},
        {"rot90 z | rot90 z", 1},
        {"rot90 z | rot90 x", 2},
        {"loop x 2 | loop x 3 y 1", 1},
        {"loop x 3 | loop x -10", 0},
        {"loop x 2147483647 | loop x 2147483647", 1},
        {"loop z -2147483648", 1},
        {"mir | mir", 1},
        {"mir | mir y", 2},
        {"size 10 20 5 | full | rot90 z | flip x", 4},  // each undone on the model its step left
    };
    for (const auto& c : cases) {
        BaseModel();
        const ModelState before = State();
        ASSERT_TRUE(Run(c.line)) << c.line;
        ASSERT_EQ(env->executor.UndoCount(), c.entries) << c.line;
        for (size_t i = 0; i < c.entries; ++i) ASSERT_TRUE(Run("undo"));
        EXPECT_TRUE(State() == before) << c.line;
    }
}

}  // namespace
