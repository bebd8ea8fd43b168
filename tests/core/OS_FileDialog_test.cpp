// File dialogs: the filter texts the commands use become the tool's patterns,
// and a headless run reports "cancelled" with one warning per run.
#include "core/OS_FileDialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TK_TestSupport.h"

TEST(FileDialog, FilterPatterns) {
    const char* const cases[][2] = {
        {"Tarsk (.vox)", "*.vox"},
        {"PNG (*.png)", "*.png"},
        {"All Files (*.*)", "*"},
        {"Images (*.png;*.tga)", "*.png *.tga"},
        {"no parentheses", "*"},
        {"empty ()", "*"},
    };
    for (const auto& c : cases) EXPECT_EQ(OS_FileDialog::FilterPatterns(c[0]), c[1]) << c[0];
}

TEST(FileDialog, HeadlessIsCancelledWithOneWarning) {
    OS_FileRequest options;
    options.headless = true;
    options.filter = "Tarsk (.vox)";
    std::string path = "stale";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(OS_FileDialog::Run(options, path));
    options.save = true;
    EXPECT_FALSE(OS_FileDialog::Run(options, path));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Warning] file dialog unavailable\n");
    EXPECT_EQ(path, "");
}

// A stand-in "zenity" first in PATH: its first output line is the answer,
// its exit status tells a choice from a cancel.
TEST(FileDialog, ToolOutputBecomesThePath) {
    namespace fs = std::filesystem;
    const tk_test::TempFolder folder("tk_dialog");
    const fs::path& dir = folder.Dir();
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);
    const struct {
        const char* script;
        bool chosen;
        const char* path;
    } cases[] = {
        {"printf 'C:\\\\models\\\\a.vox\\nignored\\n'", true, "C:/models/a.vox"},
        {"echo /tmp/b.vox; exit 1", false, ""},
        {"exit 0", false, ""},
    };
    for (const auto& c : cases) {
        const fs::path tool = dir / "zenity";
        std::ofstream(tool) << "#!/bin/sh\n" << c.script << "\n";
        fs::permissions(tool, fs::perms::owner_all);
        OS_FileRequest options;
        std::string path;
        EXPECT_EQ(OS_FileDialog::Run(options, path), c.chosen) << c.script;
        EXPECT_EQ(path, c.path) << c.script;
    }
    ::setenv("PATH", oldPath.c_str(), 1);
}
