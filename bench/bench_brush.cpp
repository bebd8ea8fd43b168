// Brush figures on the full 126-cube (about two million voxels): rebuilding
// a mirrored box stroke over the whole model, as every mouse move of a box
// drag does, alone and with the preview geometry (target 16 ms); committing
// that stroke through the executor (target 50 ms); and picking the cell under a point of the view (target
// 0.1 ms), both in the full model and on a worst-case ray that walks the
// whole grid. Each is set against a plain loop over the same cells of the
// lookup grid.
#include <cmath>
#include <memory>
#include <vector>

#include "TK_BenchMain.h"
#include "brush/TK_BoxBrush.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"
#include "render/Camera.h"
#include "render/TK_Picking.h"
#include "render/TK_PreviewMesh.h"
#include "render/TK_SceneRenderer.h"

namespace {

constexpr int kFull = kMaxModelSize;

// A 126-cube: full, or empty but for its far top corner.
TK_EditorEnv& Env(bool full) {
    static std::unique_ptr<TK_EditorEnv> env = std::make_unique<TK_EditorEnv>();
    TK_Model& model = env->model;
    for (int& s : model.size) s = kFull;
    model.voxels.Clear();
    if (full) {
        model.voxels.Reserve(kFull * kFull * kFull);
        for (int z = 0; z < kFull; ++z)
            for (int y = 0; y < kFull; ++y)
                for (int x = 0; x < kFull; ++x)
                    model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(1 + (x + y + z) % 200)});
    } else {
        model.voxels.Add(Voxel{kFull - 1, kFull - 1, kFull - 1, 1});
    }
    env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    env->executor.ClearHistory();
    return *env;
}

// Erase mode with every mirror axis on, over a box of two opposite corner
// picks: the stroke is every cell of the model.
TK_BrushOptions EraseAll(TK_StrokeBox& box) {
    TK_BrushOptions options;
    options.mode = TK_BRUSH_ERASE;
    options.mirror[0] = options.mirror[1] = options.mirror[2] = 1;
    for (int a = 0; a < 3; ++a) box.lo[a] = 0, box.hi[a] = kFull / 2;
    return options;
}

void BoxStroke(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    TK_StrokeBox box;
    const TK_BrushOptions options = EraseAll(box);
    TK_Stroke stroke;
    for (auto _ : state) {
        TK_BuildBoxStroke(stroke, env, options, box);
        benchmark::DoNotOptimize(stroke.Voxels().Data());
    }
    if (stroke.Voxels().Count() != kFull * kFull * kFull) state.SkipWithError("the stroke missed cells");
}

// The same cells, read from the lookup grid and listed, in one loop.
void BoxStrokeBaseline(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    VoxelList list;
    const uint32_t* grid = env.voxelLookupGrid.data();
    for (auto _ : state) {
        list.Clear();
        for (int z = 0; z < kFull; ++z)
            for (int y = 0; y < kFull; ++y)
                for (int x = 0; x < kFull; ++x)
                    if (grid[TK_EditorEnv::GridIndex(x, y, z)]) list.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), 0});
        benchmark::DoNotOptimize(list.Data());
    }
}

// One whole mouse move of a box drag: the mirrored stroke, then the preview
// geometry the raster view hands to OpenGL (the outer faces of the stroke,
// built into the vertex array the draw call reads).
void BoxStrokePreview(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    TK_StrokeBox box;
    const TK_BrushOptions options = EraseAll(box);
    TK_Stroke stroke;
    TK_PreviewMesh preview;
    for (auto _ : state) {
        TK_BuildBoxStroke(stroke, env, options, box);
        preview.Build(&stroke.Voxels(), options.mode, env.model.palette);
        benchmark::DoNotOptimize(preview.Faces());
    }
    if (preview.Faces() != 6 * kFull * kFull) state.SkipWithError("the preview missed faces");
}

// Commit only: the undo that restores the model for the next round is not
// timed.
void CommitStroke(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    TK_StrokeBox box;
    const TK_BrushOptions options = EraseAll(box);
    TK_Stroke stroke;
    TK_BuildBoxStroke(stroke, env, options, box);
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        if (!stroke.Commit(env, nullptr) || env.model.voxels.Count() != 0) {
            state.SkipWithError("the commit failed");
            break;
        }
        state.PauseTiming();
        env.executor.Undo();
        state.ResumeTiming();
    }
    OMB_SetLogMode(OMB_LogMode::All);
    if (env.model.voxels.Count() != kFull * kFull * kFull) state.SkipWithError("undo did not restore the model");
    env.executor.ClearHistory();
}

