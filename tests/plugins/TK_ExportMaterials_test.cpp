// Materials in the mesh exports: every kind of surface record reaches the
// glTF and OBJ/MTL files with its values, names are unique, and files of
// models without such materials keep the bytes they always had.
#include <fstream>
#include <iterator>

#include "TK_PluginTest.h"
#include "model/TK_ModelLook.h"
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
    TK_Model m = tk_test::ShapeModel(6, 5, 4, [](int x, int y, int z) { return (x + y + z) % 5 ? 1 + (x + 2 * y) % 4 : 0; });
    m.name = "figure.vox";
    return m;
}

}  // namespace

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
