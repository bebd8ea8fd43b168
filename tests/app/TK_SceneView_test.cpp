// The scene view: picks against rays worked out by hand (a camera looking
// straight down the middle column), the temporary brushes a modifier calls
// for, and camera slot files through "cam". (Its pictures are drawn with the
// editor's, in the window tests.)
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <tuple>
#include <utility>

#include "TK_TestSupport.h"
#include "app/TK_SceneView.h"
#include "brush/TK_BrushTable.h"
#include "edit/TK_Commands.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_WindowLink.h"
#include "ui/UI_Window.h"

namespace {

constexpr int kAlt = 2, kCtrl = 1;

UI_MouseState Mouse(int x, int y, int modifiers = 0) {
    UI_MouseState m;
    m.valid = true, m.x = x, m.y = y, m.left = 1, m.modifiers = modifiers;
    return m;
}

// A window whose root is the scene view, linked to the environment.
class SceneView : public testing::Test, public TK_WindowLink {
protected:
    void SetUp() override {
        env.model.size[0] = env.model.size[1] = env.model.size[2] = 5;
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
        TK_RegisterCommands(env.executor);
        env.window = this;
        scene = static_cast<TK_SceneView*>(window.SetRootView(std::make_unique<TK_SceneView>()));
        scene->SetId("scene");
        window.SetRect({0, 0, 99, 99});
        scene->SetRect({0, 0, 99, 99});
        TK_RegisterBrushes(brushes);
        scene->SetEnvironment(&env, nullptr);
        scene->SetTemporaryBrushes(brushes.Find("pick", ""), brushes.Find("loop", ""), brushes.Find("focus", ""));
        scene->SetActiveBrush(brushes.Find("attach", "box"));
        // Straight down onto the middle column (2, 2).
        TK_FitCameraToModel(scene->GetCamera(), env.model.size, 1, 90, 0);
    }
    void TearDown() override { env.window = nullptr; }
    void Fill(int x, int y, int z) {
        env.model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 7});
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
    }

    bool FileListFolder(std::string&) const override { return false; }
    bool SetViewAttribute(const std::string& v, const std::string& k, const std::string& value) override {
        return window.SetViewAttribute(v.c_str(), k.c_str(), value.c_str());
    }
    bool SaveSceneCamera(const std::string& path) override { return TK_SaveSceneCamera(window, path); }
    bool LoadSceneCamera(const std::string& path) override { return TK_LoadSceneCamera(window, path); }

    TK_EditorEnv env;
    TK_BrushTable brushes;  // outlives the view, which holds brushes
    UI_Window window;
    TK_SceneView* scene = nullptr;  // owned by the window
};

TEST_F(SceneView, PicksTopFacesTheGroundAndNothingBeside) {
    // what, the middle column filled, x, y: the face and cell picked
    const std::tuple<const char*, bool, int, int, int, std::array<int, 3>> cases[] = {
        {"top face of the middle column", true, 50, 50, 6, {2, 2, 3}},
        {"ground under the empty middle", false, 50, 50, 6, {2, 2, -1}},
        {"beside the model", false, 1, 1, 0, {0, 0, 0}},
    };
    for (const auto& [what, filled, x, y, face, cell] : cases) {
        env.model.voxels.Clear();
        for (int z = 0; filled && z < 4; ++z) Fill(2, 2, z);
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
        const TK_Pick pick = scene->PickAt(x, y);
        EXPECT_EQ(pick.face, face) << what;
        if (face) {
            EXPECT_EQ((std::array<int, 3>{pick.cell[0], pick.cell[1], pick.cell[2]}), cell) << what;
        }
    }
    // A click beside the model starts no stroke.
    ASSERT_TRUE(scene->LeftDown(Mouse(1, 1)));
    scene->LeftUp(Mouse(1, 1));
    EXPECT_EQ(env.executor.UndoCount(), 0u);
}

TEST_F(SceneView, ModifiersCallTemporaryBrushesForOneGesture) {
    TK_ModelBrush* active = scene->ActiveBrush();
    const std::pair<int, TK_ModelBrush*> cases[] = {{kAlt, brushes.Find("pick", "")}, {kCtrl, brushes.Find("loop", "")},
                                                    {kCtrl | 4, brushes.Find("loop", "")}, {0, active}};
    for (const auto& [modifiers, brush] : cases) {
        ASSERT_TRUE(scene->LeftDown(Mouse(50, 50, modifiers)));
        EXPECT_EQ(scene->GestureBrush(), brush) << modifiers;
        scene->LeftUp(Mouse(50, 50, modifiers));
        EXPECT_EQ(scene->GestureBrush(), active);
        EXPECT_FALSE(scene->IsBusy());
    }
    // The plain press attached a voxel on the ground.
    EXPECT_EQ(env.model.voxels.Count(), 1);
    // A left press while the right button rotates is ignored.
    scene->RightDown(Mouse(50, 50));
    EXPECT_FALSE(scene->LeftDown(Mouse(50, 50)));
    scene->RightUp(Mouse(50, 50));
}

TEST_F(SceneView, CameraSlotRoundTripThroughCam) {
    const tk_test::TempFolder folder("camslots");
    env.workspace.configDir = folder.Dir().string();
    Camera& camera = scene->GetCamera();
    camera.SetAngle(20, 40, 0);
    ASSERT_TRUE(env.ExecuteText("cam 3"));
    ASSERT_TRUE(env.ExecuteText("cam -1"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("camera3.txt")));
    camera.SetAngle(-10, 100, 0);
    ASSERT_TRUE(env.ExecuteText("cam -2"));
    EXPECT_NEAR(camera.angle[0], 20, 1e-3);
    EXPECT_NEAR(camera.angle[1], 40, 1e-3);
    EXPECT_FALSE(env.ExecuteText("cam -4"));
    scene->SetId("elsewhere");
    EXPECT_FALSE(env.ExecuteText("cam -1"));
}

}  // namespace