// Clearing the same cells' lookup entries while copying them, in one loop;
// the grid is restored untimed.
void CommitStrokeBaseline(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    VoxelList copy;
    for (auto _ : state) {
        copy.Clear();
        copy.Reserve(env.model.voxels.Count());
        uint32_t* grid = env.voxelLookupGrid.data();
        for (const Voxel& v : env.model.voxels) {
            grid[TK_EditorEnv::GridIndex(v.x, v.y, v.z)] = 0;
            copy.Add(v);
        }
        benchmark::DoNotOptimize(copy.Data());
        state.PauseTiming();
        env.RebuildLookupGrid();
        state.ResumeTiming();
    }
}

// Looking at the model's middle from above and to the side, as the editor
// does, in a 960 x 800 view.
Camera ModelCamera() {
    Camera camera;
    const int size[3] = {kFull, kFull, kFull};
    TK_FitCameraToModel(camera, size, 960.0f / 800.0f, 30, 30);
    return camera;
}

void PickFull(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    const Camera camera = ModelCamera();
    TK_Pick pick;
    for (auto _ : state) {
        pick = TK_PickCell(env, camera, 960, 800, 480.5f, 400.5f);
        benchmark::DoNotOptimize(pick);
    }
    if (!pick.Hit() || pick.IsGround()) state.SkipWithError("nothing picked");
}

// The cell the pick above reads, read directly.
void PickFullBaseline(benchmark::State& state) {
    TK_EditorEnv& env = Env(true);
    const TK_Pick pick = TK_PickCell(env, ModelCamera(), 960, 800, 480.5f, 400.5f);
    const uint32_t* grid = env.voxelLookupGrid.data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid);
        uint32_t slot = grid[TK_EditorEnv::GridIndex(pick.cell[0], pick.cell[1], pick.cell[2])];
        benchmark::DoNotOptimize(slot);
    }
}

// The worst case: a ray along the main diagonal, which crosses the whole
// grid to the one voxel in the far corner.
TK_Ray DiagonalRay() {
    TK_Ray ray;
    const float d = 1.0f / std::sqrt(3.0f);
    for (int a = 0; a < 3; ++a) ray.origin[a] = -10.0f + 0.3f * float(a), ray.dir[a] = d;
    return ray;
}

void PickWalk(benchmark::State& state) {
    TK_EditorEnv& env = Env(false);
    const TK_Ray ray = DiagonalRay();
    TK_Pick pick;
    for (auto _ : state) {
        pick = TK_PickRay(env, ray);
        benchmark::DoNotOptimize(pick);
    }
    if (pick.cell[0] != kFull - 1 || pick.cell[2] != kFull - 1) state.SkipWithError("the walk missed the corner");
}

// Reading the lookup grid along the same diagonal, three cells per step as
// the walk visits them.
void PickWalkBaseline(benchmark::State& state) {
    TK_EditorEnv& env = Env(false);
    const uint32_t* grid = env.voxelLookupGrid.data();
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int i = 0; i < kFull; ++i) {
            sum += grid[TK_EditorEnv::GridIndex(i, i, i)];
            sum += grid[TK_EditorEnv::GridIndex(i + 1 < kFull ? i + 1 : i, i, i)];
            sum += grid[TK_EditorEnv::GridIndex(i + 1 < kFull ? i + 1 : i, i + 1 < kFull ? i + 1 : i, i)];
        }
        benchmark::DoNotOptimize(sum);
    }
}

int Register() {
    benchmark::RegisterBenchmark("box_stroke_mirrored", BoxStroke)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("box_stroke_mirrored/baseline", BoxStrokeBaseline)->Unit(benchmark::kMillisecond);
    tk_bench::SetTarget("box_stroke_mirrored", 16000);
    benchmark::RegisterBenchmark("box_stroke_preview", BoxStrokePreview)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("box_stroke_preview/baseline", BoxStrokeBaseline)->Unit(benchmark::kMillisecond);
    tk_bench::SetTarget("box_stroke_preview", 16000);
    benchmark::RegisterBenchmark("commit_box_stroke", CommitStroke)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("commit_box_stroke/baseline", CommitStrokeBaseline)->Unit(benchmark::kMillisecond);
    tk_bench::SetTarget("commit_box_stroke", 50000);
    benchmark::RegisterBenchmark("pick_full_model", PickFull)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("pick_full_model/baseline", PickFullBaseline)->Unit(benchmark::kMicrosecond);
    tk_bench::SetTarget("pick_full_model", 100);
    benchmark::RegisterBenchmark("pick_diagonal_walk", PickWalk)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("pick_diagonal_walk/baseline", PickWalkBaseline)->Unit(benchmark::kMicrosecond);
    tk_bench::SetTarget("pick_diagonal_walk", 100);
    return 0;
}
const int kRegistered = Register();

}  // namespace

TK_BENCH_MAIN()
