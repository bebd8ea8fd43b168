// Palette and colour commands through console lines: argument reading, the
// failures that must leave everything untouched, history merging, and the
// round trips of swap, replace and remove.
#include "edit/TK_PaletteCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TK_EditFixture.h"

namespace {

using tk_test::EditEnvTest;
using tk_test::ModelState;

struct MessageLog {
    std::vector<std::pair<int, int>> messages;
    void On(int kind, int value) { messages.emplace_back(kind, value); }
    bool Has(int kind, int value) const {
        for (const auto& m : messages)
            if (m.first == kind && m.second == value) return true;
        return false;
    }
};

class PaletteCommands : public EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        env->listeners.Connect(&log, &MessageLog::On);
        SetBox(4, 4, 4);
    }
    uint32_t Entry(int i) const { return env->model.palette[i]; }
    // The "rgb" line that sets the current entry to `c`.
    static std::string RgbLine(uint32_t c) {
        return "rgb " + std::to_string(ColorR(c)) + " " + std::to_string(ColorG(c)) + " " + std::to_string(ColorB(c));
    }
    MessageLog log;
};

TEST_F(PaletteCommands, IndexAcceptsOnlyANewColour) {
    struct Case {
        const char* line;
        bool ok;
    } cases[] = {{"index 0", false}, {"index 256", false}, {"index 5", false}, {"index", false},
                 {"index x", false}, {"index 7 8", false}, {"index 7", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.line), c.ok) << c.line;
        EXPECT_EQ(env->currentColorIndex, c.ok ? 7 : 5) << c.line;
    }
    EXPECT_TRUE(log.Has(TK_NOTIFY_EDITOR, TK_EDITOR_COLOR));
    EXPECT_EQ(env->executor.UndoCount(), 0u);
}

TEST_F(PaletteCommands, RgbReadsEveryColourForm) {
    struct Case {
        const char* args;
        int index;
        uint32_t color;
    } cases[] = {
        {"#ff8000", 5, PackRGBA(255, 128, 0)},  {"#ff8", 5, PackRGBA(255, 128, 0)},
        {"#", 5, PackRGBA(0, 0, 0)},
        {"300", 5, PackRGBA(255, 255, 255)},    {"-4", 5, PackRGBA(0, 0, 0)},
        {"10 20 300", 5, PackRGBA(10, 20, 255)}, {"set 9 1 2 3", 9, PackRGBA(1, 2, 3)},
        {"set 9 #0a0b0c", 9, PackRGBA(10, 11, 12)},
    };
    for (const Case& c : cases) {
        env->model.palette = DefaultPalette();
        env->model.palette[c.index] = PackRGBA(99, 99, 99);
        ASSERT_TRUE(Run(std::string("rgb ") + c.args)) << c.args << "\n" << output;
        EXPECT_EQ(Entry(c.index), c.color) << c.args;
    }
    EXPECT_TRUE(log.Has(TK_NOTIFY_EDITOR, TK_EDITOR_PALETTE_EDIT));
    EXPECT_TRUE(log.Has(TK_NOTIFY_PALETTE, 9));
}

TEST_F(PaletteCommands, RgbRejectsBadArguments) {
    const Palette before = env->model.palette;
    for (const char* args : {"", "10 20", "foo 1 2 3", "set", "set 9", "#12345678", "#ffzz00", "1 2 3 x", "\"a"}) {
        EXPECT_FALSE(Run(std::string("rgb ") + args)) << args;
        EXPECT_NE(output.find("[Error] cmd failed to parse parms: TK_CMD_RGB"), std::string::npos) << args;
    }
    // Valid text that changes nothing or names no colour fails in Execute.
    for (const std::string& line : {RgbLine(Entry(5)), std::string("rgb set 0 1 2 3"), std::string("rgb set 256 1")}) {
        EXPECT_FALSE(Run(line)) << line;
        EXPECT_NE(output.find("[Error] cmd failed : TK_CMD_RGB"), std::string::npos) << line;
    }
    EXPECT_TRUE(env->model.palette == before);
    EXPECT_EQ(env->executor.UndoCount(), 0u);
}

