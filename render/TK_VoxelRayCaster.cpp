// The ray-cast voxels: textures patched in place, uniforms and one
// full-viewport quad per frame (see TK_VoxelRayCaster.h).
#include "render/TK_VoxelRayCaster.h"

#include <cstdio>
#include <cstring>

#include "render/Camera.h"
#include "render/TK_SceneRenderer.h"

extern const char kShader_rc_cast[];

namespace {

// rc_cast.glsl divides by its brick size as a constant.
static_assert(TK_VoxelVolume::kBrickCells == 4, "kBrick in rc_cast.glsl");

// Either the window's corners (proxy off) or the model box's faces.
const char kVertexSource[] =
    "#version 130\n"
    "uniform mat4 mvp;\n"
    "uniform bool proxy;\n"
    "void main() { gl_Position = proxy ? mvp * gl_Vertex : gl_Vertex; }\n";

enum Unit { kPaletteUnit, kOcclusionUnit, kCellsUnit, kBricksUnit, kLookUnit };

// Column-major 4 x 4 product a * b.
void Multiply(const float a[16], const float b[16], float out[16]) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}

void ModelVector(const float world[3], float out[3]) { TK_WorldToModel(world, out); }

// Only the pixels the model box covers cast rays: its faces that look
// towards the eye, which cover it exactly once. From inside the box (or
// within two cells of it, where the near plane may cut its faces) the
// whole viewport does. False when the box's faces were not drawn.
bool DrawBoxFaces(const Camera& camera, const int size[3]) {
    float eye[3], back[3];
    TK_WorldToModel(camera.eye, eye);
    TK_WorldToModel(camera.Back(), back);
    bool inside = !camera.ortho;
    for (int a = 0; a < 3 && inside; ++a) inside = eye[a] > -2.0f && eye[a] < float(size[a]) + 2.0f;
    if (inside) return false;
    glBegin(GL_QUADS);
    for (int a = 0; a < 3; ++a)
        for (int side = 0; side < 2; ++side) {
            const float plane = side ? float(size[a]) : 0.0f;
            // Towards the eye: the eye beyond the plane, or the view looking
            // against the face's normal.
            const float toward = camera.ortho ? back[a] : eye[a] - plane;
            if (side ? toward <= 0 : toward >= 0) continue;
            const int u = (a + 1) % 3, v = (a + 2) % 3;
            const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& c : corners) {
                float p[3];
                p[a] = plane, p[u] = c[0] * float(size[u]), p[v] = c[1] * float(size[v]);
                glVertex3f(p[0], p[1], p[2]);
            }
        }
    glEnd();
    return true;
}

}  // namespace

bool TK_VoxelRayCaster::Supported() {
    if (!glHasGLSL || !glHasTexture3D || !gl::TexImage3D || !gl::TexSubImage3D) return false;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    return major > 1 || (major == 1 && minor >= 30);
}

bool TK_VoxelRayCaster::Init() {
    Release();
    if (!Supported()) return false;
    return m_program.Build(kVertexSource, kShader_rc_cast);
}

void TK_VoxelRayCaster::Release() {
    m_program.Release();
    m_cells.Release();
    m_occlusion.Release();
    m_bricks.Release();
    m_uploaded = false;
}

void TK_VoxelRayCaster::Upload(const TK_VoxelVolume& volume, const TK_CellBox& changed) {
    const int* size = volume.Size();
    if (size[0] < 1 || size[1] < 1 || size[2] < 1) return;
    const int* bricks = volume.Bricks();
    GLSampler nearest;
    if (!m_uploaded || volume.Resized()) {
        GLSampler linear;
        // Outside the model is empty: the border (0, 0, 0, 0) stands for it.
        linear.wrapS = linear.wrapT = linear.wrapR = GL_CLAMP_TO_BORDER;
        linear.magFilter = linear.minFilter = GL_LINEAR;
        m_uploaded = m_cells.Create(GL_TEXTURE_3D, GL_R8, size[0], size[1], size[2], GL_RED, GL_UNSIGNED_BYTE,
                                    volume.Indices(), nearest) &&
                     m_occlusion.Create(GL_TEXTURE_3D, GL_LUMINANCE8_ALPHA8, size[0], size[1], size[2],
                                        GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, volume.Occlusion(), linear) &&
                     m_bricks.Create(GL_TEXTURE_3D, GL_R8, bricks[0], bricks[1], bricks[2], GL_RED,
                                     GL_UNSIGNED_BYTE, volume.BrickBytes(), nearest);
        return;
    }
    if (changed.Empty()) return;
    int extent[3];
    for (int a = 0; a < 3; ++a) extent[a] = changed.hi[a] - changed.lo[a] + 1;
    // The box packed tightly, one texture at a time.
    for (int bytes = 1; bytes <= 2; ++bytes) {
        m_patch.resize(size_t(extent[0]) * size_t(extent[1]) * size_t(extent[2]) * size_t(bytes));
        const uint8_t* source = bytes == 1 ? volume.Indices() : volume.Occlusion();
        uint8_t* out = m_patch.data();
        const size_t row = size_t(extent[0]) * size_t(bytes);
        for (int z = changed.lo[2]; z <= changed.hi[2]; ++z)
            for (int y = changed.lo[1]; y <= changed.hi[1]; ++y, out += row) {
                const size_t at = size_t(changed.lo[0]) + size_t(size[0]) * (size_t(y) + size_t(size[1]) * size_t(z));
                std::memcpy(out, source + at * size_t(bytes), row);
            }
        GLTexture& texture = bytes == 1 ? m_cells : m_occlusion;
        texture.Update(changed.lo[0], changed.lo[1], changed.lo[2], extent[0], extent[1], extent[2],
                       bytes == 1 ? GL_RED : GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, m_patch.data());
    }
    m_bricks.Update(0, 0, 0, bricks[0], bricks[1], bricks[2], GL_RED, GL_UNSIGNED_BYTE, volume.BrickBytes());
}

