// The raster renderer drawing for real on the test context: face colours in
// both shading paths, the display flags, the ground plane, edges hidden by
// depth-only faces, and palette and shadow changes reaching the GPU.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "TK_GLTest.h"
#include "TK_TestSupport.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_SceneRenderer.h"

namespace {

constexpr int kColor = 10;
const int kClear[3] = {51, 102, 153};

class SceneRenderer : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(renderer.Init(env));
    }
    void TearDown() override {
        renderer.Shutdown();
        GLTest::TearDown();
    }

    // A model of colour kColor in the cells where `filled` holds.
    template <typename Filled>
    void SetModel(int sx, int sy, int sz, Filled filled) {
        env.model = tk_test::ShapeModel(sx, sy, sz, [&](int x, int y, int z) { return filled(x, y, z) ? kColor : 0; });
        env.model.palette[kColor] = PackRGBA(200, 100, 50);
        env.model.palette[kColor + 1] = PackRGBA(10, 220, 30);
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
    }
    void FillModel(int n) { SetModel(n, n, n, [](int, int, int) { return true; }); }
    void Look(float pitch, float yaw) { TK_FitCameraToModel(camera, env.model.size, 1.0f, pitch, yaw); }
    void Draw(int flags) {
        glClearColor(kClear[0] / 255.0f, kClear[1] / 255.0f, kClear[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.SetFlags(flags);
        renderer.Render(OMB_Rect{0, 0, kWidth - 1, kHeight - 1}, camera);
    }
    // The pixel showing a model point (or one of the 3 x 3 around it).
    std::array<int, 4> PixelAt(float x, float y, float z, int dx = 0, int dy = 0) const {
        const std::array<int, 2> p = ProjectToPixel(camera, kWidth, kHeight, x, y, z);
        return Pixel(p[0] + dx, p[1] + dy);
    }
    bool AnyNear(float x, float y, float z, int r, int g, int b) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (NearRGB(PixelAt(x, y, z, dx, dy), r, g, b, 2)) return true;
        return false;
    }
    static auto IsClear(const std::array<int, 4>& p) { return NearRGB(p, kClear[0], kClear[1], kClear[2], 0); }

    TK_EditorEnv env;
    TK_SceneRenderer renderer;
    Camera camera;
};

// Palette colour (200, 100, 50) times a light term per channel.
std::array<int, 3> Lit(float r, float g, float b) {
    auto channel = [](float v) { return int(std::lround(std::min(v, 255.0f))); };
    return {channel(200 * r), channel(100 * g), channel(50 * b)};
}

TEST_F(SceneRenderer, SingleVoxelFromTheFront) {
    FillModel(1);
    Look(0, 0);  // the -Y face
    float front[2], top[2];
    TK_SceneRenderer::DirectionFactor(3, front);
    TK_SceneRenderer::DirectionFactor(6, top);
    ASSERT_NEAR(front[0], 0.68876f, 1e-4f);
    const float grey = front[0] + 1 - top[0];
    const struct {
        int flags;
        std::array<int, 3> expected;
    } cases[] = {
        {TK_SHOW_FACE, Lit(grey, grey, grey)},
        {TK_SHOW_FACE | TK_SHOW_MODE, Lit(front[0] + 0.28f, front[0] + 0.28f, front[0] + 0.28f)},
        {TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_AMBIENT, Lit(front[0] + 0.31f, front[0] + 0.29f, front[0] + 0.39f)},
    };
    for (const auto& c : cases) {
        Draw(c.flags);
        EXPECT_TRUE(NearRGB(Pixel(32, 32), c.expected[0], c.expected[1], c.expected[2], 2)) << c.flags;
        EXPECT_TRUE(IsClear(Pixel(2, 2))) << c.flags;
        EXPECT_TRUE(IsClear(Pixel(61, 61))) << c.flags;
    }
}

