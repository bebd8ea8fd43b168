// "undo" and "redo" through the environment: history messages to listeners,
// the lock, and the failure messages.
#include "edit/TK_HistoryCommands.h"

#include <gtest/gtest.h>

#include <memory>

#include "edit/TK_Commands.h"

namespace {

// Counts its runs in the environment's colour index so undo is visible.
class StepCmd : public TK_CMD {
    OMB_COMMAND_CLASS(StepCmd, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool Execute() override {
        ++m_env->currentColorIndex;
        return true;
    }
    void Undo() override { --m_env->currentColorIndex; }
    void Redo() override { ++m_env->currentColorIndex; }
};

struct HistoryCounter {
    int count = 0;
    void On(int kind, int) { count += kind == TK_NOTIFY_HISTORY; }
};

class HistoryCommands : public ::testing::Test {
protected:
    void SetUp() override {
        env = std::make_unique<TK_EditorEnv>();
        TK_RegisterCommands(env->executor);
        env->executor.Register("step", &OMB_MakeCommand<StepCmd>, 2);
        env->listeners.Connect(&counter, &HistoryCounter::On);
        env->currentColorIndex = 10;
    }
    std::string Run(const char* line) {
        testing::internal::CaptureStdout();
        env->ExecuteText("/", line);
        return testing::internal::GetCapturedStdout();
    }
    std::unique_ptr<TK_EditorEnv> env;
    HistoryCounter counter;
};

TEST_F(HistoryCommands, UndoRedoRoundTrip) {
    Run("step | step");
    EXPECT_EQ(env->currentColorIndex, 12);
    counter.count = 0;
    Run("/undo");
    EXPECT_EQ(env->currentColorIndex, 11);
    // One message from the undo itself, one from the executor's wrapper.
    EXPECT_EQ(counter.count, 2);
    Run("/UNDO | redo | redo");
    EXPECT_EQ(env->currentColorIndex, 12);
    EXPECT_EQ(Run("redo"), "cmd : redo : \n[Error] cmd failed : TK_CMD_Redo\n");
}

TEST_F(HistoryCommands, LockedStackRefusesTextUndo) {
    Run("step");
    int brush = 0;
    env->executor.Lock(&brush);
    EXPECT_EQ(Run("undo"), "cmd : undo : \n[Error] cmd stack locked : TK_CMD_Undo\n");
    EXPECT_EQ(env->currentColorIndex, 11);
    // The brush's own command objects still run.
    EXPECT_TRUE(env->RunCommand(std::make_unique<StepCmd>(), &brush));
    env->executor.Unlock(&brush);
    Run("undo | undo");
    EXPECT_EQ(env->currentColorIndex, 10);
}

}  // namespace
