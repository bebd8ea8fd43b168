// Command registry, splitting, dispatch and history (see OMB_CommandExecutor.h).
// Every message here is part of the console's contract; keep them byte for byte.
#include "core/OMB_CommandExecutor.h"

#include <cstring>

#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"

namespace {
char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Bytes whose signed value is below 0x21: spaces, controls and 0x80..0xFF.
bool IsTrimmed(char c) { return static_cast<signed char>(c) < 0x21; }

// Position after the '|' that ends the command starting at `p`, or `end`.
const char* ScanArguments(OMB_Lexer& lexer, const char* p, const char* end) {
    while (p < end && *p != '|') {
        if (*p == '"' || *p == '\'') {
            lexer.SetCurrent(p);
            OMB_Token quoted;
            // An unterminated quote swallows the rest of the text.
            p = lexer.NextToken(quoted) ? lexer.Current() : end;
        } else {
            ++p;
        }
    }
    return p;
}
}  // namespace

bool OMB_EqualNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (FoldAscii(*a) != FoldAscii(*b)) return false;
    return *a == *b;
}

std::vector<OMB_CommandText> OMB_SplitCommands(const char* text) {
    std::vector<OMB_CommandText> result;
    if (!text || !*text) return result;
    OMB_Lexer lexer(text, 0);
    const char* end = lexer.End();
    const char* p = text;
    while (p < end) {
        lexer.SetCurrent(p);
        OMB_Token name;
        if (!lexer.NextToken(name) || name.kind != OMB_TOKEN_WORD) break;
        const char* argBegin = name.start + name.length;
        const char* argEnd = ScanArguments(lexer, argBegin, end);
        const char* next = argEnd < end ? argEnd + 1 : end;
        while (argBegin < argEnd && IsTrimmed(*argBegin)) ++argBegin;
        while (argEnd > argBegin && IsTrimmed(argEnd[-1])) --argEnd;
        result.push_back({name.Text(), std::string(argBegin, argEnd)});
        p = next;
    }
    return result;
}

OMB_CommandExecutor::~OMB_CommandExecutor() {
    // Commands may reach the environment while dying; drop them newest first.
    while (!m_redo.empty()) m_redo.pop_back();
    while (!m_undo.empty()) m_undo.pop_back();
}

bool OMB_CommandExecutor::Register(const char* name, OMB_CommandFactory factory) {
    if (Find(name)) {
        OMB_Printf("[Error] cmd already registered : %s\n", name);
        return false;
    }
    m_registry.push_back({name, factory});
    return true;
}

const OMB_CommandEntry* OMB_CommandExecutor::Find(const char* name) const {
    if (!name || !*name) return nullptr;
    for (const OMB_CommandEntry& e : m_registry)
        if (OMB_EqualNoCase(e.name.c_str(), name)) return &e;
    return nullptr;
}

bool OMB_CommandExecutor::ExecuteText(const char* text, OMB_ExecuteStats* stats) {
    if (!text) return false;
    OMB_ExecuteStats local;
    for (const OMB_CommandText& entry : OMB_SplitCommands(text)) RunEntry(entry, local);
    if (stats) *stats = local;
    return local.succeeded > 0;
}

void OMB_CommandExecutor::RunEntry(const OMB_CommandText& entry, OMB_ExecuteStats& stats) {
    ++stats.commands;
    OMB_Printf("cmd : %s : %s\n", entry.name.c_str(), entry.args.c_str());
    const OMB_CommandEntry* found = Find(entry.name.c_str());
    if (!found) {
        OMB_Printf("[Error] cmd is not registered : %s\n", entry.name.c_str());
        return;
    }
    std::unique_ptr<OMB_Command> command = found->factory ? found->factory() : nullptr;
    if (!command || !command->IsA(OMB_Command::StaticClassInfo())) return;
    command->SetEnvironment(m_env);
    if (!command->Parse(entry.args.c_str())) {
        OMB_Printf("[Error] cmd failed to parse parms: %s\n", command->ClassName());
        return;
    }
    if (Run(std::move(command), nullptr)) ++stats.succeeded;
}

bool OMB_CommandExecutor::Run(std::unique_ptr<OMB_Command> command, const void* owner) {
    if (!command) return false;
    if (m_lockOwner && m_lockOwner != owner) {
        OMB_Printf("[Error] cmd stack locked : %s\n", command->ClassName());
        return false;
    }
    bool topLevel = m_busy == 0;
    bool ok;
    if (topLevel) {
        m_busy = 1;
        ok = command->Execute();
        m_busy = 0;
    } else {
        ok = command->Execute();
    }
    if (!ok) {
        OMB_Printf("[Error] cmd failed : %s\n", command->ClassName());
        return false;
    }
    if (topLevel && command->IsUndoable()) Push(std::move(command));
    return true;
}

bool OMB_CommandExecutor::Lock(const void* owner) {
    if (m_lockOwner && m_lockOwner != owner) return false;
    m_lockOwner = owner;
    return true;
}

bool OMB_CommandExecutor::Unlock(const void* owner) {
    if (m_lockOwner != owner) return false;
    m_lockOwner = nullptr;
    return true;
}

void OMB_CommandExecutor::Push(std::unique_ptr<OMB_Command> command) {
    // A merge changes the newest entry, so the undone commands were recorded
    // against a state that no longer exists: the redo list goes either way.
    while (!m_redo.empty()) m_redo.pop_back();
    if (!m_undo.empty() && m_undo.back()->Merge(command.get())) {
        if (!m_undo.back()->HasEffect()) m_undo.pop_back();
        return;
    }
    if (m_undo.size() > kHistoryLimit) m_undo.pop_front();
    m_undo.push_back(std::move(command));
}

bool OMB_CommandExecutor::Undo() {
    if (IsLocked() || m_undo.empty()) return false;
    std::unique_ptr<OMB_Command> command = std::move(m_undo.back());
    m_undo.pop_back();
    command->Undo();
    m_redo.push_back(std::move(command));
    return true;
}

bool OMB_CommandExecutor::Redo() {
    if (IsLocked() || m_redo.empty()) return false;
    std::unique_ptr<OMB_Command> command = std::move(m_redo.back());
    m_redo.pop_back();
    command->Redo();
    m_undo.push_back(std::move(command));
    return true;
}

void OMB_CommandExecutor::ClearHistory() {
    if (IsLocked() || (m_undo.empty() && m_redo.empty())) return;
    while (!m_redo.empty()) m_redo.pop_back();
    while (!m_undo.empty()) m_undo.pop_back();
    if (m_onHistoryChanged) m_onHistoryChanged();
}
