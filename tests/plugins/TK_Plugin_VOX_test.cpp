// The ".vox" plugin on files of other editors: their MATL materials reach
// the exports without the editor's own chunk.
#include "plugins/TK_Plugin_VOX.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TK_TestSupport.h"
#include "core/OMB_BitFile.h"
#include "model/TK_VoxSceneFiles.h"
#include "plugins/TK_MeshMaterial.h"
#include "plugins/TK_Plugin_GLTF.h"

TEST(VoxPlugin, MatlMaterialsReachTheGltfExport) {
    using namespace tk_test;
    const Bytes file = VoxOf({SizeChunk(2, 1, 1), XyziChunk({{0, 0, 0, 3}, {1, 0, 0, 7}}),
                              Matl(3, {{"_type", "_metal"}, {"_rough", "0.25"}}),
                              Matl(7, {{"_type", "_emit"}, {"_emit", "1"}, {"_flux", "3"}})});
    TempFolder folder("tk_vox_matl");
    const std::string path = folder.Path("matl.vox");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), long(file.size()));
    TK_Model model;
    TK_ModelLook look;
    ASSERT_TRUE(TK_Plugin_VOX::Load(path, model, &look));
    const TK_MeshMaterial metal = TK_MeshMaterial::FromRecord(look.materials[3], model.palette[3], 3);
    EXPECT_TRUE(metal.metallic == 1 && metal.roughness == 0.25f);
    const TK_MeshMaterial emit = TK_MeshMaterial::FromRecord(look.materials[7], model.palette[7], 7);
    EXPECT_TRUE(emit.kind == TK_MeshMaterial::Kind::kEmit && emit.flux == 3);
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    model.NormalizeModel(limit, 1);
    std::vector<uint8_t> glb;
    OMB_SaveBitFile out;
    ASSERT_TRUE(out.OpenMemory(&glb) &&
                TK_Plugin_GLTF::WriteGlb(model, TK_Plugin_GLTF::Defaults(), look.materials, out) && out.Close());
    const std::string text(glb.begin(), glb.end());
    EXPECT_NE(text.find("\"metallicFactor\":1"), std::string::npos);
}
