// The path tracer on the test context at 64 x 48: the depth query, light
// (emission, the sun's shadow, mirrors, glass) measured against physics in
// the linear radiance (ratios of regions or of two scenes, never exact
// pixels), the accumulation schedule (target, restarts, seeds, the display
// weight, missing capabilities), and which settings commands start a new
// picture. The 8-bit picture is the render command's tests' to check.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

#include "TK_GLTest.h"
#include "edit/TK_Commands.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_Renderers.h"
#include "render/TK_SceneRenderer_PT.h"

namespace {

constexpr int kW = 64, kH = 48, kColor = 10;

class PathTracer : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) return;
        env.model.palette[kColor] = PackRGBA(200, 200, 200);
        env.settings.ptImage[0] = kW, env.settings.ptImage[1] = kH;
        ASSERT_TRUE(tracer.Init(env));
        tracer.SetRestartDelay(0);
        tracer.SetFrameBudget(0);  // a whole sample per pass
    }
    void TearDown() override {
        tracer.Shutdown();
        GLTest::TearDown();
    }

    // A model of size (sx, sy, sz) holding the given boxes of cells, each
    // {x0, y0, z0, x1, y1, z1, colour} (see Box).
    void SetModel(int sx, int sy, int sz, const std::vector<std::array<int, 7>>& boxes = {}) {
        env.model.size[0] = sx, env.model.size[1] = sy, env.model.size[2] = sz;
        env.model.voxels.Clear();
        for (const auto& b : boxes) Box(b[0], b[1], b[2], b[3], b[4], b[5], b[6]);
        tracer.UpdateVolume();
    }
    void Look(float pitch, float yaw) {
        TK_FitCameraToModel(camera, env.model.size, float(kW) / kH, pitch, yaw);
        tracer.SyncView(camera);
    }
    // Fills the cells from (x0, y0, z0) to (x1, y1, z1), both included.
    void Box(int x0, int y0, int z0, int x1, int y1, int z1, int index) {
        for (int z = z0; z <= z1; ++z)
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    env.model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(index)});
        tracer.UpdateVolume();
    }
    // The linear radiance after `samples` samples, rows top first.
    std::vector<float> Trace(int samples) {
        tracer.UpdateMaterials();
        tracer.SetTargetOverride(samples);
        while (tracer.SamplePass()) {
        }
        EXPECT_EQ(tracer.Samples(), samples);
        std::vector<float> rgba;
        EXPECT_TRUE(tracer.ReadRadiance(rgba));
        return rgba;
    }

    TK_EditorEnv env;
    TK_SceneRenderer_PT tracer;
    Camera camera;
};

TEST_F(PathTracer, AccumulationScheduleAndBands) {
    SetModel(3, 3, 3, {{0, 0, 0, 0, 0, 0, kColor}, {1, 1, 1, 1, 1, 1, kColor}, {2, 1, 0, 2, 1, 0, kColor}});
    env.settings.ptBounces = 2;
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

    // The new picture fades in over a time, not a sample count: a slow
    // tracer must not show the old picture for minutes.
    tracer.SetFadeSeconds(1000);
    tracer.SetTargetOverride(100);
    for (int n = 1; n <= 90; ++n) tracer.SamplePass();
    EXPECT_LT(tracer.DisplayParameters().weight, 0.01f);
    tracer.SetFadeSeconds(0);
    EXPECT_EQ(tracer.DisplayParameters().weight, 1.0f);
    // A display-flag change restarts too.
    tracer.SetFlags(tracer.Flags() ^ TK_SHOW_EDGE);
    EXPECT_EQ(tracer.Samples(), 0);
    EXPECT_EQ(tracer.DisplayParameters().weight, 0.0f);

    // Bands of rows give the same picture as whole samples.
    const std::vector<float> whole = Trace(3);
    tracer.Restart();
    tracer.SetFrameBudget(1e-9);  // one row per pass
    tracer.SetTargetOverride(3);
    int passes = 0;
    while (tracer.SamplePass()) {
        ++passes;
        if (passes == 1) {
            EXPECT_EQ(tracer.Samples(), 0);
            EXPECT_FALSE(tracer.IsComplete(1));
        }
    }
    EXPECT_EQ(passes, 3 * kH);
    EXPECT_TRUE(tracer.IsComplete(3));
    std::vector<float> banded;
    ASSERT_TRUE(tracer.ReadRadiance(banded));
    EXPECT_TRUE(banded == whole);
}

