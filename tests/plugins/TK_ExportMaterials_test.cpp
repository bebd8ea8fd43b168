// Materials in the mesh exports: every kind of surface record reaches the
// glTF and OBJ/MTL files with its values, names are unique, and files of
// models without such materials keep the bytes they always had.
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "TK_GlbReader.h"
#include "TK_PluginTest.h"
#include "model/TK_ModelLook.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_GLTF.h"
#include "plugins/TK_Plugin_OBJ.h"

namespace {

// FNV-1a over a file's bytes, with its size: enough to pin a file.
std::string Fingerprint(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    uint64_t h = 1469598103934665603ull;
    for (char c : bytes) h = (h ^ uint8_t(c)) * 1099511628211ull;
    char text[48];
    std::snprintf(text, sizeof text, "%zu:%016llx", bytes.size(), static_cast<unsigned long long>(h));
    return text;
}

TK_Model Figure() {
    TK_Model m =
        tk_test::ShapeModel(6, 5, 4, [](int x, int y, int z) { return (x + y + z) % 5 ? 1 + (x + 2 * y) % 4 : 0; });
    m.name = "figure.vox";
    return m;
}

// Colours 1 to 5: diffuse, plastic, metal, glass, emit, one voxel each.
TK_Model Kinds(TK_Material records[256]) {
    TK_Model m = tk_test::ShapeModel(9, 1, 1, [](int x, int, int) { return x % 2 ? 0 : 1 + x / 2; });
    m.name = "kinds.vox";
    m.palette[4] = PackRGBA(40, 200, 255);
    for (int c = 0; c < 256; ++c) records[c] = TK_DefaultMaterial();
    records[2].plastic = 1, records[2].roughness = 0.1f;
    records[3].type = TK_MATERIAL_METAL, records[3].specular = 0.2f, records[3].roughness = 0.3f;
    records[4].type = TK_MATERIAL_GLASS, records[4].ior = 1.45f, records[4].attenuation = 0.4f;
    records[5].type = TK_MATERIAL_EMIT, records[5].flux = 8;
    return m;
}

// What one cell of glass colour `c` (0..255) lets through with "att" 0.4.
double Through(int c) { return std::exp(-(1 - std::pow(c / 255.0, 2.2)) * (0.02 + 0.3 * 0.4)); }

// Material name -> key -> the words after it, from an MTL text.
std::map<std::string, std::map<std::string, std::string>> ReadMtl(const std::string& mtl) {
    std::map<std::string, std::map<std::string, std::string>> out;
    std::istringstream in(mtl);
    std::string name;
    for (std::string line; std::getline(in, line);) {
        const size_t blank = line.find(' ');
        if (line.empty() || line[0] == '#' || blank == std::string::npos) continue;
        const std::string key = line.substr(0, blank), rest = line.substr(blank + 1);
        if (key != "newmtl") {
            out[name][key] = rest;
            continue;
        }
        name = rest;
        EXPECT_EQ(out.count(name), 0u) << "names are unique";
    }
    return out;
}

}  // namespace

// One colour of each kind: every value set comes out of the .glb, each
// extension declared as used and none required.
TEST(ExportMaterials, GltfCarriesEveryKind) {
    TK_Material records[256];
    const TK_Model m = Kinds(records);
    TK_MeshOptions o = TK_Plugin_GLTF::Defaults();
    o.scale[0] = o.scale[1] = o.scale[2] = 2;
    std::vector<uint8_t> bytes, bin;
    OMB_SaveBitFile file;
    ASSERT_TRUE(file.OpenMemory(&bytes) && TK_Plugin_GLTF::WriteGlb(m, o, records, file) && file.Close());
    tk_test::Json json;
    tk_test::ReadGlb(bytes, json, bin);
    std::map<std::string, const tk_test::Json*> byName;
    for (const auto& mat : json["materials"].list) byName[mat["name"].str] = &mat;
    ASSERT_EQ(byName.size(), 5u) << "unique names";
    const auto& diffuse = *byName["diffuse"], &plastic = *byName["plastic_2"], &metal = *byName["metal_3"];
    const auto& glass = *byName["glass_4"], &emit = *byName["emit_5"];
    EXPECT_FALSE(diffuse["extensions"].set);
    EXPECT_EQ(diffuse["pbrMetallicRoughness"]["roughnessFactor"].num, 1);
    const auto& coat = plastic["extensions"]["KHR_materials_clearcoat"];
    EXPECT_TRUE(coat["clearcoatFactor"].num == 1 && coat["clearcoatRoughnessFactor"].num == double(0.1f));
    EXPECT_EQ(plastic["pbrMetallicRoughness"]["roughnessFactor"].num, 1) << "a rough base under the coat";
    const auto& pbr = metal["pbrMetallicRoughness"];
    EXPECT_TRUE(pbr["metallicFactor"].num == 1 && pbr["roughnessFactor"].num == double(0.3f));
    EXPECT_NEAR(pbr["baseColorFactor"][0].num, 0.55 + 0.45 * 0.2, 1e-6);
    EXPECT_EQ(pbr["baseColorFactor"][3].num, 1);
    const auto& ext = glass["extensions"];
    EXPECT_EQ(ext["KHR_materials_transmission"]["transmissionFactor"].num, 1);
    EXPECT_EQ(ext["KHR_materials_ior"]["ior"].num, double(1.45f));
    const auto& volume = ext["KHR_materials_volume"];
    EXPECT_TRUE(volume["thicknessFactor"].num == 2 && volume["attenuationDistance"].num == 2) << "one cell";
    const int rgb[3] = {40, 200, 255};
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(volume["attenuationColor"][i].num, Through(rgb[i]), 1e-6);
    EXPECT_EQ(emit["extensions"]["KHR_materials_emissive_strength"]["emissiveStrength"].num, 8);
    EXPECT_TRUE(emit["emissiveTexture"].set && emit["emissiveFactor"][0].num == 1);
    std::set<std::string> used;
    for (const auto& e : json["extensionsUsed"].list) used.insert(e.str);
    EXPECT_EQ(used, (std::set<std::string>{"KHR_materials_clearcoat", "KHR_materials_emissive_strength",
                                           "KHR_materials_ior", "KHR_materials_transmission", "KHR_materials_volume"}));
    EXPECT_FALSE(json["extensionsRequired"].set);
}

