// Picking against hand-computed rays: cameras looking straight down or
// along an axis at a 4-cube holding a short column, so every ray's cell and
// face can be worked out on paper.
#include <gtest/gtest.h>

#include <array>

#include "model/TK_EditorEnv.h"
#include "render/Camera.h"
#include "render/TK_Picking.h"
#include "render/TK_SceneRenderer.h"

namespace {

// A 100 x 100 view; the camera looks at `focus` (model cells) from `radius`
// away. Orthographic with frustum 4, one model cell is 12.5 pixels and the
// focus sits at pixel (50, 50).
Camera Looking(float pitch, float yaw, bool ortho, float fx, float fy, float fz) {
    Camera camera;
    camera.SetMode(ortho ? Camera::kOrthographic : Camera::kPerspective);
    camera.SetFrustum(4);
    camera.SetAngle(pitch, yaw, 0);
    const float model[3] = {fx, fy, fz};
    float world[3];
    TK_ModelToWorld(model, world);
    camera.SetFocus(world);
    camera.SetRadius(20);
    return camera;
}

std::array<int, 3> Cell(const int cell[3]) { return {cell[0], cell[1], cell[2]}; }

class Picking : public ::testing::Test {
protected:
    void SetUp() override {
        for (int& s : env.model.size) s = 4;
        for (const Voxel v : {Voxel{1, 2, 0, 1}, Voxel{1, 2, 1, 1}, Voxel{2, 2, 0, 1}}) env.model.voxels.Add(v);
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    }
    TK_EditorEnv env;
};

TEST_F(Picking, HandComputedRays) {
    const struct {
        const char* what;
        Camera camera;
        float px, py;
        int cell[3];
        int face;
    } cases[] = {
        // From above: screen right is +x, screen up is +y.
        {"top of the column", Looking(-90, 0, true, 2, 2, 0), 43.75f, 56.25f, {1, 2, 1}, 6},
        {"top, perspective", Looking(-90, 0, false, 2.5f, 2.5f, 0), 50, 50, {2, 2, 0}, 6},
        {"ground under the model", Looking(-90, 0, true, 2, 2, 0), 68.75f, 31.25f, {3, 0, -1}, 6},
        {"beside the model", Looking(-90, 0, true, 2, 2, 0), 93.75f, 56.25f, {0, 0, 0}, 0},
        // From the front (-y) and from the +x side.
        {"front face", Looking(0, 0, true, 1.5f, 2, 1.5f), 50, 50, {1, 2, 1}, 3},
        {"side face", Looking(0, 90, true, 2, 2.5f, 0.5f), 50, 50, {2, 2, 0}, 2},
        {"over an empty row, level", Looking(0, 0, true, 3.5f, 2, 1.5f), 50, 50, {0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TK_Pick pick = TK_PickCell(env, c.camera, 100, 100, c.px, c.py);
        EXPECT_EQ(pick.face, c.face);
        EXPECT_EQ(Cell(pick.cell), Cell(c.cell));
    }
    // A ray starting inside a voxel picks it, on the face it would enter by.
    TK_Ray ray;
    ray.origin[0] = 1.5f, ray.origin[1] = 2.5f, ray.origin[2] = 0.5f;
    ray.dir[0] = 0, ray.dir[1] = 0, ray.dir[2] = 1;
    const TK_Pick pick = TK_PickRay(env, ray);
    EXPECT_EQ(pick.face, 5);
    EXPECT_EQ(Cell(pick.cell), (std::array<int, 3>{1, 2, 0}));
}

TEST(StartCell, OutwardInFrontOfTheFaceInwardOnTheVoxel) {
    const int size[3] = {4, 4, 4};
    const struct {
        TK_Pick pick;
        bool outward;
        bool found;
        int cell[3];
    } cases[] = {
        {{{1, 2, 1}, 6}, true, true, {1, 2, 2}},
        {{{1, 2, 1}, 6}, false, true, {1, 2, 1}},
        {{{2, 2, -1}, 6}, true, true, {2, 2, 0}},  // the floor in front of the ground
        {{{2, 2, -1}, 6}, false, false, {}},       // nothing to carve there
        {{{3, 0, 0}, 2}, true, false, {}},         // outside the box
        {{}, true, false, {}},                      // no pick
    };
    for (const auto& c : cases) {
        int cell[3] = {-9, -9, -9};
        EXPECT_EQ(TK_StartCell(c.pick, c.outward, size, cell), c.found);
        if (c.found) {
            EXPECT_EQ(Cell(cell), Cell(c.cell));
        }
    }
}

}  // namespace