double MeanOf(const Image& image) {
    double sum = 0;
    for (uint8_t b : image.pixels) sum += b;
    return sum / double(std::max<size_t>(image.pixels.size(), 1));
}

// While the camera moves, whole samples at half width and height, shown
// enlarged; at rest the full picture starts again.
TEST_F(PathTracer, AMovingCameraTracesAQuarterOfThePixels) {
    SetModel(3, 3, 3, {{0, 0, 0, 2, 2, 2, kColor}});
    tracer.SetMovingPreview(true);
    tracer.SetRestartDelay(1000);
    tracer.SetTargetOverride(4);
    Look(30, -30);
    ASSERT_TRUE(tracer.IsPreview());
    EXPECT_EQ(std::make_pair(tracer.TraceWidth(), tracer.TraceHeight()), std::make_pair(kW / 2, kH / 2));
    ASSERT_TRUE(tracer.SamplePass());
    EXPECT_EQ(tracer.Samples(), 1);
    Image preview, full;
    ASSERT_TRUE(tracer.ReadImage(preview, false));
    tracer.SetRestartDelay(0);  // the camera has rested
    while (tracer.SamplePass()) {
    }
    EXPECT_FALSE(tracer.IsPreview());
    EXPECT_EQ(tracer.Samples(), 4);
    ASSERT_TRUE(tracer.ReadImage(full, false));
    EXPECT_NEAR(MeanOf(preview), MeanOf(full), 0.15 * MeanOf(full)) << "the preview fills the whole picture";
}

TEST(TraceProgress, SaysTheTimeLeftAtThePaceSoFar) {
    const struct {
        int samples, target;
        double seconds, left;
        const char* text;
    } cases[] = {
        {38, 512, 41, 520, "38 / 512 samples, 41 s, about 9 min left"},
        {0, 512, 0.2, -1, "0 / 512 samples, 0 s"},
        {512, 512, 125, 0, "512 / 512 samples, 2 min 5 s"},
    };
    for (const auto& c : cases) EXPECT_EQ(TK_TraceProgress(c.samples, c.target, c.seconds, c.left), c.text);
}

TEST_F(PathTracer, SettingsCommandsReachTheTracer) {
    tracer.Shutdown();
    TK_RegisterCommands(env.executor);
    TK_Renderers renderers;
    ASSERT_TRUE(renderers.Init(env));
    TK_SceneRenderer_PT& pt = renderers.tracer;
    pt.SetRestartDelay(0);
    SetModel(2, 2, 2, {{0, 0, 0, 0, 0, 0, kColor}});
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    TK_FitCameraToModel(camera, env.model.size, 1.0f, 30, -30);
    pt.SyncView(camera);
    pt.SetTargetOverride(2);
    const struct {
        const char* line;
        bool restarts;
    } cases[] = {
        {"set pt_spp 1000", false},
        {"set pt_expo 0.5", false},
        {"set pt_sun_p 10", true},
        {"set pt_prim sphr", true},
        {"set pt_mtl metal 1", true},
        {"set pt 1 | set r_show grid 1", true},
        {"rgb 1 2 3", true},
        {"set r_show frame 1", false},
    };
    for (const auto& c : cases) {
        while (pt.SamplePass()) {
        }
        ASSERT_EQ(pt.Samples(), 2);
        testing::internal::CaptureStdout();
        env.ExecuteText(c.line);
        testing::internal::GetCapturedStdout();
        pt.SamplePass();  // uploads what changed
        EXPECT_EQ(pt.Samples() < 2, c.restarts) << c.line;
    }
    renderers.Shutdown();
    EXPECT_EQ(env.renderer, nullptr);
}

