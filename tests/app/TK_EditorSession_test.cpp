// A whole editor session under a virtual X server (Xvfb), driven by
// xdotool like a user, in a copy of the program in a folder of its own. The
// editor starts on a model that does not exist, takes a line typed into the
// command field and is killed past the autosave delay. Started again, it
// brings the edit back from the autosave, takes a second line, a left drag
// across the scene (the start brush carves), Ctrl+Z and an export through
// the toolkit's own file dialog, and is hung up on, which the platform layer
// turns into a close (no window manager runs under Xvfb). The backup file
// tells what happened. Missing tools fail the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

namespace fs = std::filesystem;

// The session, run as `sh session.sh PROGRAM FOLDER`. It starts its own X
// server, which picks a free display itself (-displayfd): other X servers
// starting at the same moment, in other test runs, cannot take it.
// wait_window leaves the editor window's id in $wid.
const char* const kSession = R"SH(#!/bin/sh
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$2/display" 2> "$2/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
trap 'exit 124' INT TERM
for i in $(seq 1 100); do
  [ -s "$2/display" ] && break
  sleep 0.1
done
export DISPLAY=:$(cat "$2/display")
# The editor needs the X server, whatever driver other tests of this process chose.
unset SDL_VIDEODRIVER
# In the sanitizer build, the leak check at the editor's exit stops every
# thread, the X driver's and Mesa's included, and now and then crashes doing
# so ("Tracer caught signal 11"), which aborts a clean exit. Address and
# undefined-behaviour checks stay on; the editor's leaks are checked by the
# window tests that run it in the test process.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
wait_window() {
  for i in $(seq 1 200); do
    wid=$(xdotool search --onlyvisible --name "Tarsk" 2>/dev/null | head -1)
    [ -n "$wid" ] && return 0
    sleep 0.2
  done
  return 1
}
# Keys reach only the window that has the X focus: give it and wait until
# the server says so (a busy machine maps and focuses late).
focus_window() {
  for i in $(seq 1 100); do
    xdotool windowfocus --sync "$wid" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$wid" ] && return 0
    sleep 0.1
  done
  return 1
}
"$1" "$2/nosuch.vox" > "$2/out1.log" 2> "$2/err1.log" &
pid=$!
wait_window || { kill -KILL $pid; exit 3; }
focus_window
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
"$1" > "$2/out.log" 2> "$2/err.log" &
pid=$!
wait_window || { kill -KILL $pid; wait $pid; echo "second session: status $?"; cat "$2/out.log" "$2/err.log"; exit 4; }
# The window may show before the recovery is done: wait for its line.
for i in $(seq 1 200); do
  grep -q "recovered unsaved work" "$2/err.log" 2>/dev/null && break
  sleep 0.1
done
focus_window
xdotool key Tab type "size 30 31 32"
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
kill -HUP $pid
wait $pid
echo $? > "$2/status"
)SH";

TEST(EditorSession, CrashRecoveryTypeDragUndoExportAndClose) {
    ASSERT_EQ(std::system("{ command -v Xvfb && command -v xdotool; } >/dev/null"), 0)
        << "install xvfb and xdotool (scripts/bootstrap)";
    // The program and its runtime files are copied into a folder of their
    // own: the editor's quit backup and recovery files must be its own.
    tk_test::TempFolder folder("editor_session");
    const fs::path program = folder.Dir() / "program", cache = program / "cache";
    fs::create_directories(cache);
    fs::copy_file(std::string(TK_BUILD_DIR) + "/tarsk", program / "tarsk");
    fs::copy(std::string(TK_BUILD_DIR) + "/config", program / "config", fs::copy_options::recursive);
    std::ofstream(folder.Path("session.sh")) << kSession;
    const std::string command = "timeout 150 sh " + folder.Path("session.sh") + " " + (program / "tarsk").string() +
                                " " + folder.Dir().string();
    ASSERT_EQ(std::system(command.c_str()), 0)
        << ReadTestFile(folder.Path("xvfb.log")) << ReadTestFile(folder.Path("err1.log"))
        << ReadTestFile(folder.Path("err.log"));
    const std::string log = ReadTestFile(folder.Path("out.log")), said = ReadTestFile(folder.Path("err.log"));
    EXPECT_EQ(ReadTestFile(folder.Path("status")), "0\n") << "a hang-up closes the editor as a window close does\n"
                                                        << said;
    // Standard error, unbuffered, outlives the kill.
    const std::string first = ReadTestFile(folder.Path("err1.log"));
    EXPECT_NE(first.find("cannot open " + folder.Path("nosuch.vox")), std::string::npos) << first;
    EXPECT_NE(said.find("recovered unsaved work from " + (cache / "autosave-").string()), std::string::npos) << said;
    TK_Model model;
    ASSERT_TRUE(ReadVox(model, (cache / "backup.vox").c_str())) << log;
    // Both lines ran; Ctrl+Z took back the drag's carving, not the second
    // line: so the drag made exactly one history step.
    EXPECT_EQ(model.size[0], 30);
    EXPECT_EQ(model.size[2], 32);
    EXPECT_EQ(model.voxels.Count(), 20 * 21 * 22) << log;  // growing the box adds no voxels
    EXPECT_TRUE(fs::exists(folder.Path("dialog.qb"))) << log;
    // The clean exit took the recovery file with it.
    for (const auto& entry : fs::directory_iterator(cache))
        EXPECT_EQ(entry.path().filename().string().rfind("autosave-", 0), std::string::npos) << entry.path();
}

}  // namespace
