// Native model file figures on a full 126^3 model (2,000,376 voxels, 8 MB):
// writing it with WriteVox and reading it back with ReadVox, against one
// fwrite and one fread of the same bytes to the same folder; and
// NormalizeModel of it, in rising cell order and shuffled, against one pass
// that copies its voxel list. The target is a ratio of 3 or less.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TK_BenchMain.h"
#include "model/TK_VoxFile.h"

namespace {

namespace fs = std::filesystem;

const TK_Model& FullModel() {
    static TK_Model model = [] {
        TK_Model m;
        for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
        m.voxels.Reserve(kMaxModelSize * kMaxModelSize * kMaxModelSize);
        for (int z = 0; z < kMaxModelSize; ++z)
            for (int y = 0; y < kMaxModelSize; ++y)
                for (int x = 0; x < kMaxModelSize; ++x)
                    m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(1 + (x + y + z) % 255)});
        m.palette = DefaultPalette();
        m.palette[7] = PackRGBA(1, 2, 3);  // so the palette chunk is written too
        return m;
    }();
    return model;
}

// A scratch folder removed at exit.
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("tk_bench_vox_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
};
const Scratch& Folder() {
    static Scratch scratch;
    return scratch;
}

void WriteReadVox(benchmark::State& state) {
    const TK_Model& model = FullModel();
    const std::string path = Folder().Path("full.vox");
    TK_Model back;
    for (auto _ : state) {
        if (!WriteVox(model, path.c_str()) || !ReadVox(back, path.c_str())) state.SkipWithError("io failed");
        benchmark::DoNotOptimize(back.voxels.Data());
    }
    if (back.voxels.Count() != model.voxels.Count() || back.palette[7] != model.palette[7])
        state.SkipWithError("wrong model read back");
    state.SetBytesProcessed(int64_t(state.iterations()) * model.voxels.Count() * 4 * 2);
}
BENCHMARK(WriteReadVox)->Name("WriteVox+ReadVox 126^3")->Unit(benchmark::kMillisecond);

void WriteReadRaw(benchmark::State& state) {
    std::vector<uint8_t> bytes;
    WriteVoxBytes(FullModel(), bytes);
    std::vector<uint8_t> back(bytes.size());
    const std::string path = Folder().Path("raw.bin");
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        ok = out && std::fclose(out) == 0 && ok;
        FILE* in = std::fopen(path.c_str(), "rb");
        ok = ok && in && std::fread(back.data(), 1, back.size(), in) == back.size();
        if (in) std::fclose(in);
        if (!ok) state.SkipWithError("io failed");
        benchmark::DoNotOptimize(back.data());
    }
    if (back != bytes) state.SkipWithError("wrong bytes read back");
}
BENCHMARK(WriteReadRaw)->Name("WriteVox+ReadVox 126^3/baseline")->Unit(benchmark::kMillisecond);

// The full model as "full" and "new" build it (cells in rising order), or
// shuffled as brush edits leave a list, which needs the occupancy walk.
void Normalize(benchmark::State& state, bool shuffled) {
    TK_Model model = FullModel();
    if (shuffled) {
        uint32_t seed = 7;
        for (int i = model.voxels.Count() - 1; i > 0; --i) {
            seed = seed * 1664525u + 1013904223u;
            std::swap(model.voxels[i], model.voxels[int(seed % uint32_t(i + 1))]);
        }
    }
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    for (auto _ : state) {
        model.NormalizeModel(limit, 1);
        benchmark::DoNotOptimize(model.voxels.Data());
    }
    if (model.voxels.Count() != FullModel().voxels.Count()) state.SkipWithError("voxels lost");
}
void NormalizeRising(benchmark::State& state) { Normalize(state, false); }
void NormalizeShuffled(benchmark::State& state) { Normalize(state, true); }
BENCHMARK(NormalizeRising)->Name("NormalizeModel 126^3")->Unit(benchmark::kMillisecond);
BENCHMARK(NormalizeShuffled)->Name("NormalizeModel 126^3 shuffled")->Unit(benchmark::kMillisecond);

void CopyVoxels(benchmark::State& state) {
    const VoxelList& source = FullModel().voxels;
    std::vector<Voxel> copy(size_t(source.Count()));
    for (auto _ : state) {
        const Voxel* from = source.Data();
        for (int i = 0, n = source.Count(); i < n; ++i) copy[size_t(i)] = from[i];
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyVoxels)->Name("NormalizeModel 126^3/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(CopyVoxels)->Name("NormalizeModel 126^3 shuffled/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetRatioTarget("WriteVox+ReadVox 126^3", 3.0);
    tk_bench::SetRatioTarget("NormalizeModel 126^3", 3.0);
    tk_bench::SetRatioTarget("NormalizeModel 126^3 shuffled", 3.0);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
