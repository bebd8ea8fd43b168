// The settings commands: clamps of every family, the keys that fail when
// nothing changes, what the renderers and listeners are told, mirror and
// loft toggling, "add" limits, and the window commands with and without a
// window.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "TK_EditFixture.h"
#include "edit/TK_SettingsCommands.h"
#include "model/TK_ModelLook.h"
#include "model/TK_VoxFile.h"

namespace {

using tk_test::EditEnvTest;

// Records what the renderers were told.
struct Recorder : TK_RenderLink {
    int changes = 0;
    void SettingsChanged(int what) override { changes |= what; }
};

class SettingsTest : public EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        env->renderer = &recorder;
    }
    void Clear() { recorder.changes = 0, messages.clear(); }
    Recorder recorder;
};

// "set" and "add" alike hold every family's values in range; a value stored
// already is still a success; materials go to the current colour alone in
// the "pt_mod 1" scope.
TEST_F(SettingsTest, EveryFamilyClampsItsValues) {
    const TK_Settings& s = env->settings;
    struct Case {
        const char* line;
        std::function<double()> value;
        double expected;
    };
    const Case cases[] = {
        {"add b_vox_size 1000", [&] { return s.voxSize; }, 64},
        {"add b_vox_size -1000", [&] { return s.voxSize; }, 1},
        {"add pt_image 40", [&] { return s.ptImage[1]; }, 840},
        {"set b_vox_size 100", [&] { return s.voxSize; }, 64},
        {"set b_face_col 7", [&] { return s.faceColor; }, 1},
        {"set b_shape face", [&] { return s.brushShape; }, 4},
        {"set b_shape box", [&] { return s.brushShape; }, 5},
        {"set b_shape box", [&] { return s.brushShape; }, 5},
        {"set snap_alpha 1", [&] { return s.snapAlpha; }, 1},
        {"set pt_prim mc", [&] { return s.ptPrim; }, 4},
        {"set pt_image 0 99999", [&] { return s.ptImage[0] * 10000.0 + s.ptImage[1]; }, 10000 + 8192},
        {"set pt_spp 5", [&] { return s.ptSamples; }, 16},
        {"set pt_sun_p 120", [&] { return s.ptSunPitch; }, 90},
        {"set pt_sun_y -5", [&] { return s.ptSunYaw; }, 0},
        {"set pt_isky 3", [&] { return s.ptSkyIntensity; }, 1},
        {"set pt_bounce 20", [&] { return s.ptBounces; }, 11},
        {"set pt_fov 10", [&] { return s.ptFov; }, 45},
        {"set pt_gamma 0.5", [&] { return s.ptGamma; }, 1},
        {"set pt_vig -1", [&] { return s.ptVignette; }, 0},
        {"set pt_mtl ior 9", [&] { return env->materials[77].ior; }, 3},
        {"set pt_mtl glass 1", [&] { return env->materials[200].type; }, 2},
        // Entry 5 emits, entry 6 stays glass.
        {"set pt_mod 1 | set pt_mtl emit 1", [&] { return env->materials[5].type * 10 + env->materials[6].type; }, 32},
        {"set pt_mtl flux 500", [&] { return env->materials[5].flux; }, 100},
        {"set pt_mtl emit 0", [&] { return env->materials[5].type; }, 0},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Run(c.line)) << c.line << "\n" << output;
        EXPECT_NEAR(c.value(), c.expected, 1e-6) << c.line;
    }
}

// Bad arguments, and the keys that fail when nothing changes.
TEST_F(SettingsTest, Refusals) {
    ASSERT_TRUE(Run("set r_show frame 1 | set pt_prim sphr"));
    for (const char* line : {"set nosuch 1", "set pt_isun", "set pt_isun abc", "set b_shape round", "set pt_prim cone",
                             "set r_show sky 1", "set pt_bounce 2.5", "add pt_isun 1", "add b_vox_size", "mirror 1",
                             "set r_show frame 1", "set pt_prim sphr"})
        ExpectRefused(line, "[Error]");
}

TEST_F(SettingsTest, RendererAndListenersAreTold) {
    struct Case {
        const char* line;
        int changes;
        std::pair<int, int> message;
        bool look = false;  // the model's look changed: one more message
    };
    const Case cases[] = {
        {"set r_show edge 2", TK_RENDER_RASTER_FLAGS, {TK_NOTIFY_DISPLAY, TK_SHOW_EDGE}},
        {"set r_color grd 3", TK_RENDER_RASTER_COLORS, {TK_NOTIFY_DISPLAY, TK_SHOW_GROUND}},
        {"set pt_sun_p 20", TK_RENDER_RESTART, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}, true},
        {"set pt_sun_p 20.0000001", 0, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}},  // unchanged: no restart
        {"set pt_jit 0", TK_RENDER_PROGRAMS, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}},
        {"set pt_expo 0.7", TK_RENDER_DISPLAY, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}},
        {"set b_vox_size 3", 0, {TK_NOTIFY_EDITOR, TK_EDITOR_BRUSH_SIZE}},
        {"set b_type paint", 0, {TK_NOTIFY_EDITOR, TK_EDITOR_BRUSH}},
        {"set pt_sun_col", TK_RENDER_RESTART, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}, true},
        // The shadow strength shows only while the sun shines.
        {"set pt_isun 0", TK_RENDER_RESTART, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}, true},
        {"set pt_shadow 0.5", 0, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}, true},
        {"set pt 1", TK_RENDER_MODE, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}},
        // In render mode the tracer's own flags change, masked with 0x33.
        {"set r_show grid 1", TK_RENDER_TRACER_FLAGS, {TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE}},
    };
    for (const Case& c : cases) {
        Clear();
        EXPECT_TRUE(Run(c.line)) << c.line;
        EXPECT_EQ(recorder.changes, c.changes) << c.line;
        std::vector<std::pair<int, int>> told{c.message};
        if (c.look) told.emplace_back(TK_NOTIFY_MODEL, TK_CHANGE_LOOK);
        EXPECT_EQ(messages, told) << c.line;
    }
    EXPECT_EQ(env->settings.ptFlags, TK_SHOW_GRID | TK_SHOW_SHADOW | TK_SHOW_GROUND);
    EXPECT_FALSE(Run("set r_show frame 1"));
    EXPECT_EQ(env->settings.ptSunColor[0], ColorR(env->model.palette[5]));
    EXPECT_TRUE(Run("set pt 0"));
    EXPECT_TRUE(Run("set pt 1"));
    EXPECT_NE(output.find("Cache Model"), std::string::npos);
}

