// The UTF-8 decoder: valid sequences of every length, each kind of malformed
// input, and stepping that never lands inside a character.
#include <gtest/gtest.h>

#include <vector>

#include "core/OMB_Utf8.h"

namespace {

std::vector<uint32_t> Decode(const std::string& bytes) {
    std::vector<uint32_t> out;
    const char* p = bytes.data();
    while (p < bytes.data() + bytes.size()) out.push_back(OMB_DecodeUtf8(p, bytes.data() + bytes.size()));
    return out;
}

TEST(Utf8, DecodesValidAndReplacesMalformed) {
    constexpr uint32_t R = kUtf8Replacement;
    const struct Case {
        const char* name;
        std::string bytes;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"ascii", "Az", {'A', 'z'}},
        {"two bytes", "\xC3\x84", {0xC4}},
        {"three bytes", "\xE6\xA8\xA1", {0x6A21}},
        {"four bytes", "\xF0\x9F\x98\x80", {0x1F600}},
        {"stray continuation", "\x80" "a", {R, 'a'}},
        {"truncated at the end", "a\xE6\xA8", {'a', R, R}},
        {"truncated before ascii", "\xE6\xA8" "b", {R, R, 'b'}},
        {"overlong", "\xC0\xAF", {R, R}},
        {"surrogate", "\xED\xA0\x80", {R, R, R}},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
        {"invalid lead", "\xFF", {R}},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.bytes), c.expected) << c.name;
}

TEST(Utf8, StepsByCharacterBothWays) {
    const std::string text = "a\xC3\x84\xE6\xA8\xA1\x80\xF0\x9F\x98\x80z";  // a Ä 模 stray 😀 z
    std::vector<int> forward = {0}, backward = {int(text.size())};
    while (forward.back() < int(text.size())) forward.push_back(OMB_Utf8Next(text, forward.back()));
    while (backward.back() > 0) backward.push_back(OMB_Utf8Prev(text, backward.back()));
    EXPECT_EQ(forward, (std::vector<int>{0, 1, 3, 6, 7, 11, 12}));
    EXPECT_EQ(std::vector<int>(backward.rbegin(), backward.rend()), forward);
    std::string encoded;
    for (uint32_t c : {0x41u, 0xC4u, 0x6A21u, 0x1F600u, 0xD800u}) OMB_AppendUtf8(encoded, c);
    EXPECT_EQ(encoded, "A\xC3\x84\xE6\xA8\xA1\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

}  // namespace
