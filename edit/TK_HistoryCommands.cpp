// "undo" and "redo" (see TK_HistoryCommands.h).
#include "edit/TK_HistoryCommands.h"

bool TK_CMD_Undo::Execute() {
    if (!m_env->executor.Undo()) return false;
    m_env->Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return true;
}

bool TK_CMD_Redo::Execute() {
    if (!m_env->executor.Redo()) return false;
    m_env->Broadcast(TK_NOTIFY_HISTORY, TK_NOTIFY_NO_VALUE);
    return true;
}
