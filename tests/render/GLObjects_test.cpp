// The GL object wrappers on the test context: both program styles with their
// messages, and shader objects shared by programs. What textures hold the
// renderers' tests see on the pixels.
#include <gtest/gtest.h>

#include <string>

#include "TK_GLTest.h"
#include "render/GLObjects.h"

namespace {

using GLObjects = GLTest;

const char kVertex[] = "void main() { gl_Position = gl_Vertex; }";
const char kFragment[] = "void main() { gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0); }";

TEST_F(GLObjects, VoxelStyleBuildAndItsMessages) {
    const struct {
        const char* vertex;
        const char* fragment;
        const char* messages[2];
    } cases[] = {
        {kVertex, kFragment, {nullptr, nullptr}},
        {"void main() { nonsense }", kFragment, {"< shader info log > :\n\"", "[Error] GLSL : attach vertex shader\n"}},
        {kVertex, "void main() { nonsense }", {"< shader info log > :\n\"", "[Error] GLSL : attach fragment shader\n"}},
        // Compiles, but a program without main does not link.
        {"void helper() {}", kFragment, {"< program info log > :\n\"", "[Error] GLSL : link program\n"}},
    };
    for (const auto& c : cases) {
        GLProgram program;
        testing::internal::CaptureStdout();
        const bool built = program.Build(c.vertex, c.fragment);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(built, c.messages[0] == nullptr) << c.vertex;
        EXPECT_EQ(program.IsValid(), built);
        for (const char* m : c.messages) EXPECT_TRUE(!m || out.find(m) != std::string::npos) << out;
        EXPECT_TRUE(!built || out.empty()) << out;
    }
}

TEST_F(GLObjects, RendererStyleSharesShaderObjects) {
    GLShader vertex, fragment, broken;
    ASSERT_TRUE(vertex.CreateVertex(kVertex));
    // The list is one concatenated source.
    const char* const parts[] = {"void main() {", " gl_FragColor = vec4(1.0);", " }", nullptr};
    ASSERT_TRUE(fragment.CreateFragment(parts));
    GLProgram first, second;
    ASSERT_TRUE(first.Link(vertex, fragment));
    ASSERT_TRUE(second.Link(vertex, fragment));
    GLint attached = -1;
    gl::GetProgramiv(first.Name(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);
    EXPECT_NE(first.Name(), second.Name());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(broken.CreateVertex("void main() { nonsense }"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("==== [GL:Shader] ====\n"), std::string::npos);
    EXPECT_NE(broken.Name(), 0u);  // kept for its owner to inspect

    GLShader noMain;
    ASSERT_TRUE(noMain.CreateVertex("void helper() {}"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(first.Link(noMain, fragment));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("==== [GL:Program] ====\n"), std::string::npos);
    EXPECT_FALSE(first.IsValid());
}

}  // namespace
