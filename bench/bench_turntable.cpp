// Turntable figure: the whole `tarsk --snap OUT.webp --turntable 36 --size
// 480x480 MODEL` (start-up, 36 raster frames, lossless animated WebP) of the
// README's lantern model, against `tarsk --headless` opening the same file
// (the baseline). Target: under 5 s.
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TK_BenchMain.h"
#include "TK_BenchProcess.h"

namespace {

// The bench's own folder, made once and removed at exit.
const std::filesystem::path& Folder() {
    static const struct Dir {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("tarsk_bench_turntable_" + std::to_string(::getpid()));
        Dir() { std::filesystem::create_directories(path); }
        ~Dir() {
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
    } dir;
    return dir.path;
}

// The lantern model of the README, built by its script and saved once.
const std::string& Model() {
    static const std::string path = [] {
        const std::string vox = (Folder() / "lanterns.vox").string();
        tk_bench::RunTarsk({"--headless", "-q", "--script", std::string(TK_SOURCE_DIR) + "/docs/render_lanterns.txt",
                            "-c", "save " + vox});
        return vox;
    }();
    return path;
}

void Turntable(benchmark::State& state) {
    const std::string out = (Folder() / "turntable.webp").string();
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--snap", out, "--turntable", "36", "--size", "480x480", Model()}))
            return state.SkipWithError("tarsk --snap --turntable failed");
    state.counters["bytes"] = double(std::filesystem::file_size(out));
}

void TurntableBaseline(benchmark::State& state) {
    const std::string open = "open " + Model();
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--headless", "-q", "-c", open})) return state.SkipWithError("tarsk --headless failed");
}

BENCHMARK(Turntable)->Name("Turntable/webp36")->Unit(benchmark::kMillisecond);
BENCHMARK(TurntableBaseline)->Name("Turntable/webp36/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetTarget("Turntable/webp36", 5000000);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
