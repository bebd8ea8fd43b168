// "undo" and "redo" (see TK_HistoryCommands.h).
#include "edit/TK_HistoryCommands.h"

#include "core/OMB_Cause.h"

bool TK_CMD_Undo::Execute() {
    if (!m_env->executor.Undo()) {
        OMB_SetCause(m_env->executor.IsLocked() ? "a stroke is under way" : "nothing to undo");
        return false;
    }
    m_env->Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return true;
}

bool TK_CMD_Redo::Execute() {
    if (!m_env->executor.Redo()) {
        OMB_SetCause(m_env->executor.IsLocked() ? "a stroke is under way" : "nothing to redo");
        return false;
    }
    m_env->Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return true;
}
