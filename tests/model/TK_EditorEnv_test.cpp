// The environment's reaction to change notifications: lookup grid, placement,
// dirty render nodes, the list's trim. (What listeners are told is checked by
// the edit tests.)
#include "model/TK_EditorEnv.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TK_TestSupport.h"

namespace {

TEST(EditorEnv, LookupGridFollowsTheVoxelList) {
    auto env = std::make_unique<TK_EditorEnv>();
    env->model = tk_test::MakeModel(126, 126, 126, {{0, 0, 0, 1}, {125, 125, 125, 2}, {3, 4, 5, 3}});
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
    EXPECT_EQ(env->VoxelAt(125, 125, 125), 1);
    EXPECT_EQ(env->VoxelAt(3, 4, 5), 2);
    EXPECT_EQ(env->VoxelAt(-1, 0, 0), -1);
    EXPECT_EQ(env->VoxelAt(0, 128, 0), -1);
}

TEST(EditorEnv, PlacementCentresXYAndSitsOnTheFloor) {
    auto env = std::make_unique<TK_EditorEnv>();
    env->model.size[0] = 45, env->model.size[1] = 10, env->model.size[2] = 7;
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    EXPECT_EQ(std::vector<int>(env->modelPlacement, env->modelPlacement + 3), (std::vector<int>{41, 59, 1}));
    EXPECT_FLOAT_EQ(env->modelCenter[0], 41 + 22.5f);
}

TEST(EditorEnv, NotificationsMarkTheNodesOfWhatChanged) {
    auto env = std::make_unique<TK_EditorEnv>();
    OMB_DGNodeX meshCache, colorCache;
    meshCache.AddInput(&env->geometryNode);
    colorCache.AddInput(&env->colorNode);
    Update(&meshCache);
    Update(&colorCache);
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
    EXPECT_FALSE(meshCache.IsDirty());
    EXPECT_TRUE(colorCache.IsDirty());
    Update(&colorCache);
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    EXPECT_TRUE(meshCache.IsDirty());
    EXPECT_FALSE(colorCache.IsDirty());
    env->ChangeNotification(TK_NOTIFY_PALETTE, 7);
    EXPECT_TRUE(colorCache.IsDirty());
}

TEST(EditorEnv, TrimBitShrinksTheList) {
    auto env = std::make_unique<TK_EditorEnv>();
    for (int i = 0; i < 40000; ++i) env->model.voxels.Add(Voxel{uint8_t(i), uint8_t(i >> 8), 0, 1});
    env->model.voxels.Truncate(5);
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_TRIM);
    EXPECT_EQ(env->model.voxels.Capacity(), 16384);
}

}  // namespace
