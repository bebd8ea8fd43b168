// Converting a folder from the command line: build/tarsk --headless with
// "odir FORMAT FOLDER OUT" writes one file per model, prints each, and
// exits with 1 when any model failed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TK_AppTest.h"
#include "model/TK_VoxFile.h"
#include "plugins/TK_Plugin_QB.h"

namespace {

namespace fs = std::filesystem;

TEST(ExportDir, ConvertsEveryModelOfAFolder) {
    const fs::path dir = fs::temp_directory_path() / ("tk_odir_" + std::to_string(::getpid()));
    const std::string in = (dir / "in").string(), out = (dir / "out").string();
    fs::create_directories(in);
    TK_Model m;
    m.size[0] = 4, m.size[1] = m.size[2] = 2;
    m.palette = DefaultPalette();
    for (int x = 0; x < 4; ++x) m.voxels.Add(Voxel{uint8_t(x), 1, 0, uint8_t(10 + x)});
    ASSERT_TRUE(WriteVox(m, (in + "/m1.vox").c_str()) && WriteVox(m, (in + "/m2.vox").c_str()));

    TK_ProcessResult r = RunTarsk({"--headless", "-c", "odir qb " + in + " " + out});
    EXPECT_EQ(r.out, "cmd : odir : qb " + in + " " + out + "\n[Export] " + out + "/m1.qb\n[Export] " + out + "/m2.qb\n");
    EXPECT_EQ(r.status, 0);
    TK_Model converted;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(TK_Plugin_QB().LoadModel(out + "/m2.qb", "", converted));
    EXPECT_NE(testing::internal::GetCapturedStdout().find(" : m2 : "), std::string::npos) << "the matrix name";
    ASSERT_EQ(converted.voxels.Count(), 4);
    for (const Voxel& v : converted.voxels) EXPECT_EQ(converted.palette[v.colorIndex], m.palette[10 + v.x]);

    std::ofstream(in + "/bad.vox") << "garbage";
    r = RunTarsk({"--headless", "-c", "odir xraw " + in + " " + out});
    EXPECT_NE(r.out.find("\n[Export] failed to load model : " + in + "/bad.vox\n[Export] " + out + "/m1.xraw\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.status, 1) << "a model that failed fails the run";
    EXPECT_TRUE(fs::exists(out + "/m2.xraw")) << "the others still convert";
    fs::remove_all(dir);
}

}  // namespace
