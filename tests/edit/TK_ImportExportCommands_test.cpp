// "i", "o", "odir", "ipal", "opal" and "bake" through console lines: what each
// writes and reads, every message, undo of the two that change the model,
// and failures that leave model, history and files alone.
#include "edit/TK_ImportExportCommands.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TK_FileCommandFixture.h"
#include "model/TK_VoxFile.h"
#include "plugins/TK_Plugin_QB.h"
#include "plugins/TK_Plugin_RAW.h"
#include "plugins/TK_Plugin_SLAB.h"

namespace {

namespace fs = std::filesystem;
using ImportExport = tk_test::FileCommandTest;
using tk_test::ModelState;

}  // namespace

TEST_F(ImportExport, ImportReplacesTheModelUntilUndo) {
    TK_Model other = tk_test::MakeModel(2, 2, 2, {{1, 1, 1, 3}});
    other.palette[3] = PackRGBA(9, 9, 9);
    ASSERT_TRUE(TK_Plugin_QB().SaveModel(Path("Ship.QB"), "", other));
    const ModelState before = State();
    ASSERT_TRUE(Run("i Ship.QB"));
    EXPECT_EQ(output.rfind("cmd : i : Ship.QB\n[" + Path("Ship.QB") + "]\n[Log] QB : colorFormat : 0\n", 0), 0u);
    EXPECT_EQ(env->model.name, "") << "an import is unnamed: save never writes over its source";
    EXPECT_EQ(env->model.palette[ColorAt(1, 1, 1)], PackRGBA(9, 9, 9));
    const ModelState imported = State();
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(State() == before && env->model.name == "mine.vox");
    ASSERT_TRUE(Run("redo"));
    EXPECT_TRUE(State() == imported);

    // A picture becomes a model in the current palette (exact matches here).
    ASSERT_TRUE(Run("undo"));
    const Palette palette = env->model.palette;
    ASSERT_TRUE(Run("i photo.img"));
    EXPECT_EQ(Size(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(env->model.palette[ColorAt(2, 0, 1)], PackRGBA(255, 0, 0));
    EXPECT_TRUE(env->model.palette == palette);
}

TEST_F(ImportExport, ImportFailures) {
    std::ofstream(Path("junk.qb")) << "not a qb file";
    ExpectRefused("i", "[Error] failed to get model name\n");
    ExpectRefused("i a.zzz", "[" + Path("a.zzz") + "]\n[Error] failed to load plugin : zzz\n");
    ExpectRefused("i b.blank", "[Error] empty image : " + Path("b.blank") + "\n");
    ExpectRefused("i p.png", "[Error] failed to import model or image : " + Path("p.png") + "\n");
    ExpectRefused("i junk.qb", "[Error] QB : version does not match : 1.1.0.0\n[Error] failed to import model or image");
}

TEST_F(ImportExport, ExportWritesTheFormatsExtensionAfterACacheCopy) {
    Expect("o qb out", true, "Cache Model\n[Log] export : " + Path("out.qb") + "\n");
    TK_Model back;
    ASSERT_TRUE(TK_Plugin_QB().LoadModel(Path("out.qb"), "", back));
    EXPECT_EQ(back.voxels.Count(), 2);
    // The cache copy leaves the quit backups alone.
    EXPECT_TRUE(fs::exists(dir / "cache/cache.vox") && !fs::exists(dir / "cache/backup.vox"));
    ASSERT_TRUE(Run("o slab s.vox") && Run("o xraw \"with space\""));
    EXPECT_TRUE(TK_Plugin_SLAB().LoadModel(Path("s.vox"), "", back) && fs::exists(dir / "with space.xraw"));
    EXPECT_EQ(History(), 0u);
    // The palette entries' material records reach the formats that write them.
    env->materials[ColorAt(0, 0, 0)].type = 1;
    ASSERT_TRUE(Run("o gltf m"));
    EXPECT_NE(Text("m.glb").find("\"metallicFactor\":1,"), std::string::npos);
    // No export replaces the model's own file, nor a model file with foreign
    // data, unless told to.
    ASSERT_TRUE(Run("save"));
    const std::string own = env->model.path;
    ExpectRefused("o slab " + own,
                  "[Error] export would replace the model's own file (add \"overwrite\" to replace it) : " + own + "\n");
    WriteModel("castle.vox");
    ExpectRefused("o slab castle",
                  "[Error] export would replace a model file with another format (add \"overwrite\" to replace it) : " +
                      Path("castle.vox") + "\n");
    EXPECT_TRUE(FileHasVoxMagic(own.c_str()) && FileHasVoxMagic(Path("castle.vox").c_str()));
    ASSERT_TRUE(Run("o slab castle overwrite"));
    EXPECT_FALSE(FileHasVoxMagic(Path("castle.vox").c_str()));
    ExpectRefused("o qb", "[Error] failed to get export name\n");
    ExpectRefused("o nope x", "[Error] failed to load plugin : nope\n");
    ExpectRefused("o qb nowhere/x.qb", "[Error] failed to export model : " + Path("nowhere/x.qb") + " : ");  // and the system's reason
    SetBox(4, 3, 2);
    ExpectRefused("o qb y", "[Error] export model is empty\n");
}

TEST_F(ImportExport, RelativeExportPathsLandInTheExportFolder) {
    env->workspace.exportFolder = Path("export");
    fs::create_directories(dir / "export");
    WriteModel("m.vox", 3);
    const struct {
        const char* line;
        const char* written;
    } cases[] = {{"o qb a", "export/a.qb"},
                 {"o b.obj", "export/b.obj"},  // the format from the extension
                 {"bake d", "export/d.ply"},
                 {"odir xraw . out", "export/out/m.xraw"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(Run(c.line)) << c.line << output;
        EXPECT_TRUE(fs::exists(dir / c.written)) << c.line;
    }
    ExpectRefused("o e.nope", "[Error] failed to load plugin : e.nope\n");
}

TEST_F(ImportExport, BakeWritesAPlyAfterACacheCopy) {
    Expect("bake out", true, "Cache Model\n[Log] export : " + Path("out.ply") + "\n");
    const std::string text = Text("out.ply");
    EXPECT_EQ(text.rfind("ply\nformat ascii 1.0\ncomment : mine\n", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("element face 12\n"), std::string::npos) << "two lone voxels, six faces each";
    Expect("bake b.PLY", true, "Cache Model\n[Log] export : " + Path("b.PLY") + "\n");
    ASSERT_TRUE(Run("bake b.vox"));
    EXPECT_TRUE(fs::exists(dir / "b.vox.ply"));
    EXPECT_EQ(History(), 0u);
    ExpectRefused("bake", "[Error] failed to get export name\n");
    ExpectRefused("bake nowhere/x", "[Error] failed to export model : " + Path("nowhere/x.ply") + " : ");  // and the system's reason
    SetBox(4, 3, 2);
    ExpectRefused("bake y", "[Error] export model is empty\n");
    EXPECT_FALSE(fs::exists(dir / "y.ply"));
}

TEST_F(ImportExport, ExportDirConvertsEveryModelOfAFolder) {
    fs::create_directories(dir / "in");
    WriteModel("in/a.vox", 9);
    WriteModel("in/b.VOX", 4);
    std::ofstream(dir / "in/broken.vox") << "garbage";
    std::ofstream(dir / "in/notes.txt") << "not a model";
    ASSERT_TRUE(TK_Plugin_SLAB().SaveModel(Path("in/c.vox"), "", tk_test::MakeModel(2, 2, 2, {{1, 0, 1, 3}})));
    const ModelState before = State();
    Expect("odir xraw in out", false,
           "[Export] " + Path("out/a.xraw") + "\n[Export] " + Path("out/b.xraw") + "\n[Error] [Export] failed to load model : " +
               Path("in/broken.vox") + " : not a model file\n[Export] " + Path("out/c.xraw") + "\n[Error] cmd failed : TK_CMD_ExportDir\n");
    EXPECT_TRUE(State() == before);
    TK_Model back;
    ASSERT_TRUE(TK_Plugin_RAW().LoadModel(Path("out/a.xraw"), "", back));
    EXPECT_EQ(back.palette[9] & 0xFFFFFFu, PackRGBA(1, 2, 3) & 0xFFFFFFu);
    ASSERT_TRUE(TK_Plugin_RAW().LoadModel(Path("out/c.xraw"), "", back));
    EXPECT_EQ(back.voxels.Count(), 1) << "Slab6 sources are read too";
    // Into the folder itself: a target that is its own source is refused.
    const auto size = fs::file_size(dir / "in/a.vox");
    ExpectRefused("odir slab in in", "[Error] [Export] failed to export model : " + Path("in/a.vox") + " : the source itself\n");
    EXPECT_EQ(fs::file_size(dir / "in/a.vox"), size);
}

TEST_F(ImportExport, ExportDirFolderChoiceAndRefusals) {
    fs::create_directories(dir / "empty");
    ExpectRefused("odir qb empty", "[Error] empty file list\n");
    WriteModel("m.vox");
    ExpectRefused("odir nope", "[Error] cannot find plugin : nope\n");
    Expect("odir qb", true, "[Export] " + Path("m.qb") + "\n");  // the models folder without a window
    env->window = &window;
    window.hasFileList = false;
    ExpectRefused("odir qb", "[Error] no file list view\n");
    window.hasFileList = true;
    window.folder = (dir / "empty").string();
    ExpectRefused("odir qb", "[Error] empty file list\n");
    fs::rename(dir / "m.vox", dir / "empty/w.vox");
    Expect("odir qb", true, "[Export] " + Path("w.qb") + "\n");
    env->window = nullptr;
}

TEST_F(ImportExport, PaletteImportAndExport) {
    TK_Model source = tk_test::MakeModel(1, 1, 1, {{0, 0, 0, 1}});
    for (int i = 0; i < 256; ++i) source.palette[i] = PackRGBA(i, 3, 4, 17);
    ASSERT_TRUE(TK_Plugin_RAW().SaveModel(Path("p.xraw"), "", source));
    const Palette before = env->model.palette;
    ASSERT_TRUE(Run("ipal p.xraw"));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(env->model.palette[i], PackRGBA(i, 3, 4)) << i;
    EXPECT_EQ(env->model.palette[0], 0u);
    ExpectRefused("ipal p.xraw", "[Error] same palette\n");
    ASSERT_TRUE(Run("undo"));
    EXPECT_TRUE(env->model.palette == before);
    // Six pixels (no more than 256): taken in order, then the grey ramp.
    ASSERT_TRUE(Run("ipal x.img"));
    EXPECT_EQ(env->model.palette[2], PackRGBA(0, 0, 0)) << "the transparent pixel, made opaque";
    EXPECT_EQ(env->model.palette[7], PackRGBA(249, 249, 249));
    ASSERT_TRUE(Run("opal pal.xraw"));
    ASSERT_TRUE(Run("undo"));
    ASSERT_TRUE(Run("ipal pal.xraw"));
    EXPECT_EQ(env->model.palette[7], PackRGBA(249, 249, 249)) << "opal wrote what ipal reads back";

    ExpectRefused("ipal", "[Error] failed to get palette name\n");
    ExpectRefused("ipal p.png", "[Error] failed to import image : " + Path("p.png") + "\n");
    ExpectRefused("ipal b.blank", "[Error] failed to convert image to palette\n");
    ExpectRefused("opal", "[Error] failed to get palette name\n");
    ExpectRefused("opal nowhere/p.xraw", "[Error] failed to export palette : " + Path("nowhere/p.xraw") + " : ");  // and the system's reason
}
