// Native model file figures on a full 126^3 model (2,000,376 voxels, 8 MB):
// writing it with WriteVox and reading it back with ReadVox, against one
// fwrite and one fread of the same bytes to the same folder; and
// NormalizeModel of it, in rising cell order and shuffled, against one pass
// that copies its voxel list. The target is a ratio of 3 or less.
// Also a scene of ten models (1,000,000 voxels together) opened (read and
// normalised) and saved back whole, against the same ten models opened and
// saved one by one from files of their own: target 1.2.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TK_BenchMain.h"
#include "core/OMB_XIFF.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"

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

// Ten models of 50 x 50 x 40 full cells, colour k + 1 in model k.
constexpr int kSceneModels = 10;
TK_Model SceneModel(int k) {
    TK_Model m;
    m.size[0] = m.size[1] = 50, m.size[2] = 40;
    for (int z = 0; z < 40; ++z)
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(k + 1)});
    m.palette = DefaultPalette();
    return m;
}

// The scene file: the ten SIZE/XYZI pairs, then a group of ten shapes.
const std::string& SceneFile() {
    static const std::string path = [] {
        std::vector<uint8_t> children, group;
        for (int k = 0; k < kSceneModels; ++k) {
            const TK_Model m = SceneModel(k);
            TK_PutVoxModelChunk(children, OMB_ChunkId("SIZE"), m);
            TK_PutVoxModelChunk(children, OMB_ChunkId("XYZI"), m);
        }
        const int32_t groupHead[] = {0, 0, kSceneModels};
        group.insert(group.end(), reinterpret_cast<const uint8_t*>(groupHead),
                     reinterpret_cast<const uint8_t*>(groupHead + 3));
        for (int k = 0; k < kSceneModels; ++k) {
            const int32_t child = k + 1;
            group.insert(group.end(), reinterpret_cast<const uint8_t*>(&child),
                         reinterpret_cast<const uint8_t*>(&child + 1));
            const int32_t shape[] = {k + 1, 0, 1, k, 0};
            std::vector<uint8_t> content(reinterpret_cast<const uint8_t*>(shape),
                                         reinterpret_cast<const uint8_t*>(shape + 5));
            TK_PutVoxChunk(children, OMB_ChunkId("nSHP"), content.data(), content.size());
        }
        TK_PutVoxChunk(children, OMB_ChunkId("nGRP"), group.data(), group.size());
        std::vector<uint8_t> file = {'V', 'O', 'X', ' ', 150, 0, 0, 0, 'M', 'A', 'I', 'N', 0, 0, 0, 0};
        const uint32_t n = uint32_t(children.size());
        for (int i = 0; i < 4; ++i) file.push_back(uint8_t(n >> (8 * i)));
        file.insert(file.end(), children.begin(), children.end());
        const std::string at = Folder().Path("scene.vox");
        FILE* out = std::fopen(at.c_str(), "wb");
        const bool ok = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
        if (out) std::fclose(out);
        return ok ? at : std::string();
    }();
    return path;
}

// "open" and "save" of one file: read, normalise, write back.
bool OpenSave(const std::string& path, TK_Model& model) {
    const int limit[3] = {kMaxModelSize, kMaxModelSize, kMaxModelSize};
    if (!ReadVox(model, path.c_str())) return false;
    model.NormalizeModel(limit, 1);
    return WriteVox(model, path.c_str());
}

void OpenSaveScene(benchmark::State& state) {
    const std::string& path = SceneFile();
    TK_Model model;
    for (auto _ : state) {
        if (!OpenSave(path, model)) state.SkipWithError("io failed");
        benchmark::DoNotOptimize(model.voxels.Data());
    }
    if (!model.kept || model.kept->modelCount != kSceneModels || model.voxels.Count() != 100000)
        state.SkipWithError("wrong scene read back");
}
BENCHMARK(OpenSaveScene)->Name("open+save 10-model scene 1M")->Unit(benchmark::kMillisecond);

void OpenSaveOneByOne(benchmark::State& state) {
    std::vector<std::string> paths;
    for (int k = 0; k < kSceneModels; ++k) {
        paths.push_back(Folder().Path(("model" + std::to_string(k) + ".vox").c_str()));
        if (!WriteVox(SceneModel(k), paths.back().c_str())) state.SkipWithError("io failed");
    }
    TK_Model model;
    int voxels = 0;
    for (auto _ : state) {
        voxels = 0;
        for (const std::string& path : paths) {
            if (!OpenSave(path, model)) state.SkipWithError("io failed");
            voxels += model.voxels.Count();
        }
        benchmark::DoNotOptimize(model.voxels.Data());
    }
    if (voxels != 1000000) state.SkipWithError("wrong models read back");
}
BENCHMARK(OpenSaveOneByOne)->Name("open+save 10-model scene 1M/baseline")->Unit(benchmark::kMillisecond);

const bool kTargets = [] {
    tk_bench::SetRatioTarget("open+save 10-model scene 1M", 1.2);
    tk_bench::SetRatioTarget("WriteVox+ReadVox 126^3", 3.0);
    tk_bench::SetRatioTarget("NormalizeModel 126^3", 3.0);
    tk_bench::SetRatioTarget("NormalizeModel 126^3 shuffled", 3.0);
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