// Without float textures nothing draws and the depth query answers zeros;
// with them it finds the voxel, and every pass leaves the GL state at rest.
TEST_F(PathTracer, DepthQueryAndPassesAtRest) {
    SetModel(3, 3, 3, {{1, 1, 1, 1, 1, 2, kColor}});
    Look(90, 0);
    float depth[4] = {1, 1, 1, 1};
    Image image;
    glHasFloatTexture = false;
    EXPECT_FALSE(tracer.SamplePass());
    tracer.DepthQuery(kW / 2, kH / 2, depth);
    const bool read = tracer.ReadImage(image, true);
    glHasFloatTexture = true;
    EXPECT_EQ(tracer.Samples(), 0);
    EXPECT_EQ(depth[0] + depth[1] + depth[2] + depth[3], 0.0f);
    EXPECT_FALSE(read);

    tracer.DepthQuery(kW / 2, kH / 2, depth);
    EXPECT_EQ(depth[1], float(kColor));
    EXPECT_EQ(depth[3], 1.0f);
    EXPECT_NEAR(depth[0], camera.radius - 1.5f, 0.05f);
    tracer.DepthQuery(0, 0, depth);
    EXPECT_EQ(depth[2], 1.0f);  // the ground around the model
    tracer.DepthQuery(kW, 0, depth);
    EXPECT_EQ(depth[0] + depth[1] + depth[2] + depth[3], 0.0f);

    const OMB_Rect rect{0, 0, kW - 1, kH - 1};
    const std::function<void()> passes[] = {[&] { tracer.SamplePass(); }, [&] { tracer.Display(rect); },
                                            [&] { tracer.DepthQuery(1, 1, depth); },
                                            [&] { tracer.ReadImage(image, false); }};
    for (const auto& pass : passes) {
        pass();
        GLint program = -1, framebuffer = -1, texture = -1, mode = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(program + framebuffer + texture, 0);
        EXPECT_EQ(mode, GL_MODELVIEW);
        for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_SCISSOR_TEST}) EXPECT_FALSE(glIsEnabled(cap)) << cap;
    }
}

// ---------------------------------------------------------------- physics

// Colours of the physics scenes, each with its own material record.
enum : uint8_t { kWhite = 20, kMirror, kRed, kGlass, kMetal };

// A part of the top faces at height z, seen from straight above: the cells
// x0..x1 by y0..y1. An empty region is the whole picture.
struct Region {
    int x0, y0, x1, y1, z;
};

// The mean (or the peak) of the weighted channels over a region.
float Measure(const std::vector<float>& radiance, const Region& r, const float weights[3], bool peak,
              const Camera& camera) {
    std::array<int, 2> a = {0, 0}, b = {kW - 1, kH - 1};
    if (r.x1 > r.x0 || r.y1 > r.y0 || r.z) {
        a = ProjectToPixel(camera, kW, kH, r.x0 + 0.3f, r.y0 + 0.3f, float(r.z));
        b = ProjectToPixel(camera, kW, kH, r.x1 + 0.7f, r.y1 + 0.7f, float(r.z));
    }
    float sum = 0, most = 0;
    int n = 0;
    for (int y = std::max(std::min(a[1], b[1]), 0); y <= std::min(std::max(a[1], b[1]), kH - 1); ++y)
        for (int x = std::max(std::min(a[0], b[0]), 0); x <= std::min(std::max(a[0], b[0]), kW - 1); ++x, ++n) {
            const float* p = &radiance[(size_t(kH - 1 - y) * kW + x) * 4];
            const float v = weights[0] * p[0] + weights[1] * p[1] + weights[2] * p[2];
            sum += v;
            most = std::max(most, v);
        }
    return peak ? most : sum / float(std::max(n, 1));
}

