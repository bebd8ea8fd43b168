// The environment's own reaction to change notifications (see TK_EditorEnv.h).
#include "model/TK_EditorEnv.h"

#include <algorithm>
#include <cstring>

TK_EditorEnv::TK_EditorEnv()
    : model(worldSize[0] * worldSize[1]), voxelLookupGrid(kWorldCells, 0) {
    workspace.SetDefaults(TK_Folders());
    executor.SetEnvironment(this);
    executor.SetHistoryChanged([this] { Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE); });
    model.size[0] = model.size[1] = model.size[2] = 1;
    for (TK_Material& m : materials) m = TK_DefaultMaterial();
    UpdatePlacement();
}

void TK_EditorEnv::ChangeNotification(int kind, int value) {
    if (kind == TK_NOTIFY_MODEL) {
        if (value & TK_CHANGE_SIZE) UpdatePlacement();
        if (value & TK_CHANGE_VOXELS) RebuildLookupGrid();
        if (value & (TK_CHANGE_SIZE | TK_CHANGE_GEOMETRY | TK_CHANGE_VOXELS | TK_CHANGE_SHAPE)) {
            geometryNode.SetDirty(true);
            MarkDirty(&geometryNode);
        }
        if (value & (TK_CHANGE_COLORS | TK_CHANGE_PALETTE_COLORS)) {
            colorNode.SetDirty(true);
            MarkDirty(&colorNode);
        }
        if (value & TK_CHANGE_TRIM) model.voxels.Trim();
        // A model just read from its file (trimmed, with a path) or just
        // written is saved; any other change of it is not.
        if (executor.IsMovingInHistory())
            unsaved = !executor.IsAtSavedState();
        else if ((value & TK_CHANGE_SAVED) || ((value & TK_CHANGE_TRIM) && !model.path.empty()))
            unsaved = false;
        else if (value & ~(TK_CHANGE_NAME | TK_CHANGE_FILES))
            MarkChanged();
    } else if (kind == TK_NOTIFY_PALETTE && value >= 0 && value <= 255) {
        colorNode.SetDirty(true);
        MarkDirty(&colorNode);
        if (executor.IsMovingInHistory())
            unsaved = !executor.IsAtSavedState();
        else
            MarkChanged();
    }
    Broadcast(kind, value);
}

void TK_EditorEnv::RebuildLookupGrid() {
    std::memset(voxelLookupGrid.data(), 0, voxelLookupGrid.size() * sizeof(uint32_t));
    uint32_t* grid = voxelLookupGrid.data();
    const Voxel* v = model.voxels.Data();
    const int n = model.voxels.Count();
    // Voxel coordinates are bytes: mask them into the world so a stray voxel
    // can never write outside the grid.
    for (int i = 0; i < n; ++i)
        grid[GridIndex(v[i].x & 127, v[i].y & 127, v[i].z & 127)] = uint32_t(i + 1);
}

void TK_EditorEnv::UpdatePlacement() {
    for (int a = 0; a < 3; ++a) {
        modelPlacement[a] = a == 2 ? 1 : (worldSize[a] - model.size[a]) / 2;
        modelBoundsMin[a] = float(modelPlacement[a]);
        modelBoundsMax[a] = float(modelPlacement[a] + model.size[a]);
        modelCenter[a] = 0.5f * (modelBoundsMin[a] + modelBoundsMax[a]);
    }
}

bool TK_EditorEnv::ExecuteText(const char* text, OMB_ExecuteStats* stats) {
    bool ok = executor.ExecuteText(text, stats);
    FollowSavedState();
    if (ok) Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return ok;
}

bool TK_EditorEnv::RunCommand(std::unique_ptr<OMB_Command> command, const void* owner) {
    if (command) command->SetEnvironment(this);
    bool ok = executor.Run(std::move(command), owner);
    FollowSavedState();
    if (ok) Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return ok;
}

// A change outside any command (a model installed at start-up, a test's
// own edit) leaves no state of the history equal to the file.
void TK_EditorEnv::MarkChanged() {
    unsaved = true;
    if (!executor.IsBusy()) executor.ForgetSaved();
}

// The messages of an open tell of a change; only once the history holds the
// open does the state after it become the file's (MarkSaved), so the mark
// is cleared here. Changes set it through their own messages.
void TK_EditorEnv::FollowSavedState() {
    if (!executor.TakeSavedStateNews() || !unsaved || !executor.IsAtSavedState()) return;
    unsaved = false;
    Broadcast(TK_NOTIFY_MODEL, TK_CHANGE_NAME);
}
