// Sprite exports (2D and isometric): small models drawn as character
// pictures pixel by pixel, the options, and the PNG files the plugins write.
#include <filesystem>

#include "TK_PluginTest.h"
#include "plugins/TK_ImageFile.h"
#include "plugins/TK_Plugin_2D.h"
#include "plugins/TK_Plugin_Iso.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

using Picture = std::vector<std::string>;
using Legend = std::map<char, uint32_t>;

const uint32_t kColourA = PackRGBA(200, 100, 50);
const uint32_t kColourB = PackRGBA(40, 120, 240);

// 2D: the palette colours, the outline ring and the half-transparent shadow.
const Legend k2DLegend = {{'.', 0}, {'a', kColourA}, {'b', kColourB}, {'#', PackRGBA(0, 0, 0)},
                          {'s', PackRGBA(0, 0, 0, 128)}};
// Iso, default brightness 0.8 (left) and 0.6 (right): colour 1 as T L R,
// colour 2 as t l r; colour 1's bevelled rim (0.4 of the way to white) as B.
const Legend kIsoLegend = {{'.', 0}, {'#', PackRGBA(0, 0, 0)},
                           {'T', kColourA},
                           {'L', PackRGBA(160, 80, 40)},
                           {'R', PackRGBA(120, 60, 30)},
                           {'t', kColourB},
                           {'l', PackRGBA(32, 96, 192)},
                           {'r', PackRGBA(24, 72, 144)},
                           {'B', PackRGBA(222, 162, 132)}};

TK_Model Model(int sx, int sy, int sz, const std::vector<Voxel>& voxels) {
    TK_Model m = tk_test::MakeModel(sx, sy, sz);
    m.palette[1] = kColourA;
    m.palette[2] = kColourB;
    for (const Voxel& v : voxels) m.voxels.Add(v);
    return m;
}

uint32_t PixelAt(const Image& image, int x, int y) {
    const uint8_t* p = &image.pixels[4 * (size_t(y) * image.width + x)];
    return PackRGBA(p[0], p[1], p[2], p[3]);
}

// The image in legend characters; '?' for a colour the legend lacks.
Picture Draw(const Image& image, const Legend& legend) {
    Picture rows(size_t(image.height), std::string(size_t(image.width), '?'));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (const auto& entry : legend)
                if (entry.second == PixelAt(image, x, y)) rows[size_t(y)][size_t(x)] = entry.first;
    return rows;
}

template <typename Options>
struct Case {
    const char* name;
    TK_Model model;
    Options options;
    Picture picture;
};

// Each case's model rendered and drawn in the legend's characters.
template <typename Options>
void ExpectPictures(const std::vector<Case<Options>>& cases, bool (*render)(const TK_Model&, const Options&, Image&),
                    const Legend& legend) {
    for (const Case<Options>& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        ASSERT_TRUE(render(c.model, c.options, image));
        EXPECT_EQ(image.format, IMAGE_RGBA);
        EXPECT_EQ(Draw(image, legend), c.picture);
    }
}

TK_2DOptions Options2D(int size, bool shadow = false, bool outline = false) {
    TK_2DOptions o;
    o.size = size, o.shadow = shadow, o.outline = outline;
    return o;
}

TK_IsoOptions OptionsIso(int size, float height = 1, int view = 0) {
    TK_IsoOptions o;
    o.size = size, o.height = height, o.view = view;
    return o;
}

}  // namespace

TEST(Sprite2D, DrawsFrontColoursWithOutlineAndShadow) {
    const Voxel one{0, 0, 0, 1};
    // L in the front plane of colour 1, colour 2 behind it: hidden at the
    // bottom left, seen through the gap at the top right.
    const std::vector<Voxel> ell = {{0, 0, 0, 1}, {0, 0, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 2}, {1, 1, 1, 2}};
    ExpectPictures<TK_2DOptions>({
        {"outline", Model(1, 1, 1, {one}), Options2D(1, false, true), {"###", "#a#", "###"}},
        {"shadow", Model(1, 1, 1, {one}), Options2D(2, true), {"aa..", "aa..", "..ss", "..ss"}},
        {"cropped to the box, z up", Model(3, 2, 2, {{2, 1, 0, 1}}), Options2D(1), {"...", "..a"}},
        {"nearest voxel wins", Model(2, 2, 2, ell), Options2D(1), {"ab", "aa"}},
        {"shadow behind", Model(2, 2, 2, ell), Options2D(1, true), {"ab.", "aas", ".ss"}},
    }, &TK_Render2D, k2DLegend);
}

