// Figures of the exporters beyond OBJ and PLY (3DS, marching-cube PLY,
// baked PLY, 2D and isometric sprites, glTF) on a solid one-colour sphere of
// radius 60 in a 126^3 box, each a whole call with the default options
// (surface or picture, encoding, temporary file and rename). The baseline
// of each is one fwrite of as many bytes as that export wrote, the raw cost
// of the output alone; the size written is shown as a counter. The glTF
// export must also write as many faces as the OBJ export's "optimize".
// glTF is also measured on three models that stress vertex sharing: the
// full box, a half-filled random model (8 colours) and the 3D checkerboard,
// every one 126^3 cells.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TK_BenchMain.h"
#include "core/OMB_BitFile.h"
#include "plugins/TK_Plugin_2D.h"
#include "plugins/TK_Plugin_3DS.h"
#include "plugins/TK_Plugin_Bake.h"
#include "plugins/TK_Plugin_GLTF.h"
#include "plugins/TK_Plugin_Iso.h"
#include "plugins/TK_Plugin_MC.h"
#include "plugins/TK_Plugin_OBJ.h"

namespace {

namespace fs = std::filesystem;

const TK_Model& Sphere() {
    static const TK_Model model = [] {
        TK_Model m;
        for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
        m.palette = DefaultPalette();
        for (int z = 0; z < kMaxModelSize; ++z)
            for (int y = 0; y < kMaxModelSize; ++y)
                for (int x = 0; x < kMaxModelSize; ++x) {
                    const int dx = 2 * x - 125, dy = 2 * y - 125, dz = 2 * z - 125;
                    if (dx * dx + dy * dy + dz * dz <= 120 * 120)
                        m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 79});
                }
        m.name = "bench.vox";
        return m;
    }();
    return model;
}

// The other glTF models, built on first use.
TK_Model FilledModel(const std::function<int(int, int, int)>& colour) {
    TK_Model m;
    for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
    m.palette = DefaultPalette();
    for (int z = 0; z < kMaxModelSize; ++z)
        for (int y = 0; y < kMaxModelSize; ++y)
            for (int x = 0; x < kMaxModelSize; ++x)
                if (const int c = colour(x, y, z)) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(c)});
    m.name = "bench.vox";
    return m;
}

const TK_Model& GltfModel(const std::string& name) {
    static const TK_Model box = FilledModel([](int, int, int) { return 79; });
    static const TK_Model random = [] {
        std::mt19937 generator(7);
        return FilledModel([&](int, int, int) {
            const uint32_t r = generator();
            return r & 1 ? int(1 + (r >> 1) % 8) : 0;
        });
    }();
    static const TK_Model checker = FilledModel([](int x, int y, int z) { return (x + y + z) % 2 ? 0 : 79; });
    return name == "box" ? box : name == "random" ? random : name == "checker" ? checker : Sphere();
}

