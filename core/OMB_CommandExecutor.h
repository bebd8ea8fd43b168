// The command executor: name registry, text splitting and dispatch, the stack
// lock a brush holds during a drag, and the undo/redo history.
//
// Ownership: a command belongs to whoever runs it until Run either destroys it
// (failure, not undoable, run nested inside another command) or hands it to
// the history, which owns it until it falls off, is merged away or cleared.
//
// The executor does not know the environment type; it passes an opaque pointer
// to each command before Parse, and calls `onHistoryChanged` where the history
// changed outside a command's own run (ClearHistory).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/OMB_Command.h"

using OMB_CommandFactory = std::unique_ptr<OMB_Command> (*)();

template <typename T>
std::unique_ptr<OMB_Command> OMB_MakeCommand() {
    return std::make_unique<T>();
}

struct OMB_CommandEntry {
    std::string name;
    OMB_CommandFactory factory = nullptr;
};

// One command of a text line.
struct OMB_CommandText {
    std::string name;
    std::string args;
};

// Splits a line into commands at '|' outside quoted strings. Stops at the
// first piece that does not start with a word.
std::vector<OMB_CommandText> OMB_SplitCommands(const char* text);

// Per-call tally, for callers that must know whether every command succeeded.
struct OMB_ExecuteStats {
    int commands = 0;   // command words found
    int succeeded = 0;  // commands whose Run returned true
};

// ASCII-only case-insensitive equality (command words).
bool OMB_EqualNoCase(const char* a, const char* b);

class OMB_CommandExecutor {
public:
    OMB_CommandExecutor() = default;
    ~OMB_CommandExecutor();
    OMB_CommandExecutor(const OMB_CommandExecutor&) = delete;
    OMB_CommandExecutor& operator=(const OMB_CommandExecutor&) = delete;

    void SetEnvironment(void* env) { m_env = env; }
    void SetHistoryChanged(std::function<void()> onHistoryChanged) {
        m_onHistoryChanged = std::move(onHistoryChanged);
    }

    // False (and a message) when the name is taken; the first entry stays.
    bool Register(const char* name, OMB_CommandFactory factory);
    const OMB_CommandEntry* Find(const char* name) const;
    const std::vector<OMB_CommandEntry>& Entries() const { return m_registry; }

    // Runs every command of `text`; true when at least one succeeded.
    bool ExecuteText(const char* text, OMB_ExecuteStats* stats = nullptr);
    // Runs one command whose arguments are already parsed; `owner` is the
    // lock holder it runs for (null for text commands).
    bool Run(std::unique_ptr<OMB_Command> command, const void* owner);

    bool Lock(const void* owner);
    bool Unlock(const void* owner);
    bool IsLocked() const { return m_lockOwner != nullptr; }
    bool IsBusy() const { return m_busy != 0; }

    // History. Undo/Redo move the newest command between the lists; false
    // when the stack is locked or the list is empty.
    void Push(std::unique_ptr<OMB_Command> command);
    bool Undo();
    bool Redo();
    void ClearHistory();
    size_t UndoCount() const { return m_undo.size(); }
    size_t RedoCount() const { return m_redo.size(); }

    static constexpr size_t kHistoryLimit = 50;  // more than this before a push drops the oldest

private:
    void RunEntry(const OMB_CommandText& entry, OMB_ExecuteStats& stats);

    unsigned char m_busy = 0;
    // Newest at the back.
    std::deque<std::unique_ptr<OMB_Command>> m_redo;
    std::deque<std::unique_ptr<OMB_Command>> m_undo;
    std::vector<OMB_CommandEntry> m_registry;
    const void* m_lockOwner = nullptr;
    void* m_env = nullptr;
    std::function<void()> m_onHistoryChanged;
};
