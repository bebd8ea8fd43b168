// Converting a folder from the command line: a model that fails makes the
// run exit with 1, and its failure line survives "-q". (What is written is
// the edit tests' business.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TK_AppTest.h"
#include "TK_TestSupport.h"
#include "model/TK_VoxFile.h"

namespace {

namespace fs = std::filesystem;

TEST(ExportDir, AFailedModelFailsTheRunAndShowsUnderQuiet) {
    const tk_test::TempFolder folder("tk_odir");
    const std::string in = folder.Path("in"), out = folder.Path("out");
    fs::create_directories(in);
    const TK_Model m = tk_test::MakeModel(2, 2, 2, {{1, 1, 0, 10}});
    ASSERT_TRUE(WriteVox(m, (in + "/m1.vox").c_str()));
    std::ofstream(in + "/bad.vox") << "garbage";
    const TK_ProcessResult r = RunTarsk({"--headless", "-q", "-c", "odir xraw " + in + " " + out});
    EXPECT_EQ(r.out, "[Error] [Export] failed to load model : " + in + "/bad.vox\n[Error] cmd failed : TK_CMD_ExportDir\n");
    EXPECT_EQ(r.status, 1) << "a model that failed fails the run";
    EXPECT_TRUE(fs::exists(out + "/m1.xraw")) << "the others still convert";
}

}  // namespace
