// Helpers of the plugin tests: little-endian files and pictures built by
// hand, and a model's voxels in forms that compare across lists and palettes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TK_TestSupport.h"
#include "core/OMB_LmpParser.h"
#include "model/Image.h"
#include "model/TK_Model.h"
#include "plugins/TK_Plugin_Mesh.h"

namespace tk_test {

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& U8(int v) { return data.push_back(uint8_t(v)), *this; }
    Bytes& U16(int v) { return U8(v).U8(v >> 8); }
    Bytes& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Bytes& F32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return U32(bits);
    }
    Bytes& Text(const std::string& s) { return data.insert(data.end(), s.begin(), s.end()), *this; }
    Bytes& Fill(size_t n, uint8_t v) { return data.insert(data.end(), n, v), *this; }
};

// read(data, size, into) on a buffer, what it prints kept in *log.
template <typename Read, typename Buffer, typename Into>
bool ReadLogged(Read read, const Buffer& b, Into& into, std::string* log = nullptr) {
    testing::internal::CaptureStdout();
    const bool ok = read(b.data(), b.size(), into);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (log) *log = printed;
    return ok;
}

// Cell (x | y << 8 | z << 16) -> RGB of its voxel.
inline std::map<uint32_t, uint32_t> ColoredCells(const TK_Model& m) {
    std::map<uint32_t, uint32_t> cells;
    for (const Voxel& v : m.voxels) cells[v.Word() & 0xFFFFFFu] = m.palette[v.colorIndex] & 0xFFFFFFu;
    return cells;
}

inline uint32_t RgbAt(const TK_Model& m, int x, int y, int z) {
    auto cells = ColoredCells(m);
    auto it = cells.find(uint32_t(x | y << 8 | z << 16));
    return it == cells.end() ? 0xFF000000u : it->second | 0xFF000000u;
}

// Same cells; voxels on the surface keep their colour (hidden ones take the
// colour of the surface beside them: the file holds no other).
inline void ExpectSameModel(const TK_Model& model, const TK_Model& back) {
    for (int a = 0; a < 3; ++a) EXPECT_EQ(back.size[a], model.size[a]);
    const auto original = ColoredCells(model), imported = ColoredCells(back);
    ASSERT_EQ(imported.size(), original.size());
    for (const auto& [cell, rgb] : original) {
        ASSERT_EQ(imported.count(cell), 1u) << cell;
        const int c[3] = {int(cell & 255), int(cell >> 8 & 255), int(cell >> 16)};
        bool exposed = false;
        for (int d = 0; d < 6; ++d) {
            int n[3] = {c[0], c[1], c[2]};
            n[d / 2] += d % 2 ? 1 : -1;
            exposed |= !model.InBox(n[0], n[1], n[2]) || !original.count(uint32_t(n[0] | n[1] << 8 | n[2] << 16));
        }
        ASSERT_TRUE(!exposed || imported.at(cell) == rgb) << c[0] << " " << c[1] << " " << c[2];
    }
}

// An RGB picture whose pixel (x, y), top row first, is colourAt(x, y).
inline Image RgbImage(int w, int h, const std::function<uint32_t(int, int)>& colourAt) {
    Image image;
    image.Allocate(IMAGE_RGB, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) image.pixels[3 * (size_t(y) * w + x) + c] = uint8_t(colourAt(x, y) >> (8 * c));
    return image;
}

// Options (starting from `o`) read from the section `section` of a
// configuration text.
template <typename Options = TK_MeshOptions>
Options ReadOptions(const char* config, const char* section, Options o = Options()) {
    OMB_LmpParser parser;
    EXPECT_TRUE(parser.Parse(config));
    o.Read(OMB_LmpParser::FindChild(&parser.Root(), section));
    return o;
}

}  // namespace tk_test
