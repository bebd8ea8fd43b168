// The ray-cast voxels against the face renderer: the same picture on a set
// of models, cameras and display flags; edits patched into the GPU copy;
// the mirror's changed box, face count and shadow; emissive colours
// unshaded; and picking naming the cell each pixel shows.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "TK_GLTest.h"
#include "TK_TestSupport.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_Picking.h"
#include "render/TK_SceneRenderer.h"
#include "render/TK_VoxelRayCaster.h"
#include "render/TK_VoxelVolume.h"

namespace {

using Shape = std::function<int(int, int, int)>;

struct NamedModel {
    const char* name;
    int size[3];
    Shape colour;
};

bool InMenger(int x, int y, int z) {
    for (; x || y || z; x /= 3, y /= 3, z /= 3)
        if ((x % 3 == 1) + (y % 3 == 1) + (z % 3 == 1) >= 2) return false;
    return true;
}

const NamedModel kModels[] = {
    {"start box", {45, 45, 45}, [](int, int, int) { return 79; }},
    {"sphere", {32, 32, 32},
     [](int x, int y, int z) {
         const float dx = x - 15.5f, dy = y - 15.5f, dz = z - 15.5f;
         return dx * dx + dy * dy + dz * dz < 15.0f * 15.0f ? 12 : 0;
     }},
    {"menger", {27, 27, 27}, [](int x, int y, int z) { return InMenger(x, y, z) ? 200 : 0; }},
    {"random", {24, 24, 24},
     [](int x, int y, int z) {
         const unsigned h = unsigned(x * 73856093 ^ y * 19349663 ^ z * 83492791) * 2654435761u;
         return (h >> 16) % 2 ? int(1 + (h >> 8) % 250) : 0;
     }},
    // A slab high up whose shadow falls on the ground far from any voxel.
    {"shadow on the ground", {32, 32, 32},
     [](int x, int y, int z) { return z == 20 && x >= 20 && x < 26 && y < 6 ? 40 : 0; }},
};

class RayCaster : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(renderer.Init(env));
        ASSERT_TRUE(renderer.CanCastRays()) << "the driver runs GLSL 1.30 with 3D textures";
    }
    void TearDown() override {
        renderer.Shutdown();
        GLTest::TearDown();
    }
    void SetModel(const NamedModel& m) {
        env.model = tk_test::ShapeModel(m.size[0], m.size[1], m.size[2], m.colour);
        env.model.palette = DefaultPalette();
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
    }
    void Look(int mode, float pitch, float yaw) {
        TK_FitCameraToModel(camera, env.model.size, 1.0f, pitch, yaw);
        camera.SetMode(mode);
        TK_FitCameraDepth(camera, env.model.size);
    }
    std::vector<uint8_t> Draw(TK_VoxelPath path, int flags) {
        glClearColor(0.2f, 0.4f, 0.6f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer.SetFlags(flags);
        renderer.SetVoxelPath(path);
        renderer.Render(OMB_Rect{0, 0, kWidth - 1, kHeight - 1}, camera);
        EXPECT_EQ(renderer.LastFrameCastRays(), path == TK_VoxelPath::kRays);
        std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    // Pixels of `a` whose colour differs by more than `tolerance` in a
    // channel from every pixel of `b` within `reach` pixels.
    static int Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance, int reach = 0) {
        auto alike = [&](size_t i, size_t j) {
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[i + size_t(c)] - b[j + size_t(c)]) > tolerance) return false;
            return true;
        };
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool found = false;
                for (int dy = -reach; dy <= reach && !found; ++dy)
                    for (int dx = -reach; dx <= reach && !found; ++dx) {
                        const int u = x + dx, v = y + dy;
                        if (u >= 0 && v >= 0 && u < kWidth && v < kHeight)
                            found = alike((size_t(y) * kWidth + size_t(x)) * 4, (size_t(v) * kWidth + size_t(u)) * 4);
                    }
                n += !found;
            }
        return n;
    }
    // Faces and rays give the same picture: at most a few edge pixels
    // differ, none by much elsewhere.
    // Lines (`reach` 1) may lie a pixel aside.
    void ExpectSamePicture(int flags, int percent, const std::string& what, int reach = 0) {
        const std::vector<uint8_t> faces = Draw(TK_VoxelPath::kFaces, flags);
        const std::vector<uint8_t> rays = Draw(TK_VoxelPath::kRays, flags);
        EXPECT_LE(Differing(faces, rays, 2, reach), kWidth * kHeight * percent / 100) << what;
        EXPECT_LE(Differing(rays, faces, 2, reach), kWidth * kHeight * percent / 100) << what;
        EXPECT_NE(Differing(rays, Draw(TK_VoxelPath::kFaces, 0), 0), 0) << what << ": something was drawn";
    }

    TK_EditorEnv env;
    TK_SceneRenderer renderer;
    Camera camera;
};

