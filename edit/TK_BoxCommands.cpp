// "shrink", "expand" and "size" (see TK_BoxCommands.h). Each stores the
// sizes and offsets of its forward step at Execute; Undo and Redo replay
// them in one pass over the voxel list.
#include "edit/TK_BoxCommands.h"

#include <algorithm>
#include <string>

#include "core/OMB_Cause.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_TransformCommands.h"

namespace {

constexpr int kResized = TK_CHANGE_SIZE | TK_CHANGE_VOXELS;

void SetSize(TK_Model& model, const int size[3]) {
    for (int a = 0; a < 3; ++a) model.size[a] = size[a];
}

bool SameSize(const int a[3], const int b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// Moves every voxel by sign times the offset (no clipping: the caller knows
// the result lies inside the box).
void ShiftVoxels(VoxelList& voxels, const int offset[3], int sign) {
    TK_AxisRemap map;
    for (int a = 0; a < 3; ++a) map.Shift(a, sign * offset[a]);
    map.ApplyTo(voxels);
}

}  // namespace

// ---------------------------------------------------------------------------
// shrink
// ---------------------------------------------------------------------------
bool TK_CMD_Shrink::Parse(const char* args) {
    TK_ParseOptionalAxes(args, m_axes);
    return true;
}

bool TK_CMD_Shrink::Execute() {
    TK_Model& model = m_env->model;
    int lo[3], hi[3];
    if (!model.ComputeBounds(lo, hi)) return false;
    for (int a = 0; a < 3; ++a) {
        m_oldSize[a] = model.size[a];
        m_newSize[a] = m_axes[a] ? hi[a] - lo[a] + 1 : model.size[a];
        m_offset[a] = m_axes[a] ? lo[a] : 0;
    }
    if (SameSize(m_newSize, m_oldSize)) return false;
    Forward();
    return true;
}

void TK_CMD_Shrink::Undo() {
    SetSize(m_env->model, m_oldSize);
    ShiftVoxels(m_env->model.voxels, m_offset, 1);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kResized);
}

void TK_CMD_Shrink::Forward() {
    SetSize(m_env->model, m_newSize);
    ShiftVoxels(m_env->model.voxels, m_offset, -1);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kResized);
}

// ---------------------------------------------------------------------------
// expand
// ---------------------------------------------------------------------------
bool TK_CMD_Expand::Parse(const char* args) {
    TK_ParseOptionalAxes(args, m_axes);
    return true;
}

bool TK_CMD_Expand::Execute() {
    const TK_Model& model = m_env->model;
    for (int a = 0; a < 3; ++a) {
        m_oldSize[a] = model.size[a];
        m_newSize[a] = m_axes[a] ? std::clamp(model.size[a] + 2, 1, m_env->maxModelSize[a]) : model.size[a];
        // One cell on each side, or none when the clamp left a single cell.
        m_offset[a] = (m_newSize[a] - m_oldSize[a]) / 2;
    }
    if (SameSize(m_newSize, m_oldSize)) return false;
    Redo();
    return true;
}

void TK_CMD_Expand::Move(const int size[3], int sign) {
    SetSize(m_env->model, size);
    if (!m_offset[0] && !m_offset[1] && !m_offset[2]) {
        m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE);
        return;
    }
    ShiftVoxels(m_env->model.voxels, m_offset, sign);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kResized);
}

// ---------------------------------------------------------------------------
// size
// ---------------------------------------------------------------------------
bool TK_CMD_Resize::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    int32_t value[3] = {0, 0, 0};
    int count = 0;
    while (count < 3 && lexer.ReadInt(value[count])) ++count;
    if (count == 0) return false;
    m_size[0] = value[0];
    m_size[1] = count > 1 ? value[1] : value[0];
    m_size[2] = count > 2 ? value[2] : m_size[1];
    return true;
}

bool TK_CMD_Resize::Execute() {
    const TK_Model& model = m_env->model;
    for (int a = 0; a < 3; ++a) {
        m_size[a] = std::clamp(m_size[a], 1, m_env->maxModelSize[a]);
        m_oldSize[a] = model.size[a];
    }
    if (SameSize(m_size, m_oldSize)) {
        OMB_SetCause("nothing to change, the box is already " + std::to_string(m_size[0]) + " x " +
                     std::to_string(m_size[1]) + " x " + std::to_string(m_size[2]));
        return false;
    }
    // Centred in x and y; the floor stays at z = 0.
    m_offset[0] = m_size[0] / 2 - m_oldSize[0] / 2;
    m_offset[1] = m_size[1] / 2 - m_oldSize[1] / 2;
    m_offset[2] = 0;
    m_removed.Clear();
    Forward(true);
    return true;
}

void TK_CMD_Resize::Undo() {
    TK_Model& model = m_env->model;
    SetSize(model, m_oldSize);
    ShiftVoxels(model.voxels, m_offset, -1);
    model.voxels.Reserve(model.voxels.Count() + m_removed.Count());
    for (const Voxel& v : m_removed) model.voxels.Add(v);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kResized);
}

void TK_CMD_Resize::Redo() { Forward(false); }

void TK_CMD_Resize::Forward(bool record) {
    TK_Model& model = m_env->model;
    SetSize(model, m_size);
    VoxelList& voxels = model.voxels;
    for (int i = 0; i < voxels.Count();) {
        Voxel& v = voxels[i];
        const int x = v.x + m_offset[0], y = v.y + m_offset[1], z = v.z + m_offset[2];
        if (!model.InBox(x, y, z)) {
            if (record) m_removed.Add(v);
            voxels.RemoveAt(i);  // the last voxel moves here and is looked at next
            continue;
        }
        v.x = uint8_t(x);
        v.y = uint8_t(y);
        v.z = uint8_t(z);
        ++i;
    }
    m_env->ChangeNotification(TK_NOTIFY_MODEL, kResized);
}
