// Registry, splitting, dispatch messages, stack lock and history of the
// command executor, with small probe commands.
#include "core/OMB_CommandExecutor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/OMB_Cause.h"
#include "core/OMB_HotkeyTable.h"

namespace {

std::vector<std::string>* g_journal = nullptr;

void Note(const std::string& e) {
    if (g_journal) g_journal->push_back(e);
}

// Records what happens to it; "fail" as argument makes Execute fail, "bad"
// makes Parse fail. Successive probes merge when both say "merge"; a merged
// pair whose counts add to zero has no effect.
class ProbeCmd : public OMB_Command {
    OMB_COMMAND_CLASS(ProbeCmd, OMB_Command)
public:
    bool Parse(const char* args) override {
        m_args = args;
        Note("parse:" + m_args);
        return m_args != "bad";
    }
    bool Execute() override {
        Note("exec:" + m_args);
        if (m_args == "why") OMB_SetCause("the reason");
        if (m_args == "saved") m_exec->MarkSaved();
        return m_args != "fail" && m_args != "why";
    }
    bool IsUndoable() const override { return true; }
    void Undo() override { Note("undo:" + m_args); }
    void Redo() override { Note("redo:" + m_args); }
    bool Merge(OMB_Command* next) override {
        auto* p = static_cast<ProbeCmd*>(next);
        if (!next->SameClass(*this) || m_args.rfind("merge", 0) != 0 || p->m_args.rfind("merge", 0) != 0)
            return false;
        m_weight += p->m_weight;
        return true;
    }
    bool HasEffect() const override { return m_weight != 0; }
    ~ProbeCmd() override { Note("dtor:" + m_args); }

    std::string m_args;
    int m_weight = 1;
    static inline OMB_CommandExecutor* m_exec = nullptr;
};

class PlainCmd : public OMB_Command {
    OMB_COMMAND_CLASS(PlainCmd, OMB_Command)
public:
    bool Execute() override { return true; }
};

class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        g_journal = &journal;
        ProbeCmd::m_exec = &exec;
        exec.Register("probe", &OMB_MakeCommand<ProbeCmd>);
        exec.Register("plain", &OMB_MakeCommand<PlainCmd>);
    }
    void TearDown() override { g_journal = nullptr; }

    std::string Run(const char* text, bool* result = nullptr) {
        testing::internal::CaptureStdout();
        bool ok = exec.ExecuteText(text);
        if (result) *result = ok;
        return testing::internal::GetCapturedStdout();
    }
    std::unique_ptr<OMB_Command> Probe(const char* args, int weight = 1) {
        auto c = std::make_unique<ProbeCmd>();
        c->Parse(args);
        c->m_weight = weight;
        return c;
    }

    std::vector<std::string> journal;
    OMB_CommandExecutor exec;
};

TEST(SplitCommands, Table) {
    const struct {
        const char* text;
        std::vector<std::pair<std::string, std::string>> expected;
    } cases[] = {
        {"", {}},
        {"flip x | rot90 z", {{"flip", "x"}, {"rot90", "z"}}},
        {"  name \t", {{"name", ""}}},
        {"say \"a|b\" | next", {{"say", "\"a|b\""}, {"next", ""}}},
        {"say \"open|", {{"say", "\"open|"}}},
        {"12 flip", {}},
        {"flip | 12 | rot", {{"flip", ""}}},
        {"x \x01 y \x01", {{"x", "y"}}},
        {"save \xD0\xB7\xD0\xB0.vox \xE5\x9F\x8E ", {{"save", "\xD0\xB7\xD0\xB0.vox \xE5\x9F\x8E"}}},
        {"run \\ hidden | next", {{"run", "\\ hidden"}, {"next", ""}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::string, std::string>> got;
        for (const OMB_CommandText& command : OMB_SplitCommands(c.text)) got.emplace_back(command.name, command.args);
        EXPECT_EQ(got, c.expected) << c.text;
    }
}

TEST_F(Fixture, RegistryKeepsFirstAndFindsWithoutCase) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(exec.Register("PROBE", &OMB_MakeCommand<PlainCmd>));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Error] cmd already registered : PROBE\n");
    ASSERT_NE(exec.Find("PrObE"), nullptr);
    EXPECT_EQ(exec.Find("PrObE")->factory, &OMB_MakeCommand<ProbeCmd>);
    EXPECT_EQ(exec.Find(nullptr), nullptr);
    EXPECT_EQ(exec.Find("probe2"), nullptr);
}

TEST_F(Fixture, DispatchMessages) {
    const struct {
        const char* text;
        bool result;
        const char* output;
    } cases[] = {
        {"nothing here", false,
         "cmd : nothing : here\n[Error] nothing: no such command; help lists them\n"
         "[Error] cmd is not registered : nothing\n"},
        {"PRBE", false,
         "cmd : PRBE : \n[Error] PRBE: no such command; did you mean probe?\n[Error] cmd is not registered : PRBE\n"},
        {"probe bad", false,
         "cmd : probe : bad\n[Error] probe: cannot read \"bad\"; \"help probe\" shows how to write it\n"
         "[Error] cmd failed to parse parms: ProbeCmd\n"},
        {"probe fail | probe ok | plain", true,
         "cmd : probe : fail\n[Error] probe: nothing was done\n[Error] cmd failed : ProbeCmd\n"
         "cmd : probe : ok\ncmd : plain : \n"},
        {"probe why", false, "cmd : probe : why\n[Error] probe: the reason\n[Error] cmd failed : ProbeCmd\n"},
        {"42", false, ""},
    };
    for (const auto& c : cases) {
        bool ok = false;
        EXPECT_EQ(Run(c.text, &ok), c.output) << c.text;
        EXPECT_EQ(ok, c.result) << c.text;
    }
    EXPECT_FALSE(exec.ExecuteText(nullptr));
    // Commands that fail to parse or to run are destroyed; the undoable rest is kept.
    EXPECT_EQ(journal, (std::vector<std::string>{"parse:bad", "dtor:bad", "parse:fail", "exec:fail", "dtor:fail",
                                                 "parse:ok", "exec:ok", "parse:why", "exec:why", "dtor:why"}));
    EXPECT_EQ(exec.UndoCount(), 1u);
}

