// Tests of OMB_LmpParser: one table of texts with the tree or the message
// they give, escape decoding, block strings, nesting depth, lookups, value
// readers and the text file reader.
#include "core/OMB_LmpParser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

#include "TK_TestSupport.h"

namespace {

// key=value(attributes){children}, entries separated by blanks.
std::string Dump(const OMB_LmpNode& node);

std::string DumpList(const std::vector<std::unique_ptr<OMB_LmpNode>>& nodes) {
    std::string out;
    for (const auto& node : nodes) out += (out.empty() ? "" : " ") + Dump(*node);
    return out;
}

std::string Dump(const OMB_LmpNode& node) {
    std::string out = node.key;
    if (!node.value.empty()) out += "=" + node.value;
    if (!node.attributes.empty()) out += "(" + DumpList(node.attributes) + ")";
    if (!node.children.empty()) out += "{" + DumpList(node.children) + "}";
    return out;
}

struct Result {
    bool ok;
    std::string tree;
    std::string output;
};

Result ParseText(const std::string& text) {
    OMB_LmpParser parser;
    testing::internal::CaptureStdout();
    const bool ok = parser.Parse(text.c_str());
    Result result{ok, DumpList(parser.Root().children), testing::internal::GetCapturedStdout()};
    EXPECT_EQ(parser.Root().key, ok ? "root" : "") << "a failed parse leaves nothing behind";
    return result;
}

std::string Message(int line, int column, const char* text) {
    return "[Error] OMB_LmpParser : ( " + std::to_string(line) + " : " + std::to_string(column) +
           " ) : " + text + "\n";
}

TEST(LmpParser, TextsGiveTreesOrMessages) {
    const struct {
        const char* text;
        bool ok;
        std::string treeOrMessage;
    } cases[] = {
        {"", true, ""},
        {"// only\n/* comments */ \\ and a hidden line", true, ""},
        {"a = 'x' b \"y\" 'z'", true, "a=x b=y =z"},
        {"camera\n(\n\tmode = 'pers'\n\tfocus = '1 2 3'\n)\n", true, "camera(mode=pers focus=1 2 3)"},
        {"ui { a = '1' b { c } ~b } ~ui", true, "ui{a=1 b{c}}"},
        {"a {x} :: {y} :: {}", true, "a{x y}"},
        {"a {x} {y}", true, "a{x} {y}"},
        {"a ('v') (b c)", true, "a(=v b c)"},
        {"a 'v' (b) {c}", true, "a=v(b){c}"},
        {"a = [--[x]-]\\n]--]", true, "a=x]-]\\n"},
        {"a\n  }", false, Message(2, 3, "invalid format")},
        {"= 'x'", false, Message(1, 1, "no key before '='")},
        {"a =", false, Message(1, 3, "no value follows '='")},
        {"(x)", false, Message(1, 1, "no heading key or value before attrib")},
        {":: {x}", false, Message(1, 1, "no heading key or value before '::'")},
        {"a :: b", false, Message(1, 6, "no list follows '::' ")},
        {"~a", false, Message(1, 1, "no heading key before '~'")},
        {"a {x} ~b", false, Message(1, 8, "ending key does not match key")},
        {"Ui {x} ~ui", false, Message(1, 9, "ending key does not match key")},
        {"a (b", false, Message(1, 4, "no trailing ')' for attrib")},
        {"a {b {c}", false, Message(1, 8, "no trailing '}' for list")},
        {"a = 'x", false, "[Error] OMB_Lexer :: ( 1 : 5 ) : literal no trailing '\n"},
    };
    for (const auto& c : cases) {
        const Result result = ParseText(c.text);
        EXPECT_EQ(result.ok, c.ok) << "text: " << c.text;
        EXPECT_EQ(result.tree, c.ok ? c.treeOrMessage : "") << "text: " << c.text;
        EXPECT_EQ(result.output, c.ok ? "" : c.treeOrMessage) << "text: " << c.text;
    }
}

TEST(LmpParser, DecodesEscapesOfLiteralsAndStrings) {
    const struct {
        const char* text;
        std::string value;
    } cases[] = {
        {"v = '\\\"\\'\\?\\\\\\a\\b\\f\\n\\r\\t\\v'", "\"'?\\\a\b\f\n\r\t\v"},
        {"v = [[line\\nfeed]]", "line\\nfeed"},
        {"v = '\\x41\\x4a2\\X7e'", "AJ2~"},
        {"v = '\\65x\\66\\0669'", "AxB"},
        {"v = '\\300\\c777'", "\\\\"},
        {"v = 'ab\\0cd'", "ab"},
        {"v = '\xE9t\xE9'", "\xE9t\xE9"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseText(c.text).tree, "v=" + c.value) << c.text;
}

TEST(LmpParser, BoundsNestingDepth) {
    std::string text = "leaf";  // one level below the innermost group
    for (int i = 1; i < OMB_LmpParser::kMaxDepth; ++i) text = "a { " + text + " }";
    EXPECT_TRUE(ParseText(text).ok);
    const Result tooDeep = ParseText("a { " + text + " }");
    EXPECT_FALSE(tooDeep.ok);
    EXPECT_NE(tooDeep.output.find("invalid format"), std::string::npos);
}

TEST(LmpParser, FindsKeysInAnyCase) {
    OMB_LmpParser parser;
    ASSERT_TRUE(parser.Parse("render (Ground_Color = '1' ground_color = '2') RENDER {x}"));
    const OMB_LmpNode* render = OMB_LmpParser::FindChild(&parser.Root(), "Render");
    ASSERT_NE(render, nullptr);
    EXPECT_EQ(render->attributes.size(), 2u);  // the first of two matches
    EXPECT_EQ(OMB_LmpParser::FindAttribute(render, "GROUND_COLOR")->value, "1");
    EXPECT_EQ(OMB_LmpParser::FindAttribute(render, "ground"), nullptr);
    EXPECT_EQ(OMB_LmpParser::FindChild(render, "ground_color"), nullptr);
}

TEST(LmpParser, ValueReaders) {
    float f[3] = {9, 9, 9};
    EXPECT_TRUE(OMB_LmpParser::ParseFloats("0.5 -1 2e1", 3, f));
    EXPECT_TRUE(f[0] == 0.5f && f[1] == -1.0f && f[2] == 20.0f);
    EXPECT_FALSE(OMB_LmpParser::ParseFloats("1 2", 3, f));
    EXPECT_EQ(f[2], 0.0f);

    const std::pair<const char*, uint32_t> colors[] = {
        {"255 0 0", 0xFF0000FFu},
        {"200", 0xFF0000C8u},
        {"1 2 3 4", 0x04030201u},
        {"", 0xFF000000u},
        {"10 x 30", 0xFF00000Au},
        {"256 -1 0 0", 0x0000FF00u},
    };
    for (const auto& c : colors) EXPECT_EQ(OMB_LmpParser::ParseColor(c.first), c.second) << c.first;

    OMB_LmpNode node;
    const std::pair<const char*, int32_t> ints[] = {{"12", 12}, {"-3", -3}, {"0x10", 16},
                                                    {"1.5", 0}, {"yes", 0}, {"", 0}};
    for (const auto& c : ints) {
        node.value = c.first;
        EXPECT_EQ(OMB_LmpParser::NodeInt(&node), c.second) << c.first;
        EXPECT_EQ(OMB_LmpParser::NodeBool(&node), c.second != 0) << c.first;
    }
}

TEST(LmpParser, ReadsTextFiles) {
    const tk_test::TempFolder folder("tk_lmp");
    const std::string path = folder.Path("paths.txt");
    std::ofstream(path) << "paths ( vox = 'vox/' )\n";
    OMB_LmpParser parser;
    ASSERT_TRUE(parser.ParseFile(path.c_str()));
    EXPECT_EQ(DumpList(parser.Root().children), "paths(vox=vox/)");

    testing::internal::CaptureStdout();
    EXPECT_FALSE(parser.ParseFile("/nonexistent/config.txt"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "TextFile : failed to open file : /nonexistent/config.txt\n");
    EXPECT_TRUE(parser.Root().children.empty()) << "nothing stays of the last file";
}

}  // namespace
