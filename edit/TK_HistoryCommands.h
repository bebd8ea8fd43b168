// "undo" and "redo": move the newest command between the history lists and
// tell the views. Neither is undoable; both accept any argument text.
#pragma once

#include "edit/TK_CMD.h"

class TK_CMD_Undo : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Undo, TK_CMD)
public:
    bool Execute() override;  // false when locked or nothing to undo
};

class TK_CMD_Redo : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Redo, TK_CMD)
public:
    bool Execute() override;  // false when locked or nothing to redo
};
