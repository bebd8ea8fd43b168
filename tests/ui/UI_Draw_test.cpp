// Offscreen drawing of view trees: glyph placement, glyphs whole and upright,
// text above every quad, hidden views drawing nothing, widget colours.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

// The offscreen OpenGL context, shared with the renderer's tests.
#include "../render/TK_GLTest_support.cpp"
#include "UI_TestWindow.h"
#include "ui/UI_Palette.h"
#include "model/Palette.h"

namespace {

const std::string kFontDir = std::string(TK_BUILD_DIR) + "/fonts";

void LoadFont(UI_Canvas& canvas) {
    std::string error;
    ASSERT_TRUE(canvas.LoadFont(kFontDir, error)) << error;
}

// Glyph placement needs no context: which cell the first glyph lies in, how
// many glyphs.
TEST(Canvas, StringPlacementAndSkippedCodes) {
    const struct Case {
        const char* text;
        int count, align;
        float firstCell;
        int glyphs;
    } cases[] = {
        {"abc", 3, UI_ALIGN_LEFT, 100, 3},
        {"abc", 2, UI_ALIGN_CENTER, 92, 2},
        {"abc", 9, UI_ALIGN_RIGHT, 76, 3},  // count clipped to the text
        {"\x01" "A", 2, UI_ALIGN_LEFT, 108, 1},  // control codes only advance
        {"\xE6\xA8\xA1" "A", 2, UI_ALIGN_LEFT, 100, 1},  // a wide character takes two cells
        {"\xF0\x9F\x98\x80", 2, UI_ALIGN_LEFT, 100, 1},  // no face has it: a box, never a blank
    };
    UI_Canvas canvas;
    LoadFont(canvas);
    for (const Case& c : cases) {
        canvas.Begin();
        canvas.DrawString(c.text, c.count, 100, 10, 8, 16, c.align);
        canvas.End();
        ASSERT_EQ(canvas.Text().Count(), 4 * c.glyphs) << c.text;
        const float x = canvas.Text().Vertices()[0].position[0];
        EXPECT_TRUE(x >= c.firstCell && x < c.firstCell + 8) << c.text << " at " << x;
    }
    // A text far wider than its view is clipped to what the view holds.
    canvas.Begin();
    const std::string huge(1 << 20, 'x');
    canvas.DrawText(huge.c_str(), OMB_RGBA(255, 255, 255, 255), OMB_Rect{0, 0, 79, 15}, 8, 16, UI_ALIGN_LEFT);
    canvas.End();
    EXPECT_LE(canvas.Text().Count(), 4 * 11);
    // Inside a clip, quads are cut to it and glyphs not wholly in it are left out.
    canvas.Begin();
    const OMB_Rect outer = canvas.Clip({0, 0, 99, 19});
    canvas.FillRect(OMB_RGBA(1, 2, 3), {50, 10, 149, 49});
    canvas.FillRect(OMB_RGBA(1, 2, 3), {0, 30, 9, 39});
    canvas.DrawString("abcd", 4, 84, 2, 8, 16, UI_ALIGN_LEFT);
    canvas.SetClip(outer);
    canvas.End();
    ASSERT_EQ(canvas.Quads().Count(), 4);
    EXPECT_EQ(canvas.Quads().Vertices()[2].position[1], 20);  // the top of the first quad, cut
    EXPECT_EQ(canvas.Text().Count(), 4 * 2);
}

class UIDraw : public GLTest {
protected:
    void Load(const char* text) {
        window.Load(text, kWidth, kHeight);
        LoadFont(window.Canvas());
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        window.DrawFrame();
    }
    void TearDown() override {
        window.Canvas().ReleaseFont();
        GLTest::TearDown();
    }
    // The pixels of columns x0..x1 in rows y0..y1 that `lit` accepts.
    template <typename Lit>
    int Count(Lit lit, int x0 = 0, int x1 = kWidth - 1, int y0 = 0, int y1 = kHeight - 1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += lit(Pixel(x, y));
        return n;
    }
    RecordingWindow window;
};

TEST_F(UIDraw, GlyphComesOutUpright) {
    // 'F' is asymmetric: its top bar is wider than its foot.
    Load("vbox { label (text='F' align='left' fontColor='255 255 255' fontSize='8 16' size='16' minSize='0 16') }");
    const OMB_Rect r = window.Root()->Child(0)->Rect();
    std::vector<int> rows;
    for (int y = r.y0; y <= r.y1; ++y) {
        const int ink = Count([](const auto& p) { return p[0] > 127; }, r.x0 + 10, r.x0 + 17, y, y);
        if (ink > 0) rows.push_back(ink);
    }
    ASSERT_GE(rows.size(), 6u);
    EXPECT_GT(rows.back(), rows.front()) << "the top row (last, y grows up) is the bar";
}

// A name in three scripts: every character cell has ink (the fallback face
// draws the CJK one), nothing lies past the text, and a name too long for
// its label is cut instead of running into its neighbour.
TEST_F(UIDraw, InternationalNameInkInEveryCellAndInsideItsBox) {
    // "AЖд模": cells 0, 1, 2 and the wide 3-4, in a 64-pixel window.
    Load("vbox { label (text='A\xD0\x96\xD0\xB4\xE6\xA8\xA1' align='left' fontColor='255 255 255' size='20')"
         " hbox (size='20') { label (text='\xD0\x96\xD0\xB4\xD0\x96\xD0\xB4.vox' align='left'"
         " fontColor='255 255 255' size='40') label (flex='1') } label (flex='1') }");
    const auto ink = [](const auto& p) { return p[0] > 100; };
    const OMB_Rect r = window.Root()->Child(0)->Rect();
    const int x0 = r.x0 + 10;
    for (const auto& cell : {std::pair{0, 1}, {1, 1}, {2, 1}, {3, 2}})
        EXPECT_GT(Count(ink, x0 + cell.first * 8, x0 + (cell.first + cell.second) * 8 - 1, r.y0, r.y1), 6)
            << "cell " << cell.first;
    EXPECT_EQ(Count(ink, x0 + 5 * 8, r.x1, r.y0, r.y1), 0) << "past the text";
    const OMB_Rect cut = window.Root()->Child(1)->Child(0)->Rect();
    EXPECT_GT(Count(ink, cut.x0, cut.x1, cut.y0, cut.y1), 10) << "the long name";
    EXPECT_EQ(Count(ink, cut.x1 + 1, kWidth - 1, cut.y0, cut.y1), 0) << "stays in its label";
}

// Top half: the colour view and the palette draw over the background.
// Bottom half: in a group the colour button is drawn after the label, over
// the same area; the label's text still shows above it.
TEST_F(UIDraw, WidgetsDrawTextAboveQuadsAndHiddenViewsNothing) {
    Load("vbox { hbox (size='32') { rgbView (rgb='200 120 40' flex='1') palette (id='pal' dim='4 4' flex='1') }"
         " optionGroup (flex='1') { label (text='##########' fontColor='255 255 255') cbutton (color='255 0 0')"
         " cbutton (color='0 255 0' hidden='1') } }");
    UI_Cast<UI_Palette>(window.FindView("pal", &UI_View::kClass))->SetPalette(DefaultPalette().entries);
    glClear(GL_COLOR_BUFFER_BIT);
    window.DrawFrame();
    const auto drawn = [](const auto& p) { return p[0] + p[1] + p[2] > 0; };
    EXPECT_GT(Count(drawn, 0, kWidth / 2 - 1, kHeight - 32), 32 * 16) << "the colour view";
    EXPECT_GT(Count(drawn, kWidth / 2, kWidth - 1, kHeight - 32), 32 * 16) << "the palette";
    const int x1 = kWidth - 1, y1 = kHeight - 33;
    EXPECT_GT(Count([](const auto& p) { return p[0] > 200 && p[1] > 200; }, 0, x1, 0, y1), 20) << "white";
    EXPECT_GT(Count([](const auto& p) { return p[0] > 200 && p[1] < 50; }, 0, x1, 0, y1), 1000) << "red";
    EXPECT_EQ(Count([](const auto& p) { return p[1] > 200 && p[0] < 50; }, 0, x1, 0, y1), 0) << "green";
}

}  // namespace
