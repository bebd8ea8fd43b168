// Quit backups that survive the next session, the autosave's timing and
// failures, and recovery of an orphaned autosave.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>
#include <tuple>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "app/TK_Recovery.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_ModelLook.h"
#include "model/TK_VoxFile.h"

namespace {

namespace fs = std::filesystem;

TEST(QuitBackup, KeepsTheTenNewestAndTheFirstSessionsModel) {
    tk_test::TempFolder folder("tarsk_backups");
    TK_EditorEnv env;
    for (int session = 1; session <= 12; ++session) {
        env.model = tk_test::MakeModel(session, 2, 3);
        ASSERT_TRUE(TK_WriteQuitBackup(env, folder.Dir().string()));
        if (session == 2) {
            // A quit, then another session's quit: the first model is aside.
            int sizes = 0;
            for (const auto& entry : fs::directory_iterator(folder.Dir())) {
                TK_Model back;
                ASSERT_TRUE(ReadVox(back, entry.path().u8string().c_str()));
                sizes += back.size[0];
            }
            EXPECT_EQ(sizes, 1 + 2);
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Dir()), fs::directory_iterator()), kKeptBackups);
    TK_Model newest;
    ASSERT_TRUE(ReadVox(newest, folder.Path("backup.vox").c_str()));
    EXPECT_EQ(newest.size[0], 12);
}

// Work closed with unsaved changes is announced at the next start and
// "recover" opens it once; saved work leaves no note.
TEST(QuitBackup, ClosedUnsavedWorkIsOfferedBackOnce) {
    tk_test::TempFolder folder("tarsk_closed");
    const std::string dir = folder.Dir().string();
    TK_EditorEnv env;
    env.model = tk_test::MakeModel(4, 5, 6);
    env.model.name = "lantern.vox";
    env.unsaved = true;
    ASSERT_TRUE(TK_WriteQuitBackup(env, dir));
    testing::internal::CaptureStdout();
    TK_AnnounceRecoveries(dir);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Warning] lantern.vox was closed with unsaved changes, kept in " +
                                                          dir + "/backup.vox : \"recover\" opens it\n");
    TK_Model model;
    TK_ModelLook look;
    std::string keptAs;
    ASSERT_TRUE(TK_ClaimRecovery(dir, model, look, keptAs));
    EXPECT_EQ(std::make_tuple(model.name, model.size[2], keptAs), std::make_tuple(std::string("lantern.vox"), 6, dir + "/backup.vox"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(TK_ClaimRecovery(dir, model, look, keptAs));
    env.unsaved = false;
    ASSERT_TRUE(TK_WriteQuitBackup(env, dir));
    TK_AnnounceRecoveries(dir);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Error] recover : no unsaved work waits in " + dir + "\n");
}

TEST(Autosave, DueAfterAPauseOrLongContinuousWork) {
    TK_EditorEnv env;
    TK_Autosave autosave(env);
    autosave.NoteChange(0);
    EXPECT_FALSE(autosave.IsDue(100)) << "start-up changes are not the user's";
    autosave.Arm();
    EXPECT_FALSE(autosave.IsDue(100)) << "nothing changed";
    // the times of three changes, now: due
    const std::tuple<std::array<double, 3>, double, bool> cases[] = {
        {{10, 10, 10}, 10 + TK_Autosave::kDelay - 0.1, false},
        {{10, 10, 10}, 10 + TK_Autosave::kDelay, true},
        {{10, 11, 12}, 12 + TK_Autosave::kDelay - 0.1, false},
        // A change every two seconds: written once the longest wait passed.
        {{10, 10 + TK_Autosave::kLongest - 2, 10 + TK_Autosave::kLongest}, 10 + TK_Autosave::kLongest, true},
    };
    for (const auto& [changes, now, due] : cases) {
        TK_Autosave plan(env);
        plan.Arm();
        for (double t : changes) plan.NoteChange(t);
        EXPECT_EQ(plan.IsDue(now), due) << now;
    }
}

