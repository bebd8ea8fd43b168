// glTF binary export: the container checked byte by byte (chunk lengths and
// padding, aligned buffer views, accessors inside their views, bounds equal
// to the data, indices in range), the materials and the palette picture,
// and a round trip of the written triangles back into exactly the model's
// exposed voxel faces, facing outwards, under mirroring and scaling options.
#include "plugins/TK_Plugin_GLTF.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "TK_PluginTest.h"
#include "model/OMB_BitFile.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

// Just enough JSON to read back what the writer produced.
struct JsonValue {
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;
    bool present = false;

    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue missing;
        auto it = members.find(key);
        return it == members.end() ? missing : it->second;
    }
    const JsonValue& operator[](size_t i) const { return items.at(i); }
    size_t Size() const { return items.size(); }
    uint64_t U() const { return uint64_t(number); }
};

bool ParseJson(const char*& p, JsonValue& v) {
    while (*p == ' ') ++p;
    v.present = true;
    if (*p == '{' || *p == '[') {
        const char close = *p == '{' ? '}' : ']';
        for (++p; *p != close;) {
            JsonValue key, item;
            if (close == '}' && !(ParseJson(p, key) && *p++ == ':')) return false;
            if (!ParseJson(p, item)) return false;
            if (close == '}') v.members[key.text] = item;
            else v.items.push_back(item);
            if (*p == ',') ++p;
            else if (*p != close) return false;
        }
        return ++p, true;
    }
    if (*p == '"') {
        for (++p; *p != '"'; ++p) {
            if (!*p || static_cast<unsigned char>(*p) < 0x20) return false;
            if (*p == '\\') ++p;
            v.text += *p;
        }
        return ++p, true;
    }
    char* end = nullptr;
    v.number = std::strtod(p, &end);
    return end != p && (p = end, true);
}

struct Glb {
    JsonValue json;
    std::vector<uint8_t> bin;
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return uint32_t(OMB_GetInt32LE(&b[at])); }

// The two chunks, after every check of the container.
void ReadGlb(const std::vector<uint8_t>& b, Glb& g) {
    ASSERT_GE(b.size(), 28u);
    EXPECT_EQ(U32(b, 0), 0x46546C67u);
    EXPECT_EQ(U32(b, 4), 2u);
    ASSERT_EQ(U32(b, 8), b.size());
    const uint32_t jsonLength = U32(b, 12);
    ASSERT_EQ(jsonLength % 4, 0u);
    EXPECT_EQ(U32(b, 16), 0x4E4F534Au);
    const std::string text(b.begin() + 20, b.begin() + 20 + jsonLength);
    const char* p = text.c_str();
    ASSERT_TRUE(ParseJson(p, g.json));
    EXPECT_EQ(std::string(p).find_first_not_of(' '), std::string::npos) << "JSON padded with spaces";
    const size_t bin = 20 + jsonLength;
    const uint32_t binLength = U32(b, bin);
    ASSERT_EQ(binLength % 4, 0u);
    EXPECT_EQ(U32(b, bin + 4), 0x004E4942u);
    ASSERT_EQ(bin + 8 + binLength, b.size());
    g.bin.assign(b.begin() + bin + 8, b.end());
    const uint64_t used = g.json["buffers"][0]["byteLength"].U();
    ASSERT_TRUE(used <= binLength && used + 3 >= binLength);
    for (uint64_t i = used; i < binLength; ++i) EXPECT_EQ(g.bin[i], 0) << "BIN padded with zeros";
    g.bin.resize(used);
}

// Accessor `a` as numbers, after checking that its view is aligned and
// inside the buffer and the accessor inside its view.
std::vector<double> ReadAccessor(const Glb& g, uint64_t a, int components) {
    const JsonValue& acc = g.json["accessors"][a];
    const JsonValue& view = g.json["bufferViews"][acc["bufferView"].U()];
    const uint64_t viewOffset = view["byteOffset"].U(), viewLength = view["byteLength"].U();
    EXPECT_EQ(viewOffset % 4, 0u);
    EXPECT_LE(viewOffset + viewLength, g.bin.size());
    const uint64_t offset = acc["byteOffset"].U(), count = acc["count"].U(), size = 4 * uint64_t(components);
    const uint64_t stride = view["byteStride"].present ? view["byteStride"].U() : size;
    EXPECT_EQ(offset % 4, 0u);
    EXPECT_LE(offset + stride * (count - 1) + size, viewLength);
    std::vector<double> out;
    for (uint64_t i = 0; i < count; ++i)
        for (int c = 0; c < components; ++c) {
            const uint8_t* p = &g.bin[viewOffset + offset + i * stride + 4 * uint64_t(c)];
            float f;
            std::memcpy(&f, p, 4);
            out.push_back(acc["componentType"].U() == 5125 ? double(uint32_t(OMB_GetInt32LE(p))) : double(f));
        }
    return out;
}

