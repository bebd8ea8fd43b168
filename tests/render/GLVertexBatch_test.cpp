// The vertex batch: trimming to whole primitives, the attribute copying of
// the shape operations, and a real draw.
#include <gtest/gtest.h>

#include "TK_GLTest.h"
#include "model/Palette.h"
#include "render/GLVertexBatch.h"

namespace {

TEST(GLVertexBatch, EndTrimsToWholePrimitives) {
    struct Case {
        GLenum mode;
        int added;
        int kept;
    };
    const Case cases[] = {{GL_TRIANGLES, 5, 3}, {GL_TRIANGLES, 6, 6}, {GL_LINES, 3, 2},
                          {GL_LINES, 1, 0},     {GL_QUADS, 5, 5},     {GL_TRIANGLES, 0, 0}};
    for (const Case& c : cases) {
        GLVertexBatch batch;
        batch.Begin(c.mode);
        for (int i = 0; i < c.added; ++i) batch.AddVertex(float(i), 0, 0);
        EXPECT_TRUE(batch.IsFilling());
        batch.End();
        EXPECT_FALSE(batch.IsFilling());
        EXPECT_EQ(batch.Count(), c.kept) << c.mode << " " << c.added;
    }
}

TEST(GLVertexBatch, ShapesCarryTheirAttributes) {
    GLVertexBatch batch;
    batch.Begin(GL_QUADS);
    batch.SetColor(255, 0, 51, 255);
    batch.AddTexturedRect(0, 0, 4, 2);
    batch.AddText("A!", 10, 20, 8, 16);
    batch.End();
    ASSERT_EQ(batch.Count(), 12);
    const GLBatchVertex* v = batch.Vertices();
    const float expected[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(v[i].texCoord[0] == expected[i][0] && v[i].texCoord[1] == expected[i][1]) << i;
    EXPECT_FLOAT_EQ(v[0].color[2], 0.2f);
    // 'A' is 65: column 1, row 4 of the 16 by 8 font image, upright (the
    // bottom edge takes the cell's bottom texel row); '!' starts 8 further.
    EXPECT_FLOAT_EQ(v[4].texCoord[0], 1.0f / 16);
    EXPECT_FLOAT_EQ(v[4].texCoord[1], 5.0f / 8);
    EXPECT_FLOAT_EQ(v[6].texCoord[1], 4.0f / 8);
    EXPECT_FLOAT_EQ(v[8].position[0], 18.0f);
    EXPECT_FLOAT_EQ(v[10].position[1], 36.0f);
}

using GLVertexBatchDraw = GLTest;

TEST_F(GLVertexBatchDraw, FillsWhatItDraws) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLVertexBatch batch;
    batch.Begin(GL_QUADS);
    batch.SetColorRGBA(PackRGBA(200, 100, 50));
    batch.AddFilledRect(-1, -1, 0, 1);  // the left half
    batch.End();
    batch.Draw();
    EXPECT_TRUE(NearRGB(Pixel(10, 32), 200, 100, 50, 1));
    EXPECT_TRUE(NearRGB(Pixel(50, 32), 0, 0, 0, 0));
}

}  // namespace