const struct {
    int mode;
    float pitch, yaw;
} kCameras[] = {{Camera::kPerspective, 30, -30}, {Camera::kOrthographic, -20, 130}, {Camera::kIsometric, 35, 45}};

TEST_F(RayCaster, SamePictureAsFacesForEveryModelCameraAndShading) {
    // The frame's polygon offset lets faces seen edge-on lose to faces
    // behind them in the face renderer; rays keep them.
    const struct {
        int flags;
        int percent;
    } shadings[] = {{TK_SHOW_FACE, 1},
                    {TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_AMBIENT | TK_SHOW_GROUND, 1},
                    {TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_SHADOW | TK_SHOW_GROUND, 1},
                    {TK_SHOW_FACE | TK_SHOW_FRAME, 2}};
    for (const NamedModel& m : kModels) {
        SetModel(m);
        for (const auto& c : kCameras) {
            Look(c.mode, c.pitch, c.yaw);
            for (const auto& s : shadings)
                ExpectSamePicture(s.flags, s.percent,
                                  std::string(m.name) + " mode " + std::to_string(c.mode) + " flags " +
                                      std::to_string(s.flags));
        }
    }
}

// Lines drawn by rays against lines rasterised: cells several pixels wide,
// so that the lines are a part of the picture, not all of it. Where two
// faces meet at a corner the rasterised line takes the colour of the face
// drawn last and rays that of the face each side belongs to: those pixels
// make up most of the 5% allowed (lines missing would be some 12%).
TEST_F(RayCaster, SameGridAndEdgeLinesAsFaces) {
    const NamedModel small[] = {
        {"menger 9", {9, 9, 9}, [](int x, int y, int z) { return InMenger(x, y, z) ? 200 : 0; }},
        {"random 6", {6, 6, 6}, kModels[3].colour},
    };
    for (const NamedModel& m : small) {
        SetModel(m);
        for (const auto& c : kCameras) {
            Look(c.mode, c.pitch, c.yaw);
            for (int flags : {TK_SHOW_FACE | TK_SHOW_GRID, TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_EDGE | TK_SHOW_GRID})
                ExpectSamePicture(flags, 5,
                                  std::string(m.name) + " mode " + std::to_string(c.mode) + " flags " +
                                      std::to_string(flags),
                                  1);
        }
    }
}

TEST_F(RayCaster, EditsAndEmissiveColoursReachThePicture) {
    SetModel(kModels[0]);
    Look(Camera::kPerspective, 30, -30);
    const int flags = TK_SHOW_FACE | TK_SHOW_MODE | TK_SHOW_AMBIENT;
    const std::vector<uint8_t> before = Draw(TK_VoxelPath::kRays, flags);
    // Carve a corner and paint a cell: only those cells are patched.
    env.model = tk_test::ShapeModel(45, 45, 45, [](int x, int y, int z) {
        return x > 35 && y < 10 && z > 35 ? 0 : x == 20 && y == 0 && z == 20 ? 5 : 79;
    });
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
    ExpectSamePicture(flags, 1, "after the edit");
    EXPECT_NE(Differing(before, Draw(TK_VoxelPath::kRays, flags), 2), 0);
    // An emissive colour shows its palette colour, unshaded, both ways.
    env.materials[79].type = TK_MATERIAL_EMIT;
    const uint32_t c = env.model.palette[79];
    for (TK_VoxelPath path : {TK_VoxelPath::kFaces, TK_VoxelPath::kRays}) {
        const std::vector<uint8_t> p = Draw(path, flags);
        const size_t centre = (size_t(kHeight / 2) * kWidth + kWidth / 2) * 4;
        EXPECT_TRUE(NearRGB({p[centre], p[centre + 1], p[centre + 2], 255}, int(c & 255), int(c >> 8 & 255),
                            int(c >> 16 & 255), 1))
            << int(path);
    }
}

