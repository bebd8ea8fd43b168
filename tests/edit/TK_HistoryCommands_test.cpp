// "undo" and "redo" as console lines: history messages to listeners and the
// failure message. (The stack lock is the executor's, tested there.)
#include "edit/TK_HistoryCommands.h"

#include <gtest/gtest.h>

#include <utility>

#include "TK_EditFixture.h"

namespace {

using HistoryCommands = tk_test::EditEnvTest;

TEST_F(HistoryCommands, UndoRedoRoundTrip) {
    const Palette before = env->model.palette;
    ASSERT_TRUE(Run("rgb set 9 1 2 3 | rgb set 10 1 2 3"));
    const Palette edited = env->model.palette;
    historyMessages = 0;
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(std::make_pair(History(), env->model.palette[10]), std::make_pair(size_t(1), before[10]));
    // One message from the undo itself, one from the executor's wrapper.
    EXPECT_EQ(historyMessages, 2);
    ASSERT_TRUE(Run("UNDO | redo | redo"));
    EXPECT_TRUE(env->model.palette == edited);
    EXPECT_FALSE(Run("redo"));
    EXPECT_EQ(output, "cmd : redo : \n[Error] redo: nothing to redo\n[Error] cmd failed : TK_CMD_Redo\n");
}

}  // namespace