// Records from a damaged file: values outside the ranges "pt_mtl" allows,
// NaN and an unknown kind still give a file of valid numbers.
TEST(ExportMaterials, DamagedRecordsAreClamped) {
    TK_Material records[256];
    const TK_Model m = Kinds(records);
    records[1].type = 9, records[3].roughness = std::nanf(""), records[3].specular = 7;
    records[4].ior = 50, records[5].flux = 1e9f;
    std::vector<uint8_t> bytes, bin;
    OMB_SaveBitFile file;
    ASSERT_TRUE(file.OpenMemory(&bytes) && TK_Plugin_GLTF::WriteGlb(m, TK_Plugin_GLTF::Defaults(), records, file));
    ASSERT_TRUE(file.Close());
    tk_test::Json json;
    tk_test::ReadGlb(bytes, json, bin);
    const auto& list = json["materials"].list;
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]["name"].str, "diffuse");
    EXPECT_EQ(list[2]["pbrMetallicRoughness"]["roughnessFactor"].num, 0);
    EXPECT_FALSE(list[2]["pbrMetallicRoughness"]["baseColorFactor"].set) << "spec 1: full reflectance";
    EXPECT_EQ(list[3]["extensions"]["KHR_materials_ior"]["ior"].num, 3);
    EXPECT_EQ(list[4]["extensions"]["KHR_materials_emissive_strength"]["emissiveStrength"].num, 100);
}

// The same model as OBJ and MTL: the values MTL can hold, every face under
// the material of its colour, and the files import back to the same model.
TEST(ExportMaterials, ObjCarriesEveryKind) {
    TK_Material records[256];
    const TK_Model m = Kinds(records);
    TK_ModelLook look;
    std::copy(records, records + 256, look.materials);
    TK_Plugin_OBJ plugin;
    plugin.SetLook(&look);
    const std::string path = testing::TempDir() + "kinds.obj";
    ASSERT_TRUE(plugin.SaveModel(path, "", m));
    std::vector<uint8_t> obj, mtl;
    ASSERT_TRUE(TK_ReadFileBytes(path, 1 << 20, obj));
    ASSERT_TRUE(TK_ReadFileBytes(testing::TempDir() + "kinds.mtl", 1 << 20, mtl));
    auto all = ReadMtl(std::string(mtl.begin(), mtl.end()));
    ASSERT_EQ(all.size(), 5u);
    EXPECT_TRUE(all["diffuse"]["Pr"] == "1.000" && all["diffuse"]["Pm"] == "0.000");
    EXPECT_TRUE(all["plastic_2"]["Pc"] == "1.000" && all["plastic_2"]["Pcr"] == "0.100");
    auto& metal = all["metal_3"];
    EXPECT_TRUE(metal["Pm"] == "1.000" && metal["Pr"] == "0.300" && metal["Kd"] == "0.640 0.640 0.640");
    auto& glass = all["glass_4"];
    EXPECT_TRUE(glass["Ni"] == "1.450" && glass["d"] == "0.000" && glass["Tr"] == "1.000" && glass["illum"] == "7");
    char tf[64];
    std::snprintf(tf, sizeof tf, "%.3f %.3f %.3f", Through(40), Through(200), Through(255));
    EXPECT_EQ(glass["Tf"], tf);
    EXPECT_TRUE(all["emit_5"]["Ke"] == "8.000 8.000 8.000" && all["emit_5"]["map_Ke"] == "kinds.png");
    // Texture coordinate k is the k-th colour used: 1 to 5 here.
    const char* const names[6] = {"", "diffuse", "plastic_2", "metal_3", "glass_4", "emit_5"};
    std::istringstream in(std::string(obj.begin(), obj.end()));
    std::string current;
    int faces = 0;
    for (std::string word; in >> word;)
        if (word == "usemtl") in >> current;
        else if (word == "f") {
            std::string corner;
            in >> corner;
            const int colour = std::stoi(corner.substr(corner.find('/') + 1));
            EXPECT_EQ(current, names[colour]) << "face " << faces;
            ++faces;
        }
    EXPECT_EQ(faces, 30);
    TK_Model back;
    ASSERT_TRUE(TK_Plugin_OBJ().LoadModel(path, "", back));
    tk_test::ExpectSameModel(m, back);
}

// The default look (every colour plain diffuse) writes what the exporters
// wrote before they carried materials, byte for byte.
TEST(ExportMaterials, DefaultFilesKeepTheirBytes) {
    const TK_ModelLook look;
    const std::string dir = testing::TempDir();
    TK_Plugin_GLTF gltf;
    TK_Plugin_OBJ obj;
    gltf.SetLook(&look), obj.SetLook(&look);
    ASSERT_TRUE(gltf.SaveModel(dir + "figure.glb", "", Figure()));
    ASSERT_TRUE(obj.SaveModel(dir + "figure.obj", "", Figure()));
    EXPECT_EQ(Fingerprint(dir + "figure.glb"), "29368:e76b2858292373f2");
    EXPECT_EQ(Fingerprint(dir + "figure.obj"), "8427:6a2742aea075f716");
    EXPECT_EQ(Fingerprint(dir + "figure.mtl"), "122:8951c85727206169");
}
