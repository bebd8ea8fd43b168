// The path tracer on the test context at 64 x 48: what the pictures show
// (emission, the sun's shadow, glass, the depth query) and the accumulation
// schedule (target, restarts, seeds, the display weight, missing
// capabilities), and which settings commands start a new picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "TK_GLTest.h"
#include "edit/TK_Commands.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_Renderers.h"
#include "render/TK_SceneRenderer_PT.h"

namespace {

constexpr int kW = 64, kH = 48;
constexpr int kColor = 10;

class PathTracer : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) return;
        env.model.palette = DefaultPalette();
        env.model.palette[kColor] = PackRGBA(200, 200, 200);
        env.settings.ptImage[0] = kW;
        env.settings.ptImage[1] = kH;
        ASSERT_TRUE(tracer.Init(env));
        tracer.SetRestartDelay(0);
    }
    void TearDown() override {
        tracer.Shutdown();
        GLTest::TearDown();
    }

    // A box of size (sx, sy, sz) holding the voxels of `cells`.
    void SetModel(int sx, int sy, int sz, const std::vector<std::array<int, 3>>& cells) {
        TK_Model& m = env.model;
        m.size[0] = sx, m.size[1] = sy, m.size[2] = sz;
        m.voxels.Clear();
        for (const auto& c : cells) m.voxels.Add(Voxel{uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), kColor});
        tracer.UpdateVolume();
    }
    // Looks at the model's centre from (pitch, yaw).
    void Look(float pitch, float yaw) {
        TK_FitCameraToModel(camera, env.model.size, float(kW) / kH, pitch, yaw);
        tracer.SyncView(camera);
    }
    Image Render(int samples) {
        tracer.UpdateMaterials();
        tracer.SetTargetOverride(samples);
        while (tracer.SamplePass()) {
        }
        EXPECT_EQ(tracer.Samples(), samples);
        Image image;
        EXPECT_TRUE(tracer.ReadImage(image, false));
        return image;
    }
    // Sum of the channels at (x, y), y counted from the top.
    static int Sum(const Image& image, int x, int y) {
        const uint8_t* p = &image.pixels[(size_t(y) * image.width + x) * 3];
        return p[0] + p[1] + p[2];
    }
    static int Channel(const Image& image, int x, int y, int c) {
        return image.pixels[(size_t(y) * image.width + x) * 3 + c];
    }

    TK_EditorEnv env;
    TK_SceneRenderer_PT tracer;
    Camera camera;
};

TEST_F(PathTracer, EmissiveIsBrighterThanDiffuse) {
    SetModel(1, 1, 1, {{0, 0, 0}});
    env.settings.ptSunIntensity = 0.2f;
    Look(30, -30);
    const int diffuse = Sum(Render(8), kW / 2, kH / 2);
    env.materials[kColor].type = 3;
    const int emissive = Sum(Render(8), kW / 2, kH / 2);
    EXPECT_GT(emissive, diffuse + 60) << diffuse << " " << emissive;
    // In the dark it lights the ground around it, more near than far.
    env.settings.ptSunIntensity = env.settings.ptSkyIntensity = 0;
    SetModel(9, 9, 1, {{4, 4, 0}});
    Look(90, 0);
    const Image lit = Render(16);
    EXPECT_GT(Sum(lit, kW / 2 + 6, kH / 2), Sum(lit, kW / 2 + 18, kH / 2) + 20);
    EXPECT_GT(Sum(lit, kW / 2 + 18, kH / 2), 0);
}

TEST_F(PathTracer, SunShadowDarkensTheFarSide) {
    // A pillar in the middle of a 15 x 15 floor seen from straight above,
    // the sun low in +x: its shadow falls to -x (the left of the picture).
    SetModel(15, 15, 6, {});
    for (int z = 0; z < 6; ++z)
        for (int y = 6; y < 9; ++y)
            for (int x = 6; x < 9; ++x) env.model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), kColor});
    tracer.UpdateVolume();
    env.settings.ptSunPitch = 35;
    env.settings.ptSunYaw = 0;
    Look(90, 0);
    const Image image = Render(16);
    int left = 0, right = 0;
    for (int dx = 9; dx <= 12; ++dx) {
        left += Sum(image, kW / 2 - dx, kH / 2);
        right += Sum(image, kW / 2 + dx, kH / 2);
    }
    EXPECT_LT(left, right * 3 / 4) << left << " " << right;
}

TEST_F(PathTracer, GlassShowsTheGround) {
    // A white slab on a green ground, from above.
    std::vector<std::array<int, 3>> slab;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) slab.push_back({x, y, 0});
    SetModel(8, 8, 1, slab);
    env.settings.ptGround[0] = env.settings.ptGround[2] = 0;
    env.settings.ptGround[1] = 255;
    Look(90, 0);
    auto greenness = [&](const Image& image) {
        return Channel(image, kW / 2, kH / 2, 1) - Channel(image, kW / 2, kH / 2, 0);
    };
    const int diffuse = greenness(Render(16));
    env.materials[kColor].type = 2;
    env.materials[kColor].attenuation = 0;
    const int glass = greenness(Render(16));
    EXPECT_GT(glass, diffuse + 40) << diffuse << " " << glass;
}

