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
#include "core/OMB_TestFiles.h"
#include "core/OMB_XIFF.h"

namespace {

using tk_test::Bytes;
using tk_test::Cat;
using tk_test::Chunk;
using tk_test::Ints;

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

TEST(VoxFile, ChunkOrderAndUnknownChunksDoNotMatter) {
    TK_Model m = SmallModel();
    m.palette[3] = PackRGBA(1, 2, 3);
    TK_Model standard, shuffled;
    ASSERT_TRUE(Read(standard, Write(m)));
    ASSERT_TRUE(Read(shuffled, VoxFile({kXyzi, Rgba(m.palette), Chunk("JUNK", {9}), kSize})));
    EXPECT_EQ(Write(shuffled), Write(standard));
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
    EXPECT_EQ(std::string(written.begin() + long(plain.size()), written.begin() + long(plain.size()) + 4), "TRSK")
        << "after the standard chunks";
    TK_Model back;
    TK_ModelLook read;
    ASSERT_TRUE(ReadVoxBytes(back, written.data(), written.size(), &read));
    EXPECT_EQ(Write(back), plain);
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
