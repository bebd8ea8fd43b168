// "xs" on the offscreen context: the listing, the shipped shaders' results
// cell by cell, the template's uniforms, rounding and clamping, undo, and the
// failures that must leave the model as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TK_GLTest.h"
#include "TK_TestSupport.h"
#include "edit/TK_Commands.h"
#include "edit/TK_VoxelShaderCommand.h"
#include "model/TK_EditorEnv.h"
#include "render/GLLoader.h"
#include "render/TK_GLVoxelShader.h"

namespace {

using tk_test::ModelState;

class VoxelShaderTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        // A program folder of its own: the shipped shaders and the test's.
        std::filesystem::copy(std::filesystem::path(TK_SOURCE_DIR) / "shader", folder.Path("shader"));
        env = std::make_unique<TK_EditorEnv>();
        env->workspace.dataDir = folder.Dir().string();
        TK_RegisterCommands(env->executor);
        env->currentColorIndex = 5;
        env->voxelShaders = std::make_shared<TK_GLVoxelShaderEvaluator>();
    }
    void TearDown() override {
        env.reset();
        GLTest::TearDown();
    }

    bool Run(const std::string& line) {
        testing::internal::CaptureStdout();
        const bool ok = env->ExecuteText(line.c_str());
        output = testing::internal::GetCapturedStdout();
        return ok;
    }
    void WriteShader(const std::string& name, const std::string& text) {
        std::ofstream(folder.Path("shader/" + name + ".txt")) << text;
    }
    void SetBox(int x, int y, int z, int color) {
        env->model = tk_test::ShapeModel(x, y, z, [color](int, int, int) { return color; });
        env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    }
    int ColorAt(int x, int y, int z) const {
        const int i = env->VoxelAt(x, y, z);
        return i < 0 ? 0 : env->model.voxels[i].colorIndex;
    }

    tk_test::TempFolder folder{"tk_xs"};
    std::unique_ptr<TK_EditorEnv> env;
    std::string output;
};

TEST_F(VoxelShaderTest, SphereFillsExactlyTheCellsInsideTheRadius) {
    // One texture row, rows wrapping mid-slice, and the largest box.
    const struct {
        int size[3];
        float radius;
    } cases[] = {{{9, 11, 13}, 4}, {{20, 20, 20}, 6.5f}, {{126, 126, 126}, 50}};
    for (const auto& c : cases) {
        SetBox(c.size[0], c.size[1], c.size[2], 0);
        ASSERT_TRUE(Run("xs sphere " + std::to_string(c.radius) + " 7")) << output;
        int wrong = 0, inside = 0;
        for (int z = 0; z < c.size[2]; ++z)
            for (int y = 0; y < c.size[1]; ++y)
                for (int x = 0; x < c.size[0]; ++x) {
                    const float d[3] = {x + 0.5f - c.size[0] / 2.0f, y + 0.5f - c.size[1] / 2.0f,
                                        z + 0.5f - c.size[2] / 2.0f};
                    const bool in = d[0] * d[0] + d[1] * d[1] + d[2] * d[2] <= c.radius * c.radius;
                    inside += in;
                    wrong += ColorAt(x, y, z) != (in ? 7 : 0);
                }
        EXPECT_EQ(wrong, 0) << c.size[0] << "x" << c.size[1] << "x" << c.size[2];
        EXPECT_EQ(env->model.voxels.Count(), inside);
    }
    // The window's renderers find their state as they left it.
    GLint viewport[4], framebuffer = -1;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ((std::vector<GLint>{viewport[2], viewport[3], framebuffer}), (std::vector<GLint>{kWidth, kHeight, 0}));
}

