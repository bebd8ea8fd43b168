// Shared fixture of the brush stroke tests: an 8-cube environment, direct
// cell edits, synthetic picks, and the stroke as a set of cells.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>

#include "brush/TK_Stroke.h"
#include "model/TK_EditorEnv.h"

namespace tk_test {

using Cell = std::array<int, 3>;

class BrushTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSize(8, 8, 8);
        options.color = env->currentColorIndex = 9;
    }
    void SetSize(int x, int y, int z) {
        env->model.size[0] = x, env->model.size[1] = y, env->model.size[2] = z;
        env->model.voxels.Clear();
        env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    }
    void Fill(int x, int y, int z, int color) {
        env->model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(color)});
        env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
    }
    static TK_Pick Pick(int x, int y, int z, int face) { return TK_Pick{{x, y, z}, face}; }
    // The stroke's cells; a repeated cell fails the test.
    std::set<Cell> Cells() const {
        std::set<Cell> cells;
        for (const Voxel& v : stroke.Voxels()) EXPECT_TRUE(cells.insert({v.x, v.y, v.z}).second) << "a cell twice";
        return cells;
    }
    // The colour the stroke gives a cell; -1 when it is not in the stroke.
    int ColorOf(const Cell& c) const {
        for (const Voxel& v : stroke.Voxels())
            if (v.x == c[0] && v.y == c[1] && v.z == c[2]) return v.colorIndex;
        return -1;
    }

    std::unique_ptr<TK_EditorEnv> env = std::make_unique<TK_EditorEnv>();
    TK_BrushOptions options;
    TK_Stroke stroke;
};

}  // namespace tk_test
