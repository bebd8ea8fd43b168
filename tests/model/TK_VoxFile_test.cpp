// The native model file: exact layout, palette omission, round trips, the
// reader's tolerance of chunk order and forged counts, and clean failure at
// every truncation of a small file. Files on disk are the plugin's tests.
#include "model/TK_VoxFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "TK_TestSupport.h"
#include "core/OMB_BitFile.h"
#include "core/OMB_Cause.h"
#include "core/OMB_TestFiles.h"
#include "core/OMB_XIFF.h"
#include "model/TK_VoxScene.h"
#include "model/TK_VoxSceneFiles.h"

namespace {

using tk_test::Bytes;
using tk_test::Cat;
using tk_test::Chunk;
using tk_test::Ints;
using tk_test::ModelState;

// "VOX ", a version, and MAIN holding the given children in order.
Bytes VoxFile(std::initializer_list<Bytes> children, int32_t version = 150) {
    return Cat({{'V', 'O', 'X', ' '}, Ints({version}), Chunk("MAIN", {}, Cat(children))});
}

TK_Model SmallModel() { return tk_test::MakeModel(2, 1, 3, {{0, 0, 0, 5}, {1, 0, 2, 7}}); }
const Bytes kSize = Chunk("SIZE", Ints({2, 1, 3}));
const Bytes kXyzi = Chunk("XYZI", {2, 0, 0, 0, 0, 0, 0, 5, 1, 0, 2, 7});

// The RGBA chunk of a palette: entries 1 to 255, then entry 0 as opaque black.
Bytes Rgba(const Palette& palette) {
    Bytes colours;
    for (int k = 1; k <= 256; ++k) colours = Cat({colours, Ints({int32_t(k < 256 ? palette[k] : 0xFF000000u)})});
    return Chunk("RGBA", colours);
}

Bytes Write(const TK_Model& m) {
    Bytes out;
    EXPECT_TRUE(WriteVoxBytes(m, out));
    return out;
}

bool Read(TK_Model& m, const Bytes& bytes) { return ReadVoxBytes(m, bytes.data(), bytes.size()); }

}  // namespace

TEST(VoxFile, LayoutOfASmallModelAndBackWithAnEmptyName) {
    EXPECT_EQ(Write(SmallModel()), VoxFile({kSize, kXyzi}));
    EXPECT_EQ(Write(tk_test::MakeModel(1, 1, 1)), VoxFile({Chunk("SIZE", Ints({1, 1, 1})), Chunk("XYZI", Ints({0}))}))
        << "an empty model writes a count of 0";

    TK_Model back;
    back.name = "stale";
    ASSERT_TRUE(Read(back, Write(SmallModel())));
    EXPECT_EQ(back.name, "");
    EXPECT_TRUE(tk_test::ModelState::Of(back) == tk_test::ModelState::Of(SmallModel()));
}

TEST(VoxFile, PaletteIsWrittenOnlyWhenNotTheDefault) {
    TK_Model m = SmallModel();
    for (int i = 0; i < 256; ++i) m.palette[i] = (m.palette[i] & 0x00FFFFFFu) | uint32_t(i) << 24;
    m.palette[0] = 0x12345678u;
    EXPECT_EQ(Write(m), VoxFile({kSize, kXyzi})) << "alphas and entry 0 do not count";
    TK_Model back;
    ASSERT_TRUE(Read(back, Write(m)));
    EXPECT_EQ(back.palette, DefaultPalette());

    m = SmallModel();
    m.palette[17] ^= 0x00010000u;  // blue only
    EXPECT_EQ(Write(m), VoxFile({kSize, kXyzi, Rgba(m.palette)}));
    ASSERT_TRUE(Read(back, Write(m)));
    EXPECT_EQ(back.palette[0], PackRGBA(0, 0, 0, 255));
    for (int i = 1; i < 256; ++i) EXPECT_EQ(back.palette[i], m.palette[i]) << i;
}

TEST(VoxFile, ChunkOrderDoesNotMatterAndUnknownChunksAreKept) {
    TK_Model m = SmallModel();
    m.palette[3] = PackRGBA(1, 2, 3);
    TK_Model standard, shuffled;
    ASSERT_TRUE(Read(standard, Write(m)));
    ASSERT_TRUE(Read(shuffled, VoxFile({kXyzi, Rgba(m.palette), kSize})));
    EXPECT_EQ(Write(shuffled), Write(standard));
    const Bytes junk = VoxFile({kXyzi, Rgba(m.palette), Chunk("JUNK", {9}), kSize});
    ASSERT_TRUE(Read(shuffled, junk));
    EXPECT_TRUE(ModelState::Of(shuffled) == ModelState::Of(standard));
    EXPECT_EQ(Write(shuffled), junk) << "written back in its order, the unknown chunk with it";
    ASSERT_TRUE(Read(shuffled, VoxFile({Chunk("JUNK", {}, kSize), kXyzi})));
    EXPECT_TRUE(shuffled.kept && !shuffled.kept->protect.empty()) << "a nested model chunk cannot be kept: its file is";
}

