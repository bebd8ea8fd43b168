// The centre stroke: disc and square membership around odd and even
// centres, and the radius taken from the mouse's hit on the plane.
#include <vector>

#include "TK_BrushTest.h"
#include "brush/TK_CenterBrush.h"

namespace {

using tk_test::Cell;

class CenterBrush : public tk_test::BrushTest {
protected:
    void SetUp() override {
        BrushTest::SetUp();
        SetSize(16, 16, 4);
        ASSERT_TRUE(TK_BeginCenterShape(options, Pick(8, 8, -1, 6), shape));
    }
    TK_CenterShape shape;
};

TEST_F(CenterBrush, DiscsAndSquaresAroundOddAndEvenCentres) {
    // Offsets from the centre (8, 8). Radius 3 gives r2 = 12: (3, 1) is in
    // (10), (3, 2) is out (13), the centre is out. Even centres count cells
    // below the corner one closer.
    struct Case {
        bool circle, even;
        int radius, count;
        std::vector<std::array<int, 2>> in, out;
    } cases[] = {
        {true, false, 3, 36, {{3, 1}, {-2, 2}}, {{3, 2}, {0, 0}, {0, -4}}},
        {true, true, 3, 48, {{-4, 1}, {3, -2}}, {{-4, -3}, {-1, -1}, {0, 0}}},
        {false, false, 2, 24, {}, {}},
        {false, true, 1, 12, {}, {}},
        {true, true, 0, 4, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "circle " << c.circle << " even " << c.even << " radius " << c.radius);
        options.centerCircle = c.circle, options.centerEven = c.even;
        shape.radius = c.radius;
        TK_BuildCenterStroke(stroke, *env, options, shape);
        const std::set<Cell> cells = Cells();
        EXPECT_EQ(int(cells.size()), c.count);
        for (const auto& d : c.in) EXPECT_EQ(cells.count({8 + d[0], 8 + d[1], 0}), 1u) << d[0] << " " << d[1];
        for (const auto& d : c.out) EXPECT_EQ(cells.count({8 + d[0], 8 + d[1], 0}), 0u) << d[0] << " " << d[1];
    }
}

TEST_F(CenterBrush, RadiusFromTheHitCell) {
    struct Case {
        bool circle, even;
        int hit[3];
        int radius;
    } cases[] = {{true, false, {11, 9, 5}, 3}, {true, true, {4, 8, 0}, 3}, {false, false, {108, 8, 0}, 16}};
    for (const auto& c : cases) {
        options.centerCircle = c.circle, options.centerEven = c.even;
        EXPECT_EQ(TK_CenterRadius(shape, env->model.size, options, c.hit), c.radius) << c.hit[0] << " " << c.hit[1];
    }
    options.centerCircle = true, options.centerEven = false;
    ASSERT_TRUE(TK_CenterRadiusFromRay(shape, env->model.size, options, TK_Ray{{11.5f, 9.5f, 10}}));
    EXPECT_EQ(shape.radius, 3);
}

}  // namespace
