// The editor's command bases. TK_ICMD binds the generic command interface to
// TK_EditorEnv; TK_CMD is what every editor command derives from. Declare each
// class's record with OMB_COMMAND_CLASS(Class, Parent).
#pragma once

#include "core/OMB_Command.h"
#include "model/TK_EditorEnv.h"

class TK_ICMD : public OMB_EnvCmd<TK_EditorEnv> {
    OMB_COMMAND_CLASS(TK_ICMD, OMB_Command)
};

class TK_CMD : public TK_ICMD {
    OMB_COMMAND_CLASS(TK_CMD, TK_ICMD)
};
