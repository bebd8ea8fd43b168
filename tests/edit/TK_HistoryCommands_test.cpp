// "undo" and "redo" as console lines: history messages to listeners and the
// failure message. (The stack lock is the executor's, tested there.)
#include "edit/TK_HistoryCommands.h"

#include <gtest/gtest.h>

#include "TK_EditFixture.h"

namespace {

// Counts its runs in the environment's colour index so undo is visible.
class StepCmd : public TK_CMD {
    OMB_COMMAND_CLASS(StepCmd, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Execute() override { return ++m_env->currentColorIndex; }
    void Undo() override { --m_env->currentColorIndex; }
    void Redo() override { ++m_env->currentColorIndex; }
};

class HistoryCommands : public tk_test::EditEnvTest {
protected:
    void SetUp() override {
        EditEnvTest::SetUp();
        env->executor.Register("step", &OMB_MakeCommand<StepCmd>, 2);
        env->currentColorIndex = 10;
    }
};

TEST_F(HistoryCommands, UndoRedoRoundTrip) {
    Run("step | step");
    historyMessages = 0;
    Run("undo");
    EXPECT_EQ(env->currentColorIndex, 11);
    // One message from the undo itself, one from the executor's wrapper.
    EXPECT_EQ(historyMessages, 2);
    Run("UNDO | redo | redo");
    EXPECT_EQ(env->currentColorIndex, 12);
    EXPECT_FALSE(Run("redo"));
    EXPECT_EQ(output, "cmd : redo : \n[Error] cmd failed : TK_CMD_Redo\n");
}

}  // namespace