TEST_F(RayCaster, PicksTheCellEachPixelShows) {
    for (const NamedModel& m : kModels) {
        SetModel(m);
        TK_VoxelVolume volume;
        TK_VoxelRayCaster caster;
        ASSERT_TRUE(caster.Init());
        caster.Upload(volume, volume.Update(env.model, false));
        GLTexture palette, look;
        const uint32_t zeros[256] = {};
        palette.CreatePalette(zeros, GLSampler());
        look.Create1D(GL_LUMINANCE8, 256, GL_LUMINANCE, zeros, GLSampler());
        for (int mode : {Camera::kPerspective, Camera::kOrthographic}) {
            Look(mode, 25, -40);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            TK_VoxelRayCaster::Frame frame;
            frame.camera = &camera;
            frame.width = kWidth, frame.height = kHeight;
            frame.ground = true;
            frame.ids = true;
            glEnable(GL_DEPTH_TEST);
            caster.Draw(frame, volume, palette, look);
            glDisable(GL_DEPTH_TEST);
            int disagree = 0, hits = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const std::array<int, 4> id = Pixel(x, y);
                    const TK_Pick pick = TK_PickCell(env, camera, kWidth, kHeight, x + 0.5f, y + 0.5f);
                    hits += pick.Hit();
                    const bool same = pick.Hit() ? id == std::array<int, 4>{pick.cell[0], pick.cell[1],
                                                                            pick.cell[2] + 1, pick.face}
                                                 : id[3] == 0;
                    disagree += !same;
                }
            EXPECT_GT(hits, kWidth * kHeight / 16) << m.name;
            EXPECT_EQ(disagree, 0) << m.name << " mode " << mode;
        }
    }
}

TEST(VoxelVolume, ChangedBoxFaceCountAndShadowFollowTheModel) {
    TK_Model model = tk_test::ShapeModel(20, 10, 6, [](int x, int, int z) { return x < 10 && z < 3 ? 7 : 0; });
    TK_VoxelVolume volume;
    TK_CellBox box = volume.Update(model, false);
    EXPECT_TRUE(volume.Resized());
    EXPECT_EQ(box.hi[0], 19);
    EXPECT_EQ(volume.FaceCount(), 2 * (10 * 10 + 10 * 3 + 10 * 3));
    EXPECT_TRUE(volume.Update(model, false).Empty());
    model.voxels.Add(Voxel{15, 4, 5, 9});
    box = volume.Update(model, false);
    EXPECT_FALSE(volume.Resized());
    EXPECT_EQ((std::array<int, 6>{box.lo[0], box.lo[1], box.lo[2], box.hi[0], box.hi[1], box.hi[2]}),
              (std::array<int, 6>{15, 4, 5, 15, 4, 5}));
    EXPECT_EQ(volume.At(15, 4, 5), 9);
    EXPECT_EQ(volume.FaceCount(), 2 * (10 * 10 + 10 * 3 + 10 * 3) + 6);
    // The brick of the new voxel holds one; the brick beyond it in x is
    // one brick from it, nearer than the first voxels.
    const int b = TK_VoxelVolume::kBrickCells, bricks[2] = {(20 + b - 1) / b, (10 + b - 1) / b};
    const auto brickAt = [&](int x, int y, int z) { return volume.BrickBytes()[x + bricks[0] * (y + bricks[1] * z)]; };
    EXPECT_EQ(brickAt(15 / b, 4 / b, 5 / b), 0);
    EXPECT_EQ(brickAt(15 / b + 1, 4 / b, 5 / b), 1);
    // The shadow matches the face renderer's occlusion volume.
    volume.Update(model, true);
    TK_VoxelSurface surface;
    surface.Build(model);
    std::vector<uint8_t> occlusion;
    surface.BuildOcclusion(true, occlusion);
    EXPECT_EQ(std::vector<uint8_t>(volume.Occlusion(), volume.Occlusion() + occlusion.size()), occlusion);
}

}  // namespace
