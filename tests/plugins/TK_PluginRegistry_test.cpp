// The format table and its lookup: every entry in order with the class it
// makes, and lookup by the whole key with its message.
#include "plugins/TK_PluginRegistry.h"

#include <gtest/gtest.h>

#include "plugins/TK_Plugin_2D.h"
#include "plugins/TK_Plugin_3DS.h"
#include "plugins/TK_Plugin_ACT.h"
#include "plugins/TK_Plugin_GLTF.h"
#include "plugins/TK_Plugin_Iso.h"
#include "plugins/TK_Plugin_MC.h"
#include "plugins/TK_Plugin_OBJ.h"
#include "plugins/TK_Plugin_PLY.h"
#include "plugins/TK_Plugin_PNG.h"
#include "plugins/TK_Plugin_QB.h"
#include "plugins/TK_Plugin_RAW.h"
#include "plugins/TK_Plugin_SLAB.h"
#include "plugins/TK_Plugin_TGA.h"
#include "plugins/TK_Plugin_VOX.h"
#include "plugins/TK_Plugins.h"

namespace {

template <typename T>
bool Is(const TK_Plugin* p) {
    return dynamic_cast<const T*>(p) != nullptr;
}

struct Row {
    const char *key, *extension, *description;
    bool (*is)(const TK_Plugin*);
};

const Row kTable[] = {
    {"obj", "obj", "Alias Wavefront", &Is<TK_Plugin_OBJ>},    {"3ds", "3ds", "3D Studio", &Is<TK_Plugin_3DS>},
    {"ply", "ply", "Stanford Polygon", &Is<TK_Plugin_PLY>},   {"qb", "qb", "Qubicle Binary", &Is<TK_Plugin_QB>},
    {"xraw", "xraw", "Raw Volume", &Is<TK_Plugin_RAW>},       {"slab", "vox", "Slab6", &Is<TK_Plugin_SLAB>},
    {"vox", "vox", "Tarsk", &Is<TK_Plugin_VOX>},              {"png", "png", "Palette", &Is<TK_Plugin_PNG>},
    {"tga", "tga", "Palette", &Is<TK_Plugin_TGA>},            {"act", "act", "Palette", &Is<TK_Plugin_ACT>},
    {"2d", "png", "2D Sprite", &Is<TK_Plugin_2D>},            {"iso", "png", "Isometric Sprite", &Is<TK_Plugin_Iso>},
    {"mc", "ply", "Marching Cube", &Is<TK_Plugin_MC>},        {"gltf", "glb", "glTF Binary", &Is<TK_Plugin_GLTF>},
};

}  // namespace

TEST(PluginRegistry, EveryEntryInOrderAndLookupByTheWholeKey) {
    TK_PluginRegistry registry;
    TK_RegisterPlugins(registry);
    ASSERT_EQ(registry.Entries().size(), std::size(kTable));
    for (size_t i = 0; i < std::size(kTable); ++i) {
        const TK_PluginEntry& e = registry.Entries()[i];
        EXPECT_EQ(e.key + " " + e.extension + " " + e.description,
                  std::string(kTable[i].key) + " " + kTable[i].extension + " " + kTable[i].description);
        std::unique_ptr<TK_Plugin> a = registry.Create(e.key), b = registry.Create(e.key);
        EXPECT_TRUE(kTable[i].is(a.get())) << e.key;
        EXPECT_NE(a.get(), b.get()) << "a fresh object per lookup";
    }
    EXPECT_EQ(registry.Find("slab")->Filter(), "Slab6 (*.vox)");
    for (const char* key : {"VOX", "vo", "voxx", "", "nope"}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(registry.Create(key), nullptr) << key;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("[Error] failed to load plugin : ") + key + "\n");
    }
    EXPECT_FALSE(registry.Add("qb", "x", "again", &TK_MakePlugin<TK_Plugin>)) << "the first entry of a key stays";
    EXPECT_FALSE(registry.Add("k", "x", "no factory", nullptr));
    EXPECT_EQ(registry.Entries().size(), std::size(kTable));
}