TEST_F(PathTracer, DepthQueryFindsTheVoxel) {
    SetModel(3, 3, 3, {{1, 1, 1}, {1, 1, 2}});
    Look(90, 0);
    float depth[4];
    tracer.DepthQuery(kW / 2, kH / 2, depth);
    EXPECT_EQ(depth[1], float(kColor));
    EXPECT_EQ(depth[3], 1.0f);
    EXPECT_NEAR(depth[0], camera.radius - 1.5f, 0.05f);
    tracer.DepthQuery(0, 0, depth);
    EXPECT_EQ(depth[2], 1.0f);  // the ground around the model
    tracer.DepthQuery(kW, 0, depth);
    EXPECT_EQ(depth[0] + depth[1] + depth[2] + depth[3], 0.0f);
}

TEST_F(PathTracer, AccumulationSchedule) {
    SetModel(2, 2, 2, {{0, 0, 0}});
    Look(30, -30);
    tracer.SetTargetOverride(5);
    for (int i = 0; i < 10; ++i) tracer.SamplePass();
    EXPECT_EQ(tracer.Samples(), 5);
    EXPECT_EQ(tracer.DisplayParameters().weight, 1.0f) << "no earlier picture to fade from";
    const int* first = TK_SceneRenderer_PT::kFirstSeeds;
    EXPECT_NE(tracer.Seeds()[0], first[0]) << "the seeds advance with each sample";

    // Below 1e-6 the camera is the same; above, a new picture starts.
    Camera moved = camera;
    moved.eye[0] += 5e-7f;
    EXPECT_FALSE(tracer.SyncView(moved));
    EXPECT_EQ(tracer.Samples(), 5);
    moved.eye[0] += 1e-3f;
    EXPECT_TRUE(tracer.SyncView(moved));
    EXPECT_EQ(tracer.Samples(), 0);
    EXPECT_TRUE(std::equal(first, first + 4, tracer.Seeds())) << "a new picture starts from the first seeds";

    // The new picture fades in linearly over 80 samples.
    tracer.SetTargetOverride(100);
    for (int n = 1; n <= 100; ++n) {
        tracer.SamplePass();
        if (n % 20 == 0) {
            EXPECT_FLOAT_EQ(tracer.DisplayParameters().weight, std::min(1.0f, n / 80.0f)) << n;
        }
    }
    // A display-flag change restarts too.
    tracer.SetFlags(tracer.Flags() ^ TK_SHOW_EDGE);
    EXPECT_EQ(tracer.Samples(), 0);
    EXPECT_EQ(tracer.DisplayParameters().weight, 0.0f);
}

TEST_F(PathTracer, SettingsCommandsReachTheTracer) {
    tracer.Shutdown();
    TK_RegisterCommands(env.executor);
    TK_Renderers renderers;
    ASSERT_TRUE(renderers.Init(env));
    TK_SceneRenderer_PT& pt = renderers.tracer;
    pt.SetRestartDelay(0);
    SetModel(2, 2, 2, {{0, 0, 0}});
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    TK_FitCameraToModel(camera, env.model.size, 1.0f, 30, -30);
    pt.SyncView(camera);
    pt.SetTargetOverride(2);
    const struct {
        const char* line;
        bool restarts;
    } cases[] = {
        {"set pt_spp 1000", false}, {"set pt_expo 0.5", false},  {"set pt_sun_p 10", true},
        {"set pt_prim sphr", true}, {"set pt_mtl metal 1", true}, {"set pt 1 | set r_show grid 1", true},
        {"rgb 1 2 3", true},        {"set r_show frame 1", false},
    };
    for (const auto& c : cases) {
        while (pt.SamplePass()) {
        }
        ASSERT_EQ(pt.Samples(), 2);
        testing::internal::CaptureStdout();
        env.ExecuteText("", c.line);
        testing::internal::GetCapturedStdout();
        pt.SamplePass();  // uploads what changed
        EXPECT_EQ(pt.Samples() < 2, c.restarts) << c.line;
    }
    renderers.Shutdown();
    EXPECT_EQ(env.renderer, nullptr);
}

TEST_F(PathTracer, NothingDrawsWithoutFloatTextures) {
    SetModel(2, 2, 2, {{0, 0, 0}});
    Look(30, -30);
    glHasFloatTexture = false;
    EXPECT_FALSE(tracer.SamplePass());
    float depth[4] = {1, 1, 1, 1};
    tracer.DepthQuery(kW / 2, kH / 2, depth);
    Image image;
    const bool read = tracer.ReadImage(image, true);
    glHasFloatTexture = true;
    EXPECT_EQ(tracer.Samples(), 0);
    EXPECT_EQ(depth[0] + depth[1] + depth[2] + depth[3], 0.0f);
    EXPECT_FALSE(read);
}

}  // namespace
