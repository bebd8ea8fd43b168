// Model transform figures: each transform command followed by its undo, run
// as console lines through the executor on a model of about two million
// voxels (the full 126-cube, or the nearest model on which the command has
// work to do), against one memcpy of that voxel list (the baseline). Each
// pair includes the history push and the lookup-grid rebuilds the command's
// notifications cause; the target is 50 ms per pair.
#include <cstring>
#include <memory>
#include <vector>

#include "TK_BenchMain.h"
#include "core/OMB_Log.h"
#include "edit/TK_Commands.h"
#include "model/TK_EditorEnv.h"

namespace {

constexpr int kFull = kMaxModelSize;

// A box of `size` per axis whose cells from `lo` to `hi` (exclusive) hold colour 1.
void MakeBlock(TK_Model& model, int size, int lo, int hi) {
    for (int a = 0; a < 3; ++a) model.size[a] = size;
    model.voxels.Clear();
    model.voxels.Reserve((hi - lo) * (hi - lo) * (hi - lo));
    for (int z = lo; z < hi; ++z)
        for (int y = lo; y < hi; ++y)
            for (int x = lo; x < hi; ++x) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 1});
}

TK_EditorEnv& Env() {
    static std::unique_ptr<TK_EditorEnv> env = [] {
        auto e = std::make_unique<TK_EditorEnv>();
        TK_RegisterCommands(e->executor);
        return e;
    }();
    return *env;
}

struct Case {
    const char* name;
    const char* line;
    int size, lo, hi;  // the starting model (see MakeBlock)
};

// shrink needs slack around the voxels and expand room to grow: both run on
// the 124-cube of voxels, the largest model that gives them work.
const Case kCases[] = {
    {"flip", "flip x", kFull, 0, kFull},      {"loop", "loop x 3 y -5", kFull, 0, kFull},
    {"rot90", "rot90 z", kFull, 0, kFull},    {"shrink", "shrink", kFull, 1, kFull - 1},
    {"expand", "expand", kFull - 2, 0, kFull - 2}, {"size", "size 100", kFull, 0, kFull},
    {"fill", "fill", kFull, 0, kFull},        {"zero", "zero", kFull, 0, kFull},
    {"mir", "mir x", kFull, 0, kFull},        {"full", "full", kFull, 0, kFull},
    {"inv", "inv", kFull, 0, kFull},
};

uint64_t Checksum(const TK_Model& m) {
    uint64_t sum = uint64_t(m.size[0]) << 40 | uint64_t(m.size[1]) << 20 | uint64_t(m.size[2]);
    for (const Voxel& v : m.voxels) sum += v.Word();
    return sum;
}

void CommandAndUndo(benchmark::State& state, const Case* c) {
    TK_EditorEnv& env = Env();
    MakeBlock(env.model, c->size, c->lo, c->hi);
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    env.executor.ClearHistory();
    env.currentColorIndex = 2;
    const uint64_t start = Checksum(env.model);
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        if (!env.ExecuteText(c->line) || !env.ExecuteText("undo")) {
            state.SkipWithError("command failed");
            break;
        }
    }
    OMB_SetLogMode(OMB_LogMode::All);
    if (Checksum(env.model) != start) state.SkipWithError("undo did not restore the model");
    env.executor.ClearHistory();
}

void VoxelListCopy(benchmark::State& state) {
    TK_Model model;
    MakeBlock(model, kFull, 0, kFull);
    std::vector<Voxel> copy(size_t(model.voxels.Count()));
    for (auto _ : state) {
        std::memcpy(copy.data(), model.voxels.Data(), copy.size() * sizeof(Voxel));
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}

int Register() {
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark(c.name, CommandAndUndo, &c)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(c.name) + "/baseline").c_str(), VoxelListCopy)
            ->Unit(benchmark::kMillisecond);
        tk_bench::SetTarget(c.name, 50000);
    }
    return 0;
}
const int kRegistered = Register();

}  // namespace

TK_BENCH_MAIN()
