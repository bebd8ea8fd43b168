// Deleting to the trash: the freedesktop layout (file plus ".trashinfo"
// record), numbered names for a second file of one name, and the fallback
// folder when the user's trash cannot take the file.
#include "core/OS_Trash.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TK_TestSupport.h"
#include "core/OMB_TestFiles.h"

namespace {

namespace fs = std::filesystem;

class Trash : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "models");
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }
    std::string Model(const std::string& name, const std::string& text) const {
        std::ofstream(dir / "models" / name) << text;
        return (dir / "models" / name).string();
    }

    const tk_test::TempFolder folder{"tk_trash"};
    const fs::path& dir = folder.Dir();
};

}  // namespace

TEST_F(Trash, MovesIntoTheUserTrashWithARecord) {
    std::string where;
    ASSERT_TRUE(OS_Trash::MoveToTrash(Model("a b%.vox", "first"), (dir / "fallback").string(), &where));
    EXPECT_EQ(where, (dir / "data/Trash/files/a b%.vox").string());
    EXPECT_FALSE(fs::exists(dir / "models/a b%.vox"));
    const std::string info = tk_test::FileText(dir / "data/Trash/info/a b%.vox.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + (dir / "models/a%20b%25.vox").string() + "\nDeletionDate=", 0), 0u)
        << info;
    ASSERT_TRUE(OS_Trash::MoveToTrash(Model("a b%.vox", "second"), (dir / "fallback").string(), &where));
    EXPECT_EQ(where, (dir / "data/Trash/files/a b%.2.vox").string()) << "the first one stays recoverable";
    EXPECT_EQ(tk_test::FileText(dir / "data/Trash/files/a b%.vox"), "first");
    EXPECT_TRUE(fs::exists(dir / "data/Trash/info/a b%.2.vox.trashinfo"));
}

TEST_F(Trash, FallsBackToTheGivenFolderAndRefusesWhatIsNotAFile) {
    std::ofstream(dir / "data") << "a file where the trash folder should be";
    std::string where;
    for (const char* expected : {"cache/trash/m.vox", "cache/trash/m.2.vox"}) {
        ASSERT_TRUE(OS_Trash::MoveToTrash(Model("m.vox", expected), (dir / "cache/trash").string(), &where));
        EXPECT_EQ(where, (dir / expected).string());
        EXPECT_EQ(tk_test::FileText(where), expected);
    }
    EXPECT_FALSE(OS_Trash::MoveToTrash((dir / "models/missing.vox").string(), (dir / "f").string()));
    EXPECT_FALSE(OS_Trash::MoveToTrash((dir / "models").string(), (dir / "f").string()));
    EXPECT_TRUE(fs::exists(dir / "models"));
}
