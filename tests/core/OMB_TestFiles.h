// Shared by the file-layer tests of core and model: chunk files built by hand
// (to forge what the writer never writes) and a file's whole contents.
#pragma once

#include <climits>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace tk_test {

using Bytes = std::vector<uint8_t>;

// Little-endian 32-bit integers.
inline Bytes Ints(std::initializer_list<int32_t> values) {
    Bytes out;
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    return out;
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

constexpr int32_t kActualSize = INT32_MIN;

// One chunk: header, content, children; the children size may be forged.
inline Bytes Chunk(const char* tag, const Bytes& content, const Bytes& children = {},
                   int32_t childrenSize = kActualSize) {
    const int32_t kids = childrenSize != kActualSize ? childrenSize : int32_t(children.size());
    return Cat({Bytes(tag, tag + 4), Ints({int32_t(content.size()), kids}), content, children});
}

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tk_test
