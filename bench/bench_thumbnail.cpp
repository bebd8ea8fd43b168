// The thumbnailer as a file manager runs it:
//   Thumbnail/box: the whole `tarsk --thumbnail OUT.png --size 256 MODEL.vox`
//     process for a full 126-cell box, against `tarsk --headless` doing
//     nothing (the program's own start and exit). Target: under 0.3 s.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "TK_BenchMain.h"
#include "TK_BenchProcess.h"
#include "model/TK_Model.h"
#include "model/TK_VoxFile.h"

namespace {

constexpr int kN = kMaxModelSize;

std::string Scratch(const char* name) { return "/tmp/tarsk_bench_" + std::to_string(::getpid()) + "_" + name; }

// The full box as a model file, written once; empty when it cannot be.
const std::string& BoxFile() {
    static const std::string path = [] {
        TK_Model model;
        model.size[0] = model.size[1] = model.size[2] = kN;
        model.voxels.Reserve(kN * kN * kN);
        for (int z = 0; z < kN; ++z)
            for (int y = 0; y < kN; ++y)
                for (int x = 0; x < kN; ++x) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
        model.palette = DefaultPalette();
        const std::string file = Scratch("box.vox");
        return WriteVox(model, file.c_str()) ? file : std::string();
    }();
    return path;
}

void Thumbnail(benchmark::State& state) {
    if (BoxFile().empty()) return state.SkipWithError("cannot write the model file");
    const std::string out = Scratch("thumb.png");
    for (auto _ : state) {
        std::remove(out.c_str());
        if (!tk_bench::RunTarsk({"--thumbnail", out, "--size", "256", BoxFile()}))
            return state.SkipWithError("tarsk --thumbnail failed");
    }
    // The picture is the result: it must be there.
    if (std::FILE* f = std::fopen(out.c_str(), "rb"))
        std::fclose(f);
    else
        state.SkipWithError("no thumbnail written");
    std::remove(out.c_str());
}

void ThumbnailBaseline(benchmark::State& state) {
    for (auto _ : state)
        if (!tk_bench::RunTarsk({"--headless"})) return state.SkipWithError("tarsk --headless failed");
}

BENCHMARK(Thumbnail)->Name("Thumbnail/box")->Unit(benchmark::kMillisecond);
BENCHMARK(ThumbnailBaseline)->Name("Thumbnail/box/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetTarget("Thumbnail/box", 300000);
    return true;
}();

}  // namespace

int main(int argc, char** argv) {
    const int status = tk_bench::Main(argc, argv);
    if (!BoxFile().empty()) std::remove(BoxFile().c_str());
    return status;
}
