// Autosave figures on the full 126-cube (about two million voxels):
// - "autosave/write": one whole autosave, the model's copy, its bytes, the
//   atomic write (flushed to the disk with its folder) and the name file,
//   waited for. Target: 20 ms. Baseline: one fopen, fwrite and fclose of as
//   many bytes as the file holds, unflushed.
// - "autosave/flush": the flush alone: the baseline's write with an fsync
//   before the close, against the same baseline. Run it with TMPDIR on the
//   disk that matters (a tmpfs flushes for free).
// - "autosave/frame": what a frame pays when an autosave is due (the model's
//   copy; the rest runs on the writer's thread). Baseline: a copy of the
//   model when none is due, which the frame never makes; the ratio shows
//   that the frame pays only the copy.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "app/TK_Recovery.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

namespace {

constexpr int kN = kMaxModelSize;

TK_EditorEnv& Env() {
    static std::unique_ptr<TK_EditorEnv> env = [] {
        auto e = std::make_unique<TK_EditorEnv>();
        e->workspace.cacheFolder = std::filesystem::temp_directory_path().string() + "/tarsk_bench_autosave";
        TK_Model& m = e->model;
        m.size[0] = m.size[1] = m.size[2] = kN;
        m.palette = DefaultPalette();
        for (int z = 0; z < kN; ++z)
            for (int y = 0; y < kN; ++y)
                for (int x = 0; x < kN; ++x) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
        return e;
    }();
    return *env;
}

void Write(benchmark::State& state) {
    TK_Autosave autosave(Env());
    int failures = 0;
    for (auto _ : state) failures += !autosave.WriteNow();
    if (failures) state.SkipWithError("autosave failed");
    state.counters["MB"] = double(std::filesystem::file_size(autosave.Path())) / 1e6;
    autosave.Discard();
}

void WriteBaseline(benchmark::State& state) {
    TK_Autosave autosave(Env());
    if (!autosave.WriteNow()) return state.SkipWithError("autosave failed");
    tk_bench::FwriteBaseline(state, autosave.Path());
    autosave.Discard();
}

void Flush(benchmark::State& state) {
    TK_Autosave autosave(Env());
    if (!autosave.WriteNow()) return state.SkipWithError("autosave failed");
    const std::vector<char> bytes(size_t(std::filesystem::file_size(autosave.Path())), 'x');
    for (auto _ : state) {
        FILE* f = std::fopen(autosave.Path().c_str(), "wb");
        if (!f) return state.SkipWithError("cannot write the file");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fflush(f);
        ::fsync(::fileno(f));
        std::fclose(f);
    }
    autosave.Discard();
}

// The frame's share: Tick when due starts the writer; the wait for it is
// outside the timing.
void Frame(benchmark::State& state) {
    TK_Autosave autosave(Env());
    autosave.Arm();
    double now = 0;
    for (auto _ : state) {
        state.PauseTiming();
        autosave.Discard();
        autosave.NoteChange(now);
        now += TK_Autosave::kDelay;
        state.ResumeTiming();
        autosave.Tick(now);
    }
    autosave.Discard();
    if (autosave.Writes() != int(state.iterations())) state.SkipWithError("no autosave started");
}

void FrameBaseline(benchmark::State& state) {
    for (auto _ : state) {
        TK_Model copy = Env().model;
        benchmark::DoNotOptimize(copy.voxels.Data());
    }
}

void RegisterAll() {
    benchmark::RegisterBenchmark("autosave/write", Write)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("autosave/write/baseline", WriteBaseline)->Unit(benchmark::kMillisecond);
    tk_bench::SetTarget("autosave/write", 20000.0);
    benchmark::RegisterBenchmark("autosave/flush", Flush)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("autosave/flush/baseline", WriteBaseline)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("autosave/frame", Frame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("autosave/frame/baseline", FrameBaseline)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    RegisterAll();
    return tk_bench::Main(argc, argv);
}