TEST(Autosave, AnOrphanComesBackWithItsNameAndFile) {
    tk_test::TempFolder folder("tarsk_recovery");
    TK_EditorEnv env;
    env.workspace.cacheFolder = folder.Dir().string();
    // Process ids that no longer run: an older orphan and a newer one.
    long gone[2];
    for (long& pid : gone) {
        double seconds = 0;
        pid = SpawnTarsk({"--version"}, "", "");
        ASSERT_EQ(WaitExit(pid, 30, seconds), 0);
    }
    const std::string older = folder.Path("autosave-" + std::to_string(gone[0]) + ".vox");
    ASSERT_TRUE(WriteVox(tk_test::MakeModel(2, 2, 2, {{1, 1, 1, 9}}), older.c_str()));
    std::ofstream(folder.Path("autosave-" + std::to_string(gone[0]) + ".txt")) << "\"two\\nlines.vox\"\n\"\"\n";
    fs::last_write_time(older, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::string orphan = folder.Path("autosave-" + std::to_string(gone[1]) + ".vox");
    ASSERT_TRUE(WriteVox(tk_test::MakeModel(4, 5, 6, {{1, 1, 1, 9}}), orphan.c_str()));
    std::ofstream(folder.Path("autosave-" + std::to_string(gone[1]) + ".txt")) << "castle.vox\n/models/castle.vox\n";
    // Another editor's, still running: left alone.
    const long other = OtherRunningProcessId();
    ASSERT_GT(other, 0);
    const std::string running = folder.Path("autosave-" + std::to_string(other) + ".vox");
    fs::copy_file(orphan, running);
    TK_Autosave autosave(env);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(TK_RecoverUnsavedWork(env, autosave));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "recovered unsaved work from " + orphan + "\n[Warning] unsaved work of an ended session waits in " +
                  older + " : \"recover\" opens it\n");
    EXPECT_EQ(std::make_tuple(env.model.size[2], env.model.voxels.Count(), env.model.name, env.model.path),
              std::make_tuple(6, 1, std::string("castle.vox"), std::string("/models/castle.vox")));
    EXPECT_TRUE(env.unsaved);
    EXPECT_TRUE(fs::exists(autosave.Path()) && !fs::exists(orphan) && fs::exists(running));
    // The other one on request ("recover"): kept among the backups.
    TK_Model model;
    TK_ModelLook look;
    std::string keptAs;
    ASSERT_TRUE(TK_ClaimRecovery(folder.Dir().string(), model, look, keptAs));
    EXPECT_EQ(std::make_tuple(model.size[0], model.name, model.path), std::make_tuple(2, std::string("two\nlines.vox"), std::string()));
    EXPECT_EQ(fs::path(keptAs).filename().string().compare(0, 7, "backup-"), 0) << keptAs;
    EXPECT_TRUE(fs::exists(keptAs) && !fs::exists(older));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(TK_ClaimRecovery(folder.Dir().string(), model, look, keptAs));
    EXPECT_FALSE(TK_RecoverUnsavedWork(env, autosave));
    testing::internal::GetCapturedStdout();
    // An autosave writes this process's file; the clean exit removes it.
    autosave.Arm();
    autosave.NoteChange(0);
    autosave.Tick(1);
    EXPECT_EQ(autosave.Writes(), 0);
    ASSERT_TRUE(autosave.WriteNow());
    autosave.Discard();
    EXPECT_FALSE(fs::exists(autosave.Path()));
}

// A failed autosave says why (the window's log shows the line too).
TEST(Autosave, AFailureSaysWhy) {
    tk_test::TempFolder folder("tarsk_autosave_fails");
    std::ofstream(folder.Path("file")) << "not a folder";
    TK_EditorEnv env;
    env.workspace.cacheFolder = folder.Path("file/cache");
    TK_Autosave autosave(env);
    autosave.Arm();
    autosave.NoteChange(0);
    autosave.Tick(TK_Autosave::kDelay);
    autosave.Discard();  // waits for the writer
    testing::internal::CaptureStdout();
    autosave.Tick(TK_Autosave::kDelay);
    // Then the system's reason, in the system's words.
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("[Warning] autosave failed : " + autosave.Path() + " : ", 0), 0u);
}

}  // namespace