// Files that hold only what the editor writes keep today's bytes.
TEST(VoxFile, PlainFilesKeepTodaysBytes) {
    auto fnv = [](const Bytes& b) {
        uint64_t h = 1469598103934665603ull;
        for (uint8_t c : b) h = (h ^ c) * 1099511628211ull;
        return h;
    };
    TK_Model plain = tk_test::MakeModel(5, 4, 3);
    for (int i = 0; i < 20; ++i)
        plain.voxels.Add(Voxel{uint8_t(i % 5), uint8_t(i / 5 % 4), uint8_t(i % 3), uint8_t(1 + i * 13 % 255)});
    TK_Model coloured = plain;
    for (int i = 1; i < 256; i += 7) coloured.palette[i] = PackRGBA(i, 255 - i, i * 3 % 256);
    TK_ModelLook settings;
    settings.settings.ptSunPitch = 20, settings.settings.ptBounces = 3;
    const struct {
        const TK_Model& model;
        const TK_ModelLook* look;
        size_t size;
        uint64_t hash;
    } kCases[] = {{plain, nullptr, 140, 0x673bb84d9a72c14full},
                  {coloured, nullptr, 1176, 0x3ea322c90da22dedull},
                  {coloured, &settings, 1272, 0xbbdd44ee164cb521ull}};
    for (const auto& c : kCases) {
        Bytes out;
        ASSERT_TRUE(WriteVoxBytes(c.model, out, c.look));
        EXPECT_EQ(out.size(), c.size);
        EXPECT_EQ(fnv(out), c.hash) << c.size;
    }
}

TEST(VoxFile, RefusesForeignFiles) {
    Bytes badMagic = Write(SmallModel());
    badMagic[3] = 'X';
    for (const Bytes& bytes : {VoxFile({}, 151), badMagic, Bytes{}, Bytes{'V', 'O', 'X', ' '}}) {
        TK_Model m;
        EXPECT_FALSE(Read(m, bytes)) << "a file of " << bytes.size() << " bytes";
    }
}

// Forged sizes are clamped (the 256 cap is the file's; the editor's own cap is
// NormalizeModel's) and forged counts bounded by the data.
TEST(VoxFile, ForgedSizesAndCountsAreBounded) {
    TK_Model m;
    ASSERT_TRUE(Read(m, VoxFile({Chunk("SIZE", Ints({300, 0, 5}))})));
    EXPECT_EQ(std::vector<int>(m.size, m.size + 3), (std::vector<int>{256, 1, 5}));
    ASSERT_TRUE(Read(m, VoxFile({})));
    EXPECT_EQ(m.size[0], 0) << "no SIZE chunk leaves the size for NormalizeModel";
    EXPECT_EQ(m.voxels.Count(), 0);
    // Two voxels present: a larger count reads those, a count of 0 or less none.
    for (int32_t count : {3, 1000000000, 0, -1, INT32_MIN}) {
        const Bytes content = Cat({Ints({count}), {0, 0, 0, 5, 1, 0, 2, 7, 9, 9}});
        ASSERT_TRUE(Read(m, VoxFile({Chunk("XYZI", content)}))) << count;
        EXPECT_EQ(m.voxels.Count(), count > 0 ? 2 : 0) << count;
    }
    // A count within the content but past the end of a cut file.
    Bytes cut = VoxFile({Chunk("XYZI", Ints({2, 0x05000000, 0x07020001}))});
    cut.resize(cut.size() - 3);
    ASSERT_TRUE(Read(m, cut));
    EXPECT_EQ(m.voxels.Count(), 1);
}

TEST(VoxFile, EveryTruncationFailsCleanlyOrLoads) {
    TK_Model m = SmallModel();
    m.palette[9] = PackRGBA(9, 9, 9);
    const Bytes full = Write(m);
    testing::internal::CaptureStdout();
    for (size_t n = 0; n < full.size(); ++n) {
        Bytes cut(full.begin(), full.begin() + long(n));
        TK_Model back;
        if (Read(back, cut)) {
            EXPECT_LE(back.voxels.Count(), 2) << n;
        }
    }
    testing::internal::GetCapturedStdout();
}