TEST_F(PaletteCommands, SuccessiveRgbEditsMergeIntoOneStep) {
    const uint32_t original = Entry(5);
    ASSERT_TRUE(Run("rgb 10 0 0 | rgb 20 0 0 | rgb 30 0 0"));
    EXPECT_EQ(Entry(5), PackRGBA(30, 0, 0));
    EXPECT_EQ(env->executor.UndoCount(), 1u);
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(Entry(5), original);
    ASSERT_TRUE(Run("redo"));
    EXPECT_EQ(Entry(5), PackRGBA(30, 0, 0));
    // Back to the starting colour: the merged step has no effect and goes.
    ASSERT_TRUE(Run("rgb 40 0 0"));
    ASSERT_TRUE(Run(RgbLine(original)));
    EXPECT_EQ(env->executor.UndoCount(), 0u);
    // Another entry is another step.
    ASSERT_TRUE(Run("rgb 1 1 1 | rgb set 6 2 2 2"));
    EXPECT_EQ(env->executor.UndoCount(), 2u);
}

// A merge rewrites the newest entry, so the undone "pal" (recorded against
// the old colour) must not come back on top of it.
TEST_F(PaletteCommands, RedoAfterAMergedEditKeepsTheMergedColourReachable) {
    ASSERT_TRUE(Run("rgb set 5 10 10 10 | pal bw | undo | rgb set 5 20 20 20"));
    EXPECT_FALSE(Run("redo"));
    ASSERT_TRUE(Run("undo | redo"));
    EXPECT_EQ(Entry(5), PackRGBA(20, 20, 20));
}

TEST_F(PaletteCommands, PalKeywords) {
    for (int x = 0; x < 4; ++x) Add(x, 0, 0, 3);
    Add(0, 1, 0, 200);  // past the first block of four
    struct Case {
        const char* line;
        int index;
        uint32_t color;
    } cases[] = {
        {"pal BW", 1, PackRGBA(255, 255, 255)},   {"pal bw", 255, PackRGBA(1, 1, 1)},
        {"pal mac", 37, PackRGBA(204, 255, 255)}, {"pal fill #070809", 100, PackRGBA(7, 8, 9)},
        {"pal mask", 3, PackRGBA(1, 2, 3)},       {"pal mask", 4, PackRGBA(75, 75, 75)},
        {"pal mask", 200, PackRGBA(1, 2, 3)},
    };
    for (const Case& c : cases) {
        for (int i = 1; i < 256; ++i) env->model.palette[i] = PackRGBA(1, 2, 3);
        ASSERT_TRUE(Run(c.line)) << c.line;
        EXPECT_EQ(Entry(c.index), c.color) << c.line;
        EXPECT_EQ(Entry(0), 0u) << c.line;
    }
    EXPECT_TRUE(log.Has(TK_NOTIFY_PALETTE, TK_PALETTE_ALL));
    // Mask on an empty model greys every entry.
    SetBox(2, 2, 2);
    ASSERT_TRUE(Run("pal mac | pal mask"));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(Entry(i), PackRGBA(75, 75, 75)) << i;
}

TEST_F(PaletteCommands, PalFailsWhenNothingChanges) {
    const Palette before = env->model.palette;
    ASSERT_TRUE(Run("pal fill 0"));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(Entry(i), PackRGBA(0, 0, 0)) << i;
    const Palette after = env->model.palette;
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(env->model.palette == before);
    ASSERT_TRUE(Run("redo"));
    EXPECT_TRUE(env->model.palette == after);
    EXPECT_FALSE(Run("pal fill 0"));
    EXPECT_NE(output.find("[Error] cmd failed : TK_CMD_PAL"), std::string::npos);
    EXPECT_FALSE(Run("pal something"));
    for (const char* bad : {"pal", "pal 3", "pal fill", "pal fill 1 2", "pal grad 1 2 3", "pal grad 0 5 8 1 0 0 0 9 9 9"})
        EXPECT_FALSE(Run(bad)) << bad;
    EXPECT_EQ(env->executor.UndoCount(), 1u);
}

