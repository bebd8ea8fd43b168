// One whole editor session under a virtual X server (xvfb-run), driven by
// xdotool like a user: two lines typed into the command field, a left drag
// across the scene (the start brush carves), Ctrl+Z, then the window closes (SIGTERM, which the
// platform layer turns into a close: no window manager runs under Xvfb).
// The backup file tells what happened. Missing tools fail the test.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

const char* const kSession = R"(#!/bin/sh
# The editor needs the X server, whatever driver other tests of this process chose.
unset SDL_VIDEODRIVER
"$1" > "$2/out.log" 2>&1 &
pid=$!
wid=
for i in $(seq 1 100); do
  wid=$(xdotool search --onlyvisible --name "Tarsk" 2>/dev/null | head -1)
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || { kill -TERM $pid; exit 3; }
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
kill -TERM $pid
wait $pid
echo $? > "$2/status"
)";

bool HaveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0; }

TEST(EditorSession, TypeDragUndoAndClose) {
    ASSERT_TRUE(HaveTool("xvfb-run") && HaveTool("xdotool") && HaveTool("xauth"))
        << "install xvfb, xauth and xdotool (scripts/bootstrap)";
    tk_test::TempFolder folder("editor_session");
    const std::string script = folder.Path("session.sh");
    std::ofstream(script) << kSession;
    const std::string backup = std::string(TK_BUILD_DIR) + "/cache/backup.vox";
    std::filesystem::remove(backup);
    // A display number of its own: other sessions may run xvfb-run too.
    const std::string display = std::to_string(100 + ::getpid() % 800);
    const std::string command = "timeout 60 xvfb-run -a -n " + display + " -s '-screen 0 1280x800x24' sh " + script + " " +
                                TK_BUILD_DIR + "/tarsk " + folder.Dir().string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream status(folder.Path("status"));
    int code = -1;
    status >> code;
    EXPECT_EQ(code, 0);
    TK_Model model;
    ASSERT_TRUE(ReadVox(model, backup.c_str()));
    // Both lines ran; Ctrl+Z took back the drag's carving, not the second
    // line: so the drag made exactly one history step.
    EXPECT_EQ(model.size[0], 30);
    EXPECT_EQ(model.size[2], 32);
    EXPECT_EQ(model.voxels.Count(), size_t(20 * 21 * 22));  // growing the box adds no voxels
}

}  // namespace
