// The generators ("prim", "fractal", "noise", "rand", "maze") and the undo /
// redo round trip of every shape and generator command on one fixture.
#include "edit/TK_GeneratorCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "TK_EditFixture.h"
#include "TK_TestSupport.h"
#include "edit/TK_MazeCommand.h"
#include "edit/TK_NoiseCommands.h"
#include "model/TK_VoxFile.h"

namespace {

using tk_test::EditEnvTest;
using tk_test::ModelState;

class GeneratorCommands : public EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        TK_CMD_Noise::ResetRemembered();
    }
    // A hollow cube (an enclosed cavity) and a few loose voxels of several
    // colours in a box that is not a cube.
    void Fixture() {
        Shape(16, 14, 12, [](int x, int y, int z) {
            const int low = std::min({x, y, z}), high = std::max({x, y, z});
            if (low >= 2 && high < 8 && (low == 2 || high == 7)) return 1 + (x + y) % 4;
            return y == z && x == 10 + y % 5 ? 9 : 0;
        });
    }
};

// Out-of-range numbers fail cleanly or give a valid model (checked by Run);
// what succeeds undoes and redoes exactly.
TEST_F(GeneratorCommands, EveryCommandUndoesAndRedoesExactly) {
    const char* lines[] = {"repeat 2 1 1", "scale 1.5", "rot y 30", "x2", "flood", "dil xz", "ero", "prim cone",
                           "noise 3 0.2 -0.5 0.5", "maze 2", "rand 1 9", "dil ++++x", "scale 1e-30",
                           "noise 1 1e30 -1 1", "rand -5 2147483647"};
    for (const char* line : lines) {
        Fixture();
        env->executor.ClearHistory();
        const ModelState before = State();
        ASSERT_TRUE(Run(line)) << line << "\n" << output;
        const ModelState after = State();
        EXPECT_FALSE(after == before) << line;
        ASSERT_TRUE(Run("undo")) << line;
        EXPECT_TRUE(State() == before) << line;
        ASSERT_TRUE(Run("redo")) << line;
        EXPECT_TRUE(State() == after) << line;
    }
    for (const char* line : {"scale 1e39", "repeat 1e39 1e39", "rot z 1e39", "noise 1 1e39", "maze 2147483647"}) {
        Fixture();
        ExpectRefused(line, "[Error]");
    }
}

TEST_F(GeneratorCommands, PrimShapesAreSolidSymmetricAndFillTheBox) {
    struct Case {
        const char* line;
        double volume;  // fraction of the box
        bool symmetricInZ;
    } cases[] = {{"prim elli", M_PI / 6, true}, {"prim PYRAMID", 1.0 / 3, false},
                 {"prim cyli", M_PI / 4, true}, {"prim cone", M_PI / 12, false}};
    for (const Case& c : cases) {
        SetBox(40, 30, 36);
        ASSERT_TRUE(Run(c.line)) << c.line;
        EXPECT_NEAR(double(Count()) / env->model.CellCount(), c.volume, 0.1 * c.volume) << c.line;
        EXPECT_EQ(tk_test::CountColor(env->model, 5), Count()) << c.line;
        bool floor = false, top = false, side = false;
        for (const Voxel& v : env->model.voxels) {
            const bool mirrored = ColorAt(39 - v.x, v.y, v.z) && ColorAt(v.x, 29 - v.y, v.z) &&
                                  (!c.symmetricInZ || ColorAt(v.x, v.y, 35 - v.z));
            ASSERT_TRUE(mirrored) << c.line << " at " << int(v.x) << " " << int(v.y) << " " << int(v.z);
            floor |= v.z == 0;
            top |= v.z == 35;
            side |= v.x == 0;
        }
        EXPECT_TRUE(floor && top && side) << c.line;
        EXPECT_FALSE(Run("flood")) << c.line;  // nothing enclosed: solid
    }
    for (const char* bad : {"prim", "prim cube", "prim el", "prim elli 3"}) ExpectRefused(bad, "TK_CMD_Prim");
    SetBox(1, 1, 1);
    ASSERT_TRUE(Run("prim cone"));
    EXPECT_EQ(Count(), 1);
}

TEST_F(GeneratorCommands, FractalReplacesEachVoxelByThePattern) {
    const tk_test::TempFolder folder("tk_fractal");
    const std::string path = folder.Path("pattern.vox");
    ASSERT_TRUE(WriteVox(tk_test::MakeModel(2, 2, 2, {{0, 0, 0, 1}, {1, 1, 1, 1}}), path.c_str()));

    SetBox(3, 3, 70);
    Add(0, 0, 0, 4);
    Add(1, 1, 1, 3);
    Add(2, 2, 69, 7);
    ASSERT_TRUE(Run("fractal " + path)) << output;
    EXPECT_EQ(Size(), (std::vector<int>{6, 6, 126}));  // 140 clamped
    EXPECT_EQ(Count(), 4);  // the third voxel's copy lies beyond 126
    EXPECT_EQ((std::vector<int>{ColorAt(1, 1, 1), ColorAt(2, 2, 2), ColorAt(1, 0, 0)}), (std::vector<int>{4, 3, 0}));
    std::remove(path.c_str());
    ASSERT_TRUE(Run("undo | redo"));  // redo needs no file
    EXPECT_EQ(Count(), 4);

    ExpectRefused("fractal \"" + path + "\"", "[Error] failed to load fractal model\n");
    env->headless = true;
    ExpectRefused("fractal", "[Error] failed to load fractal model\n");
}

