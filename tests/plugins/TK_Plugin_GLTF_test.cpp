// glTF binary export: the container checked byte by byte, and the written
// triangles read back into exactly the model's exposed voxel faces.
#include "plugins/TK_Plugin_GLTF.h"

#include <random>

#include "TK_GlbReader.h"
#include "TK_PluginTest.h"
#include "core/OMB_BitFile.h"
#include "plugins/TK_MeshMaterial.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

using tk_test::Json;
using tk_test::ReadGlb;

// Accessor `a`, after checking that its view is aligned and inside the
// buffer and the accessor inside its view.
std::vector<double> Read(const Json& json, const std::vector<uint8_t>& bin, uint64_t a, int components) {
    const Json& acc = json["accessors"][a];
    const Json& view = json["bufferViews"][acc["bufferView"].U()];
    const uint64_t start = view["byteOffset"].U() + acc["byteOffset"].U(), count = acc["count"].U();
    const uint64_t type = acc["componentType"].U(), bytes = type == 5123 ? 2 : 4;
    const uint64_t size = bytes * uint64_t(components), stride = view["byteStride"].set ? view["byteStride"].U() : size;
    EXPECT_TRUE(view["byteOffset"].U() % 4 == 0 && start % bytes == 0);
    EXPECT_LE(view["byteOffset"].U() + view["byteLength"].U(), bin.size());
    EXPECT_LE(acc["byteOffset"].U() + stride * (count - 1) + size, view["byteLength"].U());
    std::vector<double> out;
    for (uint64_t i = 0; i < count * uint64_t(components); ++i) {
        const uint8_t* p = &bin[start + i / components * stride + bytes * (i % components)];
        float f;
        std::memcpy(&f, p, 4);
        out.push_back(type == 5123 ? double(p[0] | p[1] << 8) : double(f));  // indices must be 16-bit
    }
    return out;
}

TK_Model Sample() {
    std::mt19937 random(11);
    TK_Model m = tk_test::ShapeModel(7, 6, 5, [&random](int x, int y, int) {
        const int c = x < 4 && y < 4 ? 1 : int(random() % 6);  // a solid block merges
        return c <= 3 ? c : 0;
    });
    for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 255 - i, 3 * i);
    return m;
}

// One primitive's positions, normals, texture coordinates and indices.
struct Mesh {
    std::vector<double> v, n, t, ix;
};

// The voxel faces that rectangle q (two triangles) covers, counted, after
// checking that each triangle turns counter-clockwise about its first
// corner's normal.
void AddUnitFaces(const Mesh& m, size_t q, const TK_MeshOptions& o, const TK_Model& model,
                  std::map<tk_test::UnitFace, int>& found) {
    double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9}, normal[3];
    const size_t first = size_t(m.ix[6 * q]);
    const double* p[6];
    for (int k = 0; k < 6; ++k) {
        ASSERT_LT(m.ix[6 * q + k], m.v.size() / 3);
        p[k] = &m.v[3 * size_t(m.ix[6 * q + k])];
        const double zUp[3] = {p[k][0], -p[k][2], p[k][1]};
        for (int a = 0; a < 3; ++a) {
            const double cell = zUp[a] / o.scale[a] + o.pivot[a] * model.size[a];
            lo[a] = std::min(lo[a], cell), hi[a] = std::max(hi[a], cell);
        }
    }
    for (int t = 0; t < 6; t += 3) {
        const double *a = p[t], *n = &m.n[3 * size_t(m.ix[6 * q + t])];
        double e[3], f[3];
        for (int i = 0; i < 3; ++i) e[i] = p[t + 1][i] - a[i], f[i] = p[t + 2][i] - a[i];
        EXPECT_GT((e[1] * f[2] - e[2] * f[1]) * n[0] + (e[2] * f[0] - e[0] * f[2]) * n[1] +
                      (e[0] * f[1] - e[1] * f[0]) * n[2], 0) << "counter-clockwise seen from outside";
    }
    const double* n = &m.n[3 * first];
    const double zUp[3] = {n[0], -n[2], n[1]};
    for (int a = 0; a < 3; ++a) normal[a] = zUp[a] * (o.scale[a] < 0 ? -1 : 1);
    const int axis = normal[0] ? 0 : normal[1] ? 1 : 2, d = 2 * axis + (normal[axis] > 0);
    const int u = (axis + 1) % 3, w = (axis + 2) % 3, colour = int(m.t[2 * first] * 256 + 1);
    ASSERT_EQ(lo[axis], hi[axis]) << "flat across its normal";
    int cell[3];
    cell[axis] = int(lo[axis]) - d % 2;
    for (cell[u] = int(lo[u]); cell[u] < hi[u]; ++cell[u])
        for (cell[w] = int(lo[w]); cell[w] < hi[w]; ++cell[w]) ++found[{d, cell[0], cell[1], cell[2], colour}];
}

}  // namespace

