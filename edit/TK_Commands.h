// The console's command table: every named command, registered in one list,
// with what "help" shows of it beside it.
#pragma once

#include <cstddef>

#include "core/OMB_CommandExecutor.h"

// One row of the table. A row without a factory is a group title (its name
// heads the commands below it in "help"); a command row may leave `args` and
// `help` out, and "help" then shows only its name.
struct TK_CommandRow {
    const char* name;
    OMB_CommandFactory factory;
    const char* args = nullptr;  // argument synopsis, as "[PATH]"
    const char* help = nullptr;  // one line: what the command does
    // It puts another model in place of the one being edited (the editor
    // asks before a button or key does that to unsaved work).
    bool replacesModel = false;
};

// The rows in console-table order; `count` receives their number.
const TK_CommandRow* TK_CommandTable(size_t& count);

// Some command of the line replaces the model being edited.
bool TK_LineReplacesModel(const char* line);

// Registers every built-in command in console-table order.
void TK_RegisterCommands(OMB_CommandExecutor& executor);
