// Raster view figures:
//   FaceQuads/box, FaceQuads/checkerboard: building one frame's visible face
//     quads (CPU side) for a full 126-cell box and a 126-cell 3D checkerboard
//     (every face exposed), against a loop that only writes the same number
//     of quads (the baseline). Target: within 3x.
//   Redraw/box, Redraw/checkerboard: one raster frame at 1280x1024 on the
//     offscreen context, against clearing the same framebuffer.
//   Snap/box, Snap/checkerboard: the whole `tarsk --snap` at 1280x1024,
//     against `tarsk --headless` opening the same file. Targets 0.6 s, 4 s.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "TK_BenchProcess.h"
#include "app/MS_WindowGL.h"
#include "app/TK_ModelViewer.h"
#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_VoxFile.h"
#include "render/TK_VoxelSurface.h"

namespace {

constexpr int kN = kMaxModelSize;
constexpr int kWidth = 1280, kHeight = 1024;

TK_Model MakeModel(bool checkerboard) {
    TK_Model model;
    model.size[0] = model.size[1] = model.size[2] = kN;
    model.voxels.Reserve(kN * kN * kN);
    for (int z = 0; z < kN; ++z)
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x)
                if (!checkerboard || (x + y + z) % 2 == 0) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
    model.palette = DefaultPalette();
    return model;
}

const TK_Model& Model(bool checkerboard) {
    static const TK_Model box = MakeModel(false), board = MakeModel(true);
    return checkerboard ? board : box;
}

// The view of the snapshot mode: camera fitted from the default angle.
TK_FaceView SnapView() {
    Camera camera;
    const int size[3] = {kN, kN, kN};
    TK_FitCameraToModel(camera, size, float(kWidth) / kHeight, 30, -30);
    TK_FaceView view;
    TK_WorldToModel(camera.eye, view.eye);
    return view;
}

// ---------------------------------------------------------------- quads

void FaceQuads(benchmark::State& state, bool checkerboard) {
    TK_VoxelSurface surface;
    surface.Build(Model(checkerboard));
    const TK_FaceView view = SnapView();
    TK_QuadBuffer quads;
    size_t total = 0;
    for (auto _ : state) {
        total = 0;
        for (int dir = 1; dir <= 6; ++dir) {
            quads.Reserve(4 * size_t(surface.VoxelCount()) + 4);
            quads.Clear();
            total += TK_AppendFaceQuads(surface, dir, view, quads);
            benchmark::DoNotOptimize(quads.Data());
        }
    }
    state.counters["quads"] = double(total);
    const size_t expected = checkerboard ? size_t(3) * ((kN * kN * kN + 1) / 2) : size_t(3) * kN * kN;
    if (total != expected) state.SkipWithError("wrong quad count");
}

// Writes as many quads per direction as FaceQuads builds, from a counter.
void FaceQuadsBaseline(benchmark::State& state, bool checkerboard) {
    TK_VoxelSurface surface;
    surface.Build(Model(checkerboard));
    const TK_FaceView view = SnapView();
    size_t counts[7] = {};
    TK_QuadBuffer quads;
    quads.Reserve(4 * size_t(surface.VoxelCount()) + 4);
    for (int dir = 1; dir <= 6; ++dir) {
        quads.Clear();
        counts[dir] = TK_AppendFaceQuads(surface, dir, view, quads);
    }
    for (auto _ : state) {
        for (int dir = 1; dir <= 6; ++dir) {
            quads.Clear();
            TK_QuadVertex* dst = quads.End();
            for (size_t i = 0; i < counts[dir]; ++i, dst += 4) {
                const uint64_t v = i & 0x7F7F7F7Full;
                for (int k = 0; k < 4; ++k) {
                    const uint64_t corner = v + uint64_t(k);
                    std::memcpy(dst + k, &corner, sizeof corner);
                }
            }
            quads.Grow(counts[dir] * 4);
            benchmark::DoNotOptimize(quads.Data());
        }
    }
}