TEST(GltfExport, ContainerMaterialsAndTrianglesBackToTheExposedFaces) {
    const TK_Model sample = Sample();
    const struct {
        const char* config;
        size_t materials, primitives;
        TK_Model model;
    } kCases[] = {
        // Rectangles as two triangles each (see below for more corners).
        {"file_gltf ( watertight = '0' )", 1, 1, sample},  // no records: one material
        {"file_gltf ( scale = '2 -1 0.5' pivot = '0 0 0' watertight = '0' )", 3, 3, sample},
        {"file_gltf ( optimize = '0' )", 3, 3, sample},
        // More than 65535 vertices: two primitives of 16-bit indices.
        {"file_gltf ( )", 1, 2,
         tk_test::ShapeModel(24, 24, 24, [](int x, int y, int z) { return (x + y + z) % 2 == 0; })},
    };
    TK_Material records[256] = {};
    records[2].type = 1, records[2].roughness = 0.25f, records[3].type = 3, records[4] = records[2];
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.config);
        const TK_Model& m = c.model;
        const TK_MeshOptions o = tk_test::ReadOptions(c.config, "file_gltf", TK_Plugin_GLTF::Defaults());
        const TK_Material* materials = c.materials > 1 ? records : nullptr;
        std::vector<uint8_t> bytes, bin;
        OMB_SaveBitFile file;
        TK_GltfCounts counts;
        ASSERT_TRUE(file.OpenMemory(&bytes) && TK_Plugin_GLTF::WriteGlb(m, o, materials, file, &counts));
        ASSERT_TRUE(file.Close());
        Json json;
        ReadGlb(bytes, json, bin);
        TK_MeshSurface surface;
        TK_BuildMeshSurface(m, o.optimize, surface);
        EXPECT_EQ(counts.faces, surface.Count()) << "the mesh writers' faces";
        EXPECT_EQ(json["samplers"][0]["magFilter"].U() + json["samplers"][0]["minFilter"].U(), 2 * 9728u) << "NEAREST";
        const Json& image = json["bufferViews"][json["images"][0]["bufferView"].U()];
        Image png;
        ASSERT_TRUE(TK_Plugin_PNG::ParseBytes(&bin[image["byteOffset"].U()], image["byteLength"].U(), png));
        EXPECT_TRUE(png.width == 256 && png.height == 1 && png.pixels[4 * 2 + 1] == ColorG(m.palette[3]));

        const Json& prims = json["meshes"][0]["primitives"];
        EXPECT_EQ(json["materials"].list.size(), c.materials);
        ASSERT_EQ(prims.list.size(), c.primitives);
        std::map<tk_test::UnitFace, int> found;
        for (const Json& prim : prims.list) {
            const Json& at = prim["attributes"];
            const Mesh mesh{Read(json, bin, at["POSITION"].U(), 3), Read(json, bin, at["NORMAL"].U(), 3),
                            Read(json, bin, at["TEXCOORD_0"].U(), 2), Read(json, bin, prim["indices"].U(), 1)};
            const Json& pos = json["accessors"][at["POSITION"].U()];
            for (size_t k = 0; k < 3; ++k) {
                double lo = 1e9, hi = -1e9;
                for (size_t i = k; i < mesh.v.size(); i += 3)
                    lo = std::min(lo, mesh.v[i]), hi = std::max(hi, mesh.v[i]);
                EXPECT_TRUE(pos["min"][k].num == lo && pos["max"][k].num == hi);
            }
            // Corners alike are one vertex; 16-bit indices while they fit.
            std::set<std::vector<double>> distinct;
            for (size_t i = 0; i < mesh.v.size() / 3; ++i)
                distinct.insert({mesh.v[3 * i], mesh.v[3 * i + 1], mesh.v[3 * i + 2], mesh.n[3 * i], mesh.n[3 * i + 1],
                                 mesh.n[3 * i + 2], mesh.t[2 * i], mesh.t[2 * i + 1]});
            EXPECT_EQ(distinct.size(), mesh.v.size() / 3);
            EXPECT_EQ(json["accessors"][prim["indices"].U()]["componentType"].U(), 5123u);
            // The material is the one of every colour in the primitive.
            const Json& mat = json["materials"][prim["material"].U()];
            for (size_t i = 0; i < mesh.t.size(); i += 2) {
                const int colour = int(mesh.t[i] * 256 + 1);
                const auto want = TK_MeshMaterial::FromRecord(records[materials ? colour : 0], m.palette[colour], colour);
                EXPECT_EQ(mat["pbrMetallicRoughness"]["metallicFactor"].num, want.metallic);
                EXPECT_EQ(mat["pbrMetallicRoughness"]["roughnessFactor"].num, double(want.roughness));
                EXPECT_EQ(mat["emissiveTexture"].set, want.kind == TK_MeshMaterial::Kind::kEmit);
            }
            for (size_t q = 0; q < mesh.ix.size() / 6; ++q) AddUnitFaces(mesh, q, o, m, found);
        }
        EXPECT_EQ(found, tk_test::ExposedFaces(m));
    }
}

