// The headless GL context on whatever driver the program picks for it: the
// offscreen one where EGL is there, a hidden window of the default driver
// where it is not (Windows).
#include <gtest/gtest.h>

#include "app/MS_OffscreenGL.h"
#include "core/OS_Process.h"
#include "render/GLLoader.h"

namespace {

TEST(OffscreenGL, MakesACurrentContextWithTheDriverItPicks) {
    OS_SetEnvironment("SDL_VIDEODRIVER", nullptr);
    const std::unique_ptr<TK_GLContext> gl = MS_OffscreenGL::Create();
    ASSERT_TRUE(gl);
    ASSERT_TRUE(gl->MakeCurrent());
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
}

}  // namespace
