// The OpenGL loader: name lookup with fallbacks, the extension list with whole
// names only, and the capability flags. The real chain on the test context
// is what every drawing test starts from.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/GLLoader.h"

namespace {

// A driver that knows exactly the names listed here; the address is the name
// itself, so a test sees which one resolved.
const char* const kKnown[] = {"glActiveTextureARB", "glCreateShaderObjectARB", "glBindFramebufferEXT", "glClear"};
void* FakeResolve(const char* name) {
    for (const char* known : kKnown)
        if (std::strcmp(name, known) == 0) return const_cast<char*>(known);
    return nullptr;
}

TEST(GLLookup, FirstResolvingNameWins) {
    const struct {
        const char* names;
        const char* expected;  // null: nothing resolves
    } cases[] = {
        {"glActiveTexture\t\tglActiveTextureARB", "glActiveTextureARB"},
        {"glBindFramebuffer \tglBindFramebufferEXT", "glBindFramebufferEXT"},
        {"glClear\tglActiveTextureARB", "glClear"},
        {"glNothing\t\tglNothingARB", nullptr},
        {"", nullptr},
        // A token that is not an identifier ends the search.
        {"glNothing 42 glClear", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<const char*>(GLLookup(c.names, &FakeResolve)), c.expected) << c.names;
    EXPECT_EQ(GLLookup("glClear", nullptr), nullptr);
}

// Names are whole words between any white space: a listed name that only
// starts with a wanted one does not count.
TEST(GLExtensions, WholeNamesGiveTheCapabilityFlags) {
    const std::string glsl =
        "\tGL_ARB_shader_objects GL_ARB_shading_language_100\nGL_ARB_vertex_shader  GL_ARB_fragment_shader ";
    const struct {
        std::string extensions;
        bool texture3D, shaders, fbo, floatTexture;
    } cases[] = {
        {"  GL_EXT_texture3D GL_ARB_framebuffer_object GL_ARB_texture_float" + glsl, true, true, true, true},
        {"GL_ARB_shader_objects GL_ARB_shading_language_100 GL_ARB_fragment_shader", false, false, false, false},
        {"GL_ARB_texture_float_rgb GL_EXT_texture3Dx GL_ARB_framebuffer_objects", false, false, false, false},
        {"", false, false, false, false},
    };
    const bool saved[4] = {glHasTexture3D, glHasGLSL, glHasFBO, glHasFloatTexture};
    for (const auto& c : cases) {
        GLLoader loader;
        loader.SetExtensionString(c.extensions.c_str());
        loader.SetExtensionString(nullptr);  // no context: the list stays
        GLSetCapabilities(loader);
        EXPECT_EQ((std::vector<bool>{glHasTexture3D, glHasGLSL, glHasFBO, glHasFloatTexture}),
                  (std::vector<bool>{c.texture3D, c.shaders, c.fbo, c.floatTexture})) << c.extensions;
    }
    glHasTexture3D = saved[0], glHasGLSL = saved[1], glHasFBO = saved[2], glHasFloatTexture = saved[3];
}

}  // namespace
