// "flood", "dil" and "ero": neighbourhood counts, box faces, enclosed and
// open cavities, and the axis text.
#include "edit/TK_MorphologyCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TK_EditFixture.h"

namespace {

using tk_test::EditEnvTest;

class MorphologyCommands : public EditEnvTest {
protected:
    // The six faces of a cube of side n at the origin, 1 <= n.
    void HollowCube(int n, bool openTop) {
        for (int z = 0; z < n; ++z)
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x) {
                    const bool face = x == 0 || y == 0 || z == 0 || x == n - 1 || y == n - 1 || z == n - 1;
                    const bool hole = openTop && z == n - 1 && x == n / 2 && y == n / 2;
                    if (face && !hole) env->model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 2});
                }
        Commit();
    }
};

TEST_F(MorphologyCommands, AxisText) {
    struct Case {
        const char* text;
        bool ok;
        int modes[3];
    } cases[] = {
        {"", true, {2, 2, 2}},          {"xz", true, {2, 0, 2}},     {"+z", true, {0, 0, 1}},
        {"-X +y z", true, {-1, 1, 1}},  {"x -y", true, {2, -1, 0}},  {"+-x", true, {-1, 0, 0}},
        {"w", false, {}},               {"x1", false, {}},
        {"x,y", false, {}},             {"+= x", false, {}},         {"2", false, {}},
    };
    for (const Case& c : cases) {
        int modes[3] = {7, 7, 7};
        ASSERT_EQ(TK_ParseNeighbourAxes(c.text, modes), c.ok) << c.text;
        EXPECT_TRUE(!c.ok || std::equal(modes, modes + 3, c.modes)) << c.text;
    }
}

TEST_F(MorphologyCommands, DilationGrowsTheNeighbourhood) {
    struct Case {
        const char* line;
        int count;
    } cases[] = {{"dil", 27}, {"dil +z", 2}, {"dil z", 3}, {"dil xy", 9}, {"dil +x+y", 4}};
    for (const Case& c : cases) {
        SetBox(40, 40, 40);
        Add(20, 20, 20, 3);
        ASSERT_TRUE(Run(c.line)) << c.line << output;
        EXPECT_EQ(Count(), c.count) << c.line;
        EXPECT_EQ(ColorAt(20, 20, 20), 3) << c.line;
    }
    EXPECT_EQ(ColorAt(20, 21, 20), 5);  // the new voxels take the current colour
    EXPECT_EQ(ColorAt(21, 21, 20), 5);
    EXPECT_EQ(ColorAt(19, 20, 20), 0);
}

TEST_F(MorphologyCommands, DilationStopsAtTheBoxAndFailsWhenFull) {
    SetBox(3, 3, 3);
    Add(0, 0, 0, 3);
    ASSERT_TRUE(Run("dil"));
    EXPECT_EQ(Count(), 8);
    FillBox(3);
    EXPECT_FALSE(Run("dil"));
    SetBox(3, 3, 3);
    EXPECT_FALSE(Run("dil"));  // empty
    Add(1, 1, 2, 3);
    EXPECT_FALSE(Run("dil +z"));  // the only neighbour is outside the box
    EXPECT_FALSE(Run("dil q"));
    EXPECT_NE(output.find("failed to parse parms: TK_CMD_Dilation"), std::string::npos);
}

TEST_F(MorphologyCommands, ErosionTreatsTheOutsideAsEmpty) {
    SetBox(3, 3, 3);
    FillBox(4);
    ASSERT_TRUE(Run("ero"));
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(ColorAt(1, 1, 1), 4);

    struct Case {
        const char* line;
        int count;
    } cases[] = {{"ero +z", 18}, {"ero z", 9}, {"ero xy", 3}};
    for (const Case& c : cases) {
        FillBox(4);
        ASSERT_TRUE(Run(c.line)) << c.line;
        EXPECT_EQ(Count(), c.count) << c.line;
    }
    FillBox(4);
    ASSERT_TRUE(Run("ero +z"));
    EXPECT_EQ(ColorAt(1, 1, 2), 0);
    EXPECT_EQ(ColorAt(1, 1, 1), 4);
    // A lone voxel inside a large box is all surface; an empty box fails.
    SetBox(10, 10, 10);
    Add(5, 5, 5, 6);
    ASSERT_TRUE(Run("ero x"));
    EXPECT_FALSE(Run("ero"));
}

TEST_F(MorphologyCommands, FloodFillsOnlyEnclosedCavities) {
    SetBox(12, 12, 12);
    HollowCube(8, false);
    const int shell = Count();
    ASSERT_TRUE(Run("flood"));
    EXPECT_EQ(Count(), shell + 6 * 6 * 6);
    EXPECT_EQ(ColorAt(4, 4, 4), 5);
    EXPECT_EQ(ColorAt(10, 10, 10), 0);

    SetBox(12, 12, 12);
    HollowCube(8, true);
    const int open = Count();
    EXPECT_FALSE(Run("flood"));
    EXPECT_EQ(Count(), open);
    // A cavity reaching the box's face is still enclosed by the model itself.
    SetBox(8, 8, 8);
    HollowCube(8, false);
    ASSERT_TRUE(Run("flood"));
    EXPECT_EQ(Count(), 8 * 8 * 8);
}

}  // namespace