// With the default watertight merging the triangles close up: every edge is
// crossed once each way (twice where voxels touch along an edge), and they
// cover the exposed faces.
TEST(GltfExport, WatertightTrianglesLeaveNoCracks) {
    for (const auto& c : tk_test::CrackModels()) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes, bin;
        OMB_SaveBitFile file;
        TK_GltfCounts counts;
        ASSERT_TRUE(file.OpenMemory(&bytes) &&
                    TK_Plugin_GLTF::WriteGlb(c.model, TK_Plugin_GLTF::Defaults(), nullptr, file, &counts) && file.Close());
        Json json;
        ReadGlb(bytes, json, bin);
        tk_test::EdgeUse edges;
        for (const Json& prim : json["meshes"][0]["primitives"].list) {
            const auto v = Read(json, bin, prim["attributes"]["POSITION"].U(), 3);
            const auto ix = Read(json, bin, prim["indices"].U(), 1);
            for (size_t k = 0; k < ix.size(); k += 3) {
                std::vector<tk_test::EdgeUse::Point> triangle;
                for (size_t i = k; i < k + 3; ++i)
                    triangle.push_back({float(v[3 * size_t(ix[i])]), float(v[3 * size_t(ix[i]) + 1]), float(v[3 * size_t(ix[i]) + 2])});
                edges.AddPolygon(triangle);
            }
        }
        EXPECT_EQ(edges.Count(false) + edges.Unpaired(), 0u);
        EXPECT_EQ(edges.triangles, counts.triangles);
        EXPECT_NEAR(edges.area, double(tk_test::ExposedFaces(c.model).size()), 1e-3);
    }
}
