// Camera operations against hand-computed values, the matrices' defining
// properties, and camera files.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/Camera.h"

namespace {

constexpr float kEps = 1e-4f;
const float kTan22 = std::tan(22.5f * 3.14159265f / 180.0f);

void ExpectVec(const float* v, float x, float y, float z, const char* what) {
    EXPECT_NEAR(v[0], x, kEps) << what;
    EXPECT_NEAR(v[1], y, kEps) << what;
    EXPECT_NEAR(v[2], z, kEps) << what;
}

TEST(Camera, SetAngleClampsAndReduces) {
    const struct {
        int mode;
        float in[3];
        float out[3];
    } cases[] = {
        {Camera::kPerspective, {120, 370, 725}, {90, 10, 5}},
        {Camera::kPerspective, {-120, -370, -30}, {-90, -10, -30}},
        {Camera::kIsometric, {10, 0, 0}, {35.26439f, 0, 0}},
        {Camera::kIsometric, {-0.5f, 0, 0}, {-35.26439f, 0, 0}},
        {Camera::kIsometric, {0, 45, 0}, {0, 45, 0}},
        {Camera::kPerspective, {NAN, INFINITY, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Camera camera;
        camera.SetMode(c.mode);
        camera.SetAngle(c.in[0], c.in[1], c.in[2]);
        ExpectVec(camera.angle, c.out[0], c.out[1], c.out[2], "angle");
    }
}

TEST(Camera, RotationRows) {
    Camera camera;
    const float focus[3] = {1, 2, 3};
    camera.SetFocus(focus);
    camera.SetRadius(2);
    camera.SetAngle(0, 90, 0);
    ExpectVec(camera.Right(), 0, 0, -1, "right");
    ExpectVec(camera.Up(), 0, 1, 0, "up");
    ExpectVec(camera.Back(), 1, 0, 0, "back");
    ExpectVec(camera.eye, 3, 2, 3, "eye");
    camera.SetAngle(90, 0, 0);
    ExpectVec(camera.Back(), 0, -1, 0, "back at pitch 90");
    ExpectVec(camera.Up(), 0, 0, 1, "up at pitch 90");
}

TEST(Camera, ModeSwitchesKeepTheVisibleHeightAndZoomIsHeld) {
    Camera camera;
    camera.SetRadius(10);
    const float height = 2 * camera.frustumY * camera.radius;
    camera.SetMode(Camera::kOrthographic);
    EXPECT_NEAR(2 * camera.frustumY, height, kEps);
    EXPECT_FLOAT_EQ(camera.radius, camera.depthHalf);
    camera.SetMode(Camera::kIsometric);  // orthographic to orthographic: unchanged
    EXPECT_NEAR(2 * camera.frustumY, height, kEps);
    camera.SetMode(Camera::kPerspective);
    EXPECT_NEAR(camera.radius, 10, kEps);
    EXPECT_NEAR(camera.frustumY, kTan22, kEps);
    EXPECT_NEAR(camera.angle[0], 0, kEps);
    camera.Zoom(-100);  // perspective: through the radius, held at 1
    EXPECT_EQ(camera.radius, 1.0f);
    ExpectVec(camera.eye, 0, 0, 1, "eye");
    camera.SetMode(Camera::kOrthographic);  // through the frustum, held at 0.001 with its aspect
    camera.SetFov(45, 2.0f);
    camera.SetFrustum(5);
    camera.Zoom(-10);
    EXPECT_FLOAT_EQ(camera.frustumY, 0.001f);
    EXPECT_FLOAT_EQ(camera.frustumX, 0.002f);
    // Free: turning keeps the eye; zoom moves the whole camera back along
    // its axis.
    camera.SetMode(Camera::kFree);
    const float eye[3] = {camera.eye[0], camera.eye[1], camera.eye[2]};
    camera.SetAngle(-30, 40, 0);
    ExpectVec(camera.eye, eye[0], eye[1], eye[2], "eye");
    camera.Zoom(2);
    ExpectVec(camera.eye, eye[0] + 2 * camera.Back()[0], eye[1] + 2 * camera.Back()[1],
              eye[2] + 2 * camera.Back()[2], "eye after zoom");
}

TEST(Camera, PanScalesByModeFactor) {
    const struct {
        int mode;
        float radius;
        float expectedX;  // focus.x after Pan(1, 0, 0) at angle 0
    } cases[] = {
        {Camera::kPerspective, 5, kTan22 * 20},   // radius below 20 counts as 20
        {Camera::kPerspective, 40, kTan22 * 40},
        {Camera::kFree, 5, kTan22 * 50},
        {Camera::kNone, 5, 0},
    };
    for (const auto& c : cases) {
        Camera camera;
        camera.SetRadius(c.radius);
        camera.SetMode(c.mode);
        camera.Pan(1, 0, 0);
        EXPECT_NEAR(camera.focus[0], c.expectedX, 1e-3f) << c.mode;
    }
}

// Transforms (x, y, z, 1) by a column-major matrix; returns z / w.
float DepthOf(const float m[16], const float p[3]) {
    const float z = m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14];
    const float w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
    return z / w;
}

TEST(Camera, FitDepthAndProjections) {
    Camera camera;
    camera.SetRadius(10);  // eye (0, 0, 10) looking down -z
    const float lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    camera.FitDepth(lo, hi);
    EXPECT_NEAR(camera.Near(), 9, kEps);
    EXPECT_NEAR(camera.Far(), 19, kEps);
    // Both projections map near and far to -1 and 1 (perspective last).
    for (int ortho = 1; ortho >= 0; --ortho) {
        camera.ortho = ortho;
        float m[16];
        camera.ProjectionMatrix(200, 100, m);
        const float nearPoint[3] = {0, 0, -camera.Near()}, farPoint[3] = {0, 0, -camera.Far()};
        EXPECT_NEAR(DepthOf(m, nearPoint), -1, kEps) << ortho;
        EXPECT_NEAR(DepthOf(m, farPoint), 1, kEps) << ortho;
        EXPECT_NEAR(m[0] * 2, m[5], kEps) << "aspect 2";
    }
    // A box behind the eye: near 1, far at least 10 further.
    const float behindLo[3] = {-1, -1, 99}, behindHi[3] = {1, 1, 101};
    camera.FitDepth(behindLo, behindHi);
    EXPECT_NEAR(camera.Near(), 1, kEps);
    EXPECT_NEAR(camera.Far(), 11, kEps);
    // Orthographic: the eye first steps outside the box.
    camera.SetMode(Camera::kOrthographic);
    const float bigLo[3] = {-50, -50, -50}, bigHi[3] = {50, 50, 50};
    camera.FitDepth(bigLo, bigHi);
    EXPECT_NEAR(camera.radius, 50, kEps);
    EXPECT_NEAR(camera.Near(), 1, kEps);
    EXPECT_NEAR(camera.Far(), 100, kEps);
    float view[16];
    camera.SetAngle(-20, 30, 0);
    camera.ViewMatrix(view);
    // The eye goes to the origin of view space.
    for (int row = 0; row < 3; ++row)
        EXPECT_NEAR(view[row] * camera.eye[0] + view[4 + row] * camera.eye[1] + view[8 + row] * camera.eye[2] +
                        view[12 + row],
                    0, kEps);
}

// ---------------------------------------------------------------- files

TEST(CameraFile, SavedTextAndRoundTrip) {
    Camera camera;
    camera.SetMode(Camera::kIsometric);
    camera.SetAngle(20, -45, 3);
    const float focus[3] = {1.5f, -2, 3};
    camera.SetFocus(focus);
    camera.SetRadius(12);
    camera.SetFrustum(7.25f);
    const std::string text = camera.SaveText();
    EXPECT_EQ(text, "camera\n(\n\tmode = 'iso'\n\tfocus = '1.500000 -2.000000 3.000000'\n"
                    "\tangle = '35.264389 -45.000000 3.000000'\n\tradius = '12.000000'\n\tfrustum = '7.250000'\n)\n");
    const std::string path = testing::TempDir() + "camera_round_trip.txt";
    ASSERT_TRUE(camera.Save(path));
    Camera loaded;
    ASSERT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded.SaveText(), text);
    ExpectVec(loaded.eye, camera.eye[0], camera.eye[1], camera.eye[2], "eye");
    // Mode none is saved but not applied: the rest is.
    camera.SetMode(Camera::kNone);
    Camera fresh;
    ASSERT_TRUE(fresh.LoadText(camera.SaveText().c_str()));
    EXPECT_EQ(fresh.mode, Camera::kPerspective);
    ExpectVec(fresh.focus, 1.5f, -2, 3, "focus");
    EXPECT_FLOAT_EQ(fresh.radius, camera.radius);
}

TEST(CameraFile, FailuresLeaveTheCameraAlone) {
    const struct {
        const char* text;
        bool ok;
        float radius;
    } cases[] = {
        {"camera ( mode = 'orth' radius = ", false, 5},  // broken syntax: unchanged
        {"other ( radius = '9' )", true, 5},             // no camera entry: unchanged
        {"camera ( radius = 'x y' )", true, 1},          // unreadable numbers are 0
    };
    for (const auto& c : cases) {
        Camera camera;
        camera.SetRadius(5);
        testing::internal::CaptureStdout();
        EXPECT_EQ(camera.LoadText(c.text), c.ok) << c.text;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(camera.mode, Camera::kPerspective);
        EXPECT_FLOAT_EQ(camera.radius, c.radius) << c.text;
    }
    Camera camera;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(camera.Load(testing::TempDir() + "no_such_camera.txt"));
    EXPECT_FALSE(camera.Save("/nonexistent-folder/camera.txt"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("[Error] failed to load camera : "), std::string::npos);
    EXPECT_NE(out.find("[Error] failed to save camera : /nonexistent-folder/camera.txt\n"), std::string::npos);
}

// Slot files and pans must never give an infinite, mirrored or NaN view,
// nor save one: every value is held in range on load, on pan and on save.
TEST(CameraFile, OutOfRangeValuesAreHeldInRange) {
    for (const char* f : {"0", "-5", "1e38", "nan"}) {
        Camera camera;
        const std::string text = std::string("camera ( focus = '1e38 -1e38 3' radius = '1e38' frustum = '") + f + "' )";
        ASSERT_TRUE(camera.LoadText(text.c_str())) << f;
        EXPECT_GE(camera.frustumY, 0.001f) << f;
        EXPECT_LE(camera.frustumY, 1e6f) << f;
        camera.Pan(1e30f, -1e30f, 0);
        float projection[16];
        camera.ProjectionMatrix(4, 3, projection);
        EXPECT_TRUE(std::isfinite(projection[5]) && projection[5] > 0) << f;
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(camera.focus[i]) && std::fabs(camera.focus[i]) <= 1e6f) << f;
            EXPECT_TRUE(std::isfinite(camera.eye[i])) << f;
        }
        camera.focus[0] = INFINITY;  // a field written past the setters still saves sane
        Camera again;
        ASSERT_TRUE(again.LoadText(camera.SaveText().c_str()));
        EXPECT_EQ(again.SaveText(), camera.SaveText()) << f;
        EXPECT_FLOAT_EQ(again.focus[0], 0) << f;
    }
}

}  // namespace
