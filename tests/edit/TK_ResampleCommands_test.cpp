// "repeat", "scale", "x2" and "rot": new sizes, where voxels land, what is
// dropped at the box, and the argument checks.
#include "edit/TK_ResampleCommands.h"

#include <gtest/gtest.h>

#include <vector>

#include "TK_EditFixture.h"

namespace {

using ResampleCommands = tk_test::EditEnvTest;
using Size3 = std::vector<int>;

TEST_F(ResampleCommands, ScaleRefusesIdentityAndKeepsTheCentreAndTheFloor) {
    SetBox(10, 10, 10);
    FillBox(3);
    // Factors at or below 0 become 1.
    for (const char* bad : {"scale 1", "scale 0 -2", "scale 1 2 3 4", "scale x"}) ExpectRefused(bad, "TK_CMD_Scale");
    ASSERT_TRUE(Run("scale 0.5"));
    EXPECT_EQ(Size(), Size3({5, 5, 5}));
    EXPECT_EQ(Count(), 125);
    SetBox(10, 10, 10);
    Add(5, 5, 0, 3);
    ASSERT_TRUE(Run("scale 2"));
    EXPECT_EQ(Size(), Size3({20, 20, 20}));
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(ColorAt(10, 10, 0), 3);
    EXPECT_EQ(ColorAt(11, 11, 1), 3);
    ASSERT_TRUE(Run("scale 1000"));  // clamped to the largest box
    EXPECT_EQ(Size(), Size3({126, 126, 126}));
}

TEST_F(ResampleCommands, X2CentresAndDropsOutsideCells) {
    SetBox(100, 4, 4);
    Add(0, 0, 0, 3);
    Add(99, 3, 3, 4);
    Add(50, 1, 1, 6);
    ASSERT_TRUE(Run("x2"));
    EXPECT_EQ(Size(), Size3({126, 8, 8}));
    // x = 0 maps to -37 and -36, x = 99 to 161 and 162: both dropped.
    EXPECT_EQ(Count(), 8);
    EXPECT_EQ(ColorAt(63, 2, 2), 6);   // 2 * 50 - 100 + 63
    EXPECT_EQ(ColorAt(64, 3, 3), 6);
    SetBox(126, 126, 126);
    ExpectRefused("x2", "failed : TK_CMD_Scale2X");  // empty and already at the largest box
}

TEST_F(ResampleCommands, RepeatTilesWholeAndPartialCopies) {
    SetBox(4, 3, 2);
    Add(0, 0, 0, 3);
    Add(3, 2, 1, 4);
    ASSERT_TRUE(Run("repeat 2.5 1 1"));
    EXPECT_EQ(Size(), Size3({10, 3, 2}));
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ((Size3{ColorAt(8, 0, 0), ColorAt(7, 2, 1), ColorAt(9, 2, 1)}), Size3({3, 4, 0}));
    ASSERT_TRUE(Run("repeat -2"));  // absolute value
    EXPECT_EQ(Size(), Size3({20, 6, 4}));
    // "1.01" rounds to the same size.
    for (const char* bad : {"repeat 1 1 1", "repeat 1.01", "repeat 2 x"}) ExpectRefused(bad, "TK_CMD_Repeat");
}

TEST_F(ResampleCommands, RotTurnsAboutTheCentre) {
    SetBox(10, 20, 5);
    Add(0, 0, 2, 3);
    Add(9, 19, 4, 4);
    ASSERT_TRUE(Run("rot z 90"));
    EXPECT_EQ(Size(), Size3({20, 10, 5}));
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(ColorAt(19, 0, 2), 3);
    EXPECT_EQ(ColorAt(0, 9, 4), 4);
    ASSERT_TRUE(Run("rot Z -90"));  // back
    EXPECT_EQ(ColorAt(0, 0, 2), 3);
    ASSERT_TRUE(Run("rot x 90 y 90"));
    EXPECT_EQ(Size(), Size3({5, 10, 20}));
    EXPECT_EQ(Count(), 2);
    ASSERT_TRUE(Run("rot z 45"));
    EXPECT_EQ(Size(), Size3({11, 11, 20}));  // the turned 5 x 10 footprint
    for (const char* bad : {"rot", "rot z", "rot 90", "rot z 90 x"}) ExpectRefused(bad, "TK_CMD_Rotate");
}

}  // namespace
