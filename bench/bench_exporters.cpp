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
//
// Watertight merging (the default) against plain merging ("watertight" 0,
// as the mesh exports wrote before it) in the same run: the OBJ, PLY, 3DS
// and glTF exports of the sphere and of a striped figure (at most 1.2 times
// the time), and of the checkerboard, where nothing merges (no slower).
// The triangles of both are printed first for the sphere, the figure and a
// terrain: watertight at most 1.35 times plain over the three.
//
// Materials: the OBJ and glTF exports of the figure with a material of
// every kind against the same without materials (at most 1.1 times).
#include <unistd.h>

#include <algorithm>
#include <cmath>
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
#include "plugins/TK_Plugin_PLY.h"

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

// A figure 126 cells high: boots, legs, a body with diagonal stripes and a
// belt, arms, a head with eyes, a hat; the test figure's rules times 4.
int FigureCell(int x, int y, int z) {
    x /= 4, y /= 4, z /= 4;
    const bool leg = z < 10 && y >= 4 && y < 8 && ((x >= 5 && x < 9) || (x >= 11 && x < 15));
    const bool body = z >= 10 && z < 22 && x >= 5 && x < 15 && y >= 3 && y < 9;
    const bool arm = z >= 12 && z < 21 && y >= 4 && y < 8 && ((x >= 1 && x < 5) || (x >= 15 && x < 19));
    const bool head = z >= 22 && z < 30 && x >= 6 && x < 14 && y >= 2 && y < 10;
    if (head) return y == 2 && z == 26 && (x == 8 || x == 11) ? 2 : 4;
    if (body) return z == 13 ? 5 : (x + z) % 7 == 0 ? 6 : 7;
    if (leg) return z < 2 ? 8 : 9;
    if (arm) return z < 14 ? 4 : 7;
    return z >= 30 && x >= 7 && x < 13 && y >= 3 && y < 9 ? 10 : 0;
}

