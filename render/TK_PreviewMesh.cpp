// The stroke preview's geometry (see TK_PreviewMesh.h).
#include "render/TK_PreviewMesh.h"

#include "render/GLLoader.h"

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
// Preview faces sit this far outside their cells, so they win against the
// model's own faces where they coincide.
constexpr float kLift = 0.02f;
}  // namespace

TK_PreviewMesh::Row TK_PreviewMesh::RowAt(int y, int z) const {
    if (unsigned(y) >= unsigned(kWorld) || unsigned(z) >= unsigned(kWorld)) return 0;
    const size_t w = size_t(BitIndex(0, y, z) >> 6);
    return Row(m_member[w + 1]) << 64 | Row(m_member[w]);
}

void TK_PreviewMesh::AddFace(int x, int y, int z, int face) {
    const int at[3] = {x, y, z};
    float p[4][3];
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a)
            p[k][a] = float(at[a] + kCorners[face][k][a]) + (kCorners[face][k][a] ? kLift : -kLift);
    if (m_kind == 2) {
        for (int k = 0; k < 4; ++k) {
            m_batch.AddVertex(p[k][0], p[k][1], p[k][2]);
            m_batch.AddVertex(p[(k + 1) & 3][0], p[(k + 1) & 3][1], p[(k + 1) & 3][2]);
        }
    } else {
        for (int k = 0; k < 4; ++k) m_batch.AddVertex(p[k][0], p[k][1], p[k][2]);
    }
    ++m_faces;
}

void TK_PreviewMesh::Build(const VoxelList* voxels, int kind, const Palette& palette) {
    m_kind = kind;
    m_faces = 0;
    m_batch.Begin(kind == 2 ? GL_LINES : GL_QUADS);
    if (!voxels || voxels->Empty()) {
        m_batch.End();
        return;
    }
    m_member.assign(size_t(kWorld) * kWorld * kWorld / 64, 0);
    m_colors.resize(size_t(kWorld) * kWorld * kWorld);
    // Only the cells whose bit is set are read back, so the colour grid
    // needs no clearing.
    for (const Voxel& v : *voxels) {
        const int i = BitIndex(v.x & (kWorld - 1), v.y & (kWorld - 1), v.z & (kWorld - 1));
        m_member[size_t(i >> 6)] |= uint64_t(1) << (i & 63);
        m_colors[size_t(i)] = v.colorIndex;
    }
    // Whole rows along x at a time: a face is exposed where the cell's bit
    // is set and its neighbour's is not.
    const uint8_t alpha = kind == 1 ? 110 : 170;
    int lastColor = -1;
    for (int z = 0; z < kWorld; ++z)
        for (int y = 0; y < kWorld; ++y) {
            const Row row = RowAt(y, z);
            if (!row) continue;
            const Row open[6] = {row & ~(row << 1),         row & ~(row >> 1),         row & ~RowAt(y - 1, z),
                                 row & ~RowAt(y + 1, z), row & ~RowAt(y, z - 1), row & ~RowAt(y, z + 1)};
            for (int f = 0; f < 6; ++f)
                for (Row bits = open[f]; bits; bits &= bits - 1) {
                    const uint64_t lo = uint64_t(bits);
                    const int x = lo ? __builtin_ctzll(lo) : 64 + __builtin_ctzll(uint64_t(bits >> 64));
                    const int color = kind == 2 ? 0 : m_colors[size_t(BitIndex(x, y, z))];
                    if (color != lastColor) {
                        lastColor = color;
                        if (kind == 2) {
                            m_batch.SetColor(255, 40, 40, 255);
                        } else {
                            const uint32_t c = palette[color];
                            m_batch.SetColor(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), alpha);
                        }
                    }
                    AddFace(x, y, z, f);
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
