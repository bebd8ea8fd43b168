// Palette image files (PNG, TGA, ACT): palette round trips through the
// files, the ACT and PNG conversions "ipal" relies on, and the TGA reader's
// refusals of files it does not accept or that lie about their size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TK_PluginTest.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_ACT.h"
#include "plugins/TK_Plugin_PNG.h"
#include "plugins/TK_Plugin_TGA.h"

namespace {

using tk_test::Bytes;

Bytes TgaHeader(int type, int bits, int width, int height, int descriptor = 0, int colourMap = 0) {
    return Bytes().U8(0).U8(colourMap).U8(type).Fill(5, 0).Fill(4, 0)
        .U8(width & 255).U8(width >> 8).U8(height & 255).U8(height >> 8).U8(bits).U8(descriptor);
}

}  // namespace

TEST(PaletteImages, PaletteRoundTripsThroughEveryFormat) {
    TK_Plugin_PNG png;
    TK_Plugin_TGA tga;
    TK_Plugin_ACT act;
    const struct {
        const char* file;
        TK_Plugin* plugin;
        size_t fileSize;  // 0: not fixed
    } cases[] = {{"pal.png", &png, 0}, {"pal.tga", &tga, 18 + 1024}, {"pal.act", &act, 768}};
    TK_Model model;
    for (int i = 1; i < 256; ++i) model.palette[i] = PackRGBA(i, 255 - i, (i * 37) & 255);
    const tk_test::TempFolder folder("tk_palette_images");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = folder.Path(c.file);
        ASSERT_TRUE(c.plugin->SaveModel(path, "", model));
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(TK_ReadFileBytes(path, 1 << 20, bytes));
        EXPECT_TRUE(!c.fileSize || bytes.size() == c.fileSize) << bytes.size();
        Image image;
        ASSERT_TRUE(c.plugin->LoadImage(path, "", image));
        ASSERT_EQ(image.width * image.height, 256);
        const std::vector<uint8_t> last(image.pixels.end() - 4, image.pixels.end());
        EXPECT_TRUE(image.format != IMAGE_RGBA || last == (std::vector<uint8_t>{0, 0, 0, 255})) << "entry 0 last";
        Palette back;
        ASSERT_TRUE(ImageToPalette(image, back, false));
        for (int i = 1; i < 256; ++i) ASSERT_EQ(back[i], model.palette[i]) << "entry " << i;
    }
    EXPECT_FALSE(png.SaveModel("", "", model));
    EXPECT_FALSE(act.SaveModel(folder.Path("no/such/folder/x.act"), "", model));
}

TEST(PaletteImages, ShortActFileFillsOnlyItsColours) {
    const Bytes thirty = Bytes().Fill(30, 7);
    Image image;
    ASSERT_TRUE(TK_Plugin_ACT::ParseBytes(thirty.data.data(), thirty.data.size(), image));
    EXPECT_EQ(image.width, 10);
    Palette palette;
    ASSERT_TRUE(ImageToPalette(image, palette, image.width * image.height > 256));
    EXPECT_EQ(palette[10], PackRGBA(7, 7, 7));
    EXPECT_EQ(palette[11], PackRGBA(245, 245, 245)) << "grey ramp past the file's colours";
    for (size_t n : {0, 2}) EXPECT_FALSE(TK_Plugin_ACT::ParseBytes(thirty.data.data(), n, image)) << n;
}

