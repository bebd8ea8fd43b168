// Command registry, splitting, dispatch and history (see OMB_CommandExecutor.h).
// Every message here is part of the console's contract; keep them byte for byte.
#include "core/OMB_CommandExecutor.h"

#include <algorithm>
#include <cstring>

#include "core/OMB_Cause.h"
#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"

namespace {
char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Spaces and control bytes. Bytes from 0x80 up stay: they are the letters
// of a UTF-8 name ("save замок.vox" must not lose "замок").
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) < 0x21; }

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
// Edits (insert, delete, replace, swap of neighbours) from a to b, letters
// compared without case.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> before(b.size() + 1), row(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]);
            current[j] = std::min({row[j] + 1, current[j - 1] + 1, row[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && FoldAscii(a[i - 1]) == FoldAscii(b[j - 2]) && FoldAscii(a[i - 2]) == FoldAscii(b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(row);
        row.swap(current);
    }
    return row[b.size()];
}

// "; did you mean a, b or c?" for the names, or how to list them.
std::string Suggestion(const std::vector<std::string>& names) {
    if (names.empty()) return "; help lists them";
    std::string text = "; did you mean ";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text + "?";
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
        OMB_Printf("[Error] %s: no such command%s\n", entry.name.c_str(),
                   Suggestion(NearestNames(entry.name.c_str())).c_str());
        OMB_Printf("[Error] cmd is not registered : %s\n", entry.name.c_str());
        return;
    }
    std::unique_ptr<OMB_Command> command = found->factory ? found->factory() : nullptr;
    if (!command || !command->IsA(OMB_Command::StaticClassInfo())) return;
    command->SetEnvironment(m_env);
    OMB_ClearCause();
    const unsigned long problems = OMB_ProblemCount();
    if (!command->Parse(entry.args.c_str())) {
        // A parser that said why (a word it does not know) has been heard.
        const std::string cause = OMB_TakeCause();
        if (!cause.empty())
            OMB_Printf("[Error] %s: %s\n", entry.name.c_str(), cause.c_str() + 3);
        else if (problems == OMB_ProblemCount())
            OMB_Printf("[Error] %s: cannot read \"%s\"; \"help %s\" shows how to write it\n", entry.name.c_str(),
                       entry.args.c_str(), entry.name.c_str());
        OMB_Printf("[Error] cmd failed to parse parms: %s\n", command->ClassName());
        return;
    }
    if (Run(std::move(command), nullptr, entry.name.c_str())) ++stats.succeeded;
}

std::vector<std::string> OMB_CommandExecutor::NearestNames(const char* name) const {
    std::vector<std::pair<size_t, std::string>> near;
    const std::string typed = name ? name : "";
    const size_t limit = std::max<size_t>(1, typed.size() / 3);
    for (const OMB_CommandEntry& e : m_registry) {
        const size_t distance = EditDistance(typed, e.name);
        if (distance <= limit) near.emplace_back(distance, e.name);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (size_t i = 0; i < near.size() && i < 3; ++i) names.push_back(near[i].second);
    return names;
}

bool OMB_CommandExecutor::Run(std::unique_ptr<OMB_Command> command, const void* owner, const char* word) {
    if (!command) return false;
    if (m_lockOwner && m_lockOwner != owner) {
        OMB_Printf("[Error] cmd stack locked : %s\n", command->ClassName());
        return false;
    }
    bool topLevel = m_busy == 0;
    bool ok;
    OMB_ClearCause();
    const unsigned long problems = OMB_ProblemCount();
    if (topLevel) {
        m_busy = 1;
        ok = command->Execute();
        m_busy = 0;
    } else {
        ok = command->Execute();
    }
    if (!ok) {
        if (topLevel) m_markPending = false;
        std::string cause = OMB_TakeCause();
        // A command that printed its own problem has said why.
        if (cause.empty() && problems == OMB_ProblemCount() && word) cause = " : nothing was done";
        if (!cause.empty()) {
            if (word) OMB_Printf("[Error] %s: %s\n", word, cause.c_str() + 3);
            else OMB_Printf("[Error] %s\n", cause.c_str() + 3);
        }
        OMB_Printf("[Error] cmd failed : %s\n", command->ClassName());
        return false;
    }
    if (topLevel && command->IsUndoable()) {
        const uint64_t before = CurrentState();
        const bool keeps = m_markPending && m_markKeepsState;
        Push(std::move(command));
        if (keeps && !m_undo.empty()) m_undo.back().state = before;
    }
    if (topLevel && m_markPending) {
        m_markPending = false;
        MarkSaved();
    }
    return true;
}

void OMB_CommandExecutor::MarkSaved(bool keepsState) {
    if (m_busy) {
        m_markPending = true;
        m_markKeepsState = keepsState;
        return;
    }
    m_savedState = CurrentState();
    m_savedNews = true;
}

bool OMB_CommandExecutor::TakeSavedStateNews() {
    const bool news = m_savedNews;
    m_savedNews = false;
    return news;
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
    if (!m_undo.empty() && m_undo.back().command->Merge(command.get())) {
        // The merged step ends in a state of its own (or, without effect,
        // in the one before it).
        m_undo.back().state = m_nextState++;
        if (!m_undo.back().command->HasEffect()) m_undo.pop_back();
        return;
    }
    if (m_undo.size() > kHistoryLimit) {
        m_baseState = m_undo.front().state;
        m_undo.pop_front();
    }
    m_undo.push_back({std::move(command), m_nextState++});
}

bool OMB_CommandExecutor::Undo() {
    if (IsLocked() || m_undo.empty()) return false;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    // While the command tells what it changed, the state is the one it returns to.
    m_moving = true;
    step.command->Undo();
    m_moving = false;
    m_redo.push_back(std::move(step));
    m_savedNews = true;
    return true;
}

bool OMB_CommandExecutor::Redo() {
    if (IsLocked() || m_redo.empty()) return false;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    m_moving = true;
    m_undo.back().command->Redo();
    m_moving = false;
    m_savedNews = true;
    return true;
}

void OMB_CommandExecutor::ClearHistory() {
    if (IsLocked() || (m_undo.empty() && m_redo.empty())) return;
    m_baseState = CurrentState();
    while (!m_redo.empty()) m_redo.pop_back();
    while (!m_undo.empty()) m_undo.pop_back();
    if (m_onHistoryChanged) m_onHistoryChanged();
}