TEST(SpriteIso, DrawsCubesFaceByFace) {
    TK_IsoOptions outlined = OptionsIso(2);
    outlined.outline = true;
    const TK_Model marked = Model(2, 2, 1, {{0, 0, 0, 2}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}});
    TK_IsoOptions bevelled = OptionsIso(4);
    bevelled.bevel = true;
    ExpectPictures<TK_IsoOptions>({
        {"size 1", Model(1, 1, 1, {{0, 0, 0, 1}}), OptionsIso(1), {"TT", "LR"}},
        {"height 2", Model(1, 1, 1, {{0, 0, 0, 1}}), OptionsIso(2, 2),
         {".TT.", "LTTR", "LLRR", "LLRR", "LLRR", ".LR."}},
        {"size 3", Model(1, 1, 1, {{0, 0, 0, 1}}), OptionsIso(3),
         {"..TT..", "TTTTTT", "LLTTRR", "LLLRRR", "LLLRRR", "..LR.."}},
        {"stacked", Model(1, 1, 2, {{0, 0, 0, 1}, {0, 0, 1, 2}}), OptionsIso(2),
         {".tt.", "lttr", "llrr", "LlrR", "LLRR", ".LR."}},
        // Odd size: the second cube's corner sits half a pixel lower.
        {"side by side, size 3", Model(2, 1, 1, {{0, 0, 0, 1}, {1, 0, 0, 2}}), OptionsIso(3),
         {"..TT.....", "TTTTTT...", "LLTTtttt.", "LLLlttttr", "LLLlllrrr", "..Llllrrr", "....llrr."}},
        {"outline", Model(1, 1, 1, {{0, 0, 0, 1}}), outlined,
         {".####.", "##TT##", "#LTTR#", "#LLRR#", "##LR##", ".####."}},
        {"bevel", Model(1, 1, 1, {{0, 0, 0, 1}}), bevelled,
         {"...BB...", ".BBTTBB.", "LBBTTBBR", "LLLBBRRR", "LLLLRRRR", "LLLLRRRR", ".LLLRRR.", "...LR..."}},
        // A 2 x 2 floor, its marker (colour 2) at x = 0, y = 0. View 0 looks from
        // the front right corner; each view turns the model anticlockwise, so
        // the marker goes left, front (bottom), right, back (top).
        {"view 0", marked, OptionsIso(2, 1, 0),
         {"...TT...", ".ttTTTT.", "lttTTTTR", "llLTTRRR", ".lLLRRR.", "...LR..."}},
        {"view 1", marked, OptionsIso(2, 1, 1),
         {"...TT...", ".TTTTTT.", "LTTttTTR", "LLlttrRR", ".LllrrR.", "...lr..."}},
        {"view 2", marked, OptionsIso(2, 1, 2),
         {"...TT...", ".TTTTtt.", "LTTTTttr", "LLLTTRrr", ".LLLRRr.", "...LR..."}},
        {"view 3", marked, OptionsIso(2, 1, 3),
         {"...tt...", ".TTttTT.", "LTTTTTTR", "LLLTTRRR", ".LLLRRR.", "...LR..."}},
    }, &TK_RenderIso, kIsoLegend);
}

TEST(SpriteIso, BoxFillsItsImageWithoutHoles) {
    // A full box's silhouette touches every image edge (the crop is tight)
    // and each pixel column is one solid run (the faces tile), for every
    // view, odd and even sizes and fractional heights.
    const TK_Model box = tk_test::ShapeModel(3, 2, 4, [](int, int, int) { return 1; });
    for (int view = 0; view < 4; ++view)
        for (int size : {1, 2, 3, 5})
            for (float height : {0.5f, 1.0f, 1.5f}) {
                SCOPED_TRACE(testing::Message() << "view " << view << " size " << size << " height " << height);
                Image image;
                ASSERT_TRUE(TK_RenderIso(box, OptionsIso(size, height, view), image));
                int top = image.height, bottom = -1;
                for (int x = 0; x < image.width; ++x) {
                    std::string column;
                    for (int y = 0; y < image.height; ++y) column += PixelAt(image, x, y) >> 24 == 255 ? '#' : '.';
                    const size_t first = column.find('#'), last = column.rfind('#');
                    ASSERT_TRUE(first != std::string::npos && column.find('.', first) > last) << x << ": " << column;
                    top = std::min(top, int(first)), bottom = std::max(bottom, int(last));
                }
                EXPECT_EQ(std::make_pair(top, bottom), std::make_pair(0, image.height - 1));
            }
}