TEST_F(GeneratorCommands, GradientNoiseIsSmoothAndSeeded) {
    const TK_GradientNoise a(1), b(2);
    bool differs = false;
    double peak = 0;
    for (int i = 0; i < 2000; ++i) {
        const double x = i * 0.37, y = i * 0.11 + 3.3, z = 17.0 - i * 0.05;
        const double v = a.At(x, y, z);
        peak = std::max(peak, std::fabs(v));
        EXPECT_NEAR(a.At(x + 1e-4, y, z), v, 1e-3);
        differs |= std::fabs(b.At(x, y, z) - v) > 1e-3;
        EXPECT_EQ(a.At(std::floor(x), std::floor(y), std::floor(z)), 0.0);  // zero on the lattice
    }
    EXPECT_TRUE(differs);
    // The row path the command uses gives the reference values.
    TK_NoiseAxis xs[300];
    double row[300];
    for (int i = 0; i < 300; ++i) xs[i] = TK_NoiseAxis::Of(i * 0.093 - 7.0);
    for (double y : {-3.7, 0.0, 0.4, 250.9})
        for (double z : {-0.2, 1.0, 9.61}) {
            a.Row(xs, 300, TK_NoiseAxis::Of(y), TK_NoiseAxis::Of(z), row);
            for (int i = 0; i < 300; ++i) ASSERT_NEAR(row[i], a.At(i * 0.093 - 7.0, y, z), 1e-12) << i;
        }
    EXPECT_TRUE(peak > 0.3 && peak < 1.1) << peak;
    EXPECT_TRUE(std::isfinite(a.At(1e30, -1e30, 3.5)));
}

TEST_F(GeneratorCommands, NoiseRemembersItsNumbers) {
    SetBox(30, 30, 30);
    ASSERT_TRUE(Run("noise"));
    const ModelState defaults = State();
    ASSERT_TRUE(Run("noise 33554431 0.04 0.2 0.5 | undo"));
    ASSERT_TRUE(Run("noise 33554431 0.04 0.2 0.5"));
    EXPECT_TRUE(State() == defaults);

    ASSERT_TRUE(Run("noise 7 0.15 -0.3 0.3"));
    const ModelState first = State();
    ASSERT_TRUE(Run("noise 8"));
    EXPECT_FALSE(State() == first);
    ASSERT_TRUE(Run("noise 7"));  // frequency and band remembered
    EXPECT_TRUE(State() == first);
    ASSERT_TRUE(Run("noise 7 0.15 -2 2"));
    EXPECT_EQ(Count(), 30 * 30 * 30);
    ASSERT_TRUE(Run("noise 7 0.15 2 3"));
    EXPECT_EQ(Count(), 0);
    for (const char* bad : {"noise", "noise 1 2 3 4 5"}) ExpectRefused(bad, "TK_CMD_Noise");  // still empty
}

TEST_F(GeneratorCommands, RandRecoloursInPlace) {
    Fixture();
    const VoxelList before = env->model.voxels;
    ASSERT_TRUE(Run("rand 20 10"));
    ASSERT_EQ(Count(), before.Count());
    for (int i = 0; i < Count(); ++i) {
        const Voxel& v = env->model.voxels[i];
        ASSERT_EQ(v.Word() & 0xFFFFFF, before[i].Word() & 0xFFFFFF) << "the same cell at the same place";
        ASSERT_TRUE(v.colorIndex >= 10 && v.colorIndex <= 20) << int(v.colorIndex);
    }
    SetBox(4, 4, 4);  // empty: "rand" alone, with the last numbers, has nothing to recolour
    for (const char* bad : {"rand", "rand 1 2 3"}) ExpectRefused(bad, "TK_CMD_RandomModel");
}

// Walls on a grid of pitch `step`: every room reachable, and the rooms and
// doors form a tree: exactly rooms - 1 doors open, so the wall cells count
// the rest of the outline.
TEST_F(GeneratorCommands, MazeIsAPerfectMaze) {
    for (int width : {1, 3}) {
        SetBox(23, 21, 3);
        ASSERT_TRUE(Run("maze " + std::to_string(width))) << output;
        const int step = width + 1, rooms[2] = {22 / step, 20 / step};
        const int extent[2] = {rooms[0] * step + 1, rooms[1] * step + 1};
        const int ox = (23 - extent[0]) / 2, oy = (21 - extent[1]) / 2;
        int layer = 0;
        for (const Voxel& v : env->model.voxels) {
            ASSERT_EQ(v.colorIndex, 5);
            layer += v.z == 0;
            ASSERT_NE(ColorAt(v.x, v.y, 2 - v.z), 0);
        }
        const int roomCount = rooms[0] * rooms[1];
        EXPECT_EQ(layer, extent[0] * extent[1] - roomCount * width * width - (roomCount - 1) * width) << width;

        // Every room reachable from the first through the open cells inside the outer wall.
        std::vector<int> stack{ox + 1 + 23 * (oy + 1)};
        std::vector<uint8_t> seen(23 * 21, 0);
        for (seen[stack[0]] = 1; !stack.empty();) {
            const int c = stack.back();
            stack.pop_back();
            for (const int n : {c + 1, c - 1, c + 23, c - 23}) {
                const int x = n % 23, y = n / 23;
                if (x > ox && y > oy && x < ox + extent[0] && y < oy + extent[1] && !seen[n] && !ColorAt(x, y, 0)) {
                    seen[n] = 1;
                    stack.push_back(n);
                }
            }
        }
        for (int ry = 0; ry < rooms[1]; ++ry)
            for (int rx = 0; rx < rooms[0]; ++rx)
                EXPECT_TRUE(seen[ox + rx * step + 1 + 23 * (oy + ry * step + 1)]) << rx << " " << ry;
    }
    SetBox(2, 40, 3);
    for (const char* bad : {"maze", "maze x"}) ExpectRefused(bad, "TK_CMD_Maze");
}

}  // namespace
