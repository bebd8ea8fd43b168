// The binary file layer and the chunk container: little-endian reads with
// their failure rules, the safe replacement of files, the save side's nesting
// messages, and the load side's structural checks against hostile trees. The
// layout of a well-formed tree is checked by the model file's tests.
#include "core/OMB_XIFF.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TK_TestSupport.h"
#include "core/OMB_TestFiles.h"

namespace {

namespace fs = std::filesystem;
using tk_test::Bytes;
using tk_test::Cat;
using tk_test::Chunk;

// An 8-byte file header, then the root.
Bytes File(const Bytes& root) { return Cat({{'T', 'E', 'S', 'T', 0, 0, 0, 0}, root}); }

}  // namespace

TEST(BitFile, LittleEndianReadsAndWritesWithTheirFailureRules) {
    Bytes data;
    OMB_SaveBitFile save;
    ASSERT_TRUE(save.OpenMemory(&data));
    EXPECT_TRUE(save.WriteInt32(0x12345678) && save.WriteText("ab") && save.WriteByte(0x7F));
    EXPECT_TRUE(save.Close());
    EXPECT_EQ(data, (Bytes{0x78, 0x56, 0x34, 0x12, 'a', 'b', 0, 0x7F}));

    OMB_LoadBitFile file;
    ASSERT_TRUE(file.OpenMemory(data.data(), data.size()));
    int32_t value = -1;
    std::string text;
    uint8_t byte = 0;
    EXPECT_TRUE(file.ReadInt32(value) && file.ReadText(text) && file.ReadByte(byte));
    EXPECT_TRUE(value == 0x12345678 && text == "ab" && byte == 0x7F);
    EXPECT_FALSE(file.ReadInt32(value) || file.ReadByte(byte) || file.ReadText(text));
    EXPECT_EQ(value, 0) << "a failed read gives 0";

    for (size_t length : {255u, 256u}) {
        Bytes long_text(length, 'x');
        long_text.push_back(0);
        file.OpenMemory(long_text.data(), long_text.size());
        EXPECT_EQ(file.ReadText(text), length == 255) << "at most 255 characters";
    }
}

TEST(BitFile, SaveReplacesTheFileOnlyWhenEverythingSucceeded) {
    const tk_test::TempFolder folder("tk_xiff");
    auto fileCount = [&] { return std::distance(fs::directory_iterator(folder.Dir()), fs::directory_iterator()); };
    const std::string target = folder.Path("model.bin");
    std::ofstream(target) << "old";
    // A failed operation, or a write cut short by the file size limit, fails the close.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    for (bool shortWrite : {false, true}) {
        OMB_SaveBitFile file;
        ASSERT_TRUE(file.Open(target.c_str()));
        if (shortWrite) {
            rlimit small = saved;
            small.rlim_cur = 4096;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            const Bytes chunk(100000, 0xAB);
            file.WriteBytes(chunk.data(), chunk.size());
        } else {
            file.WriteText("new");
            EXPECT_EQ(tk_test::FileText(target), "old") << "the target is untouched until the close";
            EXPECT_FALSE(file.Seek(-1));
        }
        EXPECT_FALSE(file.Close()) << "short write: " << shortWrite;
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(tk_test::FileText(target), "old");
        EXPECT_EQ(fileCount(), 1) << "the temporary file is removed";
    }

    {
        OMB_SaveBitFile file;
        ASSERT_TRUE(file.Open(target.c_str()));
        file.WriteBytes("new", 3);
    }  // destruction closes and commits
    EXPECT_EQ(tk_test::FileText(target), "new");
    EXPECT_EQ(fileCount(), 1);

    OMB_SaveBitFile file;
    EXPECT_FALSE(file.Open(""));
    EXPECT_FALSE(file.Open(folder.Path("missing/x.bin").c_str()));
}

