// The Windows services where they differ from POSIX: UTF-8 names through
// the wide API, the atomic save over an existing file, the names Windows
// refuses, and the portable and installed folders.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/OMB_AtomicFile.h"
#include "core/OMB_FileHandle.h"
#include "core/OS_WinText.h"
#include "model/TK_Workspace.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    OMB_FileHandle file = OMB_OpenForReading(path.c_str());
    if (!file) return "<unreadable>";
    std::string text;
    char buffer[256];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) text.append(buffer, n);
    return text;
}

}  // namespace

TEST(WindowsFiles, UnicodeModelPathIsSavedReplacedAndRead) {
    const std::string folder = "C:/users/Zo\u00eb/\u041c\u043e\u0434\u0435\u043b\u0438";
    const std::string path = folder + "/\u0437\u0430\u043c\u043e\u043a \u57ce.vox";
    std::error_code error;
    fs::create_directories(fs::u8path(folder), error);
    ASSERT_FALSE(error);
    ASSERT_TRUE(OMB_WriteFileAtomic(path, "first", 5));
    ASSERT_TRUE(OMB_WriteFileAtomic(path, "second", 6));  // replaces an existing file
    EXPECT_EQ(ReadAll(path), "second");
    EXPECT_EQ(ReadAll(folder + "\\\u0437\u0430\u043c\u043e\u043a \u57ce.vox"), "second");
    // Nothing but the model is left beside it.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder))) names.push_back(entry.path().filename().u8string());
    EXPECT_EQ(names, std::vector<std::string>{"\u0437\u0430\u043c\u043e\u043a \u57ce.vox"});
    fs::remove_all(fs::u8path("C:/users/Zo\u00eb"), error);
}

TEST(WindowsFiles, RefusedNamesSayWhyAndWriteNothing) {
    const std::string dir = testing::TempDir();
    const struct {
        std::string name;
        const char* says;
    } cases[] = {{"CON", "reserved"}, {"NUL.vox", "reserved"}, {"lpt3.txt", "reserved"},
                 {"a<b.vox", "forbids"}, {"what?.vox", "forbids"}, {std::string(270, 'x') + ".vox", "longer"}};
    for (const auto& c : cases) {
        EXPECT_NE(OS_WindowsNameProblem(dir + c.name).find(c.says), std::string::npos) << c.name;
        EXPECT_FALSE(OMB_WriteFileAtomic(dir + c.name, "x", 1)) << c.name;
    }
    EXPECT_EQ(OS_WindowsNameProblem("C:/models/CONSOLE.vox"), "");
    EXPECT_EQ(OMB_OpenForReading((dir + "NUL.vox").c_str()), nullptr);
}

TEST(WindowsFiles, ReadOnlyTargetIsRefusedAndKept) {
    const std::string path = testing::TempDir() + "kept.vox";
    ASSERT_TRUE(OMB_WriteFileAtomic(path, "old", 3));
    fs::permissions(fs::u8path(path), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(OMB_WriteFileAtomic(path, "new", 3));
    EXPECT_EQ(ReadAll(path), "old");
    fs::permissions(fs::u8path(path), fs::perms::owner_write, fs::perm_options::add);
}

TEST(WindowsFolders, PortableUnlessInstalledMarkerSaysSo) {
    const std::string exeDir = testing::TempDir() + "Tarsk";
    fs::create_directories(fs::u8path(exeDir + "/config"));
    const TK_ProgramFolders portable = TK_FindProgramFolders(exeDir);
    EXPECT_FALSE(portable.perUser);
    EXPECT_EQ(portable.configDir, exeDir + "/config");
    std::FILE* marker = OMB_OpenFile((exeDir + "/installed").c_str(), "wb");
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    const TK_ProgramFolders installed = TK_FindProgramFolders(exeDir);
    EXPECT_TRUE(installed.perUser);
    EXPECT_EQ(installed.dataDir, exeDir);
    EXPECT_NE(installed.configDir.find("/AppData/Roaming/Tarsk"), std::string::npos) << installed.configDir;
    EXPECT_NE(installed.cacheDir.find("/AppData/Local/Tarsk"), std::string::npos) << installed.cacheDir;
    EXPECT_NE(installed.workDir.find("/Tarsk"), std::string::npos) << installed.workDir;
    EXPECT_TRUE(TK_IsAbsolutePath("C:/x") && TK_IsAbsolutePath("//server/x") && !TK_IsAbsolutePath("vox/a.vox"));
}
