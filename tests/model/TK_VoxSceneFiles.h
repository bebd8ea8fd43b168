// Model files of other editors built by hand from the chunk layouts of
// model/TK_VoxScene.h: a three-model scene with groups, layers, materials of
// every kind, render objects, a camera, notes, an index map and a chunk
// nobody knows. Shared by the file, command and plugin tests.
#pragma once

#include <string>
#include <utility>

#include "core/OMB_TestFiles.h"
#include "model/Voxel.h"

namespace tk_test {

inline Bytes Str(const std::string& s) { return Cat({Ints({int32_t(s.size())}), Bytes(s.begin(), s.end())}); }

inline Bytes Dict(std::initializer_list<std::pair<const char*, const char*>> entries) {
    Bytes out = Ints({int32_t(entries.size())});
    for (const auto& kv : entries) out = Cat({out, Str(kv.first), Str(kv.second)});
    return out;
}

// "VOX ", a version, and MAIN holding the given children in order.
inline Bytes VoxOf(std::initializer_list<Bytes> children, int32_t version = 150) {
    return Cat({{'V', 'O', 'X', ' '}, Ints({version}), Chunk("MAIN", {}, Cat(children))});
}

inline Bytes SizeChunk(int x, int y, int z) { return Chunk("SIZE", Ints({x, y, z})); }

inline Bytes XyziChunk(std::initializer_list<Voxel> voxels) {
    Bytes content = Ints({int32_t(voxels.size())});
    for (const Voxel& v : voxels) content.insert(content.end(), {v.x, v.y, v.z, v.colorIndex});
    return Chunk("XYZI", content);
}

inline Bytes Transform(int32_t id, const char* name, int32_t child, int32_t layer, const char* at) {
    const Bytes attributes = *name ? Dict({{"_name", name}}) : Dict({});
    return Chunk("nTRN", Cat({Ints({id}), attributes, Ints({child, -1, layer, 1}), Dict({{"_t", at}})}));
}

inline Bytes Group(int32_t id, std::initializer_list<int32_t> children) {
    Bytes content = Cat({Ints({id}), Dict({}), Ints({int32_t(children.size())})});
    for (int32_t c : children) content = Cat({content, Ints({c})});
    return Chunk("nGRP", content);
}

inline Bytes Shape(int32_t id, int32_t model) {
    return Chunk("nSHP", Cat({Ints({id}), Dict({}), Ints({1, model}), Dict({})}));
}

inline Bytes Matl(int32_t index, std::initializer_list<std::pair<const char*, const char*>> entries) {
    return Chunk("MATL", Cat({Ints({index}), Dict(entries)}));
}

// Model 0 "house" (2 x 2 x 2), model 1 "tree" (3 x 1 x 1), model 2 without
// a name; colours 3, 5 and 7; materials metal 3, glass 5, emit 7, and kinds
// the editor does not have (9 blend, 11 media).
inline Bytes SceneFile(int32_t version = 150) {
    Bytes imap(256);
    for (int i = 0; i < 256; ++i) imap[size_t(i)] = uint8_t(255 - i);
    Bytes rgba;
    for (int k = 0; k < 256; ++k) rgba = Cat({rgba, Bytes{uint8_t(k), uint8_t(2 * k), 40, 255}});
    return VoxOf({Chunk("PACK", Ints({3})),
                  SizeChunk(2, 2, 2), XyziChunk({{0, 0, 0, 3}, {1, 1, 1, 5}}),
                  SizeChunk(3, 1, 1), XyziChunk({{0, 0, 0, 5}, {2, 0, 0, 7}}),
                  SizeChunk(1, 1, 1), XyziChunk({{0, 0, 0, 3}}),
                  Transform(0, "", 1, -1, "0 0 0"), Group(1, {2, 4, 6}),
                  Transform(2, "house", 3, 0, "0 0 1"), Shape(3, 0),
                  Transform(4, "tree", 5, 1, "10 0 1"), Shape(5, 1),
                  Transform(6, "", 7, 0, "-4 2 1"), Shape(7, 2),
                  Chunk("LAYR", Cat({Ints({0}), Dict({{"_name", "ground"}}), Ints({-1})})),
                  Chunk("LAYR", Cat({Ints({1}), Dict({{"_name", "trees"}, {"_hidden", "1"}}), Ints({-1})})),
                  Chunk("RGBA", rgba),
                  Matl(3, {{"_type", "_metal"}, {"_rough", "0.1"}, {"_metal", "1"}}),
                  Matl(5, {{"_type", "_glass"}, {"_ior", "1.3"}, {"_att", "0.5"}, {"_trans", "0.9"}}),
                  Matl(7, {{"_type", "_emit"}, {"_emit", "0.8"}, {"_flux", "2"}, {"_ldr", "0.5"}}),
                  Matl(9, {{"_type", "_blend"}, {"_weight", "0.5"}}),
                  Matl(11, {{"_type", "_media"}, {"_alpha", "0.25"}}),
                  Chunk("rOBJ", Dict({{"_type", "_bg_color"}, {"_color", "10 20 30"}})),
                  Chunk("rCAM", Cat({Ints({0}), Dict({{"_mode", "pers"}})})),
                  Chunk("NOTE", Cat({Ints({2}), Str("wall"), Str("roof")})),
                  Chunk("IMAP", imap), Chunk("JUNK", {1, 2, 3})},
                 version);
}

}  // namespace tk_test
