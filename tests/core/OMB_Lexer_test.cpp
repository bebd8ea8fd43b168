// Tests of OMB_Lexer: token kinds and texts, the errors, the punctuator
// table, positions, printed errors and the number readers, under the options
// the program uses (block strings, printed errors). Every text is copied into a buffer of exactly its size, so the
// sanitizer build catches any read past the terminating zero.
#include "core/OMB_Lexer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Exactly sized, zero-terminated copy of a text (null stays null).
struct Buffer {
    explicit Buffer(const char* text) {
        if (text) bytes.assign(text, text + std::strlen(text) + 1);
    }
    const char* get() const { return bytes.empty() ? nullptr : bytes.data(); }
    std::vector<char> bytes;
};

std::string Describe(const OMB_Token& token) {
    static const std::pair<int, char> kTags[] = {
        {OMB_TOKEN_STRING, 's'},
        {OMB_TOKEN_BLOCK_STRING, 'B'},
        {OMB_TOKEN_LITERAL, 'l'},
        {OMB_TOKEN_WORD, 'w'},
        {OMB_TOKEN_PUNCT, 'p'},
        {OMB_TOKEN_FLOAT, 'f'},
        {OMB_TOKEN_INT, 'i'},
        {OMB_TOKEN_HEX, 'x'},
        {OMB_TOKEN_OCT, 'o'},    {OMB_TOKEN_BIN, 'b'}};
    char tag = '?';
    for (const auto& t : kTags)
        if (t.first == token.kind) tag = t.second;
    return tag + (":" + token.Text());
}

// The tokens read until NextToken fails, joined with "|"; an error other
// than the end (3) follows as " !code".
std::string LexAll(const char* text, unsigned options) {
    Buffer buffer(text);
    OMB_Lexer lexer(buffer.get(), options);
    std::string tokens;
    OMB_Token token;
    for (int i = 0; i < 100 && lexer.NextToken(token); ++i) tokens += (tokens.empty() ? "" : "|") + Describe(token);
    return lexer.Error() == 3 ? tokens : tokens + (tokens.empty() ? "!" : " !") + std::to_string(lexer.Error());
}

// Every text lexes to its tokens, then stops at the end or with its error.
TEST(Lexer, TokensAndErrors) {
    const struct {
        const char* text;
        unsigned options;
        const char* tokens;
    } cases[] = {
        {"abc _x1 a.b", 0, "w:abc|w:_x1|w:a|p:.|w:b"},
        {"0x1F 0XaB 0c17 0b101 0 42", 0, "x:1F|x:aB|o:17|b:101|i:0|i:42"},
        {"1.5 .5 2e3 1E-2 3e+1 7.", 0, "f:1.5|f:.5|f:2e3|f:1E-2|f:3e+1|f:7."},
        {"-5 +.5", 0, "p:-|i:5|p:+|f:.5"},
        {"a\xE9\x01\xff", 0, "w:a"},  // bytes above 0x7F and control bytes are space
        {"\"a\\\"b\" 'c\\'d'", 0, "s:a\\\"b|l:c\\'d"},
        {"'' \"\"", 0, "l:|s:"},
        {"\"it's\" 'say \"x\"'", 0, "s:it's|l:say \"x\""},
        {"[[a b]]", OMB_LEX_BLOCK_STRINGS, "B:a b"},
        {"[--[x]-]y]---]z]--] w", OMB_LEX_BLOCK_STRINGS, "B:x]-]y]---]z|w:w"},
        {"[[a]]", 0, "p:[|p:[|w:a|p:]|p:]"},
        {"[-x]", OMB_LEX_BLOCK_STRINGS, "p:[|p:-|w:x|p:]"},
        {"a /* b */ c // d\ne", 0, "w:a|w:c|w:e"},
        {"a \\ b | size 3\nc", 0, "w:a|w:c"},
        {"\\ one\n\\ two\n  \\", 0, ""},
        {nullptr, 0, "!2"},
        {"", 0, ""},
        {" \n\t/* */ // x", 0, ""},
        {"a \"abc", 0, "w:a !4"},
        {"\"abc\\", 0, "!4"},
        {"'abc", 0, "!5"},
        {"[[abc", OMB_LEX_BLOCK_STRINGS, "!6"},
        {"[--[abc]-]", OMB_LEX_BLOCK_STRINGS, "!6"},
        {"a ` b", 0, "w:a !13"},
        {"0x", 0, "!16"},
        {"12ab", 0, "!16"},
        {"0b12", 0, "!16"},
        {"1.5e", 0, "!18"},
        {"1.5f", 0, "!17"},
    };
    for (const auto& c : cases) EXPECT_EQ(LexAll(c.text, c.options), c.tokens) << (c.text ? c.text : "(null)");
}