TEST_F(PaletteCommands, GradientFillsTheRectangleBetweenTwoEntries) {
    // Grid of 8 columns: entry 10 is row 1 column 1, entry 28 row 3 column 3.
    ASSERT_TRUE(Run("pal fill 1 | pal grad 10 28 8 32 0 0 0 180 90 18"));
    EXPECT_EQ(Entry(10), PackRGBA(0, 0, 0));
    EXPECT_EQ(Entry(28), PackRGBA(180, 90, 18));
    EXPECT_EQ(Entry(19), PackRGBA(90, 45, 9));  // halfway in index order
    EXPECT_EQ(Entry(9), PackRGBA(1, 1, 1));     // left of the rectangle
    EXPECT_EQ(Entry(13), PackRGBA(1, 1, 1));    // right of it
    // Equal colours fill flat; indices beyond 255 are left alone.
    ASSERT_TRUE(Run("pal grad 250 255 16 16 9 9 9 9 9 9"));
    EXPECT_EQ(Entry(252), PackRGBA(9, 9, 9));
    EXPECT_EQ(Entry(249), PackRGBA(1, 1, 1));
}

TEST_F(PaletteCommands, SwapTwiceRestoresPaletteVoxelsAndMaterials) {
    Add(0, 0, 0, 3);
    Add(1, 0, 0, 7);
    Add(2, 0, 0, 9);
    // Enough voxels for the four-at-a-time path and an odd tail.
    for (int i = 4; i < 64; ++i) env->model.voxels.Add(Voxel{uint8_t(i % 4), uint8_t(i / 4 % 4), uint8_t(i / 16), uint8_t(i % 3 ? 3 : 7)});
    Commit();
    const int threes = env->model.CountColor(3), sevens = env->model.CountColor(7);
    env->materials[3].roughness = 0.25f;
    env->materials[7].type = 2;
    const ModelState before = ModelState::Of(env->model);
    const uint32_t entry3 = Entry(3), entry7 = Entry(7);

    for (const char* bad : {"swap 3 3", "swap 0 3", "swap 3"}) EXPECT_FALSE(Run(bad)) << bad;
    ASSERT_TRUE(Run("swap 3 7"));
    EXPECT_EQ(Entry(3), entry7);
    EXPECT_EQ(Entry(7), entry3);
    EXPECT_EQ((std::vector<int>{ColorAt(0, 0, 0), ColorAt(1, 0, 0), ColorAt(2, 0, 0)}), (std::vector<int>{7, 3, 9}));
    EXPECT_EQ(env->model.CountColor(7), threes);
    EXPECT_EQ(env->model.CountColor(3), sevens);
    EXPECT_EQ(env->materials[7].roughness, 0.25f);
    EXPECT_EQ(env->materials[3].type, 2);
    EXPECT_TRUE(log.Has(TK_NOTIFY_PALETTE, 3) && log.Has(TK_NOTIFY_PALETTE, 7));
    EXPECT_TRUE(log.Has(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE));

    ASSERT_TRUE(Run("swap 7 3"));
    EXPECT_TRUE(ModelState::Of(env->model) == before);
    EXPECT_EQ(env->materials[3].roughness, 0.25f);
    EXPECT_EQ(env->materials[7].type, 2);
    ASSERT_TRUE(Run("undo | undo"));
    EXPECT_TRUE(ModelState::Of(env->model) == before);
}

TEST_F(PaletteCommands, ReplaceAndRemoveRoundTrip) {
    for (int x = 0; x < 4; ++x) Add(x, 0, 0, 3 + x % 2);
    const ModelState before = ModelState::Of(env->model);

    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(3, 3), nullptr));
    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(9, 3), nullptr));
    ASSERT_TRUE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(3, 4), nullptr));
    EXPECT_EQ(env->model.CountColor(4), 4);

    env->currentColorIndex = 4;
    auto remove = std::make_unique<TK_CMD_RemoveColor>();
    remove->SetEnvironment(env.get());
    ASSERT_TRUE(remove->Parse(""));
    ASSERT_TRUE(env->RunCommand(std::move(remove), nullptr));
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_RemoveColor>(4), nullptr));

    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(env->model.CountColor(4), 4);
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(ModelState::Of(env->model) == before);
    ASSERT_TRUE(Run("redo | redo"));
    EXPECT_EQ(Count(), 0);
}

}  // namespace
