// Quit backups, autosave and recovery (see TK_Recovery.h).
#include "app/TK_Recovery.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/OMB_Arguments.h"
#include "core/OMB_AtomicFile.h"
#include "core/OMB_Cause.h"
#include "core/OMB_FileHandle.h"
#include "core/OMB_Log.h"
#include "core/OS_Process.h"
#include "edit/TK_CMD_Model.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_VoxFile.h"

namespace fs = std::filesystem;

namespace {

// "backup-YYYYMMDD-HHMMSS.vox" from the file's time; "-2", "-3"... when the
// name is taken (two quits within a second).
std::string AsideName(const std::string& folder, const std::string& path) {
    namespace chrono = std::chrono;
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(fs::u8path(path), error);
    // The file clock's epoch is the library's own: carried over by the
    // distance from now.
    const time_t when = error ? std::time(nullptr)
                              : chrono::system_clock::to_time_t(chrono::time_point_cast<chrono::system_clock::duration>(
                                    written - fs::file_time_type::clock::now() + chrono::system_clock::now()));
    const struct tm local = *std::localtime(&when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = folder + "/backup-" + stamp + ".vox";
    for (int n = 2; fs::exists(fs::u8path(name)) && n < 1000; ++n)
        name = folder + "/backup-" + stamp + "-" + std::to_string(n) + ".vox";
    return name;
}

bool IsAsideName(const std::string& name) {
    return name.size() > 11 && name.compare(0, 7, "backup-") == 0 && name.compare(name.size() - 4, 4, ".vox") == 0;
}

// The older backups beyond the kept count go, oldest first (the stamp in
// the name sorts by time).
void PruneBackups(const std::string& folder) {
    std::vector<std::string> aside;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder), error))
        if (IsAsideName(entry.path().filename().u8string()) && entry.is_regular_file(error))
            aside.push_back(entry.path().generic_u8string());
    std::sort(aside.begin(), aside.end());
    const size_t keep = kKeptBackups - 1;
    for (size_t i = 0; i + keep < aside.size(); ++i) fs::remove(fs::u8path(aside[i]), error);
}

bool WriteBytes(const std::string& path, const void* data, size_t size) {
    return OMB_WriteFileAtomic(path, data, size);
}

std::string RecoveryPath(const std::string& folder, long pid, const char* extension) {
    return folder + "/autosave-" + std::to_string(pid) + extension;
}

// "autosave-PID.txt", the names file beside the autosave "autosave-PID.vox".
std::string SidecarOf(const std::string& vox) { return vox.substr(0, vox.size() - 4) + ".txt"; }

// The process id of "autosave-PID.vox"; 0 for any other name.
long RecoveryOwner(const std::string& name) {
    if (name.compare(0, 9, "autosave-") != 0 || name.size() < 14 || name.compare(name.size() - 4, 4, ".vox") != 0)
        return 0;
    const char* p = name.c_str() + 9;
    const long pid = OS_ReadProcessId(p);
    return pid > 0 && p == name.c_str() + name.size() - 4 ? pid : 0;
}

}  // namespace

bool TK_WriteQuitBackup(const TK_EditorEnv& env, const std::string& folder) {
    std::error_code error;
    fs::create_directories(fs::u8path(folder), error);
    const std::string path = folder + "/backup.vox";
    const bool hadOne = fs::is_regular_file(fs::u8path(path), error);
    const std::string aside = hadOne ? AsideName(folder, path) : std::string();
    errno = 0;
    if (hadOne && !OMB_RenameFile(path.c_str(), aside.c_str())) {
        OMB_Printf("[Error] failed to write backup : %s (%s)\n", path.c_str(), std::strerror(errno));
        return false;
    }
    TK_ModelLook look;
    look.Capture(env);
    errno = 0;
    if (!WriteVox(env.model, path.c_str(), &look)) {
        const int cause = errno;
        // The previous backup stays the newest.
        if (hadOne) OMB_RenameFile(aside.c_str(), path.c_str());
        OMB_Printf("[Error] failed to write backup : %s (%s)\n", path.c_str(),
                   cause ? std::strerror(cause) : "write failed");
        return false;
    }
    PruneBackups(folder);
    // Work closed unsaved keeps its names beside it ("backup.txt"), so the
    // next start can offer it back; saved work leaves no such note.
    const std::string side = SidecarOf(path);
    if (!env.unsaved) {
        fs::remove(fs::u8path(side), error);
        return true;
    }
    const std::string names = OMB_QuoteArgument(env.model.name) + "\n" + OMB_QuoteArgument(env.model.path) + "\n";
    if (!WriteBytes(side, names.data(), names.size()))
        OMB_Printf("[Warning] failed to write backup note : %s\n", side.c_str());
    return true;
}

