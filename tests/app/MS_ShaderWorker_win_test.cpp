// The shader worker on Windows: a job's cells come back as the shader made
// them (the job and the answer crossing the pipe intact, a box large enough
// to take many reads and writes), and a shader that never ends fails at the
// time limit, after which the next job starts a new worker.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "TK_AppTest.h"
#include "app/MS_ShaderWorker.h"

namespace {

// Small whole numbers, which every GPU computes exactly: the same cells on
// every platform. Each cell's answer depends on what it held, so a cell
// garbled on the way there shows as well as one garbled on the way back.
const char* const kPatternShader =
    "float map( vec3 v ) {\n"
    "    return mod( voxel( v ) + v.x + 3.0 * v.y + 5.0 * v.z, 11.0 ) + iArgs[0];\n"
    "}\n";

struct Box {
    int size[3];
    std::vector<uint8_t> cells;
    explicit Box(int side) : size{side, side, side}, cells(size_t(side) * side * side) {
        for (size_t i = 0; i < cells.size(); ++i) cells[i] = uint8_t(i % 7 + 1);
    }
    TK_VoxelShaderJob Job(const char* name, const char* source) const {
        TK_VoxelShaderJob job;
        job.fileName = name;
        job.source = source;
        std::copy(size, size + 3, job.size);
        job.cells = cells.data();
        job.numVoxels = int(cells.size());
        job.args[0] = 1;
        return job;
    }
};

void ExpectPattern(MS_ShaderWorker& worker, const Box& box) {
    std::vector<uint8_t> result(box.cells.size());
    testing::internal::CaptureStdout();
    const bool ok = worker.Evaluate(box.Job("pattern.txt", kPatternShader), result.data());
    const std::string said = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << said;
    int wrong = 0;
    size_t i = 0;
    for (int z = 0; z < box.size[2]; ++z)
        for (int y = 0; y < box.size[1]; ++y)
            for (int x = 0; x < box.size[0]; ++x, ++i)
                wrong += result[i] != (box.cells[i] + x + 3 * y + 5 * z) % 11 + 1;
    EXPECT_EQ(wrong, 0);
}

TEST(ShaderWorkerWindows, AnswersJobsAndFailsAnEndlessOneAtTheLimit) {
    MS_ShaderWorker worker(std::string(TK_BUILD_DIR) + "/tarsk", 1.0);
    const Box box(126);  // the largest: about 2 MB each way
    ExpectPattern(worker, box);

    std::vector<uint8_t> result(box.cells.size());
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(worker.Evaluate(box.Job("loop.txt", kEndlessShader), result.data()));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
    EXPECT_NE(said.find("[Error] xs : loop.txt ran past the time limit of 1 s\n"), std::string::npos) << said;

    // The killed worker is replaced.
    ExpectPattern(worker, box);
}

}  // namespace