// What the model file keeps of the look is work: each change is a step of
// the history (a drag of one key is one), marks the model unsaved, and
// "new" or a file without a look bring the defaults back.
TEST_F(SettingsTest, LookChangesAreUndoableWork) {
    const TK_ModelLook defaults;
    const auto bounces = [&] { return env->settings.ptBounces; };
    const auto glassAt = [&](int i) { return env->materials[i].type == TK_MATERIAL_GLASS; };
    env->executor.ClearHistory();
    env->unsaved = false;
    ASSERT_TRUE(Run("set pt_bounce 7 | set pt_mtl glass 1 | set pt_mtl rough 0.2 | set pt_mtl rough 0.3"));
    EXPECT_TRUE(env->unsaved);
    EXPECT_EQ(History(), 3u) << "the two roughness changes are one step";
    ASSERT_TRUE(Run("set pt_image 100 100 | set b_vox_size 3"));
    EXPECT_EQ(History(), 3u) << "the window's settings are no work";
    ASSERT_TRUE(Run("undo"));
    EXPECT_FLOAT_EQ(env->materials[5].roughness, defaults.materials[5].roughness);
    ASSERT_TRUE(Run("undo | undo"));
    EXPECT_FALSE(glassAt(5));
    EXPECT_EQ(bounces(), defaults.settings.ptBounces);
    ASSERT_TRUE(Run("redo | redo | redo"));
    EXPECT_EQ(bounces(), 7);
    EXPECT_TRUE(glassAt(5));
    EXPECT_FLOAT_EQ(env->materials[5].roughness, 0.3f);
    ASSERT_TRUE(Run("new"));
    EXPECT_EQ(bounces(), defaults.settings.ptBounces);
    EXPECT_FALSE(glassAt(5));
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(bounces(), 7);
    const tk_test::TempFolder folder("look");
    const TK_Model plain = env->model;
    ASSERT_TRUE(WriteVox(plain, folder.Path("plain.vox").c_str()));
    ASSERT_TRUE(Run("open " + folder.Path("plain.vox")));
    EXPECT_EQ(bounces(), defaults.settings.ptBounces) << "a file without a look opens with the defaults";
}

TEST_F(SettingsTest, MirrorAndLoftToggle) {
    EXPECT_TRUE(Run("mirror x 2"));
    EXPECT_EQ(env->settings.mirror[0], 1);
    EXPECT_EQ(messages.back(), std::make_pair(int(TK_NOTIFY_EDITOR), 2));
    EXPECT_FALSE(Run("mirror x 1"));
    EXPECT_TRUE(Run("mirror x 2"));
    EXPECT_EQ(env->settings.mirror[0], 0);
    EXPECT_TRUE(Run("loft yz 1"));
    EXPECT_EQ(env->settings.loft[1] + env->settings.loft[2], 2);
    EXPECT_EQ(env->settings.mirror[1], 0);
    EXPECT_EQ(messages.back(), std::make_pair(int(TK_NOTIFY_EDITOR), 4));
}

TEST_F(SettingsTest, WindowCommands) {
    for (const char* line : {"ui_set scene reset 1", "ui_view pal", "snap scene x.png", "ui_scale 2"})
        ExpectRefused(line, "no window");
    tk_test::FakeWindow window;
    env->window = &window;
    EXPECT_TRUE(Run("ui_set scene reset 1"));
    EXPECT_FALSE(Run("ui_set nosuch reset 1"));
    EXPECT_TRUE(Run("ui_view nosuch pal"));
    EXPECT_EQ(window.toggled, std::vector<std::string>{"pal"});
    EXPECT_EQ(window.layouts, 1);
    EXPECT_FALSE(Run("ui_view 12"));
    ExpectRefused("snap nosuch s.png", "[Error] snap : view 'nosuch' not found");
    EXPECT_EQ(window.snaps, 0);
    EXPECT_TRUE(Run("snap scene s.png"));
    EXPECT_EQ(window.snaps, 1);
    EXPECT_TRUE(Run("ui_scale 1.5"));
    EXPECT_FALSE(Run("ui_scale huge"));
    EXPECT_EQ(window.uiScale, 1.5f);
    EXPECT_EQ(env->workspace.uiScale, 1.5f);
    EXPECT_EQ(TK_CMD_Snap::DefaultName(0).size(), std::string("snap1970-01-01-00-00-00.png").size());
    env->window = nullptr;
}

}  // namespace
