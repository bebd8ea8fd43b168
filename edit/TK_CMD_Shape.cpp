// Snapshot undo for the shape commands (see TK_CMD_Shape.h). The snapshot
// is taken once, in Execute, and kept unchanged for the command's life so
// that any number of undo/redo cycles restore the same model.
#include "edit/TK_CMD_Shape.h"

#include "core/OMB_Cause.h"

bool TK_CMD_Shape::Execute() {
    if (!CanApply()) {
        if (!OMB_HasCause()) OMB_SetCause(Model().voxels.Empty() ? "the box is empty" : "nothing to change");
        return false;
    }
    TK_Model& model = Model();
    for (int a = 0; a < 3; ++a) m_savedSize[a] = model.size[a];
    m_savedVoxels.Assign(model.voxels.Data(), model.voxels.Count());
    if (!Apply()) {
        // A failed command must leave no trace, whatever Apply did first.
        RestoreSnapshot();
        return false;
    }
    NotifyChangedSince(m_savedSize);
    return true;
}

void TK_CMD_Shape::Undo() {
    const int before[3] = {Model().size[0], Model().size[1], Model().size[2]};
    RestoreSnapshot();
    NotifyChangedSince(before);
}

void TK_CMD_Shape::Redo() {
    Apply();
    NotifyChangedSince(m_savedSize);
}

void TK_CMD_Shape::RestoreSnapshot() {
    TK_Model& model = Model();
    for (int a = 0; a < 3; ++a) model.size[a] = m_savedSize[a];
    model.voxels.Assign(m_savedVoxels.Data(), m_savedVoxels.Count());
}

void TK_CMD_Shape::NotifyChangedSince(const int oldSize[3]) {
    const int* size = Model().size;
    bool resized = size[0] != oldSize[0] || size[1] != oldSize[1] || size[2] != oldSize[2];
    m_env->ChangeNotification(TK_NOTIFY_MODEL, resized ? TK_CHANGE_SIZE | TK_CHANGE_VOXELS : TK_CHANGE_VOXELS);
}