TEST(PaletteImages, PngConversionsTakePixelsOrDistinctColours) {
    // Each colour appears twice in a row: 16 x 16 copies duplicates, 32 x 32
    // (more than 256 pixels) keeps distinct colours only.
    for (int side : {16, 32}) {
        SCOPED_TRACE(side);
        std::vector<uint8_t> png;
        const auto colour = [side](int x, int y) { return PackRGBA((y * side + x) / 2, (y * side + x) / 512, 9); };
        ASSERT_TRUE(TK_Plugin_PNG::WriteBytes(tk_test::RgbImage(side, side, colour), png));
        Image image;
        ASSERT_TRUE(TK_Plugin_PNG::ParseBytes(png.data(), png.size(), image));
        ASSERT_EQ(image.format, IMAGE_RGBA);
        Palette palette;
        ASSERT_TRUE(ImageToPalette(image, palette, side * side > 256));
        for (int i = 1; i < 256; ++i) {
            const int p = side == 16 ? i - 1 : 2 * (i - 1);
            ASSERT_EQ(palette[i], PackRGBA(p / 2, p / 512, 9)) << "entry " << i;
        }
    }
    const Bytes junk = Bytes().Text("\x89PNG\r\n\x1a\n").Fill(40, 0);
    Image image;
    EXPECT_FALSE(TK_Plugin_PNG::ParseBytes(junk.data.data(), junk.data.size(), image));
    EXPECT_TRUE(image.Empty());
}

TEST(PaletteImages, TgaReadsBothOriginsAndRunLengthTopRowFirst) {
    // 2 x 2, 24 bits; file rows as stored: first row blue, second row red.
    const Bytes rawBottom = TgaHeader(2, 24, 2, 2).Fill(0, 0)
        .U8(255).U8(0).U8(0).U8(255).U8(0).U8(0).U8(0).U8(0).U8(255).U8(0).U8(0).U8(255);
    Bytes rawTop = rawBottom;
    rawTop.data[17] = 0x20;
    const Bytes rle = TgaHeader(10, 24, 2, 2, 0x20).U8(0x81).U8(255).U8(0).U8(0).U8(0x01)
        .U8(0).U8(0).U8(255).U8(0).U8(0).U8(255);
    const std::pair<const Bytes*, int> cases[] = {{&rawBottom, 255}, {&rawTop, 0}, {&rle, 0}};
    for (const auto& [file, topRed] : cases) {
        Image image;
        ASSERT_TRUE(tk_test::ReadLogged(&TK_Plugin_TGA::ParseBytes, file->data, image));
        ASSERT_EQ(image.format, IMAGE_RGB);
        // Red of both top pixels, red and blue of the first bottom one.
        EXPECT_EQ((std::vector<int>{image.pixels[0], image.pixels[3], image.pixels[6], image.pixels[8]}),
                  (std::vector<int>{topRed, topRed, 255 - topRed, topRed}));
    }
}

TEST(PaletteImages, TgaRefusesWithMessages) {
    const std::pair<Bytes, std::string> cases[] = {
        {TgaHeader(2, 32, 1, 1, 0, 1).Fill(4, 0), "[Error] TGA : unsupport color map\n"},
        {TgaHeader(2, 16, 1, 1).Fill(2, 0), "[Error] TGA : unsupported color bits : 16\n"},
        {TgaHeader(1, 24, 1, 1).Fill(3, 0), "[Error] TGA : unsupported image type : 1\n"},
        {TgaHeader(2, 24, 2, 2).Fill(11, 0), "[Error] TGA : file too short for its pixels\n"},
        {TgaHeader(2, 32, 0, 4), "[Error] TGA : unsupported image size\n"},
        {TgaHeader(10, 32, 16384, 1024).Fill(64, 0xFF), "[Error] TGA : file too short for its pixels\n"},
        // A repeat packet of 128 pixels into a 4-pixel image.
        {TgaHeader(10, 24, 2, 2).U8(0xFF).Fill(3, 1), "[Error] TGA : run-length packet past the image end\n"},
        {Bytes().Fill(17, 0), "[Error] TGA : file too short for its header\n"},
    };
    for (const auto& [file, message] : cases) {
        Image image;
        std::string log;
        EXPECT_FALSE(tk_test::ReadLogged(&TK_Plugin_TGA::ParseBytes, file.data, image, &log)) << message;
        EXPECT_EQ(log, message);
        EXPECT_TRUE(image.Empty());
    }
}
