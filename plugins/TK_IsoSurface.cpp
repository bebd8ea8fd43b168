// Surface extraction and smoothing of the marching-cube export (see
// TK_IsoSurface.h).
//
// Every edge of the tetrahedra joins a grid point p to p + e, where e is one
// of the seven non-zero 0/1 offsets (three axes, three face diagonals, the
// main diagonal); that pair names the edge and so its one shared vertex.
#include "plugins/TK_IsoSurface.h"

#include <algorithm>
#include <array>

#include "plugins/TK_Plugin_Mesh.h"

namespace {

// Share of the way to its neighbours' average that a vertex moves per pass.
constexpr float kSmoothStep = 0.5f;
// How far along its edge a vertex may move from the midpoint, as a share
// of the edge.
constexpr float kEdgeSlack = 0.3f;

// A vertex of a triangle, by its tetrahedron edge: the cube corner it
// starts from and the offset to its other end, both as bit masks
// (bit 0 x, bit 1 y, bit 2 z).
struct EdgeRef {
    uint8_t corner;
    uint8_t offset;
};

struct TetCase {
    int count = 0;
    EdgeRef triangles[2][3];
};

struct Tables {
    uint8_t corners[6][4];  // tetrahedron corners, each a subset of the next
    TetCase cases[6][16];   // by the inside mask of the four corners
};

std::array<int, 3> Doubled(int cornerA, int cornerB) {
    return {(cornerA & 1) + (cornerB & 1), (cornerA >> 1 & 1) + (cornerB >> 1 & 1),
            (cornerA >> 2 & 1) + (cornerB >> 2 & 1)};
}

// Turns the triangle so that its normal points away from `inside`, a corner
// of the tetrahedron inside the surface. Exact in doubled coordinates; the
// plane of the edge midpoints never holds a corner.
void Orient(const uint8_t corners[4], int inside, int edges[3][2]) {
    std::array<int, 3> p[3];
    for (int k = 0; k < 3; ++k) p[k] = Doubled(corners[edges[k][0]], corners[edges[k][1]]);
    const int u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const int v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    const int n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const std::array<int, 3> c = Doubled(corners[inside], corners[inside]);
    const int dot = n[0] * (c[0] - p[0][0]) + n[1] * (c[1] - p[0][1]) + n[2] * (c[2] - p[0][2]);
    if (dot > 0) std::swap(edges[1], edges[2]);
}

void AddTriangle(const uint8_t corners[4], int inside, int edges[3][2], TetCase& out) {
    Orient(corners, inside, edges);
    for (int k = 0; k < 3; ++k) {
        // Tetrahedron corners grow along the diagonal, so the lower-numbered
        // end is the edge's start and the difference its offset.
        const int a = corners[std::min(edges[k][0], edges[k][1])];
        const int b = corners[std::max(edges[k][0], edges[k][1])];
        out.triangles[out.count][k] = EdgeRef{uint8_t(a), uint8_t(a ^ b)};
    }
    ++out.count;
}

TetCase MakeCase(const uint8_t corners[4], int mask) {
    TetCase out;
    int in[4], nIn = 0, outside[4], nOut = 0;
    for (int i = 0; i < 4; ++i) (mask >> i & 1 ? in[nIn++] : outside[nOut++]) = i;
    if (nIn == 1 || nIn == 3) {
        // One corner alone on its side: a triangle around it.
        const int lone = nIn == 1 ? in[0] : outside[0];
        int edges[3][2], k = 0;
        for (int j = 0; j < 4; ++j)
            if (j != lone) edges[k][0] = lone, edges[k++][1] = j;
        AddTriangle(corners, in[0], edges, out);
    } else if (nIn == 2) {
        // The quad i-k, i-l, j-l, j-k, cut along i-k / j-l.
        const int i = in[0], j = in[1], k = outside[0], l = outside[1];
        int first[3][2] = {{i, k}, {i, l}, {j, l}};
        int second[3][2] = {{i, k}, {j, l}, {j, k}};
        AddTriangle(corners, i, first, out);
        AddTriangle(corners, i, second, out);
    }
    return out;
}

Tables BuildTables() {
    Tables t{};
    static const int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (int tet = 0; tet < 6; ++tet) {
        uint8_t* c = t.corners[tet];
        c[0] = 0;
        c[1] = uint8_t(1 << kOrders[tet][0]);
        c[2] = uint8_t(c[1] | 1 << kOrders[tet][1]);
        c[3] = 7;
        for (int mask = 0; mask < 16; ++mask) t.cases[tet][mask] = MakeCase(c, mask);
    }
    return t;
}

const Tables& GetTables() {
    static const Tables tables = BuildTables();
    return tables;
}

// The model on the mesh writers' padded grid, addressed here in padded
// coordinates (the model's cell c lies at c + 1).
struct Field {
    TK_MeshGrid grid;
    int n[3];
    size_t plane;

    explicit Field(const TK_Model& model)
        : grid(model), n{model.size[0] + 2, model.size[1] + 2, model.size[2] + 2}, plane(grid.stride[2]) {}
    size_t Index(int x, int y, int z) const { return size_t(x) + size_t(n[0]) * size_t(y) + plane * size_t(z); }
    size_t Offset(int bits) const { return Index(bits & 1, bits >> 1 & 1, bits >> 2 & 1); }
};

// Walks the cubes one z layer at a time. Vertex numbers of the edges that
// start in the cube layer's lower and upper planes are kept in two plane
// arrays, so the lookup costs two planes of memory, not the whole grid.
class Extractor {
public:
    Extractor(const Field& field, TK_IsoMesh& mesh)
        : m_field(field), m_mesh(mesh), m_lower(field.plane * 7, -1), m_upper(field.plane * 7, -1) {
        for (int k = 0; k < 8; ++k) m_offset[k] = field.Offset(k);
    }

