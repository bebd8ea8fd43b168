// TK_Recovery: what keeps an artist's work when a session does not end well.
//
// - Quit backups: closing the editor writes "backup.vox" in the cache
//   folder; the one before moves aside as "backup-YYYYMMDD-HHMMSS.vox" (its
//   time), and the ten newest are kept. Cache copies ("cache.vox", written
//   before exports) never touch them.
// - Autosave: while there are changes not yet autosaved, the editor writes
//   the model a few seconds after the last change (at least every 30 s
//   during continuous work) to "autosave-PID.vox" in the cache folder, with
//   "autosave-PID.txt" holding the model's name and bound file. The bytes
//   are made and written on a thread of their own: a stroke never waits.
//   A clean exit removes both files.
// - Recovery: an editor starting without a model on its command line opens
//   the newest recovery file whose process no longer runs (an orphan), with
//   its name and file, takes it over as its own and says so. Every start
//   announces the orphans still waiting, and "recover" opens the newest,
//   moving its file among the kept backups.
//
// - Closed unsaved: closing with unsaved changes writes the quit backup as
//   always, with "backup.txt" holding its name and bound file; the next
//   start says so, and "recover" (when no autosave waits) opens it.
//
// The rule not to break: a recovery file is removed only by the process
// that owns it, after the quit backup holds the same model.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TK_EditorEnv;
class TK_Model;
struct TK_ModelLook;

// Quit backups kept, "backup.vox" included.
constexpr int kKeptBackups = 10;

// Writes "backup.vox" in `folder` (created when missing) after moving the
// previous one aside with its time in the name, then removes all but the
// newest kKeptBackups. False after printing
// "[Error] failed to write backup : PATH (REASON)"; the previous backups are
// then as they were.
bool TK_WriteQuitBackup(const TK_EditorEnv& env, const std::string& folder);
// Prints "Cache Model" and writes the quit backup in the cache folder.
bool TK_WriteBackup(const TK_EditorEnv& env);

class TK_Autosave {
public:
    // Seconds after the last change, and at most between two writes while
    // changes keep coming.
    static constexpr double kDelay = 3;
    static constexpr double kLongest = 30;

    explicit TK_Autosave(TK_EditorEnv& env) : m_env(env) {}
    ~TK_Autosave() { Wait(); }
    TK_Autosave(const TK_Autosave&) = delete;
    TK_Autosave& operator=(const TK_Autosave&) = delete;

    // Changes count only once armed (after start-up: the start-up script
    // and the opened model are not the user's work).
    void Arm() { m_armed = true; }
    void NoteChange(double now);
    // Whether a write is due at `now`.
    bool IsDue(double now) const;
    // Starts the write when one is due and none is running.
    void Tick(double now);
    // Writes at once (tests, benchmarks) and waits for it; false when it failed.
    bool WriteNow();
    // The clean exit: waits for a running write, removes this process's
    // recovery files.
    void Discard();
    // This process's recovery file.
    std::string Path() const;
    int Writes() const { return m_writes; }

private:
    void Wait();
    void Start();

    TK_EditorEnv& m_env;
    bool m_armed = false;
    bool m_pending = false;
    double m_lastChange = 0;
    double m_firstChange = 0;
    int m_writes = 0;
    std::thread m_writer;
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_failed{false};
    std::mutex m_causeLock;  // the writer's reason for m_failed
    std::string m_cause;
};

// The orphaned recovery files of the cache folder `folder` (their process
// no longer runs), oldest first.
std::vector<std::string> TK_WaitingRecoveries(const std::string& folder);
// Says on standard output (the window's status line) and standard error
// where each orphan waits and that "recover" opens it.
void TK_AnnounceRecoveries(const std::string& folder);
// Reads the newest orphan into `model` (its name and file included) and
// `look`, then moves it among the kept backups ("backup-STAMP.vox", at
// `keptAs`) and removes its sidecar. False after a message when none waits
// or it cannot be read or moved.
bool TK_ClaimRecovery(const std::string& folder, TK_Model& model, TK_ModelLook& look, std::string& keptAs);
// Opens the newest orphan (see above), takes it over as `autosave`'s own and
// announces the others. False when there was none to open.
bool TK_RecoverUnsavedWork(TK_EditorEnv& env, const TK_Autosave& autosave);