TEST(VoxFile, LookTravelsInItsOwnChunkOnlyWhenNotTheDefault) {
    const TK_Model m = SmallModel();
    const TK_ModelLook defaults;
    const Bytes plain = Write(m);
    Bytes written;
    ASSERT_TRUE(WriteVoxBytes(m, written, &defaults));
    EXPECT_EQ(written, plain) << "a default look keeps today's bytes";

    TK_ModelLook look;
    look.materials[5].type = 3, look.materials[5].flux = 7;
    look.settings.ptSunPitch = 20, look.settings.ptSunColor[1] = 9, look.settings.ptPrim = TK_PRIM_MC;
    look.settings.ptImage[0] = 17;  // the window's, not the look's
    ASSERT_TRUE(WriteVoxBytes(m, written, &look));
    ASSERT_GT(written.size(), plain.size() + 12);
    EXPECT_EQ(std::string(written.begin() + long(plain.size()), written.begin() + long(plain.size()) + 4), "MATL")
        << "materials after the standard chunks, then the editor's own";
    const std::string text(written.begin(), written.end());
    EXPECT_NE(text.find("TRSK", plain.size()), std::string::npos) << "the settings' chunk";
    TK_Model back;
    TK_ModelLook read;
    ASSERT_TRUE(ReadVoxBytes(back, written.data(), written.size(), &read));
    EXPECT_TRUE(ModelState::Of(back) == ModelState::Of(m));
    EXPECT_EQ(std::memcmp(read.materials, look.materials, sizeof look.materials), 0);
    EXPECT_TRUE(read.settings.ptSunPitch == 20 && read.settings.ptSunColor[1] == 9 &&
                read.settings.ptPrim == TK_PRIM_MC);
    EXPECT_EQ(read.settings.ptImage[0], defaults.settings.ptImage[0]);
}

// A damaged look chunk costs the look, never the model; values out of
// range, integers as well as numbers, are clamped as the settings command
// clamps them.
TEST(VoxFile, DamagedLookFallsBackToTheDefaults) {
    auto f = [](float v) {
        int32_t bits;
        std::memcpy(&bits, &v, 4);
        return bits;
    };
    auto material = [&](int32_t index, int32_t type, float flux) {
        return Ints({index, type, f(0.2f), f(0.5f), 0, f(1.5f), f(0.3f), f(flux), f(0.5f), 0, 0, 0, 0, 0});
    };
    const Bytes sunp = Ints({int32_t(OMB_ChunkId("SUNP")), f(1000)});
    const Bytes nan = Ints({int32_t(OMB_ChunkId("SUNY")), f(std::nanf(""))});
    const Bytes unknown = Ints({int32_t(OMB_ChunkId("ZZZZ")), 5});
    const Bytes ints = Ints({int32_t(OMB_ChunkId("PRIM")), 99, int32_t(OMB_ChunkId("BNCE")), -4});
    auto withLook = [](const Bytes& look) { return VoxFile({kSize, Chunk("TRSK", look)}); };
    Bytes cut = VoxFile({Chunk("TRSK", Cat({Ints({1, 0, 1}), material(5, 3, 1)}))});
    cut.resize(cut.size() - 8);  // the chunk's content runs past the end
    const struct {
        const char* name;
        Bytes file;
        bool readable;
    } kCases[] = {
        {"clamped", withLook(Cat({Ints({1, 5}), sunp, nan, unknown, ints, Ints({1}), material(5, 9, 1e9f)})), true},
        {"version 2", withLook(Ints({2, 0, 0})), false},
        {"settings past the data", withLook(Cat({Ints({1, 1000000}), sunp, Ints({0})})), false},
        {"materials past the data", withLook(Cat({Ints({1, 0, 2}), material(5, 3, 1)})), false},
        {"256 materials", withLook(Ints({1, 0, 256})), false},
        {"palette index 0", withLook(Cat({Ints({1, 0, 1}), material(0, 3, 1)})), false},
        {"short", withLook(Ints({1})), false},
        {"cut file", cut, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TK_Model back;
        TK_ModelLook look;
        look.settings.ptSunPitch = 1;
        testing::internal::CaptureStdout();
        ASSERT_TRUE(ReadVoxBytes(back, c.file.data(), c.file.size(), &look));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  c.readable ? "" : "[Warning] VOX : materials and render settings unreadable, defaults used\n");
        if (!c.readable) {
            EXPECT_TRUE(look.IsDefault());
            continue;
        }
        EXPECT_EQ(look.settings.ptSunPitch, 90);
        EXPECT_EQ(look.settings.ptSunYaw, TK_Settings().ptSunYaw);
        EXPECT_EQ(look.settings.ptPrim, kTracerPrimCount - 1);
        EXPECT_EQ(look.settings.ptBounces, 0);
        EXPECT_TRUE(look.materials[5].type == 0 && look.materials[5].flux == 100);
    }
}

