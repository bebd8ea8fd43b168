// The whole editor window (views, widgets, raster scene of the start-up
// 45-cell box) on an offscreen 1280 x 800 context: start-up to the first
// drawn frame (against starting the same window with an empty client), one
// steady idle frame (against clearing the frame), and the processor time of
// one second of the idle main loop (against sleeping that second), whose
// share of one core is printed as "cpu_pct".
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "TK_BenchMain.h"
#include "app/MS_DemoApp.h"
#include "app/TK_EditorClient.h"
#include "core/OMB_Log.h"
#include "render/OMB_OpenGL.h"

namespace {

MS_AppConfig Config() {
    MS_AppConfig config = TK_EditorClient::WindowConfig();
    config.hidden = config.offscreen = true;
    return config;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The build folder is the program directory (configuration, editor.ui, font).
void UseBuildFolder(TK_EditorClient& editor) { editor.Editor().Env().workspace.SetDefaults(TK_BUILD_DIR); }

// Passes of the loop until the first frame is drawn; false when none comes.
bool FirstFrame(MS_DemoApp& app) {
    for (int i = 0; i < 1000 && app.FrameCount() == 0; ++i)
        if (!app.Pass()) return false;
    glFinish();
    return app.FrameCount() > 0;
}

void Startup(benchmark::State& state) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        TK_EditorClient editor{TK_Options()};
        UseBuildFolder(editor);
        MS_DemoApp app(editor);
        if (!app.Start(Config()) || !FirstFrame(app)) return state.SkipWithError("no OpenGL context");
    }
}

void StartupBaseline(benchmark::State& state) {
    for (auto _ : state) {
        OS_WindowClient empty;
        MS_DemoApp app(empty);
        if (!app.Start(Config()) || !FirstFrame(app)) return state.SkipWithError("no OpenGL context");
    }
}

struct Running {
    TK_EditorClient editor{TK_Options()};
    MS_DemoApp app{editor};
    bool ready = false;
    Running() {
        OMB_SetLogMode(OMB_LogMode::Silent);
        UseBuildFolder(editor);
        ready = app.Start(Config()) && FirstFrame(app);
    }
};

Running& Editor() {
    static Running running;
    return running;
}

void IdleFrame(benchmark::State& state) {
    Running& r = Editor();
    if (!r.ready) return state.SkipWithError("no OpenGL context");
    OS_FrameTime time;
    for (auto _ : state) {
        time.previous = time.current;
        time.current += 0.016;
        r.editor.OnFrame(time);
        glFinish();
    }
}

void IdleFrameBaseline(benchmark::State& state) {
    if (!Editor().ready) return state.SkipWithError("no OpenGL context");
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}

void IdleSecond(benchmark::State& state) {
    Running& r = Editor();
    if (!r.ready) return state.SkipWithError("no OpenGL context");
    double cpu = 0;
    int frames = 0;
    for (auto _ : state) {
        const int before = r.app.FrameCount();
        const double start = CpuSeconds();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end) r.app.Pass();
        cpu += CpuSeconds() - start;
        frames += r.app.FrameCount() - before;
    }
    state.counters["cpu_pct"] = 100.0 * cpu / double(state.iterations());
    state.counters["frames"] = double(frames) / double(state.iterations());
}

void IdleSecondBaseline(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::seconds(1));
}

BENCHMARK(Startup)->Name("EditorStartup")->Unit(benchmark::kMillisecond);
BENCHMARK(StartupBaseline)->Name("EditorStartup/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(IdleFrame)->Name("EditorIdleFrame")->Unit(benchmark::kMillisecond);
BENCHMARK(IdleFrameBaseline)->Name("EditorIdleFrame/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(IdleSecond)->Name("EditorIdleSecond")->Unit(benchmark::kMillisecond);
BENCHMARK(IdleSecondBaseline)->Name("EditorIdleSecond/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetTarget("EditorStartup", 500000);
    tk_bench::SetTarget("EditorIdleFrame", 16000);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