TEST(SpriteIso, LargeSizesShrinkToTheImageBounds) {
    TK_Model m = Model(kMaxModelSize, kMaxModelSize, kMaxModelSize, {{0, 0, 0, 1}});
    Image image;
    ASSERT_TRUE(TK_RenderIso(m, OptionsIso(TK_IsoOptions::kMaxSize, TK_IsoOptions::kMaxHeight), image));
    EXPECT_TRUE(TK_IsImageSizeAllowed(image.width, image.height));
    EXPECT_GE(image.width, 2 * kMaxModelSize * 8);
}

TEST(SpriteOptions, ReadAndClampConfigurationText) {
    using tk_test::ReadOptions;
    const auto flat = ReadOptions<TK_2DOptions>("file_2d ( size = '100000' shadow = '1' outline = '1' )", "file_2d");
    EXPECT_TRUE(flat.size == TK_2DOptions::kMaxSize && flat.shadow && flat.outline);
    const auto iso = ReadOptions<TK_IsoOptions>(
        "FILE_ISO ( View = '5' size = '-3' height = '99' left = '-0.5' right = '7' bevel = '1' outline = '1' )",
        "file_iso");
    EXPECT_EQ((std::vector<float>{float(iso.view), float(iso.size), iso.height, iso.left, iso.right}),
              (std::vector<float>{1, 1, TK_IsoOptions::kMaxHeight, 0, 1}));
    EXPECT_TRUE(iso.bevel && iso.outline);
    // Missing keys and unreadable numbers keep what was there.
    auto partial =
        ReadOptions<TK_IsoOptions>("file_iso ( view = '-1' height = 'tall' size = '2.5' bevel = 'yes' )", "file_iso");
    EXPECT_EQ((std::vector<float>{float(partial.view), partial.height, float(partial.size), partial.left}),
              (std::vector<float>{3, 1, float(TK_IsoOptions().size), TK_IsoOptions().left}));
    EXPECT_FALSE(partial.bevel);
    // A missing file changes nothing and says nothing.
    testing::internal::CaptureStdout();
    partial.Load(testing::TempDir() + "no-such-config.txt");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(partial.view, 3);
}

TEST(SpritePlugins, WriteRgbaPngsOnlyForDrawableModels) {
    TK_Plugin_2D flat;
    flat.options = Options2D(3, true, true);
    TK_Plugin_Iso iso;
    iso.options = OptionsIso(4);
    iso.options.bevel = true;
    const TK_Model model = Model(2, 2, 2, {{0, 0, 0, 1}, {1, 1, 1, 2}});
    Image expected[2];
    ASSERT_TRUE(TK_Render2D(model, flat.options, expected[0]) && TK_RenderIso(model, iso.options, expected[1]));
    // Empty, the only voxel outside, no size, too large.
    const TK_Model undrawable[] = {Model(4, 4, 4, {}), Model(2, 2, 2, {{5, 0, 0, 1}}), Model(0, 1, 1, {{0, 0, 0, 1}}),
                                   Model(300, 1, 1, {{0, 0, 0, 1}})};
    const tk_test::TempFolder folder("tk_sprites");
    TK_Plugin* plugins[] = {&flat, &iso};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "2d" : "iso");
        ASSERT_TRUE(plugins[i]->SaveModel(folder.Path("sprite.png"), "", model));
        Image back;
        ASSERT_TRUE(TK_Plugin_PNG().LoadImage(folder.Path("sprite.png"), "", back));
        EXPECT_TRUE(back.format == IMAGE_RGBA && back.width == expected[i].width &&
                    back.height == expected[i].height && back.pixels == expected[i].pixels);
        for (const TK_Model& bad : undrawable) EXPECT_FALSE(plugins[i]->SaveModel(folder.Path("bad.png"), "", bad));
        EXPECT_FALSE(plugins[i]->SaveModel(folder.Path("no-such-dir/sprite.png"), "", model));
        EXPECT_FALSE(plugins[i]->SaveModel("", "", model));
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.png"))) << "nothing may be written";
}