    void Run() {
        const Tables& t = GetTables();
        const int* n = m_field.n;
        const uint8_t* cells = m_field.grid.cells.data();
        for (int z = 0; z + 1 < n[2]; ++z) {
            for (int y = 0; y + 1 < n[1]; ++y)
                for (int x = 0; x + 1 < n[0]; ++x) {
                    const size_t base = m_field.Index(x, y, z);
                    int bits = 0;
                    for (int k = 0; k < 8; ++k) bits |= (cells[base + m_offset[k]] != 0) << k;
                    if (bits == 0 || bits == 255) continue;
                    for (int tet = 0; tet < 6; ++tet) {
                        const uint8_t* c = t.corners[tet];
                        const int mask = (bits >> c[0] & 1) | (bits >> c[1] & 1) << 1 | (bits >> c[2] & 1) << 2 |
                                         (bits >> c[3] & 1) << 3;
                        const TetCase& tc = t.cases[tet][mask];
                        for (int i = 0; i < tc.count; ++i)
                            for (const EdgeRef& e : tc.triangles[i]) m_mesh.triangles.push_back(Vertex(x, y, z, e));
                    }
                }
            std::swap(m_lower, m_upper);
            std::fill(m_upper.begin(), m_upper.end(), -1);
        }
    }

private:
    int32_t Vertex(int x, int y, int z, EdgeRef e) {
        const int sx = x + (e.corner & 1), sy = y + (e.corner >> 1 & 1);
        std::vector<int32_t>& plane = e.corner & 4 ? m_upper : m_lower;
        int32_t& slot = plane[(size_t(sx) + size_t(m_field.n[0]) * size_t(sy)) * 7 + (e.offset - 1)];
        if (slot >= 0) return slot;
        slot = int32_t(m_mesh.colours.size());
        const int sz = z + (e.corner >> 2 & 1);
        const size_t start = m_field.Index(sx, sy, sz);
        const uint8_t a = m_field.grid.cells[start], b = m_field.grid.cells[start + m_field.Offset(e.offset)];
        m_mesh.colours.push_back(a ? a : b);
        m_mesh.edges.push_back(e.offset);
        // Grid point i is the centre of cell i - 1, at i - 0.5 in the box.
        m_mesh.positions.push_back(float(sx + 0.5 * (e.offset & 1) - 0.5));
        m_mesh.positions.push_back(float(sy + 0.5 * (e.offset >> 1 & 1) - 0.5));
        m_mesh.positions.push_back(float(sz + 0.5 * (e.offset >> 2 & 1) - 0.5));
        return slot;
    }

    const Field& m_field;
    TK_IsoMesh& m_mesh;
    size_t m_offset[8];
    std::vector<int32_t> m_lower, m_upper;
};

}  // namespace

void TK_ExtractIsoSurface(const TK_Model& model, TK_IsoMesh& mesh) {
    mesh = TK_IsoMesh();
    if (model.voxels.Empty()) return;
    const Field field(model);
    Extractor(field, mesh).Run();
}

void TK_SmoothIsoSurface(TK_IsoMesh& mesh, int passes) {
    const size_t count = mesh.VertexCount();
    if (count == 0 || passes <= 0) return;
    std::vector<float>& p = mesh.positions;
    const std::vector<float> origin = p;
    float lo[3], hi[3];
    for (int k = 0; k < 3; ++k) lo[k] = hi[k] = p[size_t(k)];
    for (size_t i = 0; i < p.size(); ++i) lo[i % 3] = std::min(lo[i % 3], p[i]), hi[i % 3] = std::max(hi[i % 3], p[i]);
    const std::vector<int32_t>& tri = mesh.triangles;
    // In a closed, consistently wound mesh each neighbour b of a follows a
    // in exactly one triangle (a -> b), so walking the triangles' directed
    // edges visits every ring once: no adjacency lists are needed.
    std::vector<float> weight(count, 0.0f);
    for (int32_t v : tri) weight[size_t(v)] += 1.0f;
    for (float& w : weight) w = 1.0f / w;
    std::vector<float> sum(p.size());
    for (int pass = 0; pass < passes; ++pass) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t t = 0; t < tri.size(); t += 3)
            for (int k = 0; k < 3; ++k) {
                const size_t a = size_t(tri[t + k]) * 3, b = size_t(tri[t + (k + 1) % 3]) * 3;
                sum[a] += p[b], sum[a + 1] += p[b + 1], sum[a + 2] += p[b + 2];
            }
        for (size_t v = 0; v < count; ++v) {
            float* q = &p[3 * v];
            const float* o = &origin[3 * v];
            float d[3], along = 0, length = 0;
            for (int k = 0; k < 3; ++k) {
                const float moved = q[k] + kSmoothStep * (sum[3 * v + k] * weight[v] - q[k]);
                q[k] = std::clamp(moved, o[k] - 0.5f, o[k] + 0.5f);
                d[k] = float(mesh.edges[v] >> k & 1);
                along += (q[k] - o[k]) * d[k], length += d[k];
            }
            // Along its own edge a vertex keeps clear of both samples, so
            // small features (a single voxel) shrink but never collapse.
            const float t = along / length, kept = std::clamp(t, -kEdgeSlack, kEdgeSlack);
            for (int k = 0; k < 3; ++k) q[k] = std::clamp(q[k] + (kept - t) * d[k], lo[k], hi[k]);
        }
    }
}
