// The voxel and pattern stamps: extents, placement on the face, clipping, colours.
#include "TK_BrushTest.h"
#include "TK_TestSupport.h"
#include "brush/TK_PatternBrush.h"
#include "brush/TK_VoxelBrush.h"

namespace {

using tk_test::Cell;

class StampBrush : public tk_test::BrushTest {};

TEST_F(StampBrush, VoxelStampExtents) {
    SetSize(126, 126, 126);
    struct Case {
        const char* what;
        int size;
        bool cube, volume;
        TK_Pick pick;
        int cells;
        Cell lo, hi;  // the stroke's bounding box
    } cases[] = {
        {"size 64 cube", 64, true, false, Pick(60, 60, 59, 6), 64 * 64 * 64, {29, 29, 29}, {92, 92, 92}},
        {"size 64 clipped", 64, true, false, Pick(0, 0, -1, 6), 33 * 33 * 33, {0, 0, 0}, {32, 32, 32}},
        {"sphere 3 drops corners", 3, false, false, Pick(5, 5, 4, 6), 27 - 8, {4, 4, 4}, {6, 6, 6}},
        {"standing on a -x face", 2, true, true, Pick(5, 5, 4, 1), 8, {3, 5, 4}, {4, 6, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.voxelSize = c.size, options.voxelCube = c.cube, options.voxelVolume = c.volume;
        stroke.Begin(*env, options);
        ASSERT_TRUE(TK_AddVoxelStamp(stroke, options, c.pick));
        const std::set<Cell> cells = Cells();
        ASSERT_EQ(int(cells.size()), c.cells);
        Cell lo = *cells.begin(), hi = lo;
        for (const Cell& cell : cells)
            for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], cell[a]), hi[a] = std::max(hi[a], cell[a]);
        EXPECT_TRUE(lo == c.lo && hi == c.hi);
    }
}

TEST_F(StampBrush, PatternStandsOnTheFaceInItsColours) {
    stroke.Begin(*env, options);
    EXPECT_FALSE(TK_AddPatternStamp(stroke, *env, options, Pick(3, 3, -1, 6))) << "no pattern loaded";
    env->patternModel = tk_test::MakeModel(2, 1, 2, {Voxel{0, 0, 0, 4}, Voxel{1, 0, 1, 5}});
    for (bool palette : {false, true}) {
        options.patternPalette = palette;
        stroke.Begin(*env, options);
        ASSERT_TRUE(TK_AddPatternStamp(stroke, *env, options, Pick(3, 3, -1, 6)));
        EXPECT_EQ(Cells(), (std::set<Cell>{{3, 3, 0}, {4, 3, 1}}));
        EXPECT_EQ(ColorOf({4, 3, 1}), palette ? 9 : 5);
    }
}

}  // namespace
