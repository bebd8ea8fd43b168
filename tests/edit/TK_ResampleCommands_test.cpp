// "repeat", "scale", "x2" and "rot": new sizes, where voxels land, what is
// dropped at the box, and the argument checks.
#include "edit/TK_ResampleCommands.h"

#include <gtest/gtest.h>

#include <vector>

#include "TK_EditFixture.h"

namespace {

using tk_test::EditEnvTest;

class ResampleCommands : public EditEnvTest {
protected:
    void ExpectSize(int x, int y, int z) {
        EXPECT_EQ(std::vector<int>(env->model.size, env->model.size + 3), (std::vector<int>{x, y, z}));
    }
};

TEST_F(ResampleCommands, ScaleRefusesIdentityAndKeepsTheCentreAndTheFloor) {
    SetBox(10, 10, 10);
    FillBox(3);
    EXPECT_FALSE(Run("scale 1"));
    EXPECT_FALSE(Run("scale 0 -2"));  // factors at or below 0 become 1
    EXPECT_FALSE(Run("scale 1 2 3 4"));
    EXPECT_FALSE(Run("scale x"));
    ASSERT_TRUE(Run("scale 0.5"));
    ExpectSize(5, 5, 5);
    EXPECT_EQ(Count(), 125);
    SetBox(10, 10, 10);
    Add(5, 5, 0, 3);
    ASSERT_TRUE(Run("scale 2"));
    ExpectSize(20, 20, 20);
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(ColorAt(10, 10, 0), 3);
    EXPECT_EQ(ColorAt(11, 11, 1), 3);
    ASSERT_TRUE(Run("scale 1000"));  // clamped to the largest box
    ExpectSize(126, 126, 126);
}

TEST_F(ResampleCommands, X2CentresAndDropsOutsideCells) {
    SetBox(100, 4, 4);
    Add(0, 0, 0, 3);
    Add(99, 3, 3, 4);
    Add(50, 1, 1, 6);
    ASSERT_TRUE(Run("x2"));
    ExpectSize(126, 8, 8);
    // x = 0 maps to -37 and -36, x = 99 to 161 and 162: both dropped.
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(ColorAt(63, 2, 2), 6);   // 2 * 50 - 100 + 63
    EXPECT_EQ(ColorAt(64, 3, 3), 6);
    SetBox(126, 126, 126);
    EXPECT_FALSE(Run("x2"));  // empty and already at the largest box
}

TEST_F(ResampleCommands, RepeatTilesWholeAndPartialCopies) {
    SetBox(4, 3, 2);
    Add(0, 0, 0, 3);
    Add(3, 2, 1, 4);
    ASSERT_TRUE(Run("repeat 2.5 1 1"));
    ExpectSize(10, 3, 2);
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(ColorAt(8, 0, 0), 3);
    EXPECT_EQ(ColorAt(7, 2, 1), 4);
    EXPECT_EQ(ColorAt(9, 2, 1), 0);
    ASSERT_TRUE(Run("repeat -2"));  // absolute value
    ExpectSize(20, 6, 4);
    EXPECT_FALSE(Run("repeat 1 1 1"));
    EXPECT_FALSE(Run("repeat 1.01"));  // rounds to the same size
    EXPECT_FALSE(Run("repeat 2 x"));
}

TEST_F(ResampleCommands, RotTurnsAboutTheCentre) {
    SetBox(10, 20, 5);
    Add(0, 0, 2, 3);
    Add(9, 19, 4, 4);
    ASSERT_TRUE(Run("rot z 90"));
    ExpectSize(20, 10, 5);
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(ColorAt(19, 0, 2), 3);
    EXPECT_EQ(ColorAt(0, 9, 4), 4);
    ASSERT_TRUE(Run("rot Z -90"));  // back
    EXPECT_EQ(ColorAt(0, 0, 2), 3);
    ASSERT_TRUE(Run("rot x 90 y 90"));
    ExpectSize(5, 10, 20);
    EXPECT_EQ(Count(), 2);
    ASSERT_TRUE(Run("rot z 45"));
    ExpectSize(11, 11, 20);  // the turned 5 x 10 footprint
    for (const char* bad : {"rot", "rot z", "rot 90", "rot z 90 x"}) EXPECT_FALSE(Run(bad)) << bad;
}

}  // namespace
