// Model operations, colour search and normalisation of loaded models.
#include "model/TK_Model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TK_TestSupport.h"

namespace {

using tk_test::MakeModel;

TEST(ModelPalette, ColorSearch) {
    TK_Model m;
    m.palette[3] = PackRGBA(10, 10, 10);
    m.palette[5] = PackRGBA(14, 10, 10);
    m.palette[9] = PackRGBA(10, 10, 10);
    // Equal distances go to the lower index; entry 0 is never a candidate.
    EXPECT_EQ(m.FindNearestColor(PackRGBA(12, 10, 10)), 3);
    EXPECT_EQ(m.FindNearestColor(PackRGBA(13, 10, 10)), 5);
    TK_Model black;
    EXPECT_EQ(black.FindNearestColor(0), 1);
    EXPECT_EQ(m.FindExactColor(PackRGBA(10, 10, 10, 7)), 3);
    EXPECT_EQ(m.FindExactColor(PackRGBA(10, 10, 10), 3), 0);
    EXPECT_EQ(m.FindExactColor(PackRGBA(10, 10, 10), 4), 3);
    EXPECT_EQ(m.FindExactColor(0, 1), 0);
    EXPECT_EQ(m.FindExactColor(PackRGBA(1, 2, 3)), 0);
}

TEST(ModelOps, BaseName) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"a/b/house.vox", "house"},
        {"C:\\models\\tree.big.vox", "tree.big"},
        {"dir/.hidden", ""},
        {"dir/name.", "name."},
        {"plain", "plain"},
        {"a.b/plain", "plain"},
    };
    for (const auto& c : cases) {
        TK_Model m;
        m.name = c.first;
        EXPECT_EQ(m.ModelBaseName(), c.second) << c.first;
    }
}

// The four steps of normalisation written plainly, to hold the one-pass
// version (with its shortcut for lists in rising cell order) to; its random
// lists hold repeated cells of other colours (the first wins) and colour 0.
void ReferenceNormalize(TK_Model& m, const int limit[3], int color) {
    int lo[3], hi[3];
    if (m.ComputeBounds(lo, hi))
        for (int a = 0; a < 3; ++a) m.size[a] = std::max(m.size[a], hi[a] + 1);
    for (int a = 0; a < 3; ++a) m.size[a] = std::clamp(m.size[a], 1, std::max(1, std::min(limit[a], 126)));
    for (Voxel& v : m.voxels)
        if (v.colorIndex == 0 && color >= 1 && color <= 255) v.colorIndex = uint8_t(color);
    std::set<uint32_t> taken;
    for (int i = 0; i < m.voxels.Count();) {
        const Voxel& v = m.voxels[i];
        if (!m.InBox(v.x, v.y, v.z) || v.colorIndex == 0 || !taken.insert(v.Word() & 0xFFFFFF).second)
            m.voxels.RemoveAt(i);
        else
            ++i;
    }
    m.ResetPaletteAlpha();
}

TEST(Normalize, MatchesThePlainAlgorithmOnEveryListShape) {
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    enum Shape { Rising, RisingWithRepeat, RisingWithColourZero, RisingPastCap, Random };
    for (int shape = Rising; shape <= Random; ++shape)
        for (int n = 0; n < 40; ++n)
            for (int color : {0, 9}) {
                TK_Model m = MakeModel(int(next(8)), 6, 6, {});
                for (int i = 0; i < n; ++i) m.voxels.Add(Voxel{uint8_t(i % 7), uint8_t(i / 7 % 7), uint8_t(i / 49), 1});
                if (n > 0) {
                    Voxel& v = m.voxels[int(next(uint32_t(n)))];
                    if (shape == RisingWithRepeat && n > 1) v = m.voxels[int(next(uint32_t(n)))];
                    if (shape == RisingWithColourZero) v.colorIndex = 0;
                    if (shape == RisingPastCap) v.z = 200;
                }
                if (shape == Random)
                    for (Voxel& v : m.voxels)
                        v = Voxel::FromWord(next(1u << 24) % 8 | next(8) << 8 | next(4) << 16 | next(3) << 24);
                TK_Model expected = m;
                const int limit[3] = {126, 126, 5};
                m.NormalizeModel(limit, color);
                ReferenceNormalize(expected, limit, color);
                const std::string what = "shape " + std::to_string(shape) + " n " + std::to_string(n);
                ASSERT_EQ(std::vector<int>(m.size, m.size + 3), std::vector<int>(expected.size, expected.size + 3))
                    << what;
                ASSERT_EQ(std::vector<Voxel>(m.voxels.begin(), m.voxels.end()),
                          std::vector<Voxel>(expected.voxels.begin(), expected.voxels.end())) << what;
            }
}

}  // namespace