// Rolling hills in bands of colour by height.
int TerrainCell(int x, int y, int z) {
    const double h = 40 + 14 * std::sin(x * 0.11) * std::cos(y * 0.07) + 9 * std::sin((x + 2 * y) * 0.05);
    return z <= h ? 20 + z / 6 : 0;
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
    static const TK_Model figure = FilledModel(FigureCell);
    static const TK_Model terrain = FilledModel(TerrainCell);
    return name == "box"       ? box
           : name == "random"  ? random
           : name == "checker" ? checker
           : name == "figure"  ? figure
           : name == "terrain" ? terrain
                               : Sphere();
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

// One mesh export with watertight merging on or off.
template <typename Plugin>
void MeshExport(benchmark::State& state, const std::string& model, bool watertight) {
    const std::string path = Folder() + "/mesh_" + model + (watertight ? "" : "_plain") + ".out";
    for (auto _ : state) {
        Plugin plugin;
        plugin.options.watertight = watertight;
        if (!plugin.SaveModel(path, std::string(), GltfModel(model))) state.SkipWithError("export failed");
    }
}

template <typename Plugin>
void RegisterMeshExport(const char* format, const char* model, double ratio) {
    const std::string name = std::string("watertight_") + format + "/" + model;
    auto* on = benchmark::RegisterBenchmark(name.c_str(), MeshExport<Plugin>, std::string(model), true);
    auto* off = benchmark::RegisterBenchmark((name + "/baseline").c_str(), MeshExport<Plugin>, std::string(model), false);
    on->Unit(benchmark::kMillisecond);
    off->Unit(benchmark::kMillisecond);
    tk_bench::SetRatioTarget(name, ratio);
}

// The figure's OBJ or glTF export with a material of every kind among its
// colours (the baseline: every colour plain diffuse, the files of before
// materials were exported).
template <typename Plugin>
void MaterialExport(benchmark::State& state, bool materials) {
    static const TK_ModelLook look = [] {
        TK_ModelLook l;
        for (int c = 1; c < 256; ++c) l.materials[c].type = c % kMaterialTypeCount, l.materials[c].plastic = c % 8 == 0;
        return l;
    }();
    const std::string path = Folder() + "/materials" + (materials ? "" : "_plain") + ".out";
    for (auto _ : state) {
        Plugin plugin;
        if (materials) plugin.SetLook(&look);
        if (!plugin.SaveModel(path, std::string(), GltfModel("figure"))) state.SkipWithError("export failed");
    }
}

template <typename Plugin>
void RegisterMaterialExport(const char* format) {
    const std::string name = std::string("materials_") + format + "/figure";
    benchmark::RegisterBenchmark(name.c_str(), MaterialExport<Plugin>, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/baseline").c_str(), MaterialExport<Plugin>, false)
        ->Unit(benchmark::kMillisecond);
    tk_bench::SetRatioTarget(name, 1.1);
}

// Triangles of a model: watertight, and two a rectangle of plain merging.
void CountTriangles(const TK_Model& model, size_t& watertight, size_t& plain) {
    TK_MeshSurface surface;
    TK_BuildMeshSurface(model, true, surface);
    plain = 2 * surface.Count();
    const TK_MeshJoints joints(model, surface, true);
    std::vector<int> ring;
    watertight = 0;
    for (const auto& list : surface.faces)
        for (const TK_MeshFace& face : list) watertight += joints.Ring(face, ring) ? ring.size() / 2 - 2 : 2;
}

bool TrianglesWithinTarget() {
    size_t all = 0, allPlain = 0;
    std::printf("%-10s %12s %12s %8s\n", "triangles", "watertight", "plain", "ratio");
    for (const char* name : {"sphere", "figure", "terrain"}) {
        size_t w = 0, p = 0;
        CountTriangles(GltfModel(name), w, p);
        std::printf("%-10s %12zu %12zu %8.3f\n", name, w, p, double(w) / double(p));
        all += w, allPlain += p;
    }
    const bool met = double(all) <= 1.35 * double(allPlain);
    std::printf("%-10s %12zu %12zu %8.3f  ratio < 1.35: %s\n", "all", all, allPlain, double(all) / double(allPlain),
                met ? "met" : "MISSED");
    return met;
}

// Triangles of the glTF export against the face lines of the OBJ export
// (quads count two).
bool GltfFacesMatchObj() {
    std::string obj;
    TK_Plugin_OBJ::WriteObjText(Sphere(), TK_MeshOptions(), "bench", obj);
    size_t objFaces = 0;
    for (size_t at = obj.find("\nf "); at != std::string::npos; at = obj.find("\nf ", at + 1))
        objFaces += size_t(std::count(obj.begin() + long(at) + 1, obj.begin() + long(obj.find('\n', at + 1)), ' ')) - 2;
    std::vector<uint8_t> bytes;
    OMB_SaveBitFile file;
    TK_GltfCounts counts;
    const bool written = file.OpenMemory(&bytes) &&
                         TK_Plugin_GLTF::WriteGlb(Sphere(), TK_Plugin_GLTF::Defaults(), nullptr, file, &counts) &&
                         file.Close();
    const size_t gltfFaces = counts.triangles;
    std::printf("gltf triangles %zu, obj triangles %zu: %s\n", gltfFaces, objFaces,
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
    for (const char* model : {"sphere", "figure", "checker"}) {
        const double ratio = std::string(model) == "checker" ? 1.0 : 1.2;
        RegisterMeshExport<TK_Plugin_OBJ>("obj", model, ratio);
        RegisterMeshExport<TK_Plugin_PLY>("ply", model, ratio);
        RegisterMeshExport<TK_Plugin_3DS>("3ds", model, ratio);
        RegisterMeshExport<TK_Plugin_GLTF>("gltf", model, ratio);
    }
    RegisterMaterialExport<TK_Plugin_OBJ>("obj");
    RegisterMaterialExport<TK_Plugin_GLTF>("gltf");
    const bool sameFaces = GltfFacesMatchObj();
    const bool fewTriangles = TrianglesWithinTarget();
    const int rc = tk_bench::Main(argc, argv);
    fs::remove_all(Folder());
    return sameFaces && fewTriangles ? rc : 1;
}
