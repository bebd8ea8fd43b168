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

using tk_test::ModelState;

class PaletteCommands : public tk_test::EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        SetBox(4, 4, 4);
    }
    uint32_t Entry(int i) const { return env->model.palette[i]; }
    // The "rgb" line that sets the current entry to `c`.
    static std::string RgbLine(uint32_t c) {
        return "rgb " + std::to_string(ColorR(c)) + " " + std::to_string(ColorG(c)) + " " + std::to_string(ColorB(c));
    }
};

// Text that does not parse, and valid text that changes nothing or names no
// colour; a refused "rgb" must not merge with the edit before it either.
TEST_F(PaletteCommands, RefusalsChangeNothing) {
    ASSERT_TRUE(Run("rgb set 9 1 2 3"));
    const std::string index = "parse parms: TK_CMD_ColorIndex", rgb = "parse parms: TK_CMD_RGB",
                      pal = "parse parms: TK_CMD_PAL", badIndex = "failed : TK_CMD_ColorIndex",
                      sameRgb = "failed : TK_CMD_RGB", swap = "failed : TK_CMD_SwapColor";
    const std::pair<std::string, std::string> cases[] = {
        {"index 0", badIndex},
        {"index 256", badIndex},
        {"index 5", badIndex},
        {"index", index},
        {"index x", index},
        {"index 7 8", index},
        {"rgb", rgb},
        {"rgb 10 20", rgb},
        {"rgb foo 1 2 3", rgb},
        {"rgb set", rgb},
        {"rgb set 9", rgb},
        {"rgb #12345678", rgb},
        {"rgb #ffzz00", rgb},
        {"rgb 1 2 3 x", rgb},
        {"rgb \"a", rgb},
        {RgbLine(Entry(5)), sameRgb},
        {"rgb set 0 1 2 3", sameRgb},
        {"rgb set 256 1", sameRgb},
        {"pal", pal},
        {"pal something", "failed : TK_CMD_PAL"},
        {"pal 3", pal},
        {"pal fill", pal},
        {"pal fill 1 2", pal},
        {"pal grad 1 2 3", pal},
        {"pal grad 0 5 8 1 0 0 0 9 9 9", pal},
        {"swap 3 3", swap},
        {"swap 0 3", swap},
        {"swap 3", "parse parms: TK_CMD_SwapColor"},
    };
    for (const auto& c : cases) ExpectRefused(c.first, c.second);
    // The one good "index" changes the paint colour alone.
    ASSERT_TRUE(Run("index 7"));
    EXPECT_EQ(std::make_pair(env->currentColorIndex, History()), std::make_pair(7, size_t(1)));
    EXPECT_TRUE(Told(TK_NOTIFY_EDITOR, TK_EDITOR_COLOR));
}

TEST_F(PaletteCommands, SuccessiveRgbEditsMergeIntoOneStep) {
    const uint32_t original = Entry(5);
    env->unsaved = false;
    ASSERT_TRUE(Run("rgb 10 0 0 | rgb 20 0 0 | rgb 30 0 0"));
    EXPECT_EQ(Entry(5), PackRGBA(30, 0, 0));
    EXPECT_EQ(History(), 1u);
    EXPECT_TRUE(env->unsaved) << "a palette edit is unsaved work";
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(Entry(5), original);
    ASSERT_TRUE(Run("redo"));
    EXPECT_EQ(Entry(5), PackRGBA(30, 0, 0));
    // Back to the starting colour: the merged step has no effect and goes.
    ASSERT_TRUE(Run("rgb 40 0 0"));
    ASSERT_TRUE(Run(RgbLine(original)));
    EXPECT_EQ(History(), 0u);
    // Another entry is another step.
    ASSERT_TRUE(Run("rgb 1 1 1 | rgb set 6 2 2 2"));
    EXPECT_EQ(History(), 2u);
}

// A merge rewrites the newest entry, so the undone "pal" (recorded against
// the old colour) must not come back on top of it.
TEST_F(PaletteCommands, RedoAfterAMergedEditKeepsTheMergedColourReachable) {
    ASSERT_TRUE(Run("rgb set 5 10 10 10 | pal bw | undo | rgb set 5 20 20 20"));
    EXPECT_FALSE(Run("redo"));
    ASSERT_TRUE(Run("undo | redo"));
    EXPECT_EQ(Entry(5), PackRGBA(20, 20, 20));
}

