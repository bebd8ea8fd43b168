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
//
// Failures speak to people: before the dispatch messages ("[Error] cmd
// failed : CLASS" and the others, which scripts read and which stay as they
// are) a line of its own names the command word and the cause, "[Error]
// WORD: CAUSE", the cause being what the command recorded with OMB_SetCause.
//
// Saved state: every state the history can return to has a number; the
// document's file holds the one marked with MarkSaved, so undo and redo can
// tell when they come back to it.
#pragma once

#include <cstdint>
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
    // lock holder it runs for (null for text commands). `word` is the
    // command's name in the reason line of a failure (none: the bare cause).
    bool Run(std::unique_ptr<OMB_Command> command, const void* owner, const char* word = nullptr);
    // Registered names nearest to a mistyped `name` (at most three, closest
    // first, none further than a third of its letters); empty when none is near.
    std::vector<std::string> NearestNames(const char* name) const;

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

    // The document now matches its file. Called from a command's Execute it
    // marks the state after that command (once the history has it); with
    // `keepsState` that command's step changes nothing (a save kept in the
    // history) and ends in the state it began in.
    void MarkSaved(bool keepsState = false);
    // No state matches the file (recovered work).
    void ForgetSaved() { m_savedState = kNoState; }
    bool IsAtSavedState() const { return CurrentState() == m_savedState; }
    // True while an undone or redone command tells what it changed; the
    // current state is then already the one it leads to.
    bool IsMovingInHistory() const { return m_moving; }
    // True once after an undo, a redo or a saved mark: the caller then asks
    // IsAtSavedState instead of trusting the changes it heard of.
    bool TakeSavedStateNews();

    static constexpr size_t kHistoryLimit = 50;  // more than this before a push drops the oldest

private:
    static constexpr uint64_t kNoState = ~uint64_t(0);
    struct Step {
        std::unique_ptr<OMB_Command> command;
        uint64_t state = 0;  // the document's state after the command
    };

    void RunEntry(const OMB_CommandText& entry, OMB_ExecuteStats& stats);
    uint64_t CurrentState() const { return m_undo.empty() ? m_baseState : m_undo.back().state; }

    unsigned char m_busy = 0;
    // Newest at the back.
    std::deque<Step> m_redo;
    std::deque<Step> m_undo;
    uint64_t m_baseState = 0;  // the state before the oldest undo step
    uint64_t m_nextState = 1;
    uint64_t m_savedState = 0;
    bool m_markPending = false;
    bool m_markKeepsState = false;
    bool m_savedNews = false;
    bool m_moving = false;
    std::vector<OMB_CommandEntry> m_registry;
    const void* m_lockOwner = nullptr;
    void* m_env = nullptr;
    std::function<void()> m_onHistoryChanged;
};
