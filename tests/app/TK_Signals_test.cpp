// Stopping: the batch modes end within a second of SIGINT or SIGTERM with
// the conventional status (a render keeps the samples it finished), and a
// voxel shader that never ends fails at its time limit, leaving the model
// and the history as they were.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
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
        EXPECT_LT(seconds, 1.3) << args[0];
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
    EXPECT_EQ(WaitExit(SpawnTarsk(limited, folder.Path("out.txt"), err), 8, seconds), 1);
    const std::string limit = "[Error] xs : " + loop.name + ".txt ran past the time limit of 5 s\n";
    EXPECT_EQ(ReadTestFile(folder.Path("out.txt")),
              limit + "[Error] cmd failed : TK_CMD_VoxelShader\n[Error] cmd failed : TK_CMD_Undo\n");
}

}  // namespace