// Each fault prints its message; chunks left open are reported once, by an
// explicit discard or by the file's end.
TEST(XIFFSave, NestingFaultsArePrinted) {
    const struct {
        const char* name;
        void (*steps)(OMB_XIFF_SaveFile&);
        const char* printed;
    } cases[] = {
        {"nothing open", [](OMB_XIFF_SaveFile& f) { f.EndChunk(OMB_ChunkId("AAAA")); }, "[Error] no chunk to finish\n"},
        {"wrong id, discarded",
         [](OMB_XIFF_SaveFile& f) {
             f.BeginChunk(OMB_ChunkId("AAAA"));
             f.BeginChunk(OMB_ChunkId("BBBB"));
             f.EndChunk(OMB_ChunkId("AAAA"));
             f.DiscardOpenChunks();
         },
         "[Error] invalid chunk with different id to finish\n[Error] have chunk unfinished\n"},
        {"content after a child",
         [](OMB_XIFF_SaveFile& f) {
             f.BeginChunk(OMB_ChunkId("AAAA"));
             f.BeginChunk(OMB_ChunkId("BBBB"));
             f.EndChunk(OMB_ChunkId("BBBB"));
             f.WriteInt32(1);
             f.EndChunk(OMB_ChunkId("AAAA"));
         },
         "[Error] content length is not fitting\n"},
        {"left open", [](OMB_XIFF_SaveFile& f) { f.BeginChunk(OMB_ChunkId("AAAA")); },
         "[Error] have chunk unfinished\n"},
    };
    for (const auto& c : cases) {
        Bytes out;
        testing::internal::CaptureStdout();
        {
            OMB_XIFF_SaveFile file;
            file.OpenMemory(&out);
            c.steps(file);
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.name;
    }
}

TEST(XIFFLoad, StructuralFaultsFailWithTheirMessage) {
    Bytes deep = Chunk("LEAF", {});
    for (int i = 0; i < OMB_XIFF_LoadFile::kMaxDepth; ++i) deep = Chunk("NEST", {}, deep);
    Bytes many;
    const Bytes leaf = Chunk("LEAF", {});
    for (int i = 0; i < OMB_XIFF_LoadFile::kMaxChunks; ++i) many.insert(many.end(), leaf.begin(), leaf.end());
    Bytes shortHeader = File(Chunk("MAIN", {}, {}));
    shortHeader.resize(shortHeader.size() - 1);
    const struct {
        const char* name;
        Bytes bytes;
        const char* message;  // empty: the tree reads
    } cases[] = {
        {"as deep as allowed", File(deep), ""},
        {"cut in the root header", shortHeader, "chunk def size"},
        {"children claimed but missing", File(Chunk("MAIN", {}, {}, 24)), "chunk def size"},
        {"negative children size", File(Chunk("MAIN", {}, {}, -5)), "chunk length"},
        {"child longer than parent", File(Chunk("MAIN", {}, Cat({Chunk("KID1", {1, 2, 3, 4})}), 12)),
         "children chunk length exceed"},
        {"too deep", File(Chunk("NEST", {}, deep)), "chunk depth exceed"},
        {"too many", File(Chunk("MAIN", {}, many)), "chunk count exceed"},
    };
    for (const auto& c : cases) {
        OMB_XIFF_LoadFile file;
        file.OpenMemory(c.bytes.data(), c.bytes.size());
        testing::internal::CaptureStdout();
        const bool ok = file.ReadTree(8);
        const std::string message = *c.message ? std::string("[Error] XIFF : ") + c.message + "\n" : "";
        EXPECT_EQ(testing::internal::GetCapturedStdout(), message) << c.name;
        EXPECT_EQ(ok, message.empty()) << c.name;
    }
}

TEST(XIFFLoad, FindChunkSearchesTheWholeTreeInPreOrder) {
    Bytes inner = Chunk("DEEP", {1, 0, 0, 0}, Chunk("DUPE", {2, 0, 0, 0}));
    Bytes bytes = File(Chunk("MAIN", {}, Cat({Chunk("SIDE", {}, inner), Chunk("DUPE", {3, 0, 0, 0})})));
    OMB_XIFF_LoadFile file;
    file.OpenMemory(bytes.data(), bytes.size());
    ASSERT_TRUE(file.ReadTree(8));
    int32_t value = 0;
    ASSERT_NE(file.FindChunk(OMB_ChunkId("DUPE")), nullptr);
    file.ReadInt32(value);
    EXPECT_EQ(value, 2) << "the first in pre-order is the nested one";
    EXPECT_NE(file.FindChunk(0x4E49414Du), nullptr) << "the root, MAIN";
    EXPECT_EQ(file.FindChunk(OMB_ChunkId("NONE")), nullptr);
}
