// Raster view figures (frames at 1280x800, the editor's window):
//   FaceQuads/box, FaceQuads/checkerboard: building one frame's visible face
//     quads (CPU side) for a full 126-cell box and a 126-cell 3D checkerboard
//     (every face exposed), against a loop that only writes the same number
//     of quads (the baseline). Target: within 3x.
//   Orbit/box, /random, /checkerboard, /sphere: one frame of an orbit of a
//     126-cell model (full box, half-filled at random, 3D checkerboard,
//     sphere of radius 60) as the editor draws it, against the face
//     renderer drawing the same frames. Targets 25, 50, 50, 25 ms.
//     Orbit/sphere/rays forces rays on the sphere, where the editor draws
//     faces. "cpu_ms" is the frame's CPU time over all threads, steadier
//     than the clock when other work shares the machine.
//   FirstFrame/random, /checkerboard: from a model read into memory to its
//     first frame, against the face renderer. Target 0.4 s.
//   BoxStroke/checkerboard: a 20-cell box stroke carved out of the
//     checkerboard (or put back) and the frame after it, against the face
//     renderer. Target 50 ms.
//   TurntableMemory/checkerboard: peak memory ("peak_MB") of a 12-frame
//     `tarsk --snap` turntable of the checkerboard at 1280x800, against
//     `tarsk --headless` opening the file. Target 250 MB.
//   Snap/box, Snap/checkerboard: the whole `tarsk --snap` at 1280x1024,
//     against `tarsk --headless` opening the same file. Targets 0.6 s, 4 s.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "TK_BenchProcess.h"
#include "app/MS_WindowGL.h"
#include "app/TK_ModelViewer.h"
#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "edit/TK_VoxelCommands.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_VoxFile.h"
#include "render/TK_VoxelSurface.h"

namespace {

constexpr int kN = kMaxModelSize;
constexpr int kWidth = 1280, kHeight = 1024;
// The editor's window size, for the frame figures.
constexpr int kFrameWidth = 1280, kFrameHeight = 800;

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

// ---------------------------------------------------------------- memory

std::string ModelFile(bool checkerboard) {
    const std::string path = std::string("/tmp/tarsk_bench_") + (checkerboard ? "checkerboard" : "box") + ".vox";
    static bool written[2] = {false, false};
    if (!written[checkerboard]) written[checkerboard] = WriteVox(Model(checkerboard), path.c_str());
    return path;
}

// Peak memory of a whole 12-frame turntable of the checkerboard at the
// editor's size (`tarsk --snap`, which draws as the editor does), against
// `tarsk --headless` opening the same file: counters "peak_MB". First of
// all the figures: a child started by posix_spawn begins its peak at this
// process's own, so this one must still be small.
void TurntableMemory(benchmark::State& state) {
    const std::string model = ModelFile(true);
    double peak = 0;
    for (auto _ : state)
        if (!tk_bench::RunTarsk(
                {"--snap", "/tmp/tarsk_bench_turn_%03d.png", "--turntable", "12", "--size", "1280x800", model}, &peak))
            return state.SkipWithError("tarsk --snap failed");
    state.counters["peak_MB"] = peak;
}

void TurntableMemoryBaseline(benchmark::State& state) {
    const std::string open = "open " + ModelFile(true);
    double peak = 0;
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--headless", "-q", "-c", open}, &peak))
            return state.SkipWithError("tarsk --headless failed");
    state.counters["peak_MB"] = peak;
}

BENCHMARK(TurntableMemory)->Name("TurntableMemory/checkerboard")->Unit(benchmark::kMillisecond);
BENCHMARK(TurntableMemoryBaseline)->Name("TurntableMemory/checkerboard/baseline")->Unit(benchmark::kMillisecond);

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

// ---------------------------------------------------------------- orbit

// The models of the orbit figures, 126 cells a side.
enum class Kind { kBox, kRandom, kCheckerboard, kSphere };

TK_Model MakeOrbitModel(Kind kind) {
    TK_Model model;
    model.size[0] = model.size[1] = model.size[2] = kN;
    model.palette = DefaultPalette();
    uint32_t seed = 12345;
    for (int z = 0; z < kN; ++z)
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x) {
                seed = seed * 1664525u + 1013904223u;
                const float dx = x - 62.5f, dy = y - 62.5f, dz = z - 62.5f;
                const bool filled = kind == Kind::kBox            ? true
                                    : kind == Kind::kRandom       ? (seed >> 16) % 2 == 0
                                    : kind == Kind::kCheckerboard ? (x + y + z) % 2 == 0
                                                                  : dx * dx + dy * dy + dz * dz < 60.0f * 60.0f;
                const uint8_t colour = kind == Kind::kRandom ? uint8_t(1 + (seed >> 8) % 255) : 79;
                if (filled) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), colour});
            }
    return model;
}

