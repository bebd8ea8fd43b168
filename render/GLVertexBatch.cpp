// Filling, trimming and drawing of vertex batches (see GLVertexBatch.h).
#include "render/GLVertexBatch.h"

#include <cstddef>

void GLVertexBatch::Begin(GLenum mode) {
    m_vertices.clear();
    m_mode = mode;
}

void GLVertexBatch::End() {
    size_t n = m_vertices.size();
    if (m_mode == GL_TRIANGLES)
        n -= n % 3;
    else if (m_mode == GL_LINES)
        n -= n % 2;
    m_vertices.resize(n);
}

void GLVertexBatch::Draw() const {
    if (m_vertices.empty()) return;
    const char* base = reinterpret_cast<const char*>(m_vertices.data());
    const GLsizei stride = sizeof(GLBatchVertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, base + offsetof(GLBatchVertex, position));
    glNormalPointer(GL_FLOAT, stride, base + offsetof(GLBatchVertex, normal));
    glColorPointer(4, GL_FLOAT, stride, base + offsetof(GLBatchVertex, color));
    glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(GLBatchVertex, texCoord));
    glDrawArrays(m_mode, 0, GLsizei(m_vertices.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void GLVertexBatch::SetColorF(float r, float g, float b, float a) {
    m_color[0] = r;
    m_color[1] = g;
    m_color[2] = b;
    m_color[3] = a;
}

void GLVertexBatch::SetTexCoord(float u, float v) {
    m_texCoord[0] = u;
    m_texCoord[1] = v;
}

void GLVertexBatch::AddVertex(float x, float y, float z) {
    GLBatchVertex v;
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    for (int i = 0; i < 3; ++i) v.normal[i] = m_normal[i];
    v.texCoord[0] = m_texCoord[0];
    v.texCoord[1] = m_texCoord[1];
    for (int i = 0; i < 4; ++i) v.color[i] = m_color[i];
    m_vertices.push_back(v);
}

void GLVertexBatch::AddFilledRect(float x0, float y0, float x1, float y1) {
    AddVertex(x0, y0, 0);
    AddVertex(x1, y0, 0);
    AddVertex(x1, y1, 0);
    AddVertex(x0, y1, 0);
}

void GLVertexBatch::AddQuad(const float corners[8]) {
    for (int i = 0; i < 4; ++i) AddVertex(corners[2 * i], corners[2 * i + 1], 0);
}

void GLVertexBatch::AddGlyph(int code, float x, float y, float width, float height) {
    // The font image has 16 columns and 8 rows (codes 0..127), stored top row
    // first, so a cell's top texel row has the smaller t: the quad's bottom
    // edge takes the larger t and the glyph stands upright. The whole cell is
    // used, so a glyph drawn at the cell's own size maps texel for pixel.
    const float cellS = 1.0f / 16.0f, cellT = 1.0f / 8.0f;
    const float s0 = float(code & 15) * cellS;
    const float tTop = float((code >> 4) & 7) * cellT;
    const float corners[4][4] = {{x, y, s0, tTop + cellT},
                                 {x + width, y, s0 + cellS, tTop + cellT},
                                 {x + width, y + height, s0 + cellS, tTop},
                                 {x, y + height, s0, tTop}};
    for (const auto& c : corners) {
        SetTexCoord(c[2], c[3]);
        AddVertex(c[0], c[1], 0);
    }
}