TEST(Lexer, EveryPunctuatorLexesAsItself) {
    for (int i = 0; i < OMB_Lexer::PunctuatorCount(); ++i) {
        const std::string punct = OMB_Lexer::Punctuator(i);
        const std::string text = "a" + punct + "b";
        EXPECT_EQ(LexAll(text.c_str(), 0), "w:a|p:" + punct + "|w:b") << "punctuator " << i;
    }
}

// Where the last token read starts (or the failing one), from 0; a printed
// error names the same place counted from 1, and only when asked.
TEST(Lexer, PositionsAndPrintedErrors) {
    const struct {
        const char* text;
        unsigned options;
        std::pair<int, int> lineAndColumn;
        const char* printed;
    } cases[] = {
        {"abc", OMB_LEX_PRINT_ERRORS, {0, 0}, "[Error] OMB_Lexer :: ( 1 : 4 ) : script ended\n"},
        {"a\n  /* x\n y */ b", 0, {2, 6}, ""},
        {"\"a\nb\" c", 0, {1, 3}, ""},
        {"[[a\nb]] c", OMB_LEX_BLOCK_STRINGS, {1, 4}, ""},
        {"x\n \"open\nstring", 0, {1, 1}, ""},
        {"a\n  `", OMB_LEX_PRINT_ERRORS, {1, 2}, "[Error] OMB_Lexer :: ( 2 : 3 ) : undefined punctuation\n"},
        {"[-[a]]", OMB_LEX_PRINT_ERRORS | OMB_LEX_BLOCK_STRINGS, {0, 0},
         "[Error] OMB_Lexer :: ( 1 : 1 ) : string block no trailing ]---]\n"},
    };
    for (const auto& c : cases) {
        Buffer buffer(c.text);
        OMB_Lexer lexer(buffer.get(), c.options);
        OMB_Token token;
        std::pair<int, int> at(-1, -1);
        testing::internal::CaptureStdout();
        while (lexer.NextToken(token)) at = {lexer.TokenLine(), lexer.TokenColumn()};
        if (lexer.Error() != 3) at = {lexer.TokenLine(), lexer.TokenColumn()};
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << "text: " << c.text;
        EXPECT_EQ(at, c.lineAndColumn) << "text: " << c.text;
    }
}

// What ReadInt and ReadFloat each give at the start of a text ("no": false).
std::string ReadNumbers(const char* text) {
    Buffer buffer(text);
    OMB_Lexer intLexer(buffer.get(), 0), floatLexer(buffer.get(), 0);
    int32_t i = 0;
    float f = 0.0f;
    const std::string integer = intLexer.ReadInt(i) ? std::to_string(i) : "no";
    if (!floatLexer.ReadFloat(f)) return integer + " no";
    char number[32];
    std::snprintf(number, sizeof number, "%.8g", double(f));
    return integer + " " + number;
}

TEST(Lexer, ReadIntAndReadFloat) {
    const std::pair<const char*, const char*> cases[] = {
        {"-42", "-42 -42"},
        {"- 3", "-3 -3"},
        {"-0x10", "-16 -16"},
        {"0b101", "5 5"},
        {"4294967295", "-1 4.2949673e+09"},
        {"4294967297", "1 1"},  // integers wrap at 32 bits
        {"1.5", "no 1.5"},
        {"-2.5e1", "no -25"},
        {"1e-50", "no 0"},
        {"12345678901234567890123.0", "no 1.2345679e+22"},
        {"abc", "no no"},
        {"--3", "no no"},
        {"", "no no"},
        {"12ab", "no no"},
        {"1e999", "no inf"},
        {"-1e99999999999999999999", "no -inf"},
        {"1e-99999999999999", "no 0"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadNumbers(c.first), c.second) << "text: " << c.first;
}

// Token tests compare whole texts and never match strings or literals.
TEST(Lexer, TokenTestsIgnoreStringsAndLiterals) {
    Buffer buffer("- + \"-\" '-' [[-]] - +=");
    OMB_Lexer lexer(buffer.get(), OMB_LEX_BLOCK_STRINGS);
    OMB_Token token;
    std::string seen;
    while (lexer.NextToken(token)) seen += token.Is("+=") ? '=' : token.IsMinus() ? '-' : token.IsPlus() ? '+' : '.';
    EXPECT_EQ(seen, "-+...-=");
}

}  // namespace