std::vector<uint8_t> Export(const TK_Model& m, const TK_MeshOptions& o, const TK_Material* materials, size_t* faces) {
    std::vector<uint8_t> bytes;
    OMB_SaveBitFile file;
    EXPECT_TRUE(file.OpenMemory(&bytes) && TK_Plugin_GLTF::WriteGlb(m, o, materials, file, faces) && file.Close());
    return bytes;
}

TK_Model Sample(unsigned seed) {
    TK_Model m;
    m.size[0] = 7, m.size[1] = 6, m.size[2] = 5;
    for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 255 - i, 3 * i);
    std::mt19937 random(seed);
    for (int z = 0; z < 5; ++z)
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x) {
                const int c = x < 4 && y < 4 ? 1 : int(random() % 6);
                if (c >= 1 && c <= 3) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c)});
            }
    return m;
}

// (direction, x, y, z of the voxel, colour) of every exposed voxel face.
using UnitFace = std::tuple<int, int, int, int, int>;

std::map<UnitFace, int> ExposedFaces(const TK_Model& m) {
    std::map<uint32_t, int> cells;
    for (const Voxel& v : m.voxels) cells[v.Word() & 0xFFFFFF] = v.colorIndex;
    std::map<UnitFace, int> faces;
    for (const Voxel& v : m.voxels)
        for (int d = 0; d < 6; ++d) {
            int n[3] = {v.x, v.y, v.z};
            n[d / 2] += d % 2 ? 1 : -1;
            if (!m.InBox(n[0], n[1], n[2]) || !cells.count(uint32_t(n[0] | n[1] << 8 | n[2] << 16)))
                faces[{d, v.x, v.y, v.z, v.colorIndex}] = 1;
        }
    return faces;
}

}  // namespace

TEST(GltfExport, ContainerMaterialsAndPalette) {
    TK_Model m = Sample(3);
    TK_Material materials[256] = {};
    materials[2].type = 1, materials[2].roughness = 0.25f;
    materials[3].type = 3;
    materials[4] = materials[2];  // unused colour: no primitive
    size_t faces = 0;
    Glb g;
    ReadGlb(Export(m, TK_Plugin_GLTF::Defaults(), materials, &faces), g);
    const JsonValue& prims = g.json["meshes"][0]["primitives"];
    ASSERT_EQ(prims.Size(), 3u) << "diffuse, metal, emissive";
    const JsonValue& mats = g.json["materials"];
    EXPECT_EQ(mats[1]["pbrMetallicRoughness"]["metallicFactor"].number, 1);
    EXPECT_EQ(mats[1]["pbrMetallicRoughness"]["roughnessFactor"].number, 0.25);
    EXPECT_EQ(mats[0]["pbrMetallicRoughness"]["metallicFactor"].number, 0);
    EXPECT_TRUE(mats[2]["emissiveTexture"].present && !mats[0]["emissiveTexture"].present);
    EXPECT_EQ(g.json["samplers"][0]["magFilter"].U(), 9728u) << "NEAREST";
    EXPECT_EQ(g.json["samplers"][0]["minFilter"].U(), 9728u);
    const JsonValue& image = g.json["bufferViews"][g.json["images"][0]["bufferView"].U()];
    Image png;
    ASSERT_TRUE(TK_Plugin_PNG::ParseBytes(&g.bin[image["byteOffset"].U()], image["byteLength"].U(), png));
    ASSERT_EQ(png.width * 1000 + png.height, 256001);
    EXPECT_EQ(png.pixels[4 * 2 + 1], ColorG(m.palette[3]));
    size_t total = 0;
    for (size_t p = 0; p < prims.Size(); ++p) {
        const JsonValue& pos = g.json["accessors"][prims[p]["attributes"]["POSITION"].U()];
        const std::vector<double> v = ReadAccessor(g, prims[p]["attributes"]["POSITION"].U(), 3);
        for (int c = 0; c < 3; ++c) {
            double lo = 1e9, hi = -1e9;
            for (size_t i = c; i < v.size(); i += 3) lo = std::min(lo, v[i]), hi = std::max(hi, v[i]);
            EXPECT_EQ(pos["min"][c].number, lo);
            EXPECT_EQ(pos["max"][c].number, hi);
        }
        const std::vector<double> indices = ReadAccessor(g, prims[p]["indices"].U(), 1);
        for (double i : indices) ASSERT_LT(i, pos["count"].number);
        total += indices.size() / 6;
        const bool metal = g.json["materials"][prims[p]["material"].U()]["name"].text == "metal";
        for (double u : ReadAccessor(g, prims[p]["attributes"]["TEXCOORD_0"].U(), 2))
            if (u != 0.5) {
                EXPECT_EQ(metal, u == 1.5 / 256) << "colour 2 alone in the metal primitive";
            }
    }
    EXPECT_EQ(total, faces);
}

