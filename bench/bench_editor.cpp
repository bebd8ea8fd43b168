// The whole editor window (views, widgets, raster scene of the start-up
// 45-cell box) on an offscreen 1280 x 800 context: start-up to the first
// drawn frame (against starting the same window with an empty client), one
// steady idle frame (against clearing the frame), and the processor time of
// one second of the idle main loop (against sleeping that second), whose
// share of one core is printed as "cpu_pct". The first frame and the idle
// second are measured again with the interface at scale 2 in a 2560 x 1600
// window, against scale 1 at 1280 x 800.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "TK_BenchMain.h"
#include "app/MS_WindowGL.h"
#include "app/TK_EditorWindow.h"
#include "core/OMB_Log.h"
#include "render/GLLoader.h"

namespace {

// The editor's window, offscreen, `scale` times 1280 x 800.
MS_WindowConfig Config(int scale = 1) {
    MS_WindowConfig config;
    config.width *= scale;
    config.height *= scale;
    config.multisample = false;
    config.hidden = config.offscreen = true;
    return config;
}

// The build folder is the program directory (configuration, editor.ui, font).
// The window opened and serving `ui`, up to its first drawn frame; false when
// there is no context or no frame comes.
bool FirstFrame(MS_WindowGL& window, UI_Window& ui, int scale = 1) {
    if (!window.Open(Config(scale))) return false;
    window.Start(ui);
    for (int i = 0; i < 1000 && window.FrameCount() == 0; ++i)
        if (!window.Pass()) return false;
    glFinish();
    return window.FrameCount() > 0;
}

// The shipped configuration asks for the display's scale: GDK_SCALE sets it.
bool StartEditor(MS_WindowGL& window, TK_EditorWindow& editor, int scale = 1) {
    editor.Env().workspace.SetDefaults(TK_BUILD_DIR);
    editor.EnableRendering();
    setenv("GDK_SCALE", std::to_string(scale).c_str(), 1);
    const bool ok = FirstFrame(window, editor, scale);
    unsetenv("GDK_SCALE");
    return ok && editor.Scale() == float(scale);
}

void Startup(benchmark::State& state) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        TK_EditorWindow editor;
        MS_WindowGL window;
        if (!StartEditor(window, editor)) return state.SkipWithError("no OpenGL context");
    }
}

void StartupBaseline(benchmark::State& state) {
    for (auto _ : state) {
        UI_Window empty;
        MS_WindowGL window;
        if (!FirstFrame(window, empty)) return state.SkipWithError("no OpenGL context");
    }
}

struct Running {
    TK_EditorWindow editor;
    MS_WindowGL window;
    bool ready = false;
    Running() {
        OMB_SetLogMode(OMB_LogMode::Silent);
        ready = StartEditor(window, editor);
    }
};

Running& Editor() {
    static Running running;
    return running;
}

void IdleFrame(benchmark::State& state) {
    Running& r = Editor();
    if (!r.ready) return state.SkipWithError("no OpenGL context");
    UI_TickData time;
    for (auto _ : state) {
        time.previous = time.now;
        time.now += 0.016;
        r.editor.Broadcast(UI_Event::Tick(time));
        r.editor.DrawFrame();
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
        const int before = r.window.FrameCount();
        const double start = tk_bench::ProcessCpuSeconds();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end) r.window.Pass();
        cpu += tk_bench::ProcessCpuSeconds() - start;
        frames += r.window.FrameCount() - before;
    }
    state.counters["cpu_pct"] = 100.0 * cpu / double(state.iterations());
    state.counters["frames"] = double(frames) / double(state.iterations());
}

void ScaledStartup(benchmark::State& state, int scale) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        TK_EditorWindow editor;
        MS_WindowGL window;
        if (!StartEditor(window, editor, scale)) return state.SkipWithError("no OpenGL context or no scale");
    }
}

// One second of the idle loop of an editor started outside the timing.
void ScaledIdleSecond(benchmark::State& state, int scale) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    TK_EditorWindow editor;
    MS_WindowGL window;
    if (!StartEditor(window, editor, scale)) return state.SkipWithError("no OpenGL context or no scale");
    for (int i = 0; i < 10; ++i) window.Pass();
    double cpu = 0;
    for (auto _ : state) {
        const double start = tk_bench::ProcessCpuSeconds();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end) window.Pass();
        cpu += tk_bench::ProcessCpuSeconds() - start;
    }
    state.counters["cpu_pct"] = 100.0 * cpu / double(state.iterations());
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
BENCHMARK_CAPTURE(ScaledStartup, s2, 2)->Name("EditorStartupScale2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScaledStartup, s1, 1)->Name("EditorStartupScale2/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScaledIdleSecond, s2, 2)->Name("EditorIdleSecondScale2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScaledIdleSecond, s1, 1)->Name("EditorIdleSecondScale2/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetTarget("EditorStartup", 500000);
    tk_bench::SetTarget("EditorIdleFrame", 16000);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
