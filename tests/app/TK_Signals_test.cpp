// Stopping: the batch modes end within a second of SIGINT or SIGTERM with
// the conventional status (a render keeps the samples it finished, a
// turntable its frames, and each says what it wrote), and a
// voxel shader that never ends fails at its time limit, leaving the model
// and the history as they were.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"

namespace {

// The endless shader in the program's shader folder under a name of this
// process's own; removed with the object. Run over the largest box.
struct LoopShader {
    const std::string name = "test_loop_" + std::to_string(::getpid());
    const std::string path = std::string(TK_BUILD_DIR) + "/shader/" + name + ".txt";
    LoopShader() { std::ofstream(path) << kEndlessShader; }
    ~LoopShader() { std::remove(path.c_str()); }
};

std::string Frame(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "f_%04d.png", i);
    return name;
}

TEST(Signals, BatchModesStopOnASignalOrAtTheShadersLimit) {
    LoopShader loop;
    tk_test::TempFolder folder("tarsk_signals");
    const std::string png = folder.Path("render.png");
    const std::vector<std::string> endless = {"--headless", "-q", "-c", "size 126", "-c", "xs " + loop.name};
    // arguments, signal, exit status
    const std::tuple<std::vector<std::string>, int, int> cases[] = {
        {endless, SIGTERM, 143},
        {endless, SIGINT, 130},
        {{"--render", png, "--size", "64x48", "--spp", "1000000"}, SIGTERM, 143},
    };
    const std::string err = folder.Path("err.txt");
    for (const auto& [args, signal, status] : cases) {
        const pid_t pid = SpawnTarsk(args, folder.Path("out.txt"), err);
        ASSERT_GT(pid, 0);
        // Well into the work: the worker's shader, or the render's first
        // samples done (a busy machine may take a while to start).
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        for (int wait = 0; wait < 100 && args[0] == "--render" && ReadTestFile(err).empty(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(pid, signal);
        double seconds = 0;
        EXPECT_EQ(WaitExit(pid, 5, seconds), status) << args[0];
        // A second, and a little for a machine shared with other work.
        EXPECT_LT(seconds, 1.3 * tk_test::kSlowBuild) << args[0];
    }
    // The render kept what it had and says how many samples that is.
    TK_TestImage image;
    EXPECT_TRUE(ReadTestPNG(png, image));
    EXPECT_NE(ReadTestFile(err).find("samples; " + png + " holds"), std::string::npos);
    // Left alone, the shader fails at its time limit and leaves no history
    // step: the second undo fails.
    std::vector<std::string> limited = endless;
    limited.insert(limited.end(), {"-c", "undo", "-c", "undo"});
    double seconds = 0;
    // The limit is 5 s of the shader's own time; start-up under the
    // sanitizers beside other tests can take as long again.
    EXPECT_EQ(WaitExit(SpawnTarsk(limited, folder.Path("out.txt"), err), 15, seconds), 1);
    const std::string limit = "[Error] xs : " + loop.name + ".txt ran past the time limit of 5 s\n";
    EXPECT_EQ(ReadTestFile(folder.Path("out.txt")),
              limit + "[Error] cmd failed : TK_CMD_VoxelShader\n"
                      "[Error] undo: nothing to undo\n[Error] cmd failed : TK_CMD_Undo\n");
}

// A turntable stopped half-way says how many frames it wrote, and those are
// there, each whole.
TEST(Signals, AStoppedTurntableSaysWhatItWrote) {
    tk_test::TempFolder folder("tarsk_turn");
    const std::string series = folder.Path("f_%04d.png"), err = folder.Path("err.txt");
    const pid_t pid = SpawnTarsk({"--snap", series, "--turntable", "3600", "--size", "16x16", "-q"},
                                 folder.Path("out.txt"), err);
    ASSERT_GT(pid, 0);
    for (int wait = 0; wait < 200 && !std::ifstream(folder.Path("f_0001.png")); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(pid, SIGINT);
    double seconds = 0;
    ASSERT_EQ(WaitExit(pid, 5, seconds), 130);
    const std::string said = ReadTestFile(err), head = "snap : stopped; wrote ";
    ASSERT_EQ(said.rfind(head, 0), 0u) << said;
    const int frames = std::atoi(said.c_str() + head.size());
    EXPECT_EQ(said, head + std::to_string(frames) + " of 3600 frames to " + series + "\n");
    TK_TestImage image;
    for (int i = 0; i < frames; ++i) EXPECT_TRUE(ReadTestPNG(folder.Path(Frame(i)), image)) << i;
    EXPECT_FALSE(std::ifstream(folder.Path(Frame(frames))));
}

}  // namespace
