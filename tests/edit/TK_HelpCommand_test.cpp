// "help": every registered command is listed, one with its description.
#include "edit/TK_HelpCommand.h"

#include <gtest/gtest.h>

#include "TK_EditFixture.h"
#include "edit/TK_HistoryCommands.h"

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
    EXPECT_NE(output.find("  open [PATH]"), std::string::npos) << output;
    EXPECT_NE(output.find("open a model file\n"), std::string::npos) << output;
    ExpectRefused("help nosuch", "[Error] help : no such command : nosuch\n");
}

}  // namespace
