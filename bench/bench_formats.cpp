// Interchange format figures on a half-filled 126^3 model (about a million
// voxels scattered through the box, 255 colours): for QB, xraw and Slab6,
// exporting it with the plugin's SaveModel, importing it with LoadModel, and
// the two in a row, against the raw cost of moving the same file's bytes:
// one fwrite of them into a file of the same folder, one fread of the file
// into a freshly allocated buffer (a reader must put the bytes somewhere),
// and the two in a row. The target, a ratio of 3 or less, is on the
// export+import figure; the single directions are shown for what they are
// (an import from the page cache competes with a bare memcpy of a file that
// is a quarter or half the size of the voxel list it must build).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "core/OMB_Log.h"
#include "plugins/TK_Plugin_QB.h"
#include "plugins/TK_Plugin_RAW.h"
#include "plugins/TK_Plugin_SLAB.h"

namespace {

namespace fs = std::filesystem;

// Every cell whose hash has its top bit set: half of the box, no runs.
const TK_Model& HalfModel() {
    static TK_Model model = [] {
        TK_Model m;
        for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
        for (int z = 0; z < kMaxModelSize; ++z)
            for (int y = 0; y < kMaxModelSize; ++y)
                for (int x = 0; x < kMaxModelSize; ++x) {
                    uint32_t h = uint32_t(x + 131 * (y + 131 * z)) * 2654435761u;
                    h ^= h >> 15;
                    if (h & 0x80000000u) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(1 + h % 255)});
                }
        m.palette = DefaultPalette();
        for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 255 - i, i * 7);  // 255 distinct colours
        m.name = "half.vox";
        return m;
    }();
    return model;
}

struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("tk_bench_formats_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
};
const Scratch& Folder() {
    static Scratch scratch;
    return scratch;
}

std::vector<uint8_t> FileBytes(TK_Plugin& plugin, const std::string& ext) {
    const std::string path = Folder().Path("bytes." + ext);
    plugin.SaveModel(path, "", HalfModel());
    std::vector<uint8_t> bytes(fs::file_size(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    if (f) std::fclose(f);
    return bytes;
}

template <typename Plugin>
void Export(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::string path = Folder().Path(std::string("export.") + ext);
    for (auto _ : state)
        if (!plugin.SaveModel(path, "", HalfModel())) state.SkipWithError("export failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(path)));
}

template <typename Plugin>
void Import(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::string path = Folder().Path(std::string("import.") + ext);
    plugin.SaveModel(path, "", HalfModel());
    OMB_SetLogMode(OMB_LogMode::Silent);
    int count = 0;
    for (auto _ : state) {
        TK_Model model;
        if (!plugin.LoadModel(path, "", model)) state.SkipWithError("import failed");
        count = model.voxels.Count();
        benchmark::DoNotOptimize(model.voxels.Data());
    }
    OMB_SetLogMode(OMB_LogMode::All);
    if (count != HalfModel().voxels.Count()) state.SkipWithError("wrong voxel count");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(path)));
}

template <typename Plugin>
void WriteBaseline(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::vector<uint8_t> bytes = FileBytes(plugin, ext);
    const std::string path = Folder().Path(std::string("raw-out.") + ext);
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = f && std::fclose(f) == 0 && ok;
        if (!ok || bytes.empty()) state.SkipWithError("fwrite failed");
    }
}

template <typename Plugin>
void ReadBaseline(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::vector<uint8_t> bytes = FileBytes(plugin, ext);
    const std::string path = Folder().Path(std::string("raw-in.") + ext);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out) std::fwrite(bytes.data(), 1, bytes.size(), out), std::fclose(out);
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes.size()]);
        bool ok = f && std::fread(buffer.get(), 1, bytes.size(), f) == bytes.size();
        if (f) std::fclose(f);
        if (!ok || bytes.empty()) state.SkipWithError("fread failed");
        benchmark::DoNotOptimize(buffer.get());
    }
}

template <typename Plugin>
void RoundTrip(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::string path = Folder().Path(std::string("trip.") + ext);
    OMB_SetLogMode(OMB_LogMode::Silent);
    int count = 0;
    for (auto _ : state) {
        TK_Model model;
        if (!plugin.SaveModel(path, "", HalfModel()) || !plugin.LoadModel(path, "", model))
            state.SkipWithError("round trip failed");
        count = model.voxels.Count();
        benchmark::DoNotOptimize(model.voxels.Data());
    }
    OMB_SetLogMode(OMB_LogMode::All);
    if (count != HalfModel().voxels.Count()) state.SkipWithError("wrong voxel count");
}

template <typename Plugin>
void RoundTripBaseline(benchmark::State& state, const char* ext) {
    Plugin plugin;
    const std::vector<uint8_t> bytes = FileBytes(plugin, ext);
    const std::string path = Folder().Path(std::string("raw-trip.") + ext);
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        ok = out && std::fclose(out) == 0 && ok;
        FILE* in = std::fopen(path.c_str(), "rb");
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes.size()]);
        ok = ok && in && std::fread(buffer.get(), 1, bytes.size(), in) == bytes.size();
        if (in) std::fclose(in);
        if (!ok || bytes.empty()) state.SkipWithError("raw round trip failed");
        benchmark::DoNotOptimize(buffer.get());
    }
}

template <typename Plugin>
void Register(const std::string& label, const char* ext) {
    const std::string name = label + " 126^3 half";
    benchmark::RegisterBenchmark((name + " export").c_str(), &Export<Plugin>, ext)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + " export/baseline").c_str(), &WriteBaseline<Plugin>, ext)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + " import").c_str(), &Import<Plugin>, ext)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + " import/baseline").c_str(), &ReadBaseline<Plugin>, ext)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + " export+import").c_str(), &RoundTrip<Plugin>, ext)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + " export+import/baseline").c_str(), &RoundTripBaseline<Plugin>, ext)
        ->Unit(benchmark::kMillisecond);
    tk_bench::SetRatioTarget(name + " export+import", 3.0);
}

const bool kRegistered = [] {
    Register<TK_Plugin_QB>("QB", "qb");
    Register<TK_Plugin_RAW>("xraw", "xraw");
    Register<TK_Plugin_SLAB>("Slab6", "vox");
    return true;
}();

}  // namespace

TK_BENCH_MAIN()
