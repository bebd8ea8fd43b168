// User-interface figures for a tree of about 300 views: building the quad
// and text batches of one frame (against filling one batch with the same
// number of quads and glyphs directly), with the heap allocations of a
// steady frame counted (the target is none); and the layout after a window
// resize (against writing the same number of rectangles); the same frame
// at scale 2 with its glyphs rasterised for that size (against scale 1).
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "TK_BenchMain.h"
#include "model/Palette.h"
#include "ui/UI_Loader.h"
#include "ui/UI_Palette.h"
#include "ui/UI_Window.h"

// Every allocation of the program passes here while counting is on. (GCC
// cannot see that these replace the global pair and warns on the free.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long> g_allocations{0};
static std::atomic<bool> g_counting{false};

void* operator new(size_t size) {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr int kRows = 25;  // 25 rows of 12 views = 300 views

// Rows of labels, buttons, switches, a slider, a text field and a palette.
std::string DemoTree() {
    std::string text = "vbox {";
    for (int r = 0; r < kRows; ++r) {
        text += " hbox (size='24') { label (text='Row " + std::to_string(r) + "' size='60' bgColor='40 40 40')";
        text += " button (text='Apply' flex='1') switch (text='Edge' flex='1' style='dark')";
        text += " sbutton (size='20') slider (value='0.5' flex='1') cbutton (color='200 40 40' size='20')";
        text += " option (text='A' size='20') sideSwitch (text='On' text2='Off' size='30')";
        text += " textField (text='set size 45' flex='2') bgSlider (range='0 255' value='100' flex='1')";
        text += r == 0 ? " palette (dim='16 16' size='64') }" : " label (text='x' size='20') }";
    }
    return text + " }";
}

struct Tree {
    explicit Tree(float scale = 1) {
        UI_ViewRegistry registry;
        UI_RegisterViewTypes(registry);
        window.SetRootView(UI_LoadViewTreeText(registry, DemoTree().c_str(), "bench"));
        std::vector<UI_View*> palettes;
        window.CollectViews(&UI_Palette::kClass, palettes);
        for (UI_View* p : palettes) static_cast<UI_Palette*>(p)->SetPalette(DefaultPalette().entries);
        std::string error;
        fontLoaded = window.Canvas().LoadFont(std::string(TK_BUILD_DIR) + "/fonts", error);
        window.SetScale(scale);
        window.SetDeviceSize(int(1280 * scale), int(800 * scale));
        window.Root()->SetRect(window.Rect());
        window.RefreshLayout();
    }
    int Views() const {
        std::vector<UI_View*> all;
        const_cast<UI_Window&>(window).CollectViews(&UI_View::kClass, all);
        return int(all.size());
    }
    UI_Window window;
    bool fontLoaded = false;
};

void FrameBatches(benchmark::State& state) {
    Tree tree;
    tree.window.BuildFrame();  // warm: the batches reach their size
    g_allocations = 0;
    g_counting = true;
    for (auto _ : state) {
        tree.window.BuildFrame();
        benchmark::DoNotOptimize(tree.window.Canvas().Quads().Vertices());
    }
    g_counting = false;
    state.counters["views"] = tree.Views();
    state.counters["quads"] = tree.window.Canvas().Quads().Count() / 4;
    state.counters["glyphs"] = tree.window.Canvas().Text().Count() / 4;
    state.counters["allocs/frame"] = double(g_allocations) / double(state.iterations());
    if (g_allocations != 0) state.SkipWithError("a steady frame allocated");
}
BENCHMARK(FrameBatches)->Name("UIFrameBatches")->Unit(benchmark::kMicrosecond);

// The frame at a scale, its glyphs already in the atlas (as in every frame
// after the first).
void ScaledFrame(benchmark::State& state, float scale) {
    Tree tree(scale);
    if (!tree.fontLoaded) return state.SkipWithError("no fonts in the build folder");
    tree.window.BuildFrame();
    for (auto _ : state) {
        tree.window.BuildFrame();
        benchmark::DoNotOptimize(tree.window.Canvas().Text().Vertices());
    }
    state.counters["glyphs"] = tree.window.Canvas().Text().Count() / 4;
    state.counters["atlas_glyphs"] = double(tree.window.Canvas().Font().GlyphCount());
}
BENCHMARK_CAPTURE(ScaledFrame, scale2, 2.0f)->Name("UIFrameScale2")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ScaledFrame, scale1, 1.0f)->Name("UIFrameScale2/baseline")->Unit(benchmark::kMicrosecond);

void FrameBatchesBaseline(benchmark::State& state) {
    Tree tree;
    tree.window.BuildFrame();
    const int quads = tree.window.Canvas().Quads().Count() / 4, glyphs = tree.window.Canvas().Text().Count() / 4;
    GLVertexBatch quadBatch, textBatch;
    for (auto _ : state) {
        quadBatch.Begin(GL_QUADS);
        textBatch.Begin(GL_QUADS);
        for (int i = 0; i < quads; ++i) {
            quadBatch.SetColorRGBA(0xff808080u + uint32_t(i));
            quadBatch.AddFilledRect(float(i), 0, float(i + 10), 10);
        }
        for (int i = 0; i < glyphs; ++i) textBatch.AddGlyph(65 + (i & 15), float(i * 8), 0, 8, 16);
        quadBatch.End();
        textBatch.End();
        benchmark::DoNotOptimize(quadBatch.Vertices());
        benchmark::DoNotOptimize(textBatch.Vertices());
    }
}
BENCHMARK(FrameBatchesBaseline)->Name("UIFrameBatches/baseline")->Unit(benchmark::kMicrosecond);

void LayoutAfterResize(benchmark::State& state) {
    Tree tree;
    int i = 0;
    for (auto _ : state) {
        const int width = (++i & 1) ? 1280 : 1100;
        tree.window.SetRect({0, 0, width - 1, 799});
        tree.window.Root()->SetRect({0, 0, width - 1, 799});
        tree.window.RefreshLayout();
        benchmark::DoNotOptimize(tree.window.Root()->Rect());
    }
    if (tree.window.Root()->Child(0)->Rect().Height() != 24) state.SkipWithError("wrong layout");
}
BENCHMARK(LayoutAfterResize)->Name("UILayoutAfterResize")->Unit(benchmark::kMicrosecond);

void LayoutBaseline(benchmark::State& state) {
    Tree tree;
    std::vector<UI_View*> all;
    tree.window.CollectViews(&UI_View::kClass, all);
    int i = 0;
    for (auto _ : state) {
        const int width = (++i & 1) ? 1280 : 1100;
        for (size_t v = 0; v < all.size(); ++v) all[v]->UI_View::SetRect({int(v), 0, width - 1, int(v) + 20});
        benchmark::DoNotOptimize(all.back()->Rect());
    }
}
BENCHMARK(LayoutBaseline)->Name("UILayoutAfterResize/baseline")->Unit(benchmark::kMicrosecond);

const bool kTargets = [] {
    tk_bench::SetTarget("UIFrameBatches", 1000.0);
    tk_bench::SetTarget("UILayoutAfterResize", 200.0);
    tk_bench::SetRatioTarget("UIFrameScale2", 1.2);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
