// Path tracer figures on a sphere of radius 60 (the start model's colour):
//   Sample/sphere60: one 960 x 800 sample with 3 bounces on the offscreen
//     context, traced in bands within the editor's frame budget (samples per
//     second in the counters), against one display pass of the same picture
//     (every pixel read and written once). Sample/sphere60/whole traces each
//     sample in one pass, as before frames had a budget.
//   Orbit/sphere60: one editor frame while the camera orbits (the camera
//     turns a degree, the tracer restarts, traces and shows the picture):
//     at a quarter of the pixels, as the editor does while the camera
//     moves, against the same frame at full size (the baseline).
//   Render/sphere60: the whole `tarsk --render` of 64 samples at 320 x 240,
//     against `tarsk --headless` running the same lines. Target 20 s.

#include <algorithm>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "TK_BenchProcess.h"
#include "app/MS_WindowGL.h"
#include "app/TK_ModelViewer.h"
#include "core/OMB_Log.h"
#include "core/OS_Stopwatch.h"
#include "model/TK_EditorEnv.h"

namespace {

constexpr int kWidth = 960, kHeight = 800;
const std::vector<std::string> kSphere = {"size 121 121 121", "prim elli", "set pt_bounce 3"};

TK_Options Options() {
    TK_Options options;
    options.mode = TK_RunMode::Render;
    options.lines = kSphere;
    return options;
}

struct Offscreen {
    TK_ModelViewer viewer{Options()};
    MS_WindowGL window;
    bool ready = false;
    ~Offscreen() { viewer.Shutdown(); }  // while the context lives
    Offscreen() {
        MS_WindowConfig config;
        config.width = kWidth, config.height = kHeight;
        config.hidden = config.offscreen = true;
        config.multisample = false;
        OMB_SetLogMode(OMB_LogMode::Silent);
        ready = window.Open(config);
        if (!ready) return;
        viewer.Start(kWidth, kHeight);
        ready = viewer.StartedCleanly() && viewer.Tracer().CanDraw();
        if (!ready) return;
        TK_Settings& s = viewer.Env().settings;
        s.ptImage[0] = kWidth, s.ptImage[1] = kHeight;
        TK_SceneRenderer_PT& tracer = viewer.Tracer();
        tracer.SetRestartDelay(0);
        tracer.SetTargetOverride(1 << 30);
        viewer.FrameCamera(kWidth, kHeight);
        tracer.SyncView(viewer.View());
        ready = tracer.SamplePass();  // uploads the volume once
        glFinish();
    }
};

Offscreen& Screen() {
    static Offscreen screen;
    return screen;
}

// One whole sample per iteration, in bands of `budget` seconds (0: whole).
void Sample(benchmark::State& state, double budget) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no path tracer");
    TK_SceneRenderer_PT& tracer = s.viewer.Tracer();
    tracer.SetFrameBudget(budget);
    const double start = OS_Seconds();
    for (auto _ : state) {
        const int done = tracer.Samples();
        while (tracer.Samples() == done)
            if (!tracer.SamplePass()) return state.SkipWithError("sample failed");
        glFinish();
    }
    // Wall time: the work is on the GPU (llvmpipe's threads), not this one.
    state.counters["samples/s"] = double(state.iterations()) / std::max(OS_Seconds() - start, 1e-9);
}

void SampleBaseline(benchmark::State& state) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no path tracer");
    OMB_Rect rect;
    rect.x1 = kWidth - 1, rect.y1 = kHeight - 1;
    for (auto _ : state) {
        s.viewer.Tracer().Display(rect);
        glFinish();
    }
}

// One orbiting frame: `quarter` traces the moving camera's preview.
void Orbit(benchmark::State& state, bool quarter) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no path tracer");
    TK_SceneRenderer_PT& tracer = s.viewer.Tracer();
    tracer.SetFrameBudget(0);
    tracer.SetMovingPreview(quarter);
    tracer.SetRestartDelay(quarter ? 1e9 : 0);
    Camera& camera = s.viewer.View();
    OMB_Rect rect;
    rect.x1 = kWidth - 1, rect.y1 = kHeight - 1;
    for (auto _ : state) {
        camera.Rotate(0, 1, 0);
        tracer.SyncView(camera);
        if (!tracer.SamplePass()) return state.SkipWithError("no sample while orbiting");
        tracer.Display(rect);
        glFinish();
    }
    tracer.SetMovingPreview(false);
    tracer.SetRestartDelay(0);
}

BENCHMARK_CAPTURE(Orbit, quarter, true)->Name("Orbit/sphere60")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Orbit, full, false)->Name("Orbit/sphere60/baseline")->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(Sample, banded, TK_SceneRenderer_PT::kFrameBudget)->Name("Sample/sphere60")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sample, whole, 0.0)->Name("Sample/sphere60/whole")->Unit(benchmark::kMillisecond);
BENCHMARK(SampleBaseline)->Name("Sample/sphere60/baseline")->Unit(benchmark::kMillisecond);

std::vector<std::string> WithLines(std::vector<std::string> args) {
    for (const std::string& line : kSphere) args.insert(args.end(), {"-c", line});
    return args;
}

void Render(benchmark::State& state) {
    const auto args = WithLines({"--render", "/tmp/tarsk_bench_render.png", "--size", "320x240", "--spp", "64", "-q"});
    for (auto _ : state)
        if (!tk_bench::RunTarsk(args)) return state.SkipWithError("tarsk --render failed");
}

void RenderBaseline(benchmark::State& state) {
    const auto args = WithLines({"--headless", "-q"});
    for (auto _ : state)
        if (!tk_bench::RunTarsk(args)) return state.SkipWithError("tarsk --headless failed");
}

BENCHMARK(Render)->Name("Render/sphere60")->Unit(benchmark::kMillisecond);
BENCHMARK(RenderBaseline)->Name("Render/sphere60/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetTarget("Render/sphere60", 20e6);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
