// The message log: what OMB_Printf prints reaches it line by line with its
// kind, pieces of a line wait for the newline, the quiet filter applies, and
// the oldest lines go once the capacity is reached.
#include "core/OMB_MessageLog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(MessageLog, PrintedLinesArriveWithTheirKind) {
    OMB_MessageLog log;
    log.Attach();
    OMB_Printf("cmd : %s : %s\n[Error] cmd failed : %s\n", "sise", "10", "TK_CMD");
    OMB_Printf("[Warning] half ");
    OMB_Printf("a line\n");
    OMB_Printf("open : %s\n", "x\x1b[2J");
    OMB_SetLogMode(OMB_LogMode::ProblemsOnly);
    OMB_Printf("hidden\n");
    OMB_SetLogMode(OMB_LogMode::All);
    log.Detach();
    OMB_Printf("after detach\n");
    std::vector<std::pair<OMB_MessageKind, std::string>> lines;
    for (size_t i = 0; i < log.Count(); ++i) lines.emplace_back(log.Line(i).kind, log.Line(i).text);
    EXPECT_EQ(lines, (std::vector<std::pair<OMB_MessageKind, std::string>>{
                         {OMB_MessageKind::Info, "cmd : sise : 10"},
                         {OMB_MessageKind::Error, "[Error] cmd failed : TK_CMD"},
                         {OMB_MessageKind::Warning, "[Warning] half a line"},
                         {OMB_MessageKind::Info, "open : x\\x1B[2J"}}));
}

// The status line gets what the user ran and why it failed, never the
// machinery around it.
TEST(MessageLog, StatusKeepsTheNewestLineForPeople) {
    const struct {
        const char* text;
        const char* status;
    } cases[] = {
        {"cmd : size : 10 10 10\n", "size 10 10 10"},
        {"[Error] save: cannot write vox/m.vox: no such folder\n[Error] cmd failed : TK_CMD_SaveModel\n",
         "save: cannot write vox/m.vox: no such folder"},
        {"pixelFormat : 0\nCache Model\n", "save: cannot write vox/m.vox: no such folder"},
        {"saved vox/lantern.vox\n", "saved vox/lantern.vox"},
    };
    OMB_MessageLog log;
    for (const auto& c : cases) {
        log.Write(c.text, std::strlen(c.text));
        EXPECT_EQ(log.Status().text, c.status) << c.text;
    }
}

TEST(MessageLog, KeepsTheNewestLinesOfALongText) {
    OMB_MessageLog log(1000);
    std::string text;
    for (int i = 0; i < 1500; ++i) text += "line " + std::to_string(i) + "\n";
    log.Write(text.data(), text.size());
    ASSERT_EQ(log.Count(), 1000u);
    EXPECT_EQ(log.Line(0).text, "line 500");
    EXPECT_EQ(log.Newest().text, "line 1499");
    EXPECT_EQ(log.Serial(), 1500u);
}

}  // namespace
