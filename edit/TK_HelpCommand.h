// "help [NAME]": lists every registered command with its arguments and a
// one-line description, under the group titles of the command table; with a
// name, shows that command alone. The descriptions come from the command
// table's rows (edit/TK_Commands.cpp); a registered command without a row
// or a description is still listed, by its name. "help set" (and "help
// add") also lists every setting key with its range and its value now. In
// the window the whole list opens the message panel at its first line.
#pragma once

#include <string>

#include "edit/TK_CMD.h"

class TK_CMD_Help : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_Help, TK_CMD)
public:
    bool Parse(const char* args) override;  // an optional command word
    // False, after "[Error] help : no such command : NAME", for a name that
    // is not registered.
    bool Execute() override;

private:
    void PrintAll(const OMB_CommandExecutor& executor);

    std::string m_name;
};
