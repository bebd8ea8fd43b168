// Mesh export figures on four 126^3 models: a full box, a solid one-colour
// sphere of radius 60, a box filled at random to one half with 255
// colours, and a 3D checkerboard. Each figure is a whole SaveModel with
// "optimize" on (surface, merging, text, files); its baseline is one fwrite
// of as many bytes as the export wrote, the raw cost of the output alone.
// The face count of each export is shown as a counter.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "plugins/TK_Plugin_OBJ.h"
#include "plugins/TK_Plugin_PLY.h"

namespace {

namespace fs = std::filesystem;

TK_Model Make(const std::function<int(int, int, int)>& colourAt) {
    TK_Model m;
    for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
    for (int i = 1; i < 256; ++i) m.palette[i] = PackRGBA(i, 255 - i, i * 7);
    for (int z = 0; z < kMaxModelSize; ++z)
        for (int y = 0; y < kMaxModelSize; ++y)
            for (int x = 0; x < kMaxModelSize; ++x)
                if (int c = colourAt(x, y, z)) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c)});
    m.name = "bench.vox";
    return m;
}

const TK_Model& Model(int which) {
    static const TK_Model models[4] = {
        Make([](int, int, int) { return 1; }),
        Make([](int x, int y, int z) {
            const int dx = 2 * x - 125, dy = 2 * y - 125, dz = 2 * z - 125;
            return dx * dx + dy * dy + dz * dz <= 120 * 120 ? 1 : 0;
        }),
        Make([](int x, int y, int z) {
            uint32_t h = uint32_t(x + 131 * (y + 131 * z)) * 2654435761u;
            h ^= h >> 15;
            return h & 0x80000000u ? int(1 + h % 255) : 0;
        }),
        Make([](int x, int y, int z) { return (x + y + z) % 2 ? 1 : 0; }),
    };
    return models[which];
}

const std::string& Folder() {
    static const std::string dir = [] {
        fs::path p = fs::temp_directory_path() / ("tk_bench_mesh_" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p.string();
    }();
    return dir;
}

const char* const kNames[4] = {"box", "sphere", "random_half", "checkerboard"};

TK_Plugin_Mesh& Plugin(const char* ext) {
    static TK_Plugin_OBJ obj;
    static TK_Plugin_PLY ply;
    TK_Plugin_Mesh& plugin = ext[0] == 'o' ? static_cast<TK_Plugin_Mesh&>(obj) : ply;
    plugin.options = TK_MeshOptions();  // the defaults, not the local configuration
    return plugin;
}

void Export(benchmark::State& state, int which, const char* ext) {
    const TK_Model& model = Model(which);
    TK_Plugin_Mesh& plugin = Plugin(ext);
    const std::string path = Folder() + "/out." + ext;
    for (auto _ : state)
        if (!plugin.SaveModel(path, "", model)) state.SkipWithError("export failed");
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, true, surface);
    state.counters["faces"] = double(surface.Count());
    state.counters["MB"] = double(fs::file_size(path)) / 1e6;
}

void ExportBaseline(benchmark::State& state, int which, const char* ext) {
    const std::string path = Folder() + "/base." + ext;
    Plugin(ext).SaveModel(path, "", Model(which));
    tk_bench::FwriteBaseline(state, path);
}

}  // namespace

int main(int argc, char** argv) {
    for (const char* ext : {"obj", "ply"})
        for (int which = 0; which < 4; ++which) {
            const std::string name = std::string(ext) + "_export/" + kNames[which];
            benchmark::RegisterBenchmark(name.c_str(), Export, which, ext)->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/baseline").c_str(), ExportBaseline, which, ext)
                ->Unit(benchmark::kMillisecond);
            // Budgets of a whole headless run; the export alone must stay well inside them.
            tk_bench::SetTarget(name, which == 0 ? 150e3 : which == 1 ? 150e3 : 2e6);
        }
    const int rc = tk_bench::Main(argc, argv);
    fs::remove_all(Folder());
    return rc;
}
