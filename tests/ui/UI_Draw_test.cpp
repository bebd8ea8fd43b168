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

const std::string kFontPath = std::string(TK_SOURCE_DIR) + "/config/font.png";

// Glyph placement needs no context: where the first quad starts, how many.
TEST(Canvas, StringPlacementAndSkippedCodes) {
    const struct Case {
        const char* text;
        int count, align;
        float firstX;
        int glyphs;
    } cases[] = {
        {"abc", 3, UI_ALIGN_LEFT, 100, 3},
        {"abc", 2, UI_ALIGN_CENTER, 92, 2},
        {"abc", 9, UI_ALIGN_RIGHT, 76, 3},  // count clipped to the text
        {"\x80" "A", 2, UI_ALIGN_LEFT, 108, 1},  // 128 only advances
    };
    for (const Case& c : cases) {
        UI_Canvas canvas;
        canvas.Begin();
        canvas.DrawString(c.text, c.count, 100, 10, 8, 16, c.align);
        canvas.End();
        ASSERT_EQ(canvas.Text().Count(), 4 * c.glyphs) << c.text;
        EXPECT_EQ(canvas.Text().Vertices()[0].position[0], c.firstX) << c.text;
    }
    // A text far wider than its view is clipped to what the view holds.
    UI_Canvas canvas;
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
        ASSERT_TRUE(window.Canvas().LoadFont(kFontPath.c_str()));
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

TEST_F(UIDraw, GlyphComesOutWholeAndUpright) {
    std::ifstream file(kFontPath, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    UI_FontImage font;
    ASSERT_TRUE(UI_DecodeFontImage(bytes.data(), bytes.size(), font));
    ASSERT_TRUE(font.width == 128 && font.height == 128) << font.width << " x " << font.height;
    // 'F' (code 70) is asymmetric both ways: a flip or a cut shows.
    Load("vbox { label (text='F' align='left' fontColor='255 255 255' fontSize='8 16' size='16' minSize='0 16') }");
    const OMB_Rect r = window.Root()->Child(0)->Rect();
    const int x0 = r.x0 + 10, y0 = r.y0;
    int lit = 0;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 8; ++col) {
            const int cellX = (70 % 16) * 8 + col, cellY = (70 / 16) * 16 + row;
            const bool on = font.rgba[size_t(cellY * 128 + cellX) * 4 + 3] > 127;
            // Image rows run top down, the framebuffer's bottom up.
            const bool drawn = Pixel(x0 + col, y0 + 15 - row)[0] > 127;
            EXPECT_EQ(drawn, on) << "cell pixel " << col << ", " << row;
            lit += on;
        }
    EXPECT_GT(lit, 10);
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
