// The one file writer and the careful reader, against hostile targets: a
// symbolic link is written through, special and read-only files are refused
// and left alone, the old mode stays, dead saves' temporary files go (and no
// user's file), the longest names work, and a FIFO never blocks a read.
#include "core/OMB_AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TK_TestSupport.h"
#include "core/OMB_Cause.h"
#include "core/OMB_FileHandle.h"
#include "core/OMB_TestFiles.h"

namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
protected:
    std::string P(const std::string& name) const { return folder.Path(name); }
    // Writes "new", capturing the output; true when the write succeeded.
    bool Write(const std::string& path, std::string* log = nullptr) {
        testing::internal::CaptureStdout();
        const bool ok = OMB_WriteFileAtomic(path, "new", 3);
        const std::string out = testing::internal::GetCapturedStdout();
        if (log) *log = out;
        return ok;
    }
    tk_test::TempFolder folder{"tk_atomic"};
    const fs::path& dir = folder.Dir();
};

TEST_F(AtomicFile, LinkAndModeAreKept) {
    std::ofstream(P("t")) << "old";
    fs::create_symlink("t", P("link"));
    ASSERT_TRUE(Write(P("link")));
    EXPECT_TRUE(fs::is_symlink(P("link")));
    EXPECT_EQ(tk_test::FileText(P("t")), "new");
    for (fs::perms mode : {fs::perms(0640), fs::perms(0755)}) {
        fs::permissions(P("t"), mode);
        ASSERT_TRUE(Write(P("t")));
        EXPECT_EQ(fs::status(P("t")).permissions(), mode);
    }
}

// Neither the writer nor the reader waits on a FIFO.
TEST_F(AtomicFile, SpecialAndReadOnlyTargetsAreRefusedAndLeft) {
    ASSERT_EQ(::mkfifo(P("fifo").c_str(), 0644), 0);
    std::string log;
    EXPECT_FALSE(Write(P("fifo"), &log));
    EXPECT_EQ(log, "[Error] not a regular file : " + P("fifo") + "\n");
    EXPECT_TRUE(fs::is_fifo(P("fifo")));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(OMB_OpenForReading(P("fifo").c_str()));
    EXPECT_FALSE(OMB_OpenForReading(dir.c_str())) << "a folder";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    std::ofstream(P("t")) << "old";
    fs::permissions(P("t"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_FALSE(Write(P("t"), &log));
    EXPECT_EQ(log, "[Error] file is read-only : " + P("t") + "\n");
    EXPECT_EQ(tk_test::FileText(P("t")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no temporary left";
}

// Temporary files are hidden and of a form of their own: at start-up only
// those go whose process is gone, never a user's file that looks alike.
TEST_F(AtomicFile, OnlyDeadSavesTemporaryFilesAreRemoved) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string pid = std::to_string(child);
    const std::string dead = OMB_AtomicTempName(P("t"), child, 3);
    const std::string alive = OMB_AtomicTempName(P("t"), ::getppid(), 0);
    EXPECT_EQ(dead, P(".t.tarsk-" + pid + "-3.tmp"));
    std::ofstream(dead) << "half a model";
    std::ofstream(alive) << "a save in progress";
    ASSERT_TRUE(Write(P("t")));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    const std::string other = OMB_AtomicTempName(P("castle.vox"), child, 0);
    std::ofstream(other) << "half a castle";
    const std::string users[] = {"castle.vox.tmp" + pid, "report.tmp2023", "notes.tmp", ".x.tarsk-" + pid + "-1.tmp~",
                                 ".tarsk-" + pid + "-1.tmp", "x.tarsk-" + pid + "-1.tmp"};
    for (const std::string& name : users) std::ofstream(P(name)) << "a user's file";
    OMB_RemoveStaleTemps(dir.string());
    EXPECT_FALSE(fs::exists(other));
    EXPECT_TRUE(fs::exists(alive) && fs::exists(P("t")));
    for (const std::string& name : users) EXPECT_TRUE(fs::exists(P(name))) << name;
}

// A name at the system's limit still gets a temporary file; a failure keeps
// the system's reason for the message.
TEST_F(AtomicFile, LongestNamesAreWrittenAndFailuresSayWhy) {
    const std::string longest = folder.Path(std::string(253, 'n') + "\xc3\xa9");
    ASSERT_TRUE(Write(longest));
    EXPECT_EQ(tk_test::FileText(longest), "new");
    EXPECT_LE(fs::path(OMB_AtomicTempName(longest, 4194304, 4294967295u)).filename().string().size(), 255u);
    OMB_ClearCause();
    EXPECT_FALSE(Write(P("nowhere/t")));
    EXPECT_EQ(OMB_TakeCause(), std::string(" : ") + std::strerror(ENOENT));
    EXPECT_EQ(OMB_TakeCause(), "") << "taken once";
}

}  // namespace