const TK_Model& OrbitModel(Kind kind) {
    static const TK_Model models[] = {MakeOrbitModel(Kind::kBox), MakeOrbitModel(Kind::kRandom),
                                      MakeOrbitModel(Kind::kCheckerboard), MakeOrbitModel(Kind::kSphere)};
    return models[int(kind)];
}

// An empty one-cell model, to start from between runs.
const TK_Model& EmptyModel() {
    static const TK_Model empty = [] {
        TK_Model m;
        m.size[0] = m.size[1] = m.size[2] = 1;
        m.palette = DefaultPalette();
        return m;
    }();
    return empty;
}

// One offscreen window for every frame figure, at the editor's size.
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
        config.width = kFrameWidth, config.height = kFrameHeight;
        config.hidden = config.offscreen = true;
        config.multisample = false;  // as the editor's window
        OMB_SetLogMode(OMB_LogMode::Silent);
        ready = window.Open(config);
        if (!ready) return;
        viewer.Start(kFrameWidth, kFrameHeight);
        // As the editor's scene view does before its first frame.
        viewer.Renderer().PrepareRays();
    }
};

Offscreen& Screen() {
    static Offscreen screen;
    return screen;
}

// Opens the model as "open" does: a new voxel list and every change told.
void OpenModel(Offscreen& s, const TK_Model& model) {
    TK_EditorEnv& env = s.viewer.Env();
    env.model.voxels = model.voxels;
    env.model.palette = model.palette;
    for (int a = 0; a < 3; ++a) env.model.size[a] = model.size[a];
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS | TK_CHANGE_COLORS);
}

void DrawFrame(Offscreen& s) {
    s.viewer.Draw(kFrameWidth, kFrameHeight);
    glFinish();
}

// One frame of an orbit: the camera turns 7 degrees a frame. The figure
// uses the editor's choice; the baseline forces the faces.
void Orbit(benchmark::State& state, Kind kind, TK_VoxelPath path) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no OpenGL context");
    OpenModel(s, OrbitModel(kind));
    s.viewer.Renderer().SetVoxelPath(path);
    float yaw = -30;
    TK_FitCameraToModel(s.viewer.View(), s.viewer.Env().model.size, float(kFrameWidth) / kFrameHeight, 30, yaw);
    DrawFrame(s);  // the derived data, once
    const double cpu = tk_bench::ProcessCpuSeconds();
    for (auto _ : state) {
        yaw += 7;
        TK_FitCameraToModel(s.viewer.View(), s.viewer.Env().model.size, float(kFrameWidth) / kFrameHeight, 30, yaw);
        DrawFrame(s);
    }
    // The frame's CPU time over all threads: steadier than the clock on a
    // machine shared with other work.
    state.counters["cpu_ms"] = 1e3 * (tk_bench::ProcessCpuSeconds() - cpu) / double(state.iterations());
    state.counters["rays"] = s.viewer.Renderer().LastFrameCastRays() ? 1 : 0;
    s.viewer.Renderer().SetVoxelPath(TK_VoxelPath::kAuto);
}