bool TK_WriteBackup(const TK_EditorEnv& env) {
    OMB_Printf("Cache Model\n");
    return TK_WriteQuitBackup(env, env.workspace.cacheFolder);
}

// ---------------------------------------------------------------- autosave

void TK_Autosave::NoteChange(double now) {
    if (!m_armed) return;
    if (!m_pending) m_firstChange = now;
    m_pending = true;
    m_lastChange = now;
}

bool TK_Autosave::IsDue(double now) const {
    return m_pending && (now - m_lastChange >= kDelay || now - m_firstChange >= kLongest);
}

void TK_Autosave::Tick(double now) {
    if (m_failed.exchange(false)) {
        std::lock_guard<std::mutex> lock(m_causeLock);
        OMB_Printf("[Warning] autosave failed : %s%s\n", Path().c_str(), m_cause.c_str());
    }
    if (!IsDue(now) || m_busy) return;
    Start();
}

void TK_Autosave::Start() {
    Wait();
    m_pending = false;
    ++m_writes;
    m_busy = true;
    // The copy is the only work on this thread; bytes and disk are the
    // writer's.
    // One copy, shared with the thread (a model moved about may copy).
    auto snapshot = std::make_shared<const TK_Model>(m_env.model);
    auto look = std::make_shared<TK_ModelLook>();
    look->Capture(m_env);
    const std::string folder = m_env.workspace.cacheFolder;
    const std::string vox = Path(), side = SidecarOf(vox);
    m_writer = std::thread([this, snapshot, look, folder, vox, side]() {
        std::error_code error;
        fs::create_directories(fs::u8path(folder), error);
        // Quoted: a name may hold a line break.
        const std::string names = OMB_QuoteArgument(snapshot->name) + "\n" + OMB_QuoteArgument(snapshot->path) + "\n";
        OMB_ClearCause();
        const bool ok = WriteVox(*snapshot, vox.c_str(), look.get()) && WriteBytes(side, names.data(), names.size());
        if (!ok) {
            std::lock_guard<std::mutex> lock(m_causeLock);
            m_cause = OMB_TakeCause();
            m_failed = true;
        }
        m_busy = false;
    });
}

bool TK_Autosave::WriteNow() {
    m_pending = true;
    Start();
    Wait();
    return !m_failed.exchange(false);
}

void TK_Autosave::Wait() {
    if (m_writer.joinable()) m_writer.join();
}

void TK_Autosave::Discard() {
    Wait();
    m_pending = false;
    std::remove(Path().c_str());
    std::remove(SidecarOf(Path()).c_str());
}

std::string TK_Autosave::Path() const { return RecoveryPath(m_env.workspace.cacheFolder, OS_ProcessId(), ".vox"); }

// ---------------------------------------------------------------- recovery

namespace {

// The model, look, name and bound file an autosave and its sidecar hold.
bool ReadRecovery(const std::string& vox, TK_Model& model, TK_ModelLook& look) {
    if (!ReadVox(model, vox.c_str(), &look)) {
        OMB_Printf("[Warning] unreadable recovery file : %s\n", vox.c_str());
        return false;
    }
    std::string name, path;
    std::ifstream names(fs::u8path(SidecarOf(vox)));
    std::getline(names, name);
    std::getline(names, path);
    model.name = OMB_PathArgument(name.c_str());
    model.path = OMB_PathArgument(path.c_str());
    return true;
}

}  // namespace

