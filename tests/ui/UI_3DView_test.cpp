// The 3D view's camera input: held keys and the chords that drop them, X
// with a right press on nothing, snapped rotation, and the attributes.
#include <gtest/gtest.h>

#include "core/OS_Keys.h"
#include "ui/UI_3DView.h"

namespace {

UI_MouseState Pointer(int x, int y) {
    UI_MouseState m;
    m.valid = true, m.x = x, m.y = y, m.right = 1;
    return m;
}

TEST(ThreeDView, HeldKeysAndChords) {
    UI_3DView view;
    EXPECT_TRUE(view.KeyDown(UI_KeyState{0, OS_KeyOf('N')}));
    EXPECT_TRUE(view.LeftRotates());
    EXPECT_FALSE(view.KeyDown(UI_KeyState{0, 77}));  // not a held key
    // Ctrl with W neither flies nor keeps N held.
    EXPECT_FALSE(view.KeyDown(UI_KeyState{1, OS_KeyOf('W')}));
    EXPECT_FALSE(view.LeftRotates());
    view.KeyDown(UI_KeyState{0, OS_KeyOf('N')});
    view.FocusOut();
    EXPECT_FALSE(view.LeftRotates());
    // Flying moves only a free camera.
    view.GetCamera().SetMode(Camera::kFree);
    view.KeyDown(UI_KeyState{0, OS_KeyOf('W')});
    const float before = view.GetCamera().eye[2];
    view.Tick(UI_TickData{1.1, 1});
    EXPECT_LT(view.GetCamera().eye[2], before);  // forward is -z at angle 0
}

TEST(ThreeDView, RightDragsRotateAndSnapAndXOnNothingKeepsTheFocus) {
    UI_3DView view;
    view.SetRect({0, 0, 99, 99});
    const float focus[3] = {view.GetCamera().focus[0], view.GetCamera().focus[1], view.GetCamera().focus[2]};
    view.KeyDown(UI_KeyState{0, OS_KeyOf('X')});
    view.RightDown(Pointer(50, 50));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(view.GetCamera().focus[i], focus[i]);
    view.RightDrag(Pointer(60, 50));
    EXPECT_NE(view.GetCamera().angle[1], 0.0f);
    view.RightUp(Pointer(60, 50));
    EXPECT_FALSE(view.RightHeld());
    view.SetSnapAngle(0);
    EXPECT_EQ(view.SnapAngle(), 1);
    view.SetSnapAngle(500);
    EXPECT_EQ(view.SnapAngle(), 180);
    view.SetSnapAngle(45);
    view.SetSnapping(true);
    view.RightDown(Pointer(0, 0));
    view.RightDrag(Pointer(-100, 0));  // 40 degrees more: snaps to 45
    EXPECT_FLOAT_EQ(view.GetCamera().angle[1], 45.0f);
}

TEST(ThreeDView, AWheelNotchZoomsByAShareOfTheDistance) {
    UI_3DView view;
    view.GetCamera().SetRadius(100);
    UI_MouseState m;
    m.wheel = kWheelNotch;
    view.Wheel(m);
    EXPECT_NEAR(view.GetCamera().radius, 88.0f, 0.5f);
}

}  // namespace