// From a model read into memory to its first frame on screen.
void FirstFrame(benchmark::State& state, Kind kind, TK_VoxelPath path) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no OpenGL context");
    s.viewer.Renderer().SetVoxelPath(path);
    for (auto _ : state) {
        state.PauseTiming();
        OpenModel(s, EmptyModel());
        DrawFrame(s);
        state.ResumeTiming();
        OpenModel(s, OrbitModel(kind));
        TK_FitCameraToModel(s.viewer.View(), s.viewer.Env().model.size, float(kFrameWidth) / kFrameHeight, 30, -30);
        DrawFrame(s);
    }
    s.viewer.Renderer().SetVoxelPath(TK_VoxelPath::kAuto);
}

// A 20-cell box carved out of the checkerboard and put back, one stroke
// command and one frame per iteration, as a brush stroke runs.
void BoxStroke(benchmark::State& state, TK_VoxelPath path) {
    Offscreen& s = Screen();
    if (!s.ready) return state.SkipWithError("no OpenGL context");
    OpenModel(s, OrbitModel(Kind::kCheckerboard));
    s.viewer.Renderer().SetVoxelPath(path);
    TK_FitCameraToModel(s.viewer.View(), s.viewer.Env().model.size, float(kFrameWidth) / kFrameHeight, 30, -30);
    DrawFrame(s);
    VoxelList box;
    for (int z = 100; z < 120; ++z)
        for (int y = 0; y < 20; ++y)
            for (int x = 50; x < 70; ++x)
                if ((x + y + z) % 2 == 0) box.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
    TK_EditorEnv& env = s.viewer.Env();
    bool carve = true;
    for (auto _ : state) {
        std::unique_ptr<OMB_Command> command;
        if (carve)
            command = std::make_unique<TK_CMD_EraseVoxels>(box);
        else
            command = std::make_unique<TK_CMD_AddVoxels>(box);
        if (!env.RunCommand(std::move(command), nullptr)) return state.SkipWithError("the stroke changed nothing");
        carve = !carve;
        DrawFrame(s);
    }
    s.viewer.Renderer().SetVoxelPath(TK_VoxelPath::kAuto);
}

#define TK_ORBIT(name, kind)                                                                        \
    BENCHMARK_CAPTURE(Orbit, name, kind, TK_VoxelPath::kAuto)                                       \
        ->Name("Orbit/" #name)                                                                      \
        ->Unit(benchmark::kMillisecond);                                                            \
    BENCHMARK_CAPTURE(Orbit, name##_faces, kind, TK_VoxelPath::kFaces)                              \
        ->Name("Orbit/" #name "/baseline")                                                          \
        ->Unit(benchmark::kMillisecond);
TK_ORBIT(box, Kind::kBox)
TK_ORBIT(random, Kind::kRandom)
TK_ORBIT(checkerboard, Kind::kCheckerboard)
TK_ORBIT(sphere, Kind::kSphere)
BENCHMARK_CAPTURE(Orbit, sphere_rays, Kind::kSphere, TK_VoxelPath::kRays)
    ->Name("Orbit/sphere/rays")
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(FirstFrame, random, Kind::kRandom, TK_VoxelPath::kAuto)
    ->Name("FirstFrame/random")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstFrame, random_faces, Kind::kRandom, TK_VoxelPath::kFaces)
    ->Name("FirstFrame/random/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstFrame, checkerboard, Kind::kCheckerboard, TK_VoxelPath::kAuto)
    ->Name("FirstFrame/checkerboard")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FirstFrame, checkerboard_faces, Kind::kCheckerboard, TK_VoxelPath::kFaces)
    ->Name("FirstFrame/checkerboard/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoxStroke, auto, TK_VoxelPath::kAuto)->Name("BoxStroke/checkerboard")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoxStroke, faces, TK_VoxelPath::kFaces)
    ->Name("BoxStroke/checkerboard/baseline")
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- whole snapshot


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
    tk_bench::SetTarget("Orbit/box", 25000);
    tk_bench::SetTarget("Orbit/random", 50000);
    tk_bench::SetTarget("Orbit/checkerboard", 50000);
    tk_bench::SetTarget("Orbit/sphere", 25000);
    tk_bench::SetTarget("FirstFrame/random", 400000);
    tk_bench::SetTarget("FirstFrame/checkerboard", 400000);
    tk_bench::SetTarget("BoxStroke/checkerboard", 50000);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
