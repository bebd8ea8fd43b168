// TK_SceneRenderer's drawing passes for one frame (background,
// faces in their three styles, face outlines, edges, frame). Every pass
// leaves the fixed-function state as it found it: arrays disabled, textures
// unbound, no program.
#include <algorithm>

#include "model/TK_EditorEnv.h"
#include "render/TK_SceneRenderer.h"

namespace {

// Outlines are drawn in chunks so that their line array stays small.
constexpr size_t kOutlineChunkQuads = 1 << 16;

}  // namespace

void TK_SceneRenderer::DrawBackground() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    m_batch.Begin(GL_QUADS);
    m_batch.SetColorF(m_bgBottom[0], m_bgBottom[1], m_bgBottom[2], 1.0f);
    m_batch.AddVertex(-1, -1, 0);
    m_batch.AddVertex(1, -1, 0);
    m_batch.SetColorF(m_bgTop[0], m_bgTop[1], m_bgTop[2], 1.0f);
    m_batch.AddVertex(1, 1, 0);
    m_batch.AddVertex(-1, 1, 0);
    m_batch.End();
    m_batch.Draw();
}

void TK_SceneRenderer::LoadCameraMatrices(const Camera& camera, int width, int height) {
    float m[16];
    camera.ProjectionMatrix(width, height, m);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m);
    camera.ViewMatrix(m);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(m);
    glMultMatrixf(kModelToWorldMatrix);
}

// Builds the visible quads of one direction (with the ground plane for +Z
// when "ground" is on) into the reused array; returns the quad count.
size_t TK_SceneRenderer::BuildDirection(int dir) {
    const int* size = m_surface.Size();
    const bool ground = dir == 6 && (m_flags & TK_SHOW_GROUND) && TK_GroundVisible(m_view);
    const size_t groundQuads = size_t(size[0]) * size_t(size[1]);
    m_quads.Reserve(4 * (size_t(m_surface.VoxelCount()) + groundQuads) + 4);
    m_quads.Clear();
    size_t quads = TK_AppendFaceQuads(m_surface, dir, m_view, m_quads);
    if (ground) quads += TK_AppendGroundQuads(size[0], size[1], m_quads);
    return quads;
}

void TK_SceneRenderer::SetFlatTextureMatrix() {
    // Palette index to the centre of its texel.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.5f / 256.0f, 0, 0);
    glScalef(1.0f / 256.0f, 1, 1);
    glMatrixMode(GL_MODELVIEW);
}

// The light factor (scaled by `shade`) and the half-voxel step along the
// normal at which the occlusion volume is read.
void TK_SceneRenderer::SetDirectionUniforms(int dir, float shade) {
    const int* size = m_surface.Size();
    float factor[2];
    DirectionFactor(dir, factor);
    const int axis = (dir - 1) / 2;
    float offset[3] = {0, 0, 0};
    offset[axis] = (dir & 1 ? -0.5f : 0.5f) / float(std::max(size[axis], 1));
    gl::Uniform2f(m_uniformFactor, shade * factor[0], factor[1]);
    gl::Uniform3f(m_uniformOffset, offset[0], offset[1], offset[2]);
}

void TK_SceneRenderer::DrawFaces(bool shaded) {
    if (shaded)
        DrawShadedFaces();
    else
        DrawFlatFaces();
}

// The voxel program with the uniforms every direction shares and both
// textures bound; EndShaded undoes it.
void TK_SceneRenderer::BeginShaded() {
    Update(&m_nodes->volume);
    const int* size = m_surface.Size();
    m_program.Use();
    gl::Uniform1i(m_uniformPalette, 0);
    gl::Uniform1i(m_uniformAo, 1);
    gl::Uniform1i(m_uniformLook, 2);
    gl::Uniform4f(m_uniformScale, 1.0f / float(std::max(size[0], 1)), 1.0f / float(std::max(size[1], 1)),
                  1.0f / float(std::max(size[2], 1)), 1.0f / 256.0f);
    gl::Uniform3f(m_uniformAmbient, m_ambient[0] + 0.24f, m_ambient[1] + 0.24f, m_ambient[2] + 0.24f);
    m_paletteTexture.Bind(0);
    m_volumeTexture.Bind(1);
    m_lookTexture.Bind(2);
}

void TK_SceneRenderer::EndShaded() {
    m_lookTexture.Unbind(2);
    m_volumeTexture.Unbind(1);
    m_paletteTexture.Unbind(0);
    GLProgram::UseNone();
}

void TK_SceneRenderer::DrawShadedFaces() {
    BeginShaded();
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int dir = 1; dir <= 6; ++dir) {
        const size_t quads = BuildDirection(dir);
        if (quads == 0) continue;
        SetDirectionUniforms(dir, 1.0f);
        glVertexPointer(4, GL_SHORT, sizeof(TK_QuadVertex), m_quads.Data());
        glDrawArrays(GL_QUADS, 0, GLsizei(quads * 4));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    EndShaded();
}

