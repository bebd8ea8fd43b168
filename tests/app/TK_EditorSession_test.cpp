// Whole editor sessions under a virtual X server (xvfb-run), driven by
// xdotool like a user. One starts on a model that does not exist, types two
// lines into the command field, drags across the scene (the start brush
// carves), presses Ctrl+Z, exports through the toolkit's own file dialog and
// closes the window (SIGTERM, which the platform layer turns into a close:
// no window manager runs under Xvfb); the backup file tells what happened.
// Another is killed after an edit and started again: the autosave brings
// the edit back. Missing tools fail the test. Each session runs a copy of
// the program in a folder of its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

// What every session script starts with: the X server's editor, and a wait
// for its window that leaves the window's id in $wid.
const char* const kPrelude = R"(#!/bin/sh
# The editor needs the X server, whatever driver other tests of this process chose.
unset SDL_VIDEODRIVER
wait_window() {
  for i in $(seq 1 200); do
    wid=$(xdotool search --onlyvisible --name "Tarsk" 2>/dev/null | head -1)
    [ -n "$wid" ] && return 0
    sleep 0.2
  done
  return 1
}
)";

const char* const kSession = R"(
"$1" "$2/nosuch.vox" > "$2/out.log" 2> "$2/err.log" &
pid=$!
wait_window || { kill -TERM $pid; exit 3; }
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key Tab type "size 20 21 22"
xdotool key Tab key Tab type "size 30 31 32"
xdotool key Tab
# Pauses between the steps let the editor draw and pick, as a hand would.
sleep 0.5
xdotool mousemove --window "$wid" 600 400
sleep 0.3
xdotool mousedown 1
sleep 0.2
xdotool mousemove --window "$wid" 640 425
sleep 0.2
xdotool mousemove --window "$wid" 680 450
sleep 0.2
xdotool mouseup 1
sleep 0.3
xdotool key ctrl+z
sleep 0.5
# "o qb" without a path opens the own dialog with the keyboard in its name
# field; a typed absolute name and Enter export there.
xdotool key Tab type "o qb"
xdotool key Return
sleep 0.5
xdotool type "$2/dialog"
xdotool key Return
sleep 0.5
kill -TERM $pid
wait $pid
echo $? > "$2/status"
)";

// Session one types an edit, waits past the autosave delay and is killed;
// session two (same program folder) starts, is hung up on, and exits.
const char* const kCrash = R"(
"$1" > "$2/out1.log" 2>&1 &
pid=$!
wait_window || { kill -KILL $pid; exit 3; }
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key Tab type "size 20 21 22"
xdotool key Tab
# Past the autosave delay: the recovery file is there (it is renamed into
# place whole), however slow the machine.
for i in $(seq 1 300); do
  ls "${1%/*}"/cache/autosave-*.vox >/dev/null 2>&1 && break
  sleep 0.2
done
kill -KILL $pid
wait $pid
"$1" > "$2/out2.log" 2> "$2/err2.log" &
pid=$!
wait_window || { kill -KILL $pid; wait $pid; echo "second session: status $?"; cat "$2/out2.log" "$2/err2.log"; exit 4; }
sleep 0.5
kill -HUP $pid
wait $pid
echo $? > "$2/status"
)";

bool HaveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0; }

// Runs `body` under xvfb-run against a program folder of its own, "program"
// in `folder` (a copy of the program and its runtime files): sessions run
// side by side, and each editor's quit backup and recovery files must be its
// own. True when the script ran to its end.
bool RunSession(const tk_test::TempFolder& folder, const char* body, int seconds) {
    namespace fs = std::filesystem;
    const fs::path program = folder.Dir() / "program";
    fs::create_directories(program / "cache");
    fs::copy_file(std::string(TK_BUILD_DIR) + "/tarsk", program / "tarsk");
    fs::copy(std::string(TK_BUILD_DIR) + "/config", program / "config", fs::copy_options::recursive);
    const std::string script = folder.Path("session.sh");
    std::ofstream(script) << kPrelude << body;
    // xvfb-run -a takes the first free display from -n on: sessions starting
    // at the same moment look from different places.
    const std::string display = std::to_string(100 + std::hash<std::string>{}(folder.Dir().string()) % 800);
    const std::string command = "timeout " + std::to_string(seconds) + " xvfb-run -a -n " + display +
                                " -s '-screen 0 1280x800x24' sh " + script + " " + (program / "tarsk").string() + " " +
                                folder.Dir().string();
    return HaveTool("xvfb-run") && HaveTool("xdotool") && HaveTool("xauth") && std::system(command.c_str()) == 0;
}

TEST(EditorSession, TypeDragUndoExportAndClose) {
    ASSERT_TRUE(HaveTool("xvfb-run") && HaveTool("xdotool") && HaveTool("xauth"))
        << "install xvfb, xauth and xdotool (scripts/bootstrap)";
    tk_test::TempFolder folder("editor_session");
    ASSERT_TRUE(RunSession(folder, kSession, 60)) << ReadTestFile(folder.Path("out.log"));
    EXPECT_EQ(ReadTestFile(folder.Path("status")), "0\n");
    TK_Model model;
    const std::string log = ReadTestFile(folder.Path("out.log"));
    ASSERT_TRUE(ReadVox(model, folder.Path("program/cache/backup.vox").c_str())) << log;
    // Both lines ran; Ctrl+Z took back the drag's carving, not the second
    // line: so the drag made exactly one history step.
    EXPECT_EQ(model.size[0], 30);
    EXPECT_EQ(model.size[2], 32);
    EXPECT_EQ(model.voxels.Count(), size_t(20 * 21 * 22)) << log;  // growing the box adds no voxels
    EXPECT_NE(ReadTestFile(folder.Path("err.log")).find("cannot open " + folder.Path("nosuch.vox")), std::string::npos);
    EXPECT_NE(log.find("[Error] failed to load model"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::exists(folder.Path("dialog.qb"))) << log;
}

TEST(EditorSession, KilledSessionComesBackOnTheNextStart) {
    tk_test::TempFolder folder("editor_crash");
    const std::filesystem::path cache = folder.Dir() / "program/cache";
    ASSERT_TRUE(RunSession(folder, kCrash, 90)) << ReadTestFile(folder.Path("out1.log"));
    EXPECT_EQ(ReadTestFile(folder.Path("status")), "0\n") << "a hang-up closes the editor as a window close does";
    const std::string said = ReadTestFile(folder.Path("err2.log"));
    EXPECT_NE(said.find("recovered unsaved work from " + (cache / "autosave-").string()), std::string::npos) << said;
    TK_Model model;
    ASSERT_TRUE(ReadVox(model, (cache / "backup.vox").c_str()));
    EXPECT_EQ(model.size[0], 20);
    EXPECT_EQ(model.size[2], 22);
    // The clean exit took the recovery file with it.
    for (const auto& entry : std::filesystem::directory_iterator(cache))
        EXPECT_EQ(entry.path().filename().string().rfind("autosave-", 0), std::string::npos) << entry.path();
}

}  // namespace
