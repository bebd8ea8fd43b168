// Reading back the .glb files the glTF writer produces, for the export
// tests: just enough JSON, and the container checked byte by byte.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/OMB_BitFile.h"

namespace tk_test {

// Just enough JSON to read back what the writer produces.
struct Json {
    double num = 0;
    std::string str;
    std::vector<Json> list;
    std::map<std::string, Json> obj;
    bool set = false;
    const Json& operator[](const std::string& key) const {
        static const Json none;
        auto it = obj.find(key);
        return it == obj.end() ? none : it->second;
    }
    const Json& operator[](size_t i) const { return list.at(i); }
    uint64_t U() const { return uint64_t(num); }
};

inline bool Parse(const char*& p, Json& v) {
    v.set = true;
    if (*p == '{' || *p == '[') {
        const char close = *p == '{' ? '}' : ']';
        for (++p; *p != close; p += *p == ',') {
            Json key, item;
            if ((close == '}' && !(Parse(p, key) && *p++ == ':')) || !Parse(p, item)) return false;
            close == '}' ? void(v.obj[key.str] = item) : v.list.push_back(item);
        }
        return ++p, true;
    }
    if (*p == '"') {
        for (++p; *p != '"'; ++p) {
            if (*p == '\\') ++p;
            if (!*p) return false;
            v.str += *p;
        }
        return ++p, true;
    }
    char* end = nullptr;
    v.num = std::strtod(p, &end);
    return end != p && (p = end, true);
}

inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return uint32_t(OMB_GetInt32LE(&b[at])); }

// The JSON and the used part of the binary chunk, after every container check.
inline void ReadGlb(const std::vector<uint8_t>& b, Json& json, std::vector<uint8_t>& bin) {
    ASSERT_GE(b.size(), 28u);
    EXPECT_EQ(U32(b, 0), 0x46546C67u);
    EXPECT_EQ(U32(b, 4), 2u);
    ASSERT_EQ(U32(b, 8), b.size());
    const uint32_t jsonLength = U32(b, 12);
    ASSERT_TRUE(jsonLength % 4 == 0 && U32(b, 16) == 0x4E4F534Au);
    const std::string text(b.begin() + 20, b.begin() + 20 + jsonLength);
    const char* p = text.c_str();
    ASSERT_TRUE(Parse(p, json));
    EXPECT_EQ(std::string(p).find_first_not_of(' '), std::string::npos) << "JSON padded with spaces";
    const size_t at = 20 + jsonLength;
    const uint32_t binLength = U32(b, at);
    ASSERT_TRUE(binLength % 4 == 0 && U32(b, at + 4) == 0x004E4942u && at + 8 + binLength == b.size());
    const uint64_t used = json["buffers"][0]["byteLength"].U();
    ASSERT_TRUE(used <= binLength && used + 3 >= binLength);
    bin.assign(b.begin() + at + 8, b.begin() + at + 8 + used);
    EXPECT_EQ(std::count(b.begin() + at + 8 + used, b.end(), 0), binLength - used) << "BIN padded with zeros";
}

}  // namespace tk_test