// The ray caster in place of the faces: the same colours, and the depth the
// faces would have written (stepped back as the polygon offset steps them
// when lines follow).
void TK_SceneRenderer::CastFaces(const OMB_Rect& rect, const Camera& camera, bool shaded, bool lines) {
    TK_VoxelRayCaster::Frame frame;
    frame.camera = &camera;
    frame.x0 = rect.x0, frame.y0 = rect.y0, frame.width = rect.Width(), frame.height = rect.Height();
    frame.shaded = shaded;
    frame.ground = (m_flags & TK_SHOW_GROUND) != 0;
    frame.colour = (m_flags & TK_SHOW_FACE) != 0;
    frame.lineOffset = lines;
    frame.grid = (m_flags & TK_SHOW_GRID) != 0;
    frame.edges = (m_flags & TK_SHOW_EDGE) != 0;
    std::copy(m_edgeColor, m_edgeColor + 4, frame.edgeColor);
    std::copy(m_ambient, m_ambient + 3, frame.ambient);
    m_caster.Draw(frame, m_volume, m_paletteTexture, m_lookTexture);
}

void TK_SceneRenderer::DrawFlatFaces() {
    m_paletteTexture.Bind(0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    SetFlatTextureMatrix();
    if (gl::ClientActiveTexture) gl::ClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (int dir = 1; dir <= 6; ++dir) {
        const size_t quads = BuildDirection(dir);
        if (quads == 0) continue;
        const float grey = TK_SceneRenderer::FlatGrey(dir);
        glColor4f(grey, grey, grey, 1.0f);
        glVertexPointer(3, GL_SHORT, sizeof(TK_QuadVertex), m_quads.Data());
        glTexCoordPointer(1, GL_SHORT, sizeof(TK_QuadVertex), &m_quads.Data()->index);
        glDrawArrays(GL_QUADS, 0, GLsizei(quads * 4));
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    m_paletteTexture.Unbind(0);
}

void TK_SceneRenderer::DrawDepthOnlyFaces() {
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int dir = 1; dir <= 6; ++dir) {
        const size_t quads = BuildDirection(dir);
        if (quads == 0) continue;
        glVertexPointer(3, GL_SHORT, sizeof(TK_QuadVertex), m_quads.Data());
        glDrawArrays(GL_QUADS, 0, GLsizei(quads * 4));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}

// The four sides of every visible face, in a darker shade of its colour.
void TK_SceneRenderer::DrawFaceOutlines(bool shaded) {
    if (shaded) {
        BeginShaded();
    } else {
        m_paletteTexture.Bind(0);
        SetFlatTextureMatrix();
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int dir = 1; dir <= 6; ++dir) {
        const size_t quads = BuildDirection(dir);
        const float grey = 0.9f * TK_SceneRenderer::FlatGrey(dir);
        if (shaded)
            SetDirectionUniforms(dir, 0.9f);
        else
            glColor4f(grey, grey, grey, 1.0f);
        for (size_t first = 0; first < quads; first += kOutlineChunkQuads) {
            const size_t count = std::min(kOutlineChunkQuads, quads - first);
            m_lines.resize(count * 8);
            const TK_QuadVertex* q = m_quads.Data() + first * 4;
            for (size_t i = 0; i < count; ++i, q += 4)
                for (int k = 0; k < 4; ++k) {
                    m_lines[i * 8 + size_t(k) * 2] = q[k];
                    m_lines[i * 8 + size_t(k) * 2 + 1] = q[(k + 1) & 3];
                }
            glVertexPointer(shaded ? 4 : 3, GL_SHORT, sizeof(TK_QuadVertex), m_lines.data());
            if (!shaded) glTexCoordPointer(1, GL_SHORT, sizeof(TK_QuadVertex), &m_lines.data()->index);
            glDrawArrays(GL_LINES, 0, GLsizei(count * 8));
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (shaded)
        EndShaded();
    else
        m_paletteTexture.Unbind(0);
}

void TK_SceneRenderer::DrawEdges() {
    Update(&m_nodes->edges);
    glColor4ub(m_edgeColor[0], m_edgeColor[1], m_edgeColor[2], m_edgeColor[3]);
    glLineWidth(1.8f);
    glBegin(GL_LINES);
    for (const TK_EdgePoint& p : m_edges) glVertex3s(p.x, p.y, p.z);
    glEnd();
}

void TK_SceneRenderer::DrawFrame() {
    const int* size = m_env->model.size;
    const float s[3] = {float(size[0]), float(size[1]), float(size[2])};
    m_batch.Begin(GL_LINES);
    m_batch.SetColorF(0.85f, 0.85f, 0.85f, 0.6f);
    // Four edges along each axis: the other two coordinates at 0 or size.
    for (int axis = 0; axis < 3; ++axis)
        for (int corner = 0; corner < 4; ++corner) {
            float p[3];
            p[(axis + 1) % 3] = (corner & 1) ? s[(axis + 1) % 3] : 0;
            p[(axis + 2) % 3] = (corner & 2) ? s[(axis + 2) % 3] : 0;
            p[axis] = 0;
            m_batch.AddVertex(p[0], p[1], p[2]);
            p[axis] = s[axis];
            m_batch.AddVertex(p[0], p[1], p[2]);
        }
    m_batch.End();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.0f);
    m_batch.Draw();
    glDisable(GL_BLEND);
}
