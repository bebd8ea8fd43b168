// GLVertexBatch: fixed-function geometry gathered on the CPU and drawn with
// one glDrawArrays from client arrays. The user interface draws its rectangles
// and text through batches; the raster renderer draws its background quad and
// bounding frame with one. The arrays are kept between frames, so a batch
// that is cleared and refilled every frame allocates nothing once warm.
//
// A vertex is twelve floats (48 bytes, interleaved): position x y z, normal
// x y z (always 0 0 1), texture coordinate u v, colour r g b a. Each added
// vertex copies the current colour and texture coordinate.
#pragma once

#include <cstdint>
#include <vector>

#include "render/GLLoader.h"

struct GLBatchVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    float color[4];
};
static_assert(sizeof(GLBatchVertex) == 48, "vertices are 48 interleaved bytes");

class GLVertexBatch {
public:
    // Starts filling: forgets earlier vertices and keeps the current attributes.
    void Begin(GLenum mode);
    // Cuts the vertex count down to whole primitives (triangles: a multiple
    // of 3, lines: of 2; other modes unchanged) and stops filling.
    void End();
    // Draws every vertex with the batch's mode; an empty batch draws nothing.
    // Needs a current context.
    void Draw() const;
    void Clear() { m_vertices.clear(); }

    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        SetColorF(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
    }
    // Packed RGBA, red in the lowest byte.
    void SetColorRGBA(uint32_t rgba) {
        SetColor(uint8_t(rgba), uint8_t(rgba >> 8), uint8_t(rgba >> 16), uint8_t(rgba >> 24));
    }
    void SetColorF(float r, float g, float b, float a);
    void SetTexCoord(float u, float v);
    void AddVertex(float x, float y, float z);

    // ---- Shapes; each adds to the batch being filled, in its mode.
    // One quad, counter-clockwise from (x0, y0). Use with GL_QUADS.
    void AddFilledRect(float x0, float y0, float x1, float y1);
    // Four corners given as eight coordinates, in order (GL_QUADS).
    void AddQuad(const float corners[8]);
    // One glyph of the font image (16 columns by 8 rows of cells, codes 0 to
    // 127, top row first) as an upright textured quad (GL_QUADS).
    void AddGlyph(int code, float x, float y, float width, float height);

    int Count() const { return int(m_vertices.size()); }
    const GLBatchVertex* Vertices() const { return m_vertices.data(); }

private:
    std::vector<GLBatchVertex> m_vertices;
    GLenum m_mode = GL_TRIANGLES;
    float m_color[4] = {1, 1, 1, 1};
    float m_normal[3] = {0, 0, 1};  // every batch is flat, facing the viewer
    float m_texCoord[2] = {0, 0};
};
