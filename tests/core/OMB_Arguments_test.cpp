// Data in command lines: any file name, quoted by the one builder, travels
// through the splitter and back as the same single argument; typed paths
// keep working; printed text shows control bytes as escapes.
#include "core/OMB_Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/OMB_CommandExecutor.h"

namespace {

const std::string kHostileNames[] = {
    "x|zero|save|.vox",
    "a\" | zero | save | \".vox",
    "back\\slash\\\" | zero.vox",
    "it's | 'quoted'.vox",
    "semi;colon.vox",
    "  two  blanks  .vox",
    "new\nline | zero.vox",
    "ctl\x01\x1b[31mred\x7f.vox",
    "bad\xff\xfe\xc0 utf8.vox",
    "-leading-dash.vox",
    "trailing\\",
    "\\x41 is not A",
    "",
};

TEST(Arguments, AnyNameTravelsAsOneArgument) {
    for (const std::string& name : kHostileNames) {
        SCOPED_TRACE(name);
        const std::string line = OMB_CommandWithArgument("open", name) + " | next";
        const std::vector<OMB_CommandText> commands = OMB_SplitCommands(line.c_str());
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[0].name, "open");
        EXPECT_EQ(OMB_PathArgument(commands[0].args.c_str()), name);
        std::vector<std::string> words;
        ASSERT_TRUE(OMB_SplitArguments(commands[0].args.c_str(), words));
        EXPECT_EQ(words, std::vector<std::string>{name});
        EXPECT_EQ(commands[1].name, "next");
        EXPECT_EQ(line.find_first_of("\n\r\x01\x1b"), std::string::npos) << "no control byte in the line";
    }
}

TEST(Arguments, TypedTextReadsAsBefore) {
    const struct {
        const char* text;
        std::string path;
        std::vector<std::string> words;  // empty with `split` false: unterminated
        bool split;
    } cases[] = {
        {"my model.vox", "my model.vox", {"my", "model.vox"}, true},
        {"  'a b.vox'  ", "a b.vox", {"a b.vox"}, true},
        {"obj \"out dir/m.obj\" over", "obj \"out dir/m.obj\" over", {"obj", "out dir/m.obj", "over"}, true},
        {"C:\\models\\m.vox", "C:\\models\\m.vox", {"C:\\models\\m.vox"}, true},
        {"\"dir\\m.vox\"", "dir\\m.vox", {"dir\\m.vox"}, true},
        {"\"open", "\"open", {}, false},
        {"", "", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(OMB_PathArgument(c.text), c.path);
        std::vector<std::string> words;
        EXPECT_EQ(OMB_SplitArguments(c.text, words), c.split);
        if (c.split) {
            EXPECT_EQ(words, c.words);
        }
    }
}

TEST(Arguments, PrintableEscapesControlBytesOnly) {
    EXPECT_EQ(OMB_Printable("a\x1b[2Jb\nc\td\x7f\xc3\xa9"), "a\\x1B[2Jb\\nc\\td\\x7F\xc3\xa9");
}

}  // namespace