// ---------------------------------------------------------------- scenes

namespace {

// The top-level chunks of a file, whole.
std::vector<Bytes> ChunksOf(const Bytes& file) {
    std::vector<Bytes> out;
    for (size_t at = 20; at + 12 <= file.size();) {
        const size_t n = 12 + size_t(OMB_GetInt32LE(&file[at + 4])) + size_t(OMB_GetInt32LE(&file[at + 8]));
        out.emplace_back(file.begin() + long(at), file.begin() + long(std::min(at + n, file.size())));
        at += n;
    }
    return out;
}

}  // namespace

// Every chunk of a scene comes back byte for byte, the version too; its
// MATL materials are the colours' materials.
TEST(VoxFile, SceneRoundTripsByteForByte) {
    for (int32_t version : {150, 200}) {
        SCOPED_TRACE(version);
        const Bytes file = tk_test::SceneFile(version);
        TK_Model m;
        TK_ModelLook look;
        ASSERT_TRUE(ReadVoxBytes(m, file.data(), file.size(), &look)) << OMB_TakeCause();
        ASSERT_TRUE(m.kept);
        EXPECT_EQ(m.kept->Label(), "model 1 of 3 (house)");
        EXPECT_EQ(m.voxels.Count(), 2);
        const TK_Material* r = look.materials;
        EXPECT_TRUE(r[3].type == TK_MATERIAL_METAL && r[3].roughness == 0.1f);
        EXPECT_TRUE(r[5].type == TK_MATERIAL_GLASS && r[5].ior == 1.3f && r[5].attenuation == 0.5f);
        EXPECT_TRUE(r[7].type == TK_MATERIAL_EMIT && r[7].glow == 0.8f && r[7].flux == 2.0f);
        EXPECT_TRUE(r[9].type == TK_MATERIAL_DIFFUSE && r[11].type == TK_MATERIAL_DIFFUSE);
        Bytes out;
        ASSERT_TRUE(WriteVoxBytes(m, out, &look));
        EXPECT_EQ(out, file);
    }
}

// An edit changes the edited model's XYZI, the palette entry and the edited
// material, nothing else; a new material gets its own MATL.
TEST(VoxFile, AnEditChangesOnlyWhatWasEdited) {
    const Bytes file = tk_test::SceneFile();
    TK_Model m;
    TK_ModelLook look;
    ASSERT_TRUE(ReadVoxBytes(m, file.data(), file.size(), &look));
    m.voxels.Add(Voxel{1, 0, 0, 7});
    m.palette[20] = PackRGBA(1, 2, 3);
    look.materials[5].roughness = 0.75f;
    look.materials[8].type = TK_MATERIAL_METAL;
    Bytes out;
    ASSERT_TRUE(WriteVoxBytes(m, out, &look));
    const std::vector<Bytes> before = ChunksOf(file), after = ChunksOf(out);
    ASSERT_EQ(after.size(), before.size() + 1);
    std::vector<std::string> changed;
    for (size_t i = 0, j = 0; i < before.size(); ++i, ++j) {
        if (std::string(after[j].begin(), after[j].begin() + 4) == "MATL" && OMB_GetInt32LE(&after[j][12]) == 8) ++j;
        if (after[j] != before[i]) changed.emplace_back(before[i].begin(), before[i].begin() + 4);
    }
    EXPECT_EQ(changed, (std::vector<std::string>{"XYZI", "RGBA", "MATL"}));
    TK_Model back, tree;
    TK_ModelLook lookBack;
    ASSERT_TRUE(ReadVoxBytes(back, out.data(), out.size(), &lookBack));
    EXPECT_EQ(back.voxels.Count(), 3);
    EXPECT_EQ(std::memcmp(lookBack.materials, look.materials, sizeof look.materials), 0);
    ASSERT_TRUE(TK_VoxKeptModel(*back.kept, 1, tree));
    EXPECT_TRUE(tree.size[0] == 3 && tree.voxels.Count() == 2 && tree.voxels[1].colorIndex == 7);
}

