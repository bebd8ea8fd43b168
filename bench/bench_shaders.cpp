// Voxel shader figures: "xs" run as a console line through the executor
// (parse, reading the file, snapshot, the GPU pass with its upload, compile
// and read-back, the new voxel list, the history push and the lookup-grid
// rebuild) on the 126-cube full of voxels, on the headless runner's own
// offscreen context (Mesa's llvmpipe where there is no GPU). The context is
// made once per process, before the timed runs; "xs/context" reports it.
// "full/" evaluates in this process; "worker/" the way the program does, in
// the shader worker process (the job and the cells through a socket), so
// the two show what the isolation costs.
//
// Baseline: the raw CPU loop that writes the same cells: the sphere test
// per cell of the box into the voxel list, then the same model
// notification. Target: 0.5 s for the whole command.
#include <cstring>
#include <memory>
#include <string>

#include "TK_BenchMain.h"
#include "app/MS_OffscreenGL.h"
#include "app/MS_ShaderWorker.h"
#include "core/OMB_Log.h"
#include "edit/TK_Commands.h"
#include "model/TK_EditorEnv.h"
#include "render/TK_GLVoxelShader.h"

namespace {

constexpr int kN = kMaxModelSize;

TK_Model FullBox() {
    TK_Model m;
    m.size[0] = m.size[1] = m.size[2] = kN;
    m.palette = DefaultPalette();
    for (int z = 0; z < kN; ++z)
        for (int y = 0; y < kN; ++y)
            for (int x = 0; x < kN; ++x) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
    return m;
}

std::unique_ptr<TK_EditorEnv> MakeEnv(bool worker) {
    auto e = std::make_unique<TK_EditorEnv>();
    e->headless = true;
    e->workspace.SetDefaults(TK_BUILD_DIR);
    TK_RegisterCommands(e->executor);
    if (worker)
        e->voxelShaders = std::make_shared<MS_ShaderWorker>(std::string(TK_BUILD_DIR) + "/tarsk", 60.0);
    else
        e->voxelShaders = std::make_shared<TK_GLVoxelShaderEvaluator>(&MS_OffscreenGL::Create);
    return e;
}

TK_EditorEnv& Env(bool worker = false) {
    static std::unique_ptr<TK_EditorEnv> inProcess = MakeEnv(false), isolated = MakeEnv(true);
    return worker ? *isolated : *inProcess;
}

// The full box, with the current colour 9 and no history.
void Reset(bool worker = false) {
    static const TK_Model box = FullBox();
    TK_EditorEnv& env = Env(worker);
    env.executor.ClearHistory();
    env.model = box;
    env.currentColorIndex = 9;
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
}

// The first evaluation of the process: context, driver start-up, one
// small shader.
void Context(benchmark::State& state) {
    for (auto _ : state) {
        TK_GLVoxelShaderEvaluator evaluator(&MS_OffscreenGL::Create);
        const uint8_t cell = 0;
        uint8_t result = 0;
        TK_VoxelShaderJob job;
        job.source = "float map( vec3 v ) { return 1.0; }\n";
        job.cells = &cell;
        if (!evaluator.Evaluate(job, &result) || result != 1) state.SkipWithError("no OpenGL context");
    }
}

void RunShader(benchmark::State& state, std::string line, bool worker) {
    TK_EditorEnv& env = Env(worker);
    OMB_SetLogMode(OMB_LogMode::Silent);
    Reset(worker);
    // Warm: the context exists before the first timed run.
    const bool warmed = env.ExecuteText(line.c_str());
    int failures = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Back to the full box by the command's own snapshot.
        env.ExecuteText("undo");
        env.executor.ClearHistory();
        state.ResumeTiming();
        failures += !env.ExecuteText(line.c_str());
    }
    OMB_SetLogMode(OMB_LogMode::All);
    if (!warmed || failures) state.SkipWithError("xs failed");
    state.counters["voxels"] = env.model.voxels.Count();
    env.executor.ClearHistory();
}

void CpuSphere(benchmark::State& state) {
    TK_EditorEnv& env = Env();
    Reset();
    const float r2 = 50.0f * 50.0f, c = kN / 2.0f;
    for (auto _ : state) {
        TK_Model& m = env.model;
        m.voxels.Clear();
        for (int z = 0; z < kN; ++z)
            for (int y = 0; y < kN; ++y)
                for (int x = 0; x < kN; ++x) {
                    const float dx = x + 0.5f - c, dy = y + 0.5f - c, dz = z + 0.5f - c;
                    const uint8_t color = dx * dx + dy * dy + dz * dz <= r2 ? 7 : 79;
                    m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), color});
                }
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
        benchmark::DoNotOptimize(m.voxels.Data());
    }
}

void RegisterAll() {
    benchmark::RegisterBenchmark("xs/context", Context)->Unit(benchmark::kMillisecond)->Iterations(1);
    for (const char* line : {"xs sphere 50 7", "xs hollow", "xs height", "xs menger", "xs terrain"}) {
        const std::string name = std::string("full/") + line;
        benchmark::RegisterBenchmark(name.c_str(), RunShader, std::string(line), false)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/baseline").c_str(), CpuSphere)->Unit(benchmark::kMillisecond);
        tk_bench::SetTarget(name, 500000.0);
        const std::string isolated = std::string("worker/") + line;
        benchmark::RegisterBenchmark(isolated.c_str(), RunShader, std::string(line), true)
            ->Unit(benchmark::kMillisecond);
        // The baseline here is the same command evaluated in this process.
        benchmark::RegisterBenchmark((isolated + "/baseline").c_str(), RunShader, std::string(line), false)
            ->Unit(benchmark::kMillisecond);
        tk_bench::SetRatioTarget(isolated, 2.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    return tk_bench::Main(argc, argv);
}
