// Voxel document figures: rebuilding the cell lookup grid of a full model
// after a voxel change, against one plain clear-and-write loop over the same
// grid (the baseline).
#include <cstring>

#include "TK_BenchMain.h"
#include "model/TK_EditorEnv.h"

namespace {

void FillFull(TK_Model& m) {
    for (int a = 0; a < 3; ++a) m.size[a] = kMaxModelSize;
    m.voxels.Clear();
    m.voxels.Reserve(kMaxModelSize * kMaxModelSize * kMaxModelSize);
    for (int z = 0; z < kMaxModelSize; ++z)
        for (int y = 0; y < kMaxModelSize; ++y)
            for (int x = 0; x < kMaxModelSize; ++x) m.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 1});
}

void LookupGridRebuild(benchmark::State& state) {
    static TK_EditorEnv env;
    FillFull(env.model);
    for (auto _ : state) {
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
        benchmark::DoNotOptimize(env.voxelLookupGrid.data());
    }
    if (env.VoxelAt(125, 125, 125) != env.model.voxels.Count() - 1) state.SkipWithError("wrong grid");
}
BENCHMARK(LookupGridRebuild)->Name("LookupGridRebuild")->Unit(benchmark::kMillisecond);

void LookupGridBaseline(benchmark::State& state) {
    TK_Model model;
    FillFull(model);
    std::vector<uint32_t> grid(1 << 21);
    for (auto _ : state) {
        std::memset(grid.data(), 0, grid.size() * 4);
        const Voxel* v = model.voxels.Data();
        for (int i = 0, n = model.voxels.Count(); i < n; ++i)
            grid[v[i].x + (v[i].y << 7) + (v[i].z << 14)] = uint32_t(i + 1);
        benchmark::DoNotOptimize(grid.data());
    }
}
BENCHMARK(LookupGridBaseline)->Name("LookupGridRebuild/baseline")->Unit(benchmark::kMillisecond);

}  // namespace

TK_BENCH_MAIN()
