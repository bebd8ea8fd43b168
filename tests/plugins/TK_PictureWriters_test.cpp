// The picture writers: animations (WebP, GIF) and OpenEXR read back with
// their own libraries, the frame-number pattern, and the colour quantiser
// behind GIF frames. PNG series are read back by the turntable tests of the
// command line.
#include <ImfRgbaFile.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "TK_TestAnimation.h"
#include "TK_TestSupport.h"
#include "plugins/TK_AnimationWriter.h"
#include "plugins/TK_ColorQuantizer.h"
#include "plugins/TK_ExrFile.h"

namespace {

// Frame `k` of a little animation: a bar that moves, over a gradient, with
// a transparent top-left corner.
Image Frame(int k, int width = 24, int height = 16) {
    Image image;
    image.Allocate(IMAGE_RGBA, width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &image.pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
            const bool bar = x / 4 == k;
            p[0] = bar ? 250 : uint8_t(x * 10), p[1] = bar ? 30 : uint8_t(y * 15), p[2] = 90;
            p[3] = x < 2 && y < 2 ? 0 : 255;
        }
    return image;
}

TEST(AnimationWriter, EveryKindReadsBackFrameByFrame) {
    const tk_test::TempFolder folder("tk_animation");
    TK_AnimationWriter::Settings settings;
    settings.width = 24, settings.height = 16, settings.frameMs = 100;
    for (const char* name : {"turn.webp", "turn.GIF"}) {
        SCOPED_TRACE(name);
        const std::string path = folder.Path(name);
        std::string error;
        auto writer = TK_AnimationWriter::Create(path, settings, error);
        ASSERT_TRUE(writer) << error;
        for (int k = 0; k < 3; ++k) ASSERT_TRUE(writer->AddFrame(Frame(k)));
        EXPECT_FALSE(writer->AddFrame(Frame(0, 8, 8))) << "a frame of another size";
        ASSERT_TRUE(writer->Finish());
        tk_test::Animation a;
        ASSERT_TRUE(tk_test::ReadAnimation(path, a));
        ASSERT_EQ(a.frames.size(), 3u);
        EXPECT_EQ((std::vector<int>{a.width, a.height, a.loopCount, a.delaysMs[1]}),
                  (std::vector<int>{24, 16, 0, 100}));
        EXPECT_NE(a.frames[0], a.frames[1]);
        // Lossless or near: the bar's red and the transparent corner survive.
        EXPECT_NEAR(a.frames[1][(8 * 24 + 5) * 4], 250, 4);
        EXPECT_EQ(a.frames[2][3], 0);
        EXPECT_EQ(a.frames[2][(8 * 24 + 8) * 4 + 3], 255);
    }
}

TEST(AnimationWriter, NamesAndPatterns) {
    const std::vector<const char*> valid = {"out/f_%d.png", "f%03d.png", "a.webp", "a.gif"};
    const std::vector<const char*> invalid = {"f%d%d.png", "f%s.png",    "f%3d.png", "f%d.jpg", "%d/f.png",
                                              "f%010d.png", "f.png",      "f.apng",   "f%%d.png"};
    TK_AnimationWriter::Settings settings;
    settings.width = settings.height = 4;
    for (bool ok : {true, false})
        for (const char* path : ok ? valid : invalid) {
            std::string error;
            EXPECT_EQ(TK_AnimationWriter::Create(path, settings, error) != nullptr, ok) << path;
            EXPECT_EQ(error.empty(), ok) << path;
        }
    EXPECT_EQ(TK_FramePath("out/f%03d.png", 7), "out/f007.png");
}

TEST(ColorQuantizer, ExactForFewColoursCloseForGradients) {
    Image image;
    image.Allocate(IMAGE_RGBA, 64, 64);
    for (int i = 0; i < 64 * 64; ++i) {
        uint8_t* p = &image.pixels[size_t(i) * 4];
        // 4096 colours of a smooth two-way ramp, and a few exact ones.
        p[0] = uint8_t(i % 64 * 4), p[1] = uint8_t(i / 64 * 4), p[2] = 128, p[3] = 255;
        if (i < 64) p[0] = 255, p[1] = p[2] = 0;
    }
    TK_QuantizedImage q;
    ASSERT_TRUE(TK_QuantizeImage(image, 256, q));
    EXPECT_EQ(q.Colors(), 256);
    EXPECT_EQ(q.transparent, -1);
    int worst = 0;
    for (int i = 0; i < 64 * 64; ++i) {
        const uint8_t *p = &image.pixels[size_t(i) * 4], *c = &q.palette[size_t(q.indices[size_t(i)]) * 3];
        for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(p[k] - c[k]));
        EXPECT_TRUE(i >= 64 || (c[0] == 255 && c[1] == 0 && c[2] == 0)) << "the exact colour " << i;
    }
    EXPECT_LE(worst, 20);
    image.pixels[3] = 0;
    ASSERT_TRUE(TK_QuantizeImage(image, 256, q));
    EXPECT_EQ(q.transparent, 255);
    EXPECT_EQ(q.indices[0], 255);
    EXPECT_NE(q.indices[1], 255);
    EXPECT_FALSE(TK_QuantizeImage(Image(), 256, q));
}

TEST(ExrFile, KeepsLinearValues) {
    const tk_test::TempFolder folder("tk_exr");
    const std::string path = folder.Path("linear.exr");
    std::vector<float> rgba(3 * 2 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = float(i) * 0.25f;  // up to 5.75: above 1 stays
    ASSERT_TRUE(TK_SaveEXR(rgba, 3, 2, path));
    Imf::RgbaInputFile file(path.c_str());
    const Imath::Box2i window = file.dataWindow();
    ASSERT_EQ((std::vector<int>{window.max.x - window.min.x, window.max.y - window.min.y}), (std::vector<int>{2, 1}));
    std::vector<Imf::Rgba> pixels(6);
    file.setFrameBuffer(pixels.data(), 1, 3);
    file.readPixels(window.min.y, window.max.y);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(float(pixels[i].r), rgba[i * 4]);
        EXPECT_FLOAT_EQ(float(pixels[i].a), rgba[i * 4 + 3]);
    }
    EXPECT_FALSE(TK_SaveEXR(rgba, 4, 2, path)) << "size does not match the pixels";
}

}  // namespace