// Each row: one line on a palette of (1, 2, 3) entries, and one entry after.
TEST_F(PaletteCommands, ColourFormsAndPalKeywords) {
    for (int x = 0; x < 4; ++x) Add(x, 0, 0, 3);
    Add(0, 1, 0, 200);  // past the first block of four
    // Grid of 8 columns: entry 10 is row 1 column 1, entry 28 row 3 column 3.
    const char* grad = "pal fill 1 | pal grad 10 28 8 32 0 0 0 180 90 18";
    // Equal colours fill flat; indices beyond 255 are left alone.
    const char* flat = "pal grad 250 255 16 16 9 9 9 9 9 9";
    struct Case {
        const char* line;
        int index;
        uint32_t color;
    } cases[] = {
        {"rgb #ff8000", 5, PackRGBA(255, 128, 0)},
        {"rgb #ff8", 5, PackRGBA(255, 128, 0)},
        {"rgb #", 5, PackRGBA(0, 0, 0)},
        {"rgb 300", 5, PackRGBA(255, 255, 255)},
        {"rgb -4", 5, PackRGBA(0, 0, 0)},
        {"rgb 10 20 300", 5, PackRGBA(10, 20, 255)},
        {"rgb set 9 4 5 6", 9, PackRGBA(4, 5, 6)},
        {"rgb set 9 #0a0b0c", 9, PackRGBA(10, 11, 12)},
        {"pal BW", 1, PackRGBA(255, 255, 255)},
        {"pal bw", 255, PackRGBA(1, 1, 1)},
        {"pal mac", 37, PackRGBA(204, 255, 255)},
        {"pal fill #070809", 100, PackRGBA(7, 8, 9)},
        {"pal mask", 3, PackRGBA(1, 2, 3)},
        {"pal mask", 4, PackRGBA(75, 75, 75)},
        {"pal mask", 200, PackRGBA(1, 2, 3)},
        {grad, 10, PackRGBA(0, 0, 0)},
        {grad, 28, PackRGBA(180, 90, 18)},
        {grad, 19, PackRGBA(90, 45, 9)},            // halfway in index order
        {grad, 9, PackRGBA(1, 1, 1)},  // left of it
        {grad, 13, PackRGBA(1, 1, 1)},  // right of it
        {flat, 252, PackRGBA(9, 9, 9)},
        {flat, 249, PackRGBA(1, 2, 3)},
    };
    for (const Case& c : cases) {
        for (int i = 1; i < 256; ++i) env->model.palette[i] = PackRGBA(1, 2, 3);
        ASSERT_TRUE(Run(c.line)) << c.line << "\n" << output;
        EXPECT_EQ(Entry(c.index), c.color) << c.line;
        EXPECT_EQ(Entry(0), 0u) << c.line;
    }
    EXPECT_TRUE(Told(TK_NOTIFY_EDITOR, TK_EDITOR_PALETTE_EDIT));
    EXPECT_TRUE(Told(TK_NOTIFY_PALETTE, 9));
    EXPECT_TRUE(Told(TK_NOTIFY_PALETTE, TK_PALETTE_ALL));
    // Mask on an empty model greys every entry.
    SetBox(2, 2, 2);
    ASSERT_TRUE(Run("pal mac | pal mask"));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(Entry(i), PackRGBA(75, 75, 75)) << i;
}

TEST_F(PaletteCommands, PalUndoesAndFailsWhenNothingChanges) {
    const Palette before = env->model.palette;
    ASSERT_TRUE(Run("pal fill 0"));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(Entry(i), PackRGBA(0, 0, 0)) << i;
    const Palette after = env->model.palette;
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(env->model.palette == before);
    ASSERT_TRUE(Run("redo"));
    EXPECT_TRUE(env->model.palette == after);
    ExpectRefused("pal fill 0", "[Error] cmd failed : TK_CMD_PAL");
}

TEST_F(PaletteCommands, SwapAndUndoRestorePaletteVoxelsAndMaterials) {
    // 63 voxels: enough for the four-at-a-time path and an odd tail.
    Shape(4, 4, 4, [](int x, int y, int z) {
        const int i = x + 4 * y + 16 * z, first[4] = {3, 7, 9, 0};
        return i < 4 ? first[i] : i % 3 ? 3 : 7;
    });
    const int threes = tk_test::CountColor(env->model, 3), sevens = tk_test::CountColor(env->model, 7);
    env->materials[3].roughness = 0.25f;
    env->materials[7].type = 2;
    const ModelState before = State();
    const uint32_t entry3 = Entry(3), entry7 = Entry(7);

    ASSERT_TRUE(Run("swap 3 7"));
    EXPECT_EQ(std::make_pair(Entry(3), Entry(7)), std::make_pair(entry7, entry3));
    EXPECT_EQ((std::vector<int>{ColorAt(0, 0, 0), ColorAt(1, 0, 0), ColorAt(2, 0, 0)}), (std::vector<int>{7, 3, 9}));
    EXPECT_EQ(std::make_pair(tk_test::CountColor(env->model, 7), tk_test::CountColor(env->model, 3)), std::make_pair(threes, sevens));
    EXPECT_EQ(std::make_pair(env->materials[7].roughness, env->materials[3].type), std::make_pair(0.25f, 2));
    EXPECT_TRUE(Told(TK_NOTIFY_PALETTE, 3) && Told(TK_NOTIFY_PALETTE, 7));
    EXPECT_TRUE(Told(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE));

    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(std::make_pair(env->materials[3].roughness, env->materials[7].type), std::make_pair(0.25f, 2));
}

TEST_F(PaletteCommands, ReplaceAndRemoveRoundTrip) {
    for (int x = 0; x < 4; ++x) Add(x, 0, 0, 3 + x % 2);
    const ModelState before = State();

    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(3, 3), nullptr));
    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(9, 3), nullptr));
    ASSERT_TRUE(env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(3, 4), nullptr));
    EXPECT_EQ(tk_test::CountColor(env->model, 4), 4);

    env->currentColorIndex = 4;
    auto remove = std::make_unique<TK_CMD_RemoveColor>();
    remove->SetEnvironment(env.get());
    ASSERT_TRUE(remove->Parse(""));
    ASSERT_TRUE(env->RunCommand(std::move(remove), nullptr));
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(env->RunCommand(std::make_unique<TK_CMD_RemoveColor>(4), nullptr));

    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(tk_test::CountColor(env->model, 4), 4);
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(State() == before);
    ASSERT_TRUE(Run("redo | redo"));
    EXPECT_EQ(Count(), 0);
}

}  // namespace