TEST_F(VoxelShaderTest, ListingAndHollowWithUndo) {
    SetBox(6, 7, 8, 3);
    // The listing names each shader with its first comment, outside the history.
    ASSERT_TRUE(Run("xs")) << output;
    for (const char* name : {"erode", "height", "hollow", "menger", "sphere", "terrain"})
        EXPECT_NE(output.find(std::string("[Log] xs : ") + name + " : " + name), std::string::npos) << output;
    EXPECT_FALSE(Run("undo")) << "the listing entered the history";
    const ModelState full = ModelState::Of(env->model);
    ASSERT_TRUE(Run("xs hollow")) << output;
    EXPECT_EQ(env->model.voxels.Count(), 6 * 7 * 8 - 4 * 5 * 6);
    EXPECT_EQ(ColorAt(0, 3, 4), 3);
    EXPECT_EQ(ColorAt(2, 3, 4), 0);
    const ModelState hollow = ModelState::Of(env->model);
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(ModelState::Of(env->model) == full);
    ASSERT_TRUE(Run("redo"));
    EXPECT_TRUE(ModelState::Of(env->model) == hollow);
    // Nothing left to hollow: a failure, and no history entry.
    EXPECT_FALSE(Run("xs hollow"));
    EXPECT_NE(output.find("changed no cell"), std::string::npos) << output;
}

TEST_F(VoxelShaderTest, FailuresLeaveTheModelAndArgumentsAreRoundedAndClamped) {
    WriteShader("broken", "// broken\nfloat map( vec3 v ) {\n    return undefinedName;\n}\n");
    WriteShader("probe",
                "// probe: one uniform per cell\n"
                "float map( vec3 v ) {\n"
                "    float r[8];\n"
                "    r[0] = iArgs[0]; r[1] = iArgs[7]; r[2] = iColorIndex; r[3] = iNumVoxels;\n"
                "    r[4] = 300.0; r[5] = -4.0; r[6] = 2.5; r[7] = voxel( v + vec3( -10.0, 0.0, 9.0 ) );\n"
                "    return r[int( v.x )];\n"
                "}\n");
    SetBox(8, 1, 1, 0);
    env->model.voxels.Add(Voxel{0, 0, 0, 42});
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
    const struct {
        const char* line;
        bool hasGPU;
        const char* message;
    } cases[] = {
        {"xs broken", true, "broken.txt:3"},
        {"xs broken", true, "[Error] xs : broken.txt does not compile"},
        {"xs nosuch", true, "[Error] xs : no shader : "},
        {"xs sphere", false, "[Error] xs : the OpenGL driver lacks GLSL or framebuffer objects"},
    };
    const ModelState before = ModelState::Of(env->model);
    for (const auto& c : cases) {
        glHasFBO = c.hasGPU;
        EXPECT_FALSE(Run(c.line));
        glHasFBO = true;
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
        EXPECT_NE(output.find("[Error] cmd failed : TK_CMD_VoxelShader"), std::string::npos);
        EXPECT_TRUE(ModelState::Of(env->model) == before) << c.line;
    }
    EXPECT_FALSE(Run("xs probe 1 2 3 4 5 6 7 8 9"));  // one argument too many
    EXPECT_FALSE(Run("undo")) << "a failed xs left a history entry";

    ASSERT_TRUE(Run("xs probe 9.4 -1 2 3 4 5 6 11")) << output;
    // Missing arguments are 0; 2.5 rounds up; voxel() clamps into the box.
    const int expected[8] = {9, 11, 5, 1, 255, 0, 3, 42};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(ColorAt(x, 0, 0), expected[x]) << "x = " << x;
    // The brush mirror and loft axes reach the shader.
    WriteShader("axes", "// axes\nfloat map( vec3 v ) { return 1.0 + iMirror.y + 2.0 * iAxis.z; }\n");
    env->settings.mirror[1] = 1, env->settings.loft[2] = 1;
    ASSERT_TRUE(Run("xs axes")) << output;
    EXPECT_EQ(ColorAt(3, 0, 0), 4);
}

TEST(VoxelShaderLog, LineReferencesPointIntoTheFile) {
    const char* const cases[][2] = {
        {"0:25(7): error: `x' undeclared", "a.txt:3(7): error: `x' undeclared"},
        {"0(24) : error C0000: syntax error", "a.txt(2) : error C0000: syntax error"},
        {"ERROR: 0:23: 'x' : undeclared", "ERROR: a.txt:1: 'x' : undeclared"},
        {"0:40(3): error: no function with name 'map'", "template:40(3): error: no function with name 'map'"},
        {"warning: nothing to map", "warning: nothing to map"},
    };
    for (const auto& c : cases) EXPECT_EQ(TK_MapShaderLog(c[0], "a.txt", 23, 10), c[1]);
}

}  // namespace
