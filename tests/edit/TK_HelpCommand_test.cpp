// "help": every registered command is listed, one with its description.
#include "edit/TK_HelpCommand.h"

#include <gtest/gtest.h>

#include "TK_EditFixture.h"
#include "edit/TK_HistoryCommands.h"
#include "model/TK_SettingTable.h"

namespace {

using HelpCommand = tk_test::EditEnvTest;

TEST_F(HelpCommand, ListsEveryRegisteredCommand) {
    // Registered outside the table: listed by name alone.
    env->executor.Register("extra", &OMB_MakeCommand<TK_CMD_Undo>);
    ASSERT_TRUE(Run("help"));
    for (const OMB_CommandEntry& entry : env->executor.Entries()) {
        const std::string line = "\n  " + entry.name;
        EXPECT_TRUE(output.find(line + " ") != std::string::npos || output.find(line + "\n") != std::string::npos)
            << entry.name;
    }
    EXPECT_NE(output.find("\nOther\n  extra\n"), std::string::npos) << output;
    ASSERT_TRUE(Run("help OPEN"));
    EXPECT_NE(output.find("  open [PATH | #N]"), std::string::npos) << output;
    EXPECT_NE(output.find("open a model file, or model N of the open one (# lists them)\n"), std::string::npos) << output;
    ExpectRefused("help nosuch", "[Error] help : no such command : nosuch\n");
}

TEST_F(HelpCommand, HelpSetListsEveryKeyWithItsRangeAndValue) {
    env->settings.ptSamples = 300;
    ASSERT_TRUE(Run("help set"));
    for (const TK_Setting& row : TK_SettingTable())
        EXPECT_NE(output.find("\n  " + std::string(row.word) + " "), std::string::npos) << row.word;
    const size_t at = output.find("\n  pt_spp ");
    ASSERT_NE(at, std::string::npos);
    const std::string line = output.substr(at + 1, output.find('\n', at + 1) - at - 1);
    EXPECT_NE(line.find(" 16..100000 "), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 4), " 300") << line;
}

}  // namespace
