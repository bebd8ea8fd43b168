// "flood", "dil" and "ero": neighbourhood counts, box faces, enclosed and
// open cavities, and the axis text.
#include "edit/TK_MorphologyCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TK_EditFixture.h"

namespace {

class MorphologyCommands : public tk_test::EditEnvTest {
protected:
    // The models the rows start from.
    enum Start { kLone, kCorner, kTop, kFull, kEmpty, kClosed, kOpen, kWall };
    void Build(Start start) {
        const int box = start == kLone ? 40 : start == kClosed || start == kOpen ? 12 : start == kWall ? 8 : 3;
        SetBox(box, box, box);
        if (start == kLone) Add(20, 20, 20, 3);
        if (start == kCorner) Add(0, 0, 0, 3);
        if (start == kTop) Add(1, 1, 2, 3);
        if (start == kFull) FillBox(4);
        if (start >= kClosed) {
            // The faces of a cube of side 8 at the origin; the open one has a hole in its top.
            Shape(box, box, box, [start](int x, int y, int z) {
                const bool face = std::min({x, y, z}) == 0 || std::max({x, y, z}) == 7;
                const bool hole = start == kOpen && z == 7 && x == 4 && y == 4;
                return std::max({x, y, z}) < 8 && face && !hole ? 2 : 0;
            });
        }
    }
};

TEST_F(MorphologyCommands, AxisText) {
    struct Case {
        const char* text;
        bool ok;
        int modes[3];
    } cases[] = {
        {"", true, {2, 2, 2}},
        {"xz", true, {2, 0, 2}},
        {"+z", true, {0, 0, 1}},
        {"-X +y z", true, {-1, 1, 1}},
        {"x -y", true, {2, -1, 0}},
        {"+-x", true, {-1, 0, 0}},
        {"w", false, {}},
        {"x1", false, {}},
        {"x,y", false, {}},
        {"+= x", false, {}},
        {"2", false, {}},
    };
    for (const Case& c : cases) {
        int modes[3] = {7, 7, 7};
        ASSERT_EQ(TK_ParseNeighbourAxes(c.text, modes), c.ok) << c.text;
        EXPECT_TRUE(!c.ok || std::equal(modes, modes + 3, c.modes)) << c.text;
    }
}

// Each row: the voxel count after the line and the colour of one cell, or
// the message of a refusal.
TEST_F(MorphologyCommands, EachRuleOnItsModel) {
    const char* dil = "failed : TK_CMD_Dilation";
    struct Case {
        Start start;
        const char* line;
        int count;
        int cell[3];
        int color;
        const char* refusal;
    } cases[] = {
        // Dilation grows in the current colour, keeps the old voxels and stops at the box.
        {kLone, "dil", 27, {20, 21, 20}, 5, nullptr},
        {kLone, "dil +z", 2, {20, 20, 20}, 3, nullptr},
        {kLone, "dil z", 3, {20, 20, 19}, 5, nullptr},
        {kLone, "dil xy", 9, {21, 21, 20}, 5, nullptr},
        {kLone, "dil +x+y", 4, {19, 20, 20}, 0, nullptr},
        {kCorner, "dil", 8, {1, 1, 1}, 5, nullptr},
        {kFull, "dil", 0, {}, 0, dil},
        {kEmpty, "dil", 0, {}, 0, dil},
        {kTop, "dil +z", 0, {}, 0, dil},  // the only neighbour is outside the box
        {kLone, "dil q", 0, {}, 0, "failed to parse parms: TK_CMD_Dilation"},
        // Erosion treats the outside as empty: a lone voxel is all surface.
        {kFull, "ero", 1, {1, 1, 1}, 4, nullptr},
        {kFull, "ero +z", 18, {1, 1, 2}, 0, nullptr},
        {kFull, "ero z", 9, {1, 1, 1}, 4, nullptr},
        {kFull, "ero xy", 3, {1, 1, 0}, 4, nullptr},
        {kLone, "ero x", 0, {20, 20, 20}, 0, nullptr},
        {kEmpty, "ero", 0, {}, 0, "failed : TK_CMD_Erosion"},
        // Flood fills enclosed cavities only; one reaching the box's face is enclosed by the model itself.
        {kClosed, "flood", 8 * 8 * 8, {4, 4, 4}, 5, nullptr},
        {kOpen, "flood", 0, {}, 0, "failed : TK_CMD_FloodFill"},
        {kWall, "flood", 8 * 8 * 8, {3, 4, 5}, 5, nullptr},
    };
    for (const Case& c : cases) {
        Build(c.start);
        if (c.refusal) {
            ExpectRefused(c.line, c.refusal);
            continue;
        }
        ASSERT_TRUE(Run(c.line)) << c.line << output;
        EXPECT_EQ(Count(), c.count) << c.line;
        EXPECT_EQ(ColorAt(c.cell[0], c.cell[1], c.cell[2]), c.color) << c.line;
    }
}

}  // namespace
