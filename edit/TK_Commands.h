// The console's command table: every named command, registered in one list.
#pragma once

class OMB_CommandExecutor;

// Registers every built-in command in console-table order.
void TK_RegisterCommands(OMB_CommandExecutor& executor);
