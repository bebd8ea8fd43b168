// The format registry: lookup by the whole key (a fresh object each time),
// the refusal message, and duplicate or factory-less entries refused.
#include "plugins/TK_PluginRegistry.h"

#include <gtest/gtest.h>

#include "plugins/TK_Plugin_SLAB.h"
#include "plugins/TK_Plugins.h"

TEST(PluginRegistry, LookupByTheWholeKey) {
    TK_PluginRegistry registry;
    TK_RegisterPlugins(registry);
    for (const TK_PluginEntry& e : registry.Entries()) {
        std::unique_ptr<TK_Plugin> a = registry.Create(e.key), b = registry.Create(e.key);
        ASSERT_TRUE(a && b) << e.key;
        EXPECT_NE(a.get(), b.get()) << "a fresh object per lookup";
    }
    // Two formats share ".vox": the key, not the extension, picks the plugin.
    EXPECT_NE(dynamic_cast<TK_Plugin_SLAB*>(registry.Create("slab").get()), nullptr);
    for (const char* key : {"VOX", "vo", "voxx", ""}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(registry.Create(key), nullptr) << key;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("[Error] failed to load plugin : ") + key + "\n");
    }
    const size_t count = registry.Entries().size();
    EXPECT_FALSE(registry.Add("qb", "x", "again", &TK_MakePlugin<TK_Plugin>)) << "the first entry of a key stays";
    EXPECT_FALSE(registry.Add("k", "x", "no factory", nullptr));
    EXPECT_EQ(registry.Entries().size(), count);
}