const std::string& Folder() {
    static const std::string dir = [] {
        fs::path p = fs::temp_directory_path() / ("tk_bench_exporters_" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p.string();
    }();
    return dir;
}

// One export: a fresh plugin per call, as the export commands make one.
struct Exporter {
    const char* name;
    const char* extension;
    std::function<bool(const std::string&, const TK_Model&)> write;
};

template <typename Plugin>
bool Save(const std::string& path, const TK_Model& model) {
    return Plugin().SaveModel(path, std::string(), model);
}

const std::vector<Exporter>& Exporters() {
    static const std::vector<Exporter> exporters = {
        {"3ds", "3ds", &Save<TK_Plugin_3DS>},
        {"mc", "ply", &Save<TK_Plugin_MC>},
        {"bake", "ply", [](const std::string& path, const TK_Model& model) {
             return TK_Plugin_Bake().Bake(path, std::string(), model);
         }},
        {"2d", "png", &Save<TK_Plugin_2D>},
        {"iso", "png", &Save<TK_Plugin_Iso>},
    };
    return exporters;
}

void Export(benchmark::State& state, const Exporter& e) {
    const std::string path = Folder() + "/out_" + e.name + "." + e.extension;
    for (auto _ : state)
        if (!e.write(path, Sphere())) state.SkipWithError("export failed");
    std::error_code error;
    state.counters["MB"] = double(fs::file_size(path, error)) / 1e6;
}

void ExportBaseline(benchmark::State& state, const Exporter& e) {
    const std::string path = Folder() + "/base_" + e.name + "." + e.extension;
    e.write(path, Sphere());
    tk_bench::FwriteBaseline(state, path);
}

// SaveModel's own steps, so that the counts of what was written show.
void GltfExport(benchmark::State& state, const std::string& model) {
    const std::string path = Folder() + "/out_" + model + ".glb";
    TK_GltfCounts counts;
    for (auto _ : state) {
        TK_Plugin_GLTF plugin;
        OMB_SaveBitFile file;
        if (!file.Open(path.c_str()) || !TK_Plugin_GLTF::WriteGlb(GltfModel(model), plugin.options, nullptr, file, &counts) ||
            !file.Close())
            state.SkipWithError("export failed");
    }
    std::error_code error;
    state.counters["MB"] = double(fs::file_size(path, error)) / 1e6;
    state.counters["faces"] = double(counts.faces);
    state.counters["vertices"] = double(counts.vertices);
    fs::remove(path, error);
}

void GltfBaseline(benchmark::State& state, const std::string& model) {
    const std::string path = Folder() + "/base_" + model + ".glb";
    Save<TK_Plugin_GLTF>(path, GltfModel(model));
    tk_bench::FwriteBaseline(state, path);
    std::error_code error;
    fs::remove(path, error);
}

// Faces of the glTF export against the face lines of the OBJ export.
bool GltfFacesMatchObj() {
    std::string obj;
    TK_Plugin_OBJ::WriteObjText(Sphere(), TK_MeshOptions(), "bench", obj);
    size_t objFaces = 0;
    for (size_t at = obj.find("\nf "); at != std::string::npos; at = obj.find("\nf ", at + 1)) ++objFaces;
    std::vector<uint8_t> bytes;
    OMB_SaveBitFile file;
    TK_GltfCounts counts;
    const bool written = file.OpenMemory(&bytes) &&
                         TK_Plugin_GLTF::WriteGlb(Sphere(), TK_Plugin_GLTF::Defaults(), nullptr, file, &counts) &&
                         file.Close();
    const size_t gltfFaces = counts.faces;
    std::printf("gltf faces %zu, obj optimize faces %zu: %s\n", gltfFaces, objFaces,
                written && gltfFaces == objFaces ? "same" : "DIFFERENT");
    return written && gltfFaces == objFaces;
}

}  // namespace

int main(int argc, char** argv) {
    for (const Exporter& e : Exporters()) {
        const std::string name = std::string(e.name) + "_export/sphere";
        benchmark::RegisterBenchmark(name.c_str(), Export, e)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/baseline").c_str(), ExportBaseline, e)->Unit(benchmark::kMillisecond);
        const std::string key = e.name;
        tk_bench::SetTarget(name, key == "mc" || key == "bake" ? 2e6 : 1e6);
    }
    for (const char* model : {"sphere", "box", "random", "checker"}) {
        const std::string name = std::string("gltf_export/") + model;
        benchmark::RegisterBenchmark(name.c_str(), GltfExport, std::string(model))->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/baseline").c_str(), GltfBaseline, std::string(model))
            ->Unit(benchmark::kMillisecond);
    }
    tk_bench::SetTarget("gltf_export/sphere", 3e5);
    const bool sameFaces = GltfFacesMatchObj();
    const int rc = tk_bench::Main(argc, argv);
    fs::remove_all(Folder());
    return sameFaces ? rc : 1;
}