BENCHMARK_CAPTURE(FaceQuads, box, false)->Name("FaceQuads/box")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FaceQuadsBaseline, box, false)->Name("FaceQuads/box/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FaceQuads, checkerboard, true)->Name("FaceQuads/checkerboard")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FaceQuadsBaseline, checkerboard, true)
    ->Name("FaceQuads/checkerboard/baseline")
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- redraw

// One offscreen window for every redraw figure.
TK_Options SnapOptions() {
    TK_Options options;
    options.mode = TK_RunMode::Snap;
    return options;
}

struct Offscreen {
    TK_ModelViewer viewer{SnapOptions()};
    MS_WindowGL window;
    bool ready = false;
    ~Offscreen() { viewer.Shutdown(); }  // while the context lives
    Offscreen() {
        MS_WindowConfig config;
        config.width = kWidth, config.height = kHeight;
        config.hidden = config.offscreen = true;
        OMB_SetLogMode(OMB_LogMode::Silent);
        ready = window.Open(config);
        if (ready) viewer.Start(kWidth, kHeight);
    }
};

Offscreen& Screen() {
    static Offscreen screen;
    return screen;
}

void Redraw(benchmark::State& state, bool checkerboard) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no OpenGL context");
    TK_EditorEnv& env = s.viewer.Env();
    env.model.voxels = Model(checkerboard).voxels;
    for (int a = 0; a < 3; ++a) env.model.size[a] = kN;
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
    TK_FitCameraToModel(s.viewer.View(), env.model.size, float(kWidth) / kHeight, 30, -30);
    s.viewer.Draw(kWidth, kHeight);  // the derived data, once
    glFinish();
    for (auto _ : state) {
        s.viewer.Draw(kWidth, kHeight);
        glFinish();
    }
}

void RedrawBaseline(benchmark::State& state) {
    if (!Screen().ready) return state.SkipWithError("no OpenGL context");
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}

BENCHMARK_CAPTURE(Redraw, box, false)->Name("Redraw/box")->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawBaseline)->Name("Redraw/box/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Redraw, checkerboard, true)
    ->Name("Redraw/checkerboard")
    ->Unit(benchmark::kMillisecond)
    
    ;
BENCHMARK(RedrawBaseline)->Name("Redraw/checkerboard/baseline")->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- whole snapshot

std::string ModelFile(bool checkerboard) {
    const std::string path = std::string("/tmp/tarsk_bench_") + (checkerboard ? "checkerboard" : "box") + ".vox";
    static bool written[2] = {false, false};
    if (!written[checkerboard]) written[checkerboard] = WriteVox(Model(checkerboard), path.c_str());
    return path;
}

void Snap(benchmark::State& state, bool checkerboard) {
    const std::string model = ModelFile(checkerboard);
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--snap", "/tmp/tarsk_bench_snap.png", "--size", "1280x1024", model}))
            return state.SkipWithError("tarsk --snap failed");
}

void SnapBaseline(benchmark::State& state, bool checkerboard) {
    const std::string open = "open " + ModelFile(checkerboard);
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--headless", "-q", "-c", open})) return state.SkipWithError("tarsk --headless failed");
}

BENCHMARK_CAPTURE(Snap, box, false)->Name("Snap/box")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SnapBaseline, box, false)
    ->Name("Snap/box/baseline")
    ->Unit(benchmark::kMillisecond)
    
    ;
BENCHMARK_CAPTURE(Snap, checkerboard, true)
    ->Name("Snap/checkerboard")
    ->Unit(benchmark::kMillisecond)
    
    ;
BENCHMARK_CAPTURE(SnapBaseline, checkerboard, true)
    ->Name("Snap/checkerboard/baseline")
    ->Unit(benchmark::kMillisecond)
    
    ;

const bool kTargets = [] {
    tk_bench::SetRatioTarget("FaceQuads/box", 3.0);
    tk_bench::SetRatioTarget("FaceQuads/checkerboard", 3.0);
    tk_bench::SetTarget("Snap/box", 600000);
    tk_bench::SetTarget("Snap/checkerboard", 4000000);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