TEST_F(SceneRenderer, BackgroundGroundAndFrameFlags) {
    SetModel(4, 4, 4, [](int, int, int) { return false; });  // empty: only background, ground and frame can show
    Look(90, 0);
    Draw(TK_SHOW_FACE | TK_SHOW_BG);
    EXPECT_TRUE(NearRGB(Pixel(32, 0), 127, 127, 127, 3));  // "bgColor_bottom" 0.5
    EXPECT_TRUE(NearRGB(Pixel(32, 63), 26, 26, 26, 3));    // "bgColor_top" 0.1
    Draw(TK_SHOW_FACE);
    EXPECT_TRUE(IsClear(Pixel(32, 32)));
    Draw(TK_SHOW_FACE | TK_SHOW_GROUND);  // flat: the upward faces at full brightness
    EXPECT_TRUE(NearRGB(Pixel(32, 32), 179, 204, 255, 1));
    Draw(TK_SHOW_FRAME);
    int framePixels = 0;
    for (int x = 0; x < kWidth; ++x) framePixels += !IsClear(Pixel(x, 32));
    EXPECT_GT(framePixels, 0);
    EXPECT_TRUE(IsClear(Pixel(32, 32)));
}

TEST_F(SceneRenderer, DepthOnlyFacesHideBackEdges) {
    FillModel(3);
    Look(30, -30);
    Draw(TK_SHOW_EDGE);
    // The nearest vertical edge shows; the farthest lies behind the uncoloured front faces.
    EXPECT_TRUE(AnyNear(3, 0, 1.5f, 255, 51, 102));
    EXPECT_FALSE(AnyNear(0, 3, 0.75f, 255, 51, 102));
    EXPECT_TRUE(IsClear(PixelAt(1.5f, 0, 2)));
    // With coloured faces the same spot shows the front face.
    Draw(TK_SHOW_EDGE | TK_SHOW_FACE);
    EXPECT_FALSE(IsClear(PixelAt(1.5f, 0, 2)));
}

TEST_F(SceneRenderer, NearestFacesAndColourChangesShow) {
    // Seen along an axis, the box's whole nearest side lies at the fitted near plane.
    FillModel(10);
    Look(-90, 0);
    Draw(TK_SHOW_FACE);
    EXPECT_FALSE(NearRGB(Pixel(32, 32), kClear[0], kClear[1], kClear[2], 8)) << "from below";
    Look(90, 0);
    Draw(TK_SHOW_FACE);
    EXPECT_TRUE(NearRGB(Pixel(32, 32), 200, 100, 50, 1)) << "flat top faces at full palette brightness";
    env.model.palette[kColor] = PackRGBA(0, 0, 255);
    env.ChangeNotification(TK_NOTIFY_PALETTE, kColor);
    Draw(TK_SHOW_FACE);
    EXPECT_TRUE(NearRGB(Pixel(32, 32), 0, 0, 255, 1));
    for (Voxel& v : env.model.voxels) v.colorIndex = kColor + 1;
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
    Draw(TK_SHOW_FACE);
    EXPECT_TRUE(NearRGB(Pixel(32, 32), 10, 220, 30, 1));
}

TEST_F(SceneRenderer, ShadowFlagDarkensShadedFaces) {
    // The light (from +x, -y, +z) casts the shadow of a voxel two cells up one step along -x, +y.
    SetModel(4, 4, 3, [](int x, int y, int z) { return z == 0 || (x == 2 && y == 1 && z == 2); });
    Look(90, 0);
    Draw(TK_SHOW_FACE | TK_SHOW_MODE);
    const std::array<int, 4> lit = PixelAt(1.5f, 2.5f, 1);
    Draw(TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_SHADOW);
    EXPECT_LT(PixelAt(1.5f, 2.5f, 1)[0], lit[0] - 30);
    Draw(TK_SHOW_FACE | TK_SHOW_MODE);
    EXPECT_TRUE(NearRGB(PixelAt(1.5f, 2.5f, 1), lit[0], lit[1], lit[2], 1));
}

}  // namespace
