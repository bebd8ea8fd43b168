// The offscreen OpenGL context of the drawing tests (see TK_GLTest.h).
#include "TK_GLTest.h"

#include <SDL2/SDL.h>

#include <cmath>
#include <cstdlib>

#include "TK_TestVideo.h"
#include "render/Camera.h"
#include "render/GLLoader.h"
#include "render/TK_SceneRenderer.h"

static void* Resolve(const char* name) { return SDL_GL_GetProcAddress(name); }

void GLTest::SetUp() {
    tk_test::UseHeadlessVideo();
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Single-sampled so that edge pixels are exact.
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    m_window = SDL_CreateWindow("test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(m_window, nullptr) << SDL_GetError();
    m_context = SDL_GL_CreateContext(m_window);
    ASSERT_NE(m_context, nullptr) << "no OpenGL context: " << SDL_GetError();
    GLSetResolver(&Resolve);
    GLStartup();
    GLKeepDriverLoaded();
    glViewport(0, 0, kWidth, kHeight);
}

void GLTest::TearDown() {
    if (m_context) SDL_GL_DeleteContext(m_context);
    if (m_window) SDL_DestroyWindow(m_window);
    m_context = nullptr, m_window = nullptr;
    SDL_Quit();
}

std::array<int, 4> GLTest::Pixel(int x, int y) const {
    uint8_t p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult NearRGB(const std::array<int, 4>& a, int r, int g, int b, int tolerance) {
    if (std::abs(a[0] - r) <= tolerance && std::abs(a[1] - g) <= tolerance && std::abs(a[2] - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << a[0] << ", " << a[1] << ", " << a[2] << ") is not near ("
                                         << r << ", " << g << ", " << b << ")";
}

std::array<int, 2> ProjectToPixel(const Camera& camera, int width, int height, float x, float y, float z) {
    const float model[3] = {x, y, z};
    float p[3], view[16], projection[16];
    TK_ModelToWorld(model, p);
    camera.ViewMatrix(view);
    camera.ProjectionMatrix(width, height, projection);
    float v[4], c[4];
    for (int r = 0; r < 4; ++r) v[r] = view[r] * p[0] + view[4 + r] * p[1] + view[8 + r] * p[2] + view[12 + r];
    for (int r = 0; r < 4; ++r)
        c[r] = projection[r] * v[0] + projection[4 + r] * v[1] + projection[8 + r] * v[2] + projection[12 + r] * v[3];
    return {int(std::floor((c[0] / c[3] + 1) * 0.5f * width)), int(std::floor((c[1] / c[3] + 1) * 0.5f * height))};
}
