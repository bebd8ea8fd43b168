// TK_EditorEnv: the editing environment every command receives. It owns the
// current model, the world it sits in, the cell lookup grid, the command
// executor with its history, and the listener list. ChangeNotification is the
// one road by which the rest of the program learns what changed: the
// environment updates its own derived state first (lookup grid, placement,
// dirty render nodes), then passes the pair to every listener in order.
//
// Notification kinds and flags: model/TK_Notify.h.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/OMB_CommandExecutor.h"
#include "core/OMB_DGNode.h"
#include "core/OMB_LargeAlloc.h"
#include "core/OMB_Signal.h"
#include "model/TK_Material.h"
#include "model/TK_Model.h"
#include "model/TK_Notify.h"
#include "model/TK_Settings.h"
#include "model/TK_Workspace.h"

class TK_PluginRegistry;  // plugins/TK_PluginRegistry.h
class TK_WindowLink;      // model/TK_WindowLink.h
class TK_VoxelShaderEvaluator;  // edit/TK_VoxelShaderEvaluator.h

class TK_EditorEnv {
public:
    static constexpr int kWorldShift = 7;  // world cells per axis = 1 << 7
    static constexpr int kWorldCells = 1 << (3 * kWorldShift);

    int currentColorIndex = 1;
    const int worldSize[3] = {128, 128, 128};
    const int maxModelSize[3] = {126, 126, 126};
    TK_Model model;
    // One surface record per palette index; moves with its colour.
    TK_Material materials[256] = {};
    // Cell (x, y, z) of the model -> 1 + voxel position, 0 when empty.
    OMB_LargeVector<uint32_t> voxelLookupGrid;
    int modelPlacement[3] = {0, 0, 1};
    float modelCenter[3] = {0, 0, 0};
    float modelBoundsMin[3] = {0, 0, 0};
    float modelBoundsMax[3] = {0, 0, 0};

    TK_Workspace workspace;
    // No window: dialogs report "cancelled" and window-only lines fail.
    bool headless = false;
    // The model or its palette changed since the model was read from or
    // written to a file (ChangeNotification keeps it; after an undo, a redo
    // or a save, the history's saved state decides).
    bool unsaved = false;
    // A batch run (headless, snapshot, render) keeps no cache copy: the
    // copy serves the editor's session, and concurrent runs of one install
    // must share no file.
    bool writesCacheCopy = true;
    // The editor window while there is one (not owned); null headless.
    TK_WindowLink* window = nullptr;
    // Values the settings commands write (see TK_Settings.h).
    TK_Settings settings;
    // The renderers while they exist (not owned); null headless.
    TK_RenderLink* renderer = nullptr;

    // The format plugins, registered at start-up. A shared_ptr only for its
    // type-erased deleter: the deleter is bound where the registry is made
    // (app/), so this layer holds the registry without depending on plugins/.
    std::shared_ptr<TK_PluginRegistry> plugins;
    // The GPU behind "xs", installed at start-up like the plugins; null
    // where the program has no OpenGL (the command then fails).
    std::shared_ptr<TK_VoxelShaderEvaluator> voxelShaders;
    // The model the pattern brush stamps ("ipatt"); empty until one loads.
    TK_Model patternModel;

    // The brush stroke on show (not owned; null when none) and its kind, the
    // brush mode; listeners hear of changes as kind 1 with 256 (512 for a
    // paint preview). The raster view draws it over the model.
    const VoxelList* previewVoxels = nullptr;
    int previewKind = 0;
    // The brush whose stroke is under way (not owned; null when none): one
    // stroke at a time, whatever view started it. Only compared, never
    // called: the model layer does not know brushes.
    const void* strokeOwner = nullptr;

    OMB_CommandExecutor executor;
    // Views and other listeners, called with (kind, value).
    OMB_Signal2<int, int> listeners;
    // Render caches link to these: geometry for bits 4/32/64/256, colours for
    // 128/512 (and palette uploads).
    OMB_DGNodeX geometryNode;
    OMB_DGNodeX colorNode;

    TK_EditorEnv();
    TK_EditorEnv(const TK_EditorEnv&) = delete;
    TK_EditorEnv& operator=(const TK_EditorEnv&) = delete;

    void ChangeNotification(int kind, int value);
    // Straight to the listeners, without the environment's own handling.
    void Broadcast(int kind, int value) { listeners.Emit(kind, value); }

    // Executor wrappers that broadcast the history message on success.
    bool ExecuteText(const char* text, OMB_ExecuteStats* stats = nullptr);
    bool RunCommand(std::unique_ptr<OMB_Command> command, const void* owner);

    static int GridIndex(int x, int y, int z) {
        return x | y << kWorldShift | z << (2 * kWorldShift);
    }
    // Position in the voxel list of the voxel at a model cell, or -1.
    int VoxelAt(int x, int y, int z) const {
        if (unsigned(x) >= 128u || unsigned(y) >= 128u || unsigned(z) >= 128u) return -1;
        return int(voxelLookupGrid[GridIndex(x, y, z)]) - 1;
    }
    void RebuildLookupGrid();

private:
    void UpdatePlacement();
    void FollowSavedState();
    void MarkChanged();
};
