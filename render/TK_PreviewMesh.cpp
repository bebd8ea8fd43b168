// The stroke preview's geometry (see TK_PreviewMesh.h).
#include "render/TK_PreviewMesh.h"

#include "render/OMB_OpenGL.h"

namespace {
constexpr int kShift = 7;  // world cells per axis = 1 << 7
constexpr int kWorld = 1 << kShift;

int BitIndex(int x, int y, int z) { return x | y << kShift | z << (2 * kShift); }

// The four corners of each face of the unit cube, counter-clockwise seen
// from outside; faces in the pick order -x, +x, -y, +y, -z, +z.
const int kCorners[6][4][3] = {
    {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},
    {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}},
    {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
};
const int kOffsets[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
// Preview faces sit this far outside their cells, so they win against the
// model's own faces where they coincide.
constexpr float kLift = 0.02f;
}  // namespace

bool TK_PreviewMesh::Member(int x, int y, int z) const {
    if (unsigned(x) >= unsigned(kWorld) || unsigned(y) >= unsigned(kWorld) || unsigned(z) >= unsigned(kWorld))
        return false;
    const int i = BitIndex(x, y, z);
    return (m_member[size_t(i >> 6)] >> (i & 63)) & 1;
}

void TK_PreviewMesh::Build(const VoxelList* voxels, int kind, const Palette& palette) {
    m_kind = kind;
    m_faces = 0;
    const bool outline = kind == 2;
    m_batch.Begin(outline ? GL_LINES : GL_QUADS);
    if (!voxels || voxels->Empty()) {
        m_batch.End();
        return;
    }
    m_member.assign(size_t(kWorld) * kWorld * kWorld / 64, 0);
    for (const Voxel& v : *voxels) {
        const int i = BitIndex(v.x, v.y, v.z);
        m_member[size_t(i >> 6)] |= uint64_t(1) << (i & 63);
    }
    const uint8_t alpha = kind == 1 ? 110 : 170;
    for (const Voxel& v : *voxels) {
        if (outline) m_batch.SetColor(255, 40, 40, 255);
        else {
            const uint32_t c = palette[v.colorIndex];
            m_batch.SetColor(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), alpha);
        }
        for (int f = 0; f < 6; ++f) {
            const int* o = kOffsets[f];
            if (Member(v.x + o[0], v.y + o[1], v.z + o[2])) continue;
            ++m_faces;
            float p[4][3];
            for (int k = 0; k < 4; ++k)
                for (int a = 0; a < 3; ++a) {
                    const int base = a == 0 ? v.x : a == 1 ? v.y : v.z;
                    p[k][a] = float(base + kCorners[f][k][a]) + (kCorners[f][k][a] ? kLift : -kLift);
                }
            if (outline) {
                for (int k = 0; k < 4; ++k) {
                    m_batch.AddVertex(p[k][0], p[k][1], p[k][2]);
                    m_batch.AddVertex(p[(k + 1) & 3][0], p[(k + 1) & 3][1], p[(k + 1) & 3][2]);
                }
            } else {
                for (int k = 0; k < 4; ++k) m_batch.AddVertex(p[k][0], p[k][1], p[k][2]);
            }
        }
    }
    m_batch.End();
}

void TK_PreviewMesh::Draw() const {
    if (!m_faces) return;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    // Translucent faces test against the model but leave the depth buffer
    // alone, so the overlapping preview faces behind them still show.
    glDepthMask(GL_FALSE);
    glLineWidth(2.0f);
    m_batch.Draw();
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}