void TK_VoxelRayCaster::SetUniforms(const Frame& frame, const int size[3]) {
    const Camera& camera = *frame.camera;
    const GLProgram& p = m_program;
    float eye[3], right[3], up[3], back[3];
    ModelVector(camera.eye, eye);
    ModelVector(camera.Right(), right);
    ModelVector(camera.Up(), up);
    ModelVector(camera.Back(), back);
    const float aspect = float(frame.width) / float(frame.height);
    gl::Uniform3f(p.Uniform("size"), float(size[0]), float(size[1]), float(size[2]));
    gl::Uniform4f(p.Uniform("viewport"), float(frame.x0), float(frame.y0), float(frame.width), float(frame.height));
    gl::Uniform3fv(p.Uniform("eye"), 1, eye);
    gl::Uniform3fv(p.Uniform("right"), 1, right);
    gl::Uniform3fv(p.Uniform("up"), 1, up);
    gl::Uniform3fv(p.Uniform("back"), 1, back);
    gl::Uniform2f(p.Uniform("extent"), camera.frustumY * (aspect > 0.001f ? aspect : 0.001f), camera.frustumY);
    gl::Uniform1i(p.Uniform("ortho"), camera.ortho ? 1 : 0);
    float projection[16], view[16], viewProjection[16], mvp[16];
    camera.ProjectionMatrix(frame.width, frame.height, projection);
    camera.ViewMatrix(view);
    Multiply(projection, view, viewProjection);
    Multiply(viewProjection, kModelToWorldMatrix, mvp);
    gl::UniformMatrix4fv(p.Uniform("mvp"), 1, GL_FALSE, mvp);
    gl::Uniform1i(p.Uniform("proxy"), 1);
    gl::Uniform1i(p.Uniform("shaded"), frame.shaded ? 1 : 0);
    gl::Uniform1i(p.Uniform("ground"), frame.ground ? 1 : 0);
    gl::Uniform1i(p.Uniform("idMode"), frame.ids ? 1 : 0);
    gl::Uniform3f(p.Uniform("ambient_color"), frame.ambient[0] + 0.24f, frame.ambient[1] + 0.24f,
                  frame.ambient[2] + 0.24f);
    float shade[7] = {0, 0, 0, 0, 0, 0, 0};
    for (int dir = 1; dir <= 6; ++dir) {
        float factor[2];
        TK_SceneRenderer::DirectionFactor(dir, factor);
        shade[dir] = frame.shaded ? factor[0] : TK_SceneRenderer::FlatGrey(dir);
    }
    gl::Uniform1fv(p.Uniform("shade"), 7, shade);
    GLint depthBits = 16;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    const float unit = 1.0f / float(1u << (depthBits > 0 && depthBits < 32 ? depthBits : 16));
    // As the face renderer's polygon offset: factor 1, units 25.
    gl::Uniform1f(p.Uniform("depthBias"), frame.lineOffset ? 25.0f * unit : 0.0f);
    gl::Uniform1f(p.Uniform("slopeBias"), frame.lineOffset ? 1.0f : 0.0f);
    gl::Uniform1i(p.Uniform("grid"), frame.grid ? 1 : 0);
    gl::Uniform1i(p.Uniform("edges"), frame.edges ? 1 : 0);
    gl::Uniform1f(p.Uniform("gridWidth"), 1.0f);
    const uint8_t* e = frame.edgeColor;
    gl::Uniform4f(p.Uniform("edgeColor"), e[0] / 255.0f, e[1] / 255.0f, e[2] / 255.0f, e[3] / 255.0f);
    gl::Uniform1i(p.Uniform("palette"), kPaletteUnit);
    gl::Uniform1i(p.Uniform("ao"), kOcclusionUnit);
    gl::Uniform1i(p.Uniform("cells"), kCellsUnit);
    gl::Uniform1i(p.Uniform("bricks"), kBricksUnit);
    gl::Uniform1i(p.Uniform("look"), kLookUnit);
}

void TK_VoxelRayCaster::Draw(const Frame& frame, const TK_VoxelVolume& volume, const GLTexture& palette,
                             const GLTexture& look) {
    const int* size = volume.Size();
    if (!IsReady() || !m_uploaded || !frame.camera || frame.width < 1 || frame.height < 1 || size[0] < 1 ||
        size[1] < 1 || size[2] < 1)
        return;
    m_program.Use();
    SetUniforms(frame, size);
    palette.Bind(kPaletteUnit);
    m_occlusion.Bind(kOcclusionUnit);
    m_cells.Bind(kCellsUnit);
    m_bricks.Bind(kBricksUnit);
    look.Bind(kLookUnit);
    if (!frame.colour) glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    if (!DrawBoxFaces(*frame.camera, size)) {
        gl::Uniform1i(m_program.Uniform("proxy"), 0);
        glRecti(-1, -1, 1, 1);
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    look.Unbind(kLookUnit);
    m_bricks.Unbind(kBricksUnit);
    m_cells.Unbind(kCellsUnit);
    m_occlusion.Unbind(kOcclusionUnit);
    palette.Unbind(kPaletteUnit);
    GLProgram::UseNone();
}