TEST_F(PathTracer, LightBehavesPhysically) {
    for (int i : {kWhite, kMirror, kGlass, kMetal}) env.model.palette[i] = PackRGBA(255, 255, 255);
    env.model.palette[kRed] = PackRGBA(255, 0, 0);
    auto sunOnly = [](TK_Settings& s, float pitch, float yaw) {
        s.ptSkyIntensity = 0, s.ptSunIntensity = 0.5f, s.ptSunPitch = pitch, s.ptSunYaw = yaw;
    };
    const struct {
        const char* name;
        // Builds the scene, variant 0 or 1; a case with one variant compares
        // two regions of one picture.
        std::function<void(int)> scene;
        int variants, samples;
        Region first, second;
        float weights[3];  // of the channels: {1, 1, 1} brightness, {2, -1, -1} redness
        float lo, hi;      // bounds of second / first
        bool inside = false;  // the eye inside, over the floor's middle; the second measure is the peak
    } cases[] = {
        // The sun low in -x shines on a vertical mirror at the +x end of a
        // white floor: the floor near the mirror gets the sun twice.
        {"sun beside a mirror",
         [&](int) {
             SetModel(16, 16, 7, {{0, 0, 0, 14, 15, 0, kWhite}, {15, 0, 1, 15, 15, 6, kMirror}});
             env.materials[kMirror].type = TK_MATERIAL_METAL, env.materials[kMirror].roughness = 0;
             env.materials[kMirror].specular = 1;
             sunOnly(env.settings, 45, 180);
         },
         1, 256, {1, 1, 3, 14, 1}, {11, 1, 13, 14, 1}, {1, 1, 1}, 1.8f, 2.2f},
        // Metal reflects the sun alike a hair below and above roughness 0.2.
        {"rough metal in the sun",
         [&](int variant) {
             SetModel(8, 8, 1, {{0, 0, 0, 7, 7, 0, kMetal}});
             env.materials[kMetal].type = TK_MATERIAL_METAL, env.materials[kMetal].roughness = variant ? 0.21f : 0.19f;
             sunOnly(env.settings, 90, 0);
         },
         2, 32, {3, 3, 4, 4, 1}, {3, 3, 4, 4, 1}, {1, 1, 1}, 0.7f, 1.4f},
        // Clear glass shows the red floor it rests on as when it floats above.
        {"glass resting on a floor",
         [&](int variant) {
             SetModel(5, 5, 3, {{0, 0, 0, 4, 4, 0, kRed}, {1, 1, 2 - variant, 3, 3, 2 - variant, kGlass}});
             env.materials[kGlass].type = TK_MATERIAL_GLASS, env.materials[kGlass].attenuation = 0;
         },
         2, 32, {2, 2, 2, 2, 3}, {2, 2, 2, 2, 3}, {2, -1, -1}, 0.6f, 1.5f},
        // The sun through a raised glass plate lights the floor no more than open.
        {"floor under a glass plate",
         [&](int) {
             SetModel(16, 16, 5, {{0, 0, 0, 15, 15, 0, kWhite}, {4, 4, 4, 11, 11, 4, kGlass}});
             env.materials[kGlass].type = TK_MATERIAL_GLASS, env.materials[kGlass].attenuation = 0;
             env.materials[kGlass].roughness = 0;
             sunOnly(env.settings, 70, 0);
         },
         1, 64, {13, 6, 14, 9, 1}, {6, 6, 9, 9, 1}, {1, 1, 1}, 0.7f, 1.0f},
        // A closed room of one-cell smooth walls is dark inside; roofless, lit.
        {"closed smooth room",
         [&](int variant) {
             SetModel(12, 12, 8,
                      {{0, 0, 0, 11, 11, 0, kWhite}, {0, 0, 1, 0, 11, 7, kWhite}, {11, 0, 1, 11, 11, 7, kWhite},
                       {1, 0, 1, 10, 0, 7, kWhite}, {1, 11, 1, 10, 11, 7, kWhite}});
             if (variant) Box(1, 1, 7, 10, 10, 7, kWhite);
             env.settings.ptPrim = TK_PRIM_MC;
             env.settings.ptSunPitch = 60;
             ASSERT_TRUE(tracer.RebuildPrograms());
         },
         2, 32, {}, {}, {1, 1, 1}, 0.0f, 1e-3f, true},
        // A glowing voxel outshines the same voxel lit by a dim sun.
        {"glow against a dim sun",
         [&](int variant) {
             SetModel(1, 1, 1, {{0, 0, 0, 0, 0, 0, kWhite}});
             if (variant) env.materials[kWhite].type = TK_MATERIAL_EMIT;
             env.settings.ptSunIntensity = 0.2f;
         },
         2, 8, {0, 0, 0, 0, 1}, {0, 0, 0, 0, 1}, {1, 1, 1}, 3.0f, 1e6f},
        // In the dark a glowing voxel lights the ground, more near than far.
        {"glow on the ground",
         [&](int) {
             SetModel(9, 9, 1, {{4, 4, 0, 4, 4, 0, kWhite}});
             env.materials[kWhite].type = TK_MATERIAL_EMIT;
             env.settings.ptSunIntensity = env.settings.ptSkyIntensity = 0;
         },
         1, 16, {5, 4, 5, 4, 0}, {7, 4, 8, 4, 0}, {1, 1, 1}, 0.01f, 0.8f},
        // A pillar on the ground, the sun low in +x: its long shadow falls to -x.
        {"pillar's shadow",
         [&](int) {
             SetModel(15, 15, 6, {{6, 6, 0, 8, 8, 5, kWhite}});
             env.settings.ptSunPitch = 35, env.settings.ptSunYaw = 0;
         },
         1, 16, {9, 7, 12, 7, 0}, {2, 7, 5, 7, 0}, {1, 1, 1}, 0.0f, 0.5f},
        // Clear glass lying on a green ground shows the ground's colour.
        {"ground through glass",
         [&](int variant) {
             SetModel(8, 8, 1);
             if (variant) Box(0, 0, 0, 7, 7, 0, kGlass);
             env.materials[kGlass].type = TK_MATERIAL_GLASS, env.materials[kGlass].attenuation = 0;
             env.settings.ptGround[0] = env.settings.ptGround[2] = 0;
             env.settings.ptGround[1] = 255;
         },
         2, 16, {3, 3, 4, 4, 1}, {3, 3, 4, 4, 1}, {-1, 2, -1}, 0.6f, 1.5f},
        // Bounce 0 is direct light, from the sky as from the sun.
        {"sky light without bounces",
         [&](int variant) {
             SetModel(8, 8, 1, {{0, 0, 0, 7, 7, 0, kWhite}});
             env.settings.ptSunIntensity = 0, env.settings.ptSkyIntensity = 1;
             env.settings.ptBounces = 1 - variant;
         },
         2, 16, {3, 3, 4, 4, 1}, {3, 3, 4, 4, 1}, {1, 1, 1}, 0.9f, 1.1f},
    };
    for (const auto& c : cases) {
        const TK_Settings defaults;
        const TK_Material material = TK_DefaultMaterial();
        float measured[2] = {0, 0};
        std::vector<float> radiance;
        for (int variant = 0; variant < 2; ++variant) {
            const bool reshape = env.settings.ptPrim != defaults.ptPrim;
            env.settings = defaults;
            env.settings.ptImage[0] = kW, env.settings.ptImage[1] = kH;
            for (int i : {kWhite, kMirror, kRed, kGlass, kMetal}) env.materials[i] = material;
            if (reshape) tracer.RebuildPrograms();
            if (variant < c.variants) {
                c.scene(variant);
                Look(90, 0);
                if (c.inside) {
                    const float middle[3] = {0.5f * env.model.size[0], 0.5f * env.model.size[1], 3};
                    float focus[3];
                    TK_ModelToWorld(middle, focus);
                    camera.SetFocus(focus);
                    camera.SetRadius(2);
                    tracer.SyncView(camera);
                }
                radiance = Trace(c.samples);
            }
            measured[variant] = Measure(radiance, variant ? c.second : c.first, c.weights, c.inside && variant, camera);
        }
        const float ratio = measured[1] / std::max(measured[0], 1e-6f);
        EXPECT_GT(measured[0], 0.05f) << c.name << ": the first measure is dark";
        EXPECT_TRUE(ratio >= c.lo && ratio <= c.hi) << c.name << ": " << measured[0] << " " << measured[1];
    }
}

}  // namespace
