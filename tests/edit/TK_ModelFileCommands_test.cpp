// The model file commands driven by console lines in a headless environment
// whose models folder is a fresh temporary folder: undo and redo restore whole
// models with their names (and renamed files), failures print their message
// and change nothing, a deleted model lands in the trash.
#include "edit/TK_ModelFileCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TK_FileCommandFixture.h"
#include "model/TK_VoxFile.h"
#include "model/TK_VoxScene.h"
#include "model/TK_VoxSceneFiles.h"

namespace {

namespace fs = std::filesystem;
using tk_test::ModelState;

// The shared file fixture, with a sub folder.
class ModelFileCommands : public tk_test::FileCommandTest {
protected:
    void SetUp() override {
        FileCommandTest::SetUp();
        fs::create_directories(dir / "sub");
    }
    void WriteBytes(const std::string& name, const tk_test::Bytes& bytes) const {
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    // The voxel count of a model file, -1 when it does not read.
    int CountIn(const std::string& name) const {
        TK_Model m;
        return ReadVox(m, Path(name).c_str()) ? m.voxels.Count() : -1;
    }
};

}  // namespace

TEST_F(ModelFileCommands, UndoOfOpenRestoresNamePaletteAndVoxels) {
    const ModelState file = ModelState::Of(WriteModel("other.vox"));
    env->model.palette[5] = PackRGBA(50, 60, 70);
    const ModelState before = State();

    ASSERT_TRUE(Run("open other.vox"));
    EXPECT_TRUE(State() == file && env->model.name == "other.vox");
    EXPECT_TRUE(GridMatches()) << "the lookup grid follows the new voxels";
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(State() == before && env->model.name == "mine.vox");
    EXPECT_TRUE(GridMatches());
    ASSERT_TRUE(Run("redo"));
    EXPECT_TRUE(State() == file && env->model.name == "other.vox");
}

// Each failure says why; none waits on a FIFO or reads a huge file.
TEST_F(ModelFileCommands, FailedOrCancelledOpenChangesNothingAndSaysWhy) {
    const char broken[] = {'V', 'O', 'X', ' ', char(150), 0, 0, 0, 'M', 'A', 'I', 'N'};
    std::ofstream(dir / "broken.vox", std::ios::binary).write(broken, sizeof broken);
    const char future[] = {'V', 'O', 'X', ' ', char(201), 0, 0, 0};
    std::ofstream(dir / "future.vox", std::ios::binary).write(future, sizeof future);
    std::ofstream(dir / "text.vox") << "hello";
    std::ofstream(dir / "locked.vox") << "VOX ";
    fs::permissions(dir / "locked.vox", fs::perms::none);
    std::ofstream(dir / "huge.vox") << "VOX ";
    fs::resize_file(dir / "huge.vox", uintmax_t(200) << 20);  // sparse: no disk used
    ASSERT_EQ(::mkfifo(Path("fifo.vox").c_str(), 0644), 0);
    fs::create_symlink("loop.vox", dir / "loop.vox");
    fs::create_directories(dir / "folder.vox");
    const std::pair<const char*, std::string> cases[] = {
        {"missing.vox", std::strerror(ENOENT)},
        {"fifo.vox", "not a regular file"},
        {"loop.vox", std::strerror(ELOOP)},
        {"folder.vox", std::strerror(EISDIR)},
        // The superuser reads any file.
        {"locked.vox", ::geteuid() == 0 ? "not a model file" : std::strerror(EACCES)},
        {"huge.vox", "too large"},
        {"future.vox", "unsupported version 201"},
        {"text.vox", "not a model file"},
        {"broken.vox", "damaged file (chunk def size)"},
    };
    for (const auto& [name, why] : cases)
        ExpectRefused(std::string("open ") + name, "[Error] failed to load model : " + Path(name) + " : " + why + "\n");
    ExpectRefused("open", "[Error] failed to get model name\n");  // the dialog gave no path
}

TEST_F(ModelFileCommands, SaveNamesTheModelAndUndoKeepsItBound) {
    env->model.name.clear();
    ExpectRefused("save", "[Error] failed to save model : \n");
    ExpectRefused("save nowhere/x.vox",
                  "failed to save model : " + Path("nowhere/x.vox") + " (No such file or directory)\n");
    EXPECT_NE(output.find("[Error] save: cannot write " + Path("nowhere/x.vox") + ": no such folder\n[Error] cmd"),
              std::string::npos) << output;

    ASSERT_TRUE(Run("save sub\\b.vox"));
    EXPECT_NE(output.find("saved " + Path("sub/b.vox") + "\n"), std::string::npos) << output;
    EXPECT_EQ(env->model.name, "b.vox");
    EXPECT_EQ(CountIn("sub/b.vox"), 2);
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(env->model.name, "b.vox") << "the model stays bound to the file it was written to";
    EXPECT_TRUE(fs::exists(dir / "sub/b.vox")) << "the written file stays";
    EXPECT_FALSE(Run("save as")) << "\"save as\" asks (no dialog without a window); it never writes \"as\"";
}

// The model used to be saved under its name in the models folder, leaving
// the file it came from untouched, and reloaded by every "open" of it.
// Unsaved means: differs from the file. Undo and redo back to the file's
// state are clean (the save's own step changes nothing); scene settings are
// part of the file.
TEST_F(ModelFileCommands, TheUnsavedMarkFollowsTheFile) {
    WriteModel("a.vox");
    const struct {
        const char* line;
        bool unsaved;
    } steps[] = {
        {"open a.vox", false}, {"zero", true},  {"undo", false}, {"redo", true},
        {"save", false},       {"undo | undo", true},  {"redo | redo", false}, {"set pt_sun_p 30", true},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(Run(step.line)) << step.line;
        EXPECT_EQ(env->unsaved, step.unsaved) << step.line;
    }
}

TEST_F(ModelFileCommands, SaveWritesBackWhereTheModelCameFrom) {
    WriteModel("sub/a.vox");
    WriteModel("a.vox");
    const std::string path = Path("sub/a.vox");
    ASSERT_TRUE(Run("open " + path + " | open " + path));
    EXPECT_EQ(History(), 1u) << "the second open does nothing";
    Add(1, 0, 0, 6);
    ASSERT_TRUE(Run("save"));
    EXPECT_EQ(env->model.name, "a.vox");
    EXPECT_EQ(CountIn("sub/a.vox"), 3);
    EXPECT_EQ(CountIn("a.vox"), 2) << "the models folder's a.vox is another model";
    ASSERT_TRUE(Run("save other.vox | undo"));
    EXPECT_EQ(env->model.path, Path("other.vox")) << "undo never rebinds the model to the old file";
}

TEST_F(ModelFileCommands, NewFillsTheBoxOnce) {
    const ModelState before = State();
    ASSERT_TRUE(Run("new"));
    EXPECT_EQ(env->model.name, "");
    EXPECT_EQ(tk_test::CountColor(env->model, 5), 4 * 3 * 2);
    EXPECT_TRUE(GridMatches());
    ExpectRefused("new", "[Error] cmd failed : TK_CMD_NewModel\n");
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(State() == before && env->model.name == "mine.vox");

    FillBox(5);
    EXPECT_TRUE(Run("new")) << "a named full box still becomes a new, unnamed one";
    EXPECT_EQ(env->model.name, "");
}

TEST_F(ModelFileCommands, DupRenamesTheModelAndNameItsFile) {
    Expect("dup b.vox", true, "");
    ASSERT_TRUE(Run("save"));
    EXPECT_TRUE(fs::exists(dir / "b.vox") && !fs::exists(dir / "mine.vox"));
    ASSERT_TRUE(Run("undo") && Run("undo"));
    EXPECT_EQ(env->model.name, "mine.vox");
    ExpectRefused("dup", "[Error] failed to duplicate model : new name is empty\n");
    ExpectRefused("dup ../config/config.txt",
                  "[Error] failed to duplicate model : a name, not a path : ../config/config.txt\n");

    ASSERT_TRUE(Run("save"));
    Expect("name c.vox", true, "");
    EXPECT_TRUE(fs::exists(dir / "c.vox") && !fs::exists(dir / "mine.vox"));
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(fs::exists(dir / "mine.vox") && env->model.name == "mine.vox");
    ASSERT_TRUE(Run("redo"));
    EXPECT_EQ(env->model.name, "c.vox");
    // The file moved away behind the editor's back: undo warns, the name follows.
    fs::rename(dir / "c.vox", dir / "elsewhere.vox");
    Expect("undo", true, "[Warning] failed to undo rename\n");
    EXPECT_EQ(env->model.name, "mine.vox");
}

TEST_F(ModelFileCommands, NameRefusals) {
    ASSERT_TRUE(Run("save"));
    WriteModel("taken.vox");
    const auto takenSize = fs::file_size(dir / "taken.vox");
    ExpectRefused("name", "[Error] failed to rename model : new name is empty\n");
    ExpectRefused("name /other/dir/x.vox",
                  "[Error] failed to rename model : a name, not a path (\"save PATH\" writes elsewhere) : /other/dir/x.vox\n");
    ExpectRefused("name taken.vox",
                  "[Error] failed to rename model from : " + Path("mine.vox") + " to : " + Path("taken.vox") + " : a file of that name exists\n");
    EXPECT_EQ(fs::file_size(dir / "taken.vox"), takenSize) << "an existing file is never replaced";
    env->model.name = "gone/a.vox";
    env->model.path.clear();
    ExpectRefused("name c.vox", "[Error] failed to rename model : src folder is unknown : gone/a.vox\n");
    env->model.name.clear();
    ASSERT_TRUE(Run("name fresh.vox")) << "a model without a file just takes the name";
    EXPECT_EQ(env->model.name, "fresh.vox");
}

TEST_F(ModelFileCommands, DelMovesTheFileToTheTrash) {
    ::setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
    ASSERT_TRUE(Run("save"));
    Expect("del", true, "[Log] model moved to the trash : " + Path("data/Trash/files/mine.vox") + "\n");
    EXPECT_FALSE(fs::exists(dir / "mine.vox"));
    ExpectRefused("del", "[Error] failed to delete model : mine.vox\n");
    // Only a model file goes; the trash record names it without "..".
    std::ofstream(Path("keep.txt")) << "not a model";
    env->model.path = Path("sub/../keep.txt");
    ExpectRefused("del", "[Error] failed to delete model : not a model file : " + Path("keep.txt") + "\n");
    EXPECT_TRUE(fs::exists(dir / "keep.txt"));
    WriteModel("other.vox");
    env->model.path = Path("sub/../other.vox");
    ASSERT_TRUE(Run("del"));
    const std::string record = Text("data/Trash/info/other.vox.trashinfo");
    EXPECT_NE(record.find("Path=" + Path("other.vox") + "\n"), std::string::npos) << record;
    env->model.path.clear();
    env->model.name.clear();
    ExpectRefused("del", "[Error] failed to delete model : name is empty\n");
    ::unsetenv("XDG_DATA_HOME");
}

TEST_F(ModelFileCommands, PatternLoadsAndTellsTheWindow) {
    const ModelState file = ModelState::Of(WriteModel("pat.vox", 12));
    env->window = &window;
    Expect("ipatt pat.vox", true, "");
    EXPECT_TRUE(ModelState::Of(env->patternModel) == file);
    EXPECT_EQ(window.attributes, (decltype(window.attributes){{"file_patt", "selected", "pat.vox"}}));
    ExpectRefused("ipatt missing.vox", "[Error] failed to load pattern model\n");
    ExpectRefused("ipatt", "[Error] failed to get pattern name\n");
    EXPECT_EQ(env->patternModel.voxels.Count(), 0) << "a failed load empties the pattern";
    env->window = nullptr;
}

// Materials and scene settings travel with the file; a file without them
// brings the defaults, and undo gives the previous model its own back.
TEST_F(ModelFileCommands, SaveAndOpenCarryMaterialsAndSceneSettings) {
    WriteModel("plain.vox");
    const int colour = ColorAt(0, 0, 0);
    ASSERT_TRUE(Run("index " + std::to_string(colour) + " | set pt_mod 1 | set pt_mtl emit 1 | set pt_sun_p 20"));
    ASSERT_TRUE(Run("save look.vox"));

    ASSERT_TRUE(Run("open plain.vox"));
    EXPECT_EQ(env->materials[colour].type, 0) << "no look in the file: the defaults";
    EXPECT_EQ(env->settings.ptSunPitch, TK_Settings().ptSunPitch);
    ASSERT_TRUE(Run("open look.vox"));
    EXPECT_EQ(env->materials[colour].type, 3);
    EXPECT_EQ(env->settings.ptSunPitch, 20);
    ASSERT_TRUE(Run("undo"));
    EXPECT_EQ(env->materials[colour].type, 0);
    ASSERT_TRUE(Run("redo"));
    EXPECT_EQ(env->materials[colour].type, 3);
}

// A scene keeps every chunk through "open" and "save"; "open #N" edits
// another of its models once the edited one is saved; "swap" takes the other
// models' voxels and the MATL chunks along with the colours.
TEST_F(ModelFileCommands, ScenesKeepEverythingAndSwitchModels) {
    const tk_test::Bytes scene = tk_test::SceneFile();
    WriteBytes("scene.vox", scene);
    ASSERT_TRUE(Run("open scene.vox"));
    EXPECT_NE(output.find("model 1 of 3 (house)"), std::string::npos) << output;
    ASSERT_TRUE(Run("save"));
    EXPECT_EQ(tk_test::FileText(Path("scene.vox")), std::string(scene.begin(), scene.end()));

    ASSERT_TRUE(Run("swap 3 5"));
    ExpectRefused("open #2", "[Error] open : model 1 of 3 (house) has unsaved changes");
    ExpectRefused("open #4", "[Error] open : no model 4 in scene.vox, which holds 3");
    ASSERT_TRUE(Run("save | open #2"));
    EXPECT_NE(output.find("model 2 of 3 (tree)"), std::string::npos) << output;
    EXPECT_EQ(Size(), (std::vector<int>{3, 1, 1}));
    EXPECT_TRUE(ColorAt(0, 0, 0) == 3 && ColorAt(2, 0, 0) == 7) << "the tree's colour 5 follows the swap";
    EXPECT_EQ(env->materials[5].type, TK_MATERIAL_METAL) << "and so does the metal";
    Add(1, 0, 0, 9);
    ASSERT_TRUE(Run("save"));
    TK_Model house, tree;
    ASSERT_TRUE(ReadVox(house, Path("scene.vox").c_str()) && TK_VoxKeptModel(*house.kept, 1, tree));
    EXPECT_TRUE(house.voxels.Count() == 2 && house.voxels[0].colorIndex == 5);
    EXPECT_EQ(tree.voxels.Count(), 3) << "the tree saved into its own place";
    ASSERT_TRUE(Run("undo | undo"));
    EXPECT_EQ(Size(), (std::vector<int>{2, 2, 2})) << "undo goes back to the house";
}

// A model larger than fits is shown cut, and the cut copy never replaces
// its file; saved under another name it is written.
TEST_F(ModelFileCommands, ACutModelNeverOverwritesItsFile) {
    const tk_test::Bytes big =
        tk_test::VoxOf({tk_test::SizeChunk(200, 3, 3), tk_test::XyziChunk({{0, 0, 0, 1}, {199, 2, 2, 2}})});
    WriteBytes("big.vox", big);
    ASSERT_TRUE(Run("open big.vox"));
    EXPECT_NE(output.find("holds a model of 200 x 3 x 3 cells"), std::string::npos) << output;
    const std::string refused = "[Error] failed to save model : " + Path("big.vox") +
                                " : the model was cut from 200 x 3 x 3 cells to fit: save it under another name\n";
    ExpectRefused("save", refused);
    ExpectRefused("save big.vox", refused);
    EXPECT_EQ(tk_test::FileText(Path("big.vox")), std::string(big.begin(), big.end()));
    ASSERT_TRUE(Run("save small.vox"));
    EXPECT_EQ(CountIn("small.vox"), 1);
}