// What MATL cannot say (a clear coat) travels in the editor's own chunk and
// wins; what it can say travels as MATL alone.
TEST(VoxFile, MaterialsOfEveryKindRoundTrip) {
    TK_ModelLook look;
    TK_Material* r = look.materials;
    r[2].type = TK_MATERIAL_METAL, r[2].roughness = 0.3f;
    r[3].type = TK_MATERIAL_GLASS, r[3].ior = 1.7f, r[3].attenuation = 0.2f;
    r[4].type = TK_MATERIAL_EMIT, r[4].flux = 9, r[4].glow = 0.4f;
    r[6].specular = 0.9f;
    r[7].plastic = 1;
    Bytes out;
    ASSERT_TRUE(WriteVoxBytes(SmallModel(), out, &look));
    const std::string text(out.begin(), out.end());
    size_t matl = 0;
    for (size_t at = text.find("MATL"); at != std::string::npos; at = text.find("MATL", at + 1)) ++matl;
    EXPECT_EQ(matl, 5u);
    TK_ModelLook back;
    TK_Model m;
    ASSERT_TRUE(ReadVoxBytes(m, out.data(), out.size(), &back));
    EXPECT_EQ(std::memcmp(back.materials, look.materials, sizeof look.materials), 0);
    EXPECT_TRUE(TK_MaterialFitsVox(r[4]));
    EXPECT_FALSE(TK_MaterialFitsVox(r[7]));
}

// Each damage names its cause and refuses the file.
TEST(VoxFile, DamagedScenesAreRefusedWithTheirCause) {
    using tk_test::Group;
    using tk_test::Shape;
    const Bytes model = Cat({tk_test::SizeChunk(1, 1, 1), tk_test::XyziChunk({{0, 0, 0, 1}})});
    const Bytes longName = Chunk("nTRN", Cat({Ints({0, 1, 5}), {'_', 'n', 'a', 'm', 'e'}, Ints({1000}), {'x'}}));
    const struct {
        const char* cause;
        Bytes file;
    } kCases[] = {
        {"unsupported version 151", VoxFile({model}, 151)},
        {"node 1 is its own ancestor", VoxFile({model, Group(1, {2}), Group(2, {3}), Group(3, {1})})},
        {"names child 9, which is no node", VoxFile({model, Group(1, {9})})},
        {"shows model 1 of a file of 1", VoxFile({model, Shape(0, 1)})},
        {"nTRN : string of 1000 bytes is longer than its chunk", VoxFile({model, longName})},
        {"nGRP : child count of 99 is more than the chunk holds", VoxFile({model, Chunk("nGRP", Ints({1, 0, 99}))})},
        {"NOTE : string of 70000 bytes", VoxFile({model, Chunk("NOTE", Ints({1, 70000}))})},
        {"two nodes have the id 4", VoxFile({model, Group(4, {}), Group(4, {})})},
        {"2 SIZE and 1 XYZI", VoxFile({model, tk_test::SizeChunk(1, 1, 1)})},
        {"index map of 3 bytes", VoxFile({model, Chunk("IMAP", {1, 2, 3})})},
        {"MATL : DICT entry count", VoxFile({model, Chunk("MATL", Ints({1, -1}))})},
    };
    for (const auto& c : kCases) {
        TK_Model m;
        OMB_ClearCause();
        EXPECT_FALSE(Read(m, c.file)) << c.cause;
        EXPECT_NE(OMB_TakeCause().find(c.cause), std::string::npos) << c.cause;
    }
}

// "swap" moves the other models' voxels and the MATL chunks with the colours.
TEST(VoxFile, SwappedColoursTakeTheirKeptChunksAlong) {
    const Bytes file = tk_test::SceneFile();
    TK_Model m;
    ASSERT_TRUE(Read(m, file));
    TK_VoxSwapColors(m, 3, 5);
    Bytes out;
    ASSERT_TRUE(WriteVoxBytes(m, out));
    const std::string text(out.begin(), out.end());
    const Bytes metal = tk_test::Matl(5, {{"_type", "_metal"}, {"_rough", "0.1"}, {"_metal", "1"}});
    EXPECT_NE(text.find(std::string(metal.begin(), metal.end())), std::string::npos) << "colour 3's MATL, now 5's";
    TK_Model back, tree, third;
    ASSERT_TRUE(Read(back, out));
    ASSERT_TRUE(TK_VoxKeptModel(*back.kept, 1, tree) && TK_VoxKeptModel(*back.kept, 2, third));
    EXPECT_TRUE(tree.voxels[0].colorIndex == 3 && tree.voxels[1].colorIndex == 7);
    EXPECT_EQ(third.voxels[0].colorIndex, 5);
}