TEST(GltfExport, TrianglesRoundTripToTheExposedFacesFacingOutwards) {
    const struct {
        const char* config;
        bool metal;
    } kCases[] = {
        {"file_gltf ( )", false},
        {"file_gltf ( scale = '2 -1 0.5' pivot = '0 0 0' )", true},
        {"file_gltf ( optimize = '0' pivot = '0.5 0.5 0' )", true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.config);
        const TK_Model m = Sample(11);
        TK_MeshOptions o = TK_Plugin_GLTF::Defaults();
        OMB_LmpParser parser;
        ASSERT_TRUE(parser.Parse(c.config));
        o.Read(OMB_LmpParser::FindChild(&parser.Root(), "file_gltf"));
        TK_Material materials[256] = {};
        materials[2].type = c.metal ? 1 : 0;
        size_t faces = 0;
        Glb g;
        ReadGlb(Export(m, o, materials, &faces), g);
        TK_MeshSurface surface;
        TK_BuildMeshSurface(m, o.optimize, surface);
        EXPECT_EQ(faces, surface.Count()) << "the mesh writers' faces";
        std::map<UnitFace, int> found;
        const JsonValue& prims = g.json["meshes"][0]["primitives"];
        for (size_t p = 0; p < prims.Size(); ++p) {
            const JsonValue& at = prims[p]["attributes"];
            const std::vector<double> v = ReadAccessor(g, at["POSITION"].U(), 3), n = ReadAccessor(g, at["NORMAL"].U(), 3),
                                      t = ReadAccessor(g, at["TEXCOORD_0"].U(), 2),
                                      ix = ReadAccessor(g, prims[p]["indices"].U(), 1);
            for (size_t k = 0; k < ix.size(); k += 3) {
                const double* a = &v[3 * size_t(ix[k])];
                const double *b = &v[3 * size_t(ix[k + 1])], *cc = &v[3 * size_t(ix[k + 2])], *nn = &n[3 * size_t(ix[k])];
                const double e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {cc[0] - a[0], cc[1] - a[1], cc[2] - a[2]};
                const double cross[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
                EXPECT_GT(cross[0] * nn[0] + cross[1] * nn[1] + cross[2] * nn[2], 0) << "counter-clockwise outside";
            }
            for (size_t q = 0; q < ix.size() / 6; ++q) {
                // Back to cells: glTF (X, Y, Z) is the scaled model (X, -Z, Y).
                double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9}, normal[3];
                for (int k = 0; k < 4; ++k) {
                    const double* p3 = &v[3 * (4 * q + k)];
                    const double model[3] = {p3[0], -p3[2], p3[1]};
                    for (int a = 0; a < 3; ++a) {
                        const double cell = model[a] / o.scale[a] + o.pivot[a] * m.size[a];
                        lo[a] = std::min(lo[a], cell), hi[a] = std::max(hi[a], cell);
                    }
                }
                const double* n3 = &n[3 * 4 * q];
                const double nm[3] = {n3[0], -n3[2], n3[1]};
                for (int a = 0; a < 3; ++a) normal[a] = nm[a] * (o.scale[a] < 0 ? -1 : 1);
                const int axis = normal[0] ? 0 : normal[1] ? 1 : 2, d = 2 * axis + (normal[axis] > 0);
                ASSERT_EQ(lo[axis], hi[axis]) << "flat across its normal";
                const int colour = int(std::lround(t[2 * 4 * q] * 256 + 0.5));
                int cell[3];
                cell[axis] = int(lo[axis]) - d % 2;
                const int u = (axis + 1) % 3, w = (axis + 2) % 3;
                for (cell[u] = int(lo[u]); cell[u] < hi[u]; ++cell[u])
                    for (cell[w] = int(lo[w]); cell[w] < hi[w]; ++cell[w]) ++found[{d, cell[0], cell[1], cell[2], colour}];
            }
        }
        EXPECT_EQ(found, ExposedFaces(m));
    }
}
