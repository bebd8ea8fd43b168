// The "help" listing (see TK_HelpCommand.h). The registry is the truth about
// what can run; the table only adds words, so a command registered elsewhere
// still shows, under "Other".
#include "edit/TK_HelpCommand.h"

#include <cstring>
#include <string>

#include "core/OMB_Log.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_Commands.h"

namespace {

// The table's row for a registered name; null when the table has none.
const TK_CommandRow* RowOf(const char* name) {
    size_t count = 0;
    const TK_CommandRow* rows = TK_CommandTable(count);
    for (size_t i = 0; i < count; ++i)
        if (rows[i].factory && std::strcmp(rows[i].name, name) == 0) return &rows[i];
    return nullptr;
}

void PrintCommand(const char* name, const TK_CommandRow* row) {
    std::string usage = name;
    if (row && row->args && *row->args) usage += std::string(" ") + row->args;
    if (!row || !row->help || !*row->help) {
        OMB_Printf("  %s\n", usage.c_str());
        return;
    }
    if (usage.size() < 28) usage.resize(28, ' ');
    OMB_Printf("  %s %s\n", usage.c_str(), row->help);
}

}  // namespace

bool TK_CMD_Help::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    OMB_Token word;
    if (TK_NextArg(lex, word) == TK_ArgRead::End) return true;
    if (word.kind != OMB_TOKEN_WORD) return false;
    m_name.assign(word.start, size_t(word.length));
    return TK_ArgsAtEnd(lex);
}

bool TK_CMD_Help::Execute() {
    const OMB_CommandExecutor& executor = m_env->executor;
    if (!m_name.empty()) {
        const OMB_CommandEntry* entry = executor.Find(m_name.c_str());
        if (!entry) {
            OMB_Printf("[Error] help : no such command : %s\n", m_name.c_str());
            return false;
        }
        PrintCommand(entry->name.c_str(), RowOf(entry->name.c_str()));
        return true;
    }
    size_t count = 0;
    const TK_CommandRow* rows = TK_CommandTable(count);
    const char* title = nullptr;  // printed before the group's first command
    for (size_t i = 0; i < count; ++i) {
        if (!rows[i].factory) {
            title = rows[i].name;
            continue;
        }
        if (!executor.Find(rows[i].name)) continue;
        if (title) OMB_Printf("%s\n", title);
        title = nullptr;
        PrintCommand(rows[i].name, &rows[i]);
    }
    title = "Other";
    for (const OMB_CommandEntry& entry : executor.Entries()) {
        if (RowOf(entry.name.c_str())) continue;
        if (title) OMB_Printf("%s\n", title);
        title = nullptr;
        PrintCommand(entry.name.c_str(), nullptr);
    }
    return true;
}
