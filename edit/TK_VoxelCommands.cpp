// The brush stroke commands (see TK_VoxelCommands.h).
#include "edit/TK_VoxelCommands.h"

namespace {

int CellIndex(const Voxel& v) { return TK_EditorEnv::GridIndex(v.x & 127, v.y & 127, v.z & 127); }

bool IsColor(int c) { return c >= 1 && c <= 255; }

// Removes voxels cell by cell, keeping the lookup grid exact. Removing one
// voxel moves the last into its place, which is cheapest for a few cells;
// when the stroke is a large share of the model, scattered moves cost more
// than marking the cells and compacting the list once (which also keeps the
// survivors in order).
class CellRemover {
public:
    CellRemover(TK_EditorEnv& env, int strokeCount)
        : m_voxels(env.model.voxels),
          m_grid(env.voxelLookupGrid.data()),
          m_compact(int64_t(strokeCount) * 8 >= m_voxels.Count()) {}

    // The colour of the voxel removed from the cell, 0 when it was empty.
    int Remove(const Voxel& cell) {
        const int at = CellIndex(cell);
        const uint32_t slot = m_grid[at];
        if (!slot) return 0;
        const int color = m_voxels[int(slot) - 1].colorIndex;
        m_grid[at] = 0;
        if (!m_compact) {
            const int pos = int(slot) - 1;
            m_voxels.RemoveAt(pos);
            if (pos < m_voxels.Count()) m_grid[CellIndex(m_voxels[pos])] = slot;
        }
        return color;
    }

    void Finish() {
        if (!m_compact) return;
        int kept = 0;
        const int count = m_voxels.Count();
        for (int i = 0; i < count; ++i) {
            const int at = CellIndex(m_voxels[i]);
            if (!m_grid[at]) continue;
            m_voxels[kept] = m_voxels[i];
            m_grid[at] = uint32_t(++kept);
        }
        m_voxels.Truncate(kept);
    }

private:
    VoxelList& m_voxels;
    uint32_t* m_grid;
    bool m_compact;
};

}  // namespace

// ---------------------------------------------------------------- shared

void TK_CMD_VoxelStroke::AppendAll() {
    VoxelList& voxels = m_env->model.voxels;
    uint32_t* grid = m_env->voxelLookupGrid.data();
    voxels.Reserve(voxels.Count() + m_voxels.Count());
    for (const Voxel& v : m_voxels) {
        voxels.Add(v);
        grid[CellIndex(v)] = uint32_t(voxels.Count());
    }
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_GEOMETRY);
}

void TK_CMD_VoxelStroke::RemoveAll() {
    CellRemover remover(*m_env, m_voxels.Count());
    for (const Voxel& v : m_voxels) remover.Remove(v);
    remover.Finish();
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_GEOMETRY);
}

void TK_CMD_VoxelStroke::KeepFirst(int kept) {
    m_voxels.Truncate(kept);
    // A history entry should not hold a whole stroke's buffer for a few cells.
    m_voxels.Trim();
}

// ---------------------------------------------------------------- add

bool TK_CMD_AddVoxels::Execute() {
    const TK_Model& model = m_env->model;
    const uint32_t* grid = m_env->voxelLookupGrid.data();
    int kept = 0;
    for (const Voxel& v : m_voxels)
        if (model.InBox(v.x, v.y, v.z) && IsColor(v.colorIndex) && !grid[CellIndex(v)]) {
            m_voxels[kept++] = v;
            // Entered at once, so a repeated cell later in the list is dropped.
            m_env->model.voxels.Add(v);
            m_env->voxelLookupGrid[CellIndex(v)] = uint32_t(m_env->model.voxels.Count());
        }
    KeepFirst(kept);
    if (kept == 0) return false;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_GEOMETRY);
    return true;
}

void TK_CMD_AddVoxels::Undo() { RemoveAll(); }

void TK_CMD_AddVoxels::Redo() { AppendAll(); }

// ---------------------------------------------------------------- erase

bool TK_CMD_EraseVoxels::Execute() {
    const TK_Model& model = m_env->model;
    CellRemover remover(*m_env, m_voxels.Count());
    int kept = 0;
    for (const Voxel& v : m_voxels) {
        if (!model.InBox(v.x, v.y, v.z)) continue;
        const int color = remover.Remove(v);
        if (color) m_voxels[kept++] = Voxel{v.x, v.y, v.z, uint8_t(color)};
    }
    remover.Finish();
    KeepFirst(kept);
    if (kept == 0) return false;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_GEOMETRY);
    return true;
}

void TK_CMD_EraseVoxels::Undo() { AppendAll(); }

void TK_CMD_EraseVoxels::Redo() { RemoveAll(); }

// ---------------------------------------------------------------- paint

bool TK_CMD_PaintVoxels::Execute() {
    TK_Model& model = m_env->model;
    int kept = 0;
    // A copy: the kept entry may be this very entry, overwritten below with
    // the old colour before the new one is read.
    for (const Voxel v : m_voxels) {
        if (!model.InBox(v.x, v.y, v.z) || !IsColor(v.colorIndex)) continue;
        const int pos = m_env->VoxelAt(v.x, v.y, v.z);
        if (pos < 0 || model.voxels[pos].colorIndex == v.colorIndex) continue;
        m_voxels[kept++] = Voxel{v.x, v.y, v.z, model.voxels[pos].colorIndex};
        model.voxels[pos].colorIndex = v.colorIndex;
    }
    KeepFirst(kept);
    if (kept == 0) return false;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
    return true;
}

void TK_CMD_PaintVoxels::Undo() { Exchange(false); }

void TK_CMD_PaintVoxels::Redo() { Exchange(true); }

void TK_CMD_PaintVoxels::Exchange(bool forward) {
    VoxelList& voxels = m_env->model.voxels;
    const int n = m_voxels.Count();
    for (int k = 0; k < n; ++k) {
        Voxel& entry = m_voxels[forward ? k : n - 1 - k];
        Voxel& cell = voxels[m_env->VoxelAt(entry.x, entry.y, entry.z)];
        const uint8_t color = cell.colorIndex;
        cell.colorIndex = entry.colorIndex;
        entry.colorIndex = color;
    }
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
}
