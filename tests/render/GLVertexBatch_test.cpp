// The vertex batch trims to whole primitives. What it draws (glyphs upright
// and whole, filled quads in their colours) the UI drawing tests check on
// the pixels.
#include <gtest/gtest.h>

#include "render/GLVertexBatch.h"

namespace {

TEST(GLVertexBatch, EndTrimsToWholePrimitives) {
    const struct {
        GLenum mode;
        int added;
        int kept;
    } cases[] = {{GL_TRIANGLES, 5, 3}, {GL_TRIANGLES, 6, 6}, {GL_LINES, 3, 2},
                 {GL_LINES, 1, 0},     {GL_QUADS, 5, 5},     {GL_TRIANGLES, 0, 0}};
    for (const auto& c : cases) {
        GLVertexBatch batch;
        batch.Begin(c.mode);
        for (int i = 0; i < c.added; ++i) batch.AddVertex(float(i), 0, 0);
        batch.End();
        EXPECT_EQ(batch.Count(), c.kept) << c.mode << " " << c.added;
    }
}

}  // namespace