std::vector<std::string> TK_WaitingRecoveries(const std::string& folder) {
    std::vector<std::pair<fs::file_time_type, std::string>> orphans;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder), error)) {
        const long pid = RecoveryOwner(entry.path().filename().u8string());
        if (pid <= 0 || pid == OS_ProcessId() || OS_IsProcessRunning(pid) || !entry.is_regular_file(error)) continue;
        orphans.emplace_back(entry.last_write_time(error), entry.path().generic_u8string());
    }
    std::sort(orphans.begin(), orphans.end());
    std::vector<std::string> paths;
    for (const auto& orphan : orphans) paths.push_back(orphan.second);
    return paths;
}

void TK_AnnounceRecoveries(const std::string& folder) {
    const std::vector<std::string> waiting = TK_WaitingRecoveries(folder);
    for (const std::string& vox : waiting) {
        OMB_Printf("[Warning] unsaved work of an ended session waits in %s : \"recover\" opens it\n", vox.c_str());
        std::fprintf(stderr, "tarsk: unsaved work of an ended session waits in %s : \"recover\" opens it\n",
                     OMB_Printable(vox).c_str());
    }
    std::string name;
    const std::string backup = folder + "/backup.vox";
    std::ifstream note(fs::u8path(SidecarOf(backup)));
    if (!waiting.empty() || !note || !std::getline(note, name)) return;
    name = OMB_PathArgument(name.c_str());
    if (name.empty()) name = "untitled";
    OMB_Printf("[Warning] %s was closed with unsaved changes, kept in %s : \"recover\" opens it\n", name.c_str(),
               backup.c_str());
    std::fprintf(stderr, "tarsk: %s was closed with unsaved changes, kept in %s : \"recover\" opens it\n",
                 OMB_Printable(name).c_str(), OMB_Printable(backup).c_str());
}

bool TK_ClaimRecovery(const std::string& folder, TK_Model& model, TK_ModelLook& look, std::string& keptAs) {
    std::vector<std::string> waiting = TK_WaitingRecoveries(folder);
    if (waiting.empty()) {
        // Work closed unsaved: its quit backup, once.
        const std::string backup = folder + "/backup.vox";
        std::error_code error;
        if (fs::is_regular_file(fs::u8path(SidecarOf(backup)), error) && ReadRecovery(backup, model, look)) {
            fs::remove(fs::u8path(SidecarOf(backup)), error);
            keptAs = backup;
            return true;
        }
        OMB_Printf("[Error] recover : no unsaved work waits in %s\n", folder.c_str());
        return false;
    }
    const std::string vox = waiting.back();
    if (!ReadRecovery(vox, model, look)) return false;
    // Among the kept backups it is never lost, whatever the session does next.
    keptAs = AsideName(folder, vox);
    std::error_code error;
    fs::rename(fs::u8path(vox), fs::u8path(keptAs), error);
    if (error) {
        OMB_Printf("[Error] recover : %s : %s\n", vox.c_str(), error.message().c_str());
        return false;
    }
    fs::remove(fs::u8path(SidecarOf(vox)), error);
    PruneBackups(folder);
    return true;
}

bool TK_RecoverUnsavedWork(TK_EditorEnv& env, const TK_Autosave& autosave) {
    const std::string& folder = env.workspace.cacheFolder;
    std::vector<std::string> orphans = TK_WaitingRecoveries(folder);
    while (!orphans.empty()) {
        const std::string vox = orphans.back();
        orphans.pop_back();
        TK_Model loaded;
        TK_ModelLook look;
        if (!ReadRecovery(vox, loaded, look)) continue;
        loaded.NormalizeModel(env.maxModelSize, env.currentColorIndex);
        TK_InstallModel(env, loaded, look);
        // Bound to its file or not, it holds what the file does not.
        env.unsaved = true;
        env.executor.ForgetSaved();
        env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_NAME);
        // Ours from now on: a clean exit removes it after the backup.
        OMB_RenameFile(vox.c_str(), autosave.Path().c_str());
        OMB_RenameFile(SidecarOf(vox).c_str(), SidecarOf(autosave.Path()).c_str());
        OMB_Printf("recovered unsaved work from %s\n", vox.c_str());
        std::fprintf(stderr, "recovered unsaved work from %s\n", OMB_Printable(vox).c_str());
        TK_AnnounceRecoveries(folder);
        return true;
    }
    return false;
}
