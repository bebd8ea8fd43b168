// The "help" listing (see TK_HelpCommand.h). The registry is the truth about
// what can run; the table only adds words, so a command registered elsewhere
// still shows, under "Other".
#include "edit/TK_HelpCommand.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/OMB_Log.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_Commands.h"
#include "model/TK_SettingTable.h"
#include "model/TK_WindowLink.h"

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

// "0|1", "LO..HI" or the words a key takes.
std::string RangeOf(const TK_Setting& row) {
    switch (row.arg) {
        case TK_SettingArg::Flag: return "0|1";
        case TK_SettingArg::Color: return "grd|edge INDEX";
        case TK_SettingArg::LightColor: return "(the current colour)";
        case TK_SettingArg::Material: return "WORD NUMBER (see help)";
        default: break;
    }
    if (row.words) {
        std::string words;
        for (const char* const* w = row.words; *w; ++w) words += (words.empty() ? "" : "|") + std::string(*w);
        // A display flag: the name, then 0, 1 or 2 (toggle).
        return row.arg == TK_SettingArg::DisplayFlag ? words + " 0|1|2" : words;
    }
    if (row.lo == row.hi) return std::string();
    char text[64];
    std::snprintf(text, sizeof text, row.arg == TK_SettingArg::Image ? "W H, %g..%g" : "%g..%g", row.lo, row.hi);
    return text;
}

std::string ValueOf(const TK_Setting& row, const TK_Settings& s) {
    char text[64] = "";
    if (row.intField) {
        const int v = s.*row.intField;
        int count = 0;
        while (row.words && row.words[count]) ++count;
        if (row.words && v >= 0 && v < count) return row.words[v];
        std::snprintf(text, sizeof text, "%d", v);
    } else if (row.floatField) {
        std::snprintf(text, sizeof text, "%g", double(s.*row.floatField));
    } else if (row.colorField) {
        const uint8_t* c = s.*row.colorField;
        std::snprintf(text, sizeof text, "%d %d %d", c[0], c[1], c[2]);
    } else if (row.arg == TK_SettingArg::Image) {
        std::snprintf(text, sizeof text, "%d %d", s.ptImage[0], s.ptImage[1]);
    } else if (row.arg == TK_SettingArg::DisplayFlag && row.words) {
        // The names of the flags that are on.
        std::string on;
        for (int i = 0; row.words[i]; ++i)
            if (s.rasterFlags & (1 << i)) on += (on.empty() ? "" : " ") + std::string(row.words[i]);
        return on;
    }
    return text;
}

// Every key of "set" with what it takes and its value now.
void PrintSettings(const TK_Settings& settings) {
    OMB_Printf("Settings (KEY  RANGE  NOW)\n");
    for (const TK_Setting& row : TK_SettingTable()) {
        std::string key = row.word;
        if (key.size() < 14) key.resize(14, ' ');
        std::string range = RangeOf(row);
        if (range.size() < 28) range.resize(28, ' ');
        OMB_Printf("  %s %s %s\n", key.c_str(), range.c_str(), ValueOf(row, settings).c_str());
    }
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
        if (OMB_EqualNoCase(entry->name.c_str(), "set") || OMB_EqualNoCase(entry->name.c_str(), "add"))
            PrintSettings(m_env->settings);
        return true;
    }
    // In the window the list opens the message panel at its first line.
    const uint64_t mark = m_env->window ? m_env->window->MessageMark() : 0;
    PrintAll(executor);
    if (m_env->window) m_env->window->ShowMessagesFrom(mark);
    return true;
}

void TK_CMD_Help::PrintAll(const OMB_CommandExecutor& executor) {
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
}
