// "undo" and "redo" as console lines: history messages to listeners, the
// lock, and the failure messages.
#include "edit/TK_HistoryCommands.h"

#include <gtest/gtest.h>

#include <memory>

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

TEST_F(HistoryCommands, LockedStackRefusesTextUndo) {
    Run("step");
    int brush = 0;
    env->executor.Lock(&brush);
    EXPECT_FALSE(Run("undo"));
    EXPECT_EQ(output, "cmd : undo : \n[Error] cmd stack locked : TK_CMD_Undo\n");
    // The brush's own command objects still run.
    EXPECT_TRUE(env->RunCommand(std::make_unique<StepCmd>(), &brush));
    env->executor.Unlock(&brush);
    Run("undo | undo");
    EXPECT_EQ(env->currentColorIndex, 10);
}

}  // namespace