// A lock refuses other owners, undo and clearing; clearing notifies only
// when something goes.
TEST_F(Fixture, LockRefusesOthersButNotItsOwner) {
    int brush = 0, other = 0, notices = 0;
    exec.SetHistoryChanged([&] { ++notices; });
    exec.ClearHistory();
    ASSERT_TRUE(exec.Lock(&brush));
    EXPECT_TRUE(exec.Lock(&brush));
    EXPECT_FALSE(exec.Lock(&other));
    EXPECT_EQ(Run("probe x"), "cmd : probe : x\n[Error] cmd stack locked : ProbeCmd\n");
    EXPECT_TRUE(exec.Run(Probe("mine"), &brush));
    EXPECT_FALSE(exec.Undo());
    exec.ClearHistory();
    EXPECT_EQ(exec.UndoCount(), 1u);
    EXPECT_FALSE(exec.Unlock(&other));
    EXPECT_TRUE(exec.Unlock(&brush));
    EXPECT_TRUE(exec.Undo() && exec.Redo());
    EXPECT_EQ(notices, 0);
    exec.ClearHistory();
    EXPECT_EQ(exec.UndoCount(), 0u);
    EXPECT_EQ(notices, 1);
}

TEST_F(Fixture, HistoryKeepsFiftyOneAndRedoesTheUndone) {
    for (int i = 0; i < 60; ++i) exec.Run(Probe("p"), nullptr);
    EXPECT_EQ(exec.UndoCount(), 51u);
    for (int i = 0; i < 51; ++i) EXPECT_TRUE(exec.Undo());
    EXPECT_FALSE(exec.Undo());
    EXPECT_EQ(exec.RedoCount(), 51u);
    exec.ClearHistory();
    exec.Run(Probe("a"), nullptr);
    ASSERT_TRUE(exec.Undo() && exec.Redo());
    EXPECT_FALSE(exec.Redo());
    EXPECT_EQ(journal.back(), "redo:a");
    // A new step after an undo ends the undone branch.
    ASSERT_TRUE(exec.Undo());
    exec.Run(Probe("b"), nullptr);
    EXPECT_EQ(exec.RedoCount(), 0u);
}

TEST_F(Fixture, MergeWithoutEffectDropsTheEntry) {
    exec.Run(Probe("base"), nullptr);
    // Merged weights 1, 2, 1 keep the entry; at 0 it goes.
    const std::pair<int, size_t> steps[] = {{1, 2}, {1, 2}, {-1, 2}, {-1, 1}};  // weight, entries after
    for (const auto& [weight, entries] : steps) {
        exec.Run(Probe("merge", weight), nullptr);
        EXPECT_EQ(exec.UndoCount(), entries) << "weight " << weight;
    }
}

// Undo and redo know when they return to the state the file holds; a merge
// into that step leaves it.
TEST_F(Fixture, SavedStateFollowsUndoRedoAndMerges) {
    exec.Run(Probe("a"), nullptr);
    exec.Run(Probe("saved"), nullptr);
    EXPECT_TRUE(exec.TakeSavedStateNews() && exec.IsAtSavedState());
    exec.Run(Probe("b"), nullptr);
    EXPECT_FALSE(exec.IsAtSavedState());
    ASSERT_TRUE(exec.Undo());
    EXPECT_TRUE(exec.TakeSavedStateNews() && exec.IsAtSavedState());
    ASSERT_TRUE(exec.Redo());
    EXPECT_FALSE(exec.IsAtSavedState());
    exec.ClearHistory();
    exec.Run(Probe("merge"), nullptr);
    exec.MarkSaved();
    exec.Run(Probe("merge"), nullptr);
    EXPECT_FALSE(exec.IsAtSavedState()) << "the merged step is a new state";
    exec.ForgetSaved();
    ASSERT_TRUE(exec.Undo());
    EXPECT_FALSE(exec.IsAtSavedState());
}

TEST_F(Fixture, NestedRunsStayOutOfTheHistory) {
    class Outer : public OMB_Command {
        OMB_COMMAND_CLASS(Outer, OMB_Command)
    public:
        OMB_CommandExecutor* exec = nullptr;
        bool Execute() override { return exec->Run(OMB_MakeCommand<ProbeCmd>(), nullptr); }
    };
    auto outer = std::make_unique<Outer>();
    outer->exec = &exec;
    EXPECT_TRUE(exec.Run(std::move(outer), nullptr));
    EXPECT_EQ(exec.UndoCount(), 0u);
    EXPECT_FALSE(exec.IsBusy());
}

TEST(HotkeyTable, DuplicatesAndRepeatRule) {
    OMB_HotkeyTable table;
    EXPECT_TRUE(table.Register(5, 1, false, "undo"));
    EXPECT_TRUE(table.Register(5, 1, true, "redo"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(table.Register(5, 1, false, "again"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Hotkey has been registered : again\n");
    EXPECT_STREQ(table.Find(5, 1, false), "undo");
    EXPECT_STREQ(table.Find(5, 1, true), "redo");
    EXPECT_EQ(table.Find(5, 0, false), nullptr);
}

}  // namespace
