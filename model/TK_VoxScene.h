// TK_VoxScene: what a model file holds besides the one model being edited,
// so that "save" gives it all back. Files from other editors hold several
// models (a SIZE and XYZI chunk each), a scene graph (nTRN transform, nGRP
// group and nSHP shape nodes), layers (LAYR), per-colour materials (MATL),
// render objects and cameras (rOBJ, rCAM), palette notes (NOTE), an index
// map (IMAP) and chunks of ids nobody here knows.
//
// TK_VoxKept records the children of "MAIN" in file order, each as its whole
// bytes. The writer (TK_VoxFile.cpp) copies them back byte for byte except
// what the editor changes: the edited model's SIZE and XYZI, the palette
// (RGBA) and the materials (MATL) of the colours, plus its own "TRSK". A
// record travels on TK_Model (shared, never changed once made: an edit that
// changes a kept chunk makes a new record), so undo snapshots stay cheap.
//
// The chunk contents read here (all little-endian; a string is an int32
// length and its bytes, a DICT an int32 count and that many key/value
// strings):
//   nTRN  node id, DICT, child id, -1, layer id, frame count, frame DICTs
//   nGRP  node id, DICT, child count, child ids
//   nSHP  node id, DICT, model count, {model id, DICT} per model
//   LAYR  layer id, DICT, -1        MATL  colour index, DICT
//   rOBJ  DICT   rCAM  camera id, DICT   NOTE  count, strings   IMAP  256 bytes
//
// Rule: nothing read is trusted. Every count and length is checked against
// the bytes of its chunk before anything is allocated for it; a scene graph
// with a cycle, a child that names no node or a shape that names no model
// refuses the file with a message that says which.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/OMB_XIFF.h"
#include "model/TK_Material.h"

class TK_Model;

// The chunks both the file reader and the scene code name.
constexpr uint32_t kVoxSizeChunk = OMB_ChunkId("SIZE");
constexpr uint32_t kVoxXyziChunk = OMB_ChunkId("XYZI");
constexpr uint32_t kVoxMatlChunk = OMB_ChunkId("MATL");
constexpr size_t kVoxChunkHeader = 12;

using TK_VoxDict = std::vector<std::pair<std::string, std::string>>;

struct TK_VoxKept {
    struct Chunk {
        uint32_t id = 0;
        int model = -1;  // SIZE and XYZI: the model they belong to
        // Header, content and children; empty for the SIZE and XYZI of a
        // file's only model, which is always written from the editor's.
        std::vector<uint8_t> bytes;
    };

    int32_t version = 150;
    int current = 0;  // the model being edited
    int modelCount = 1;
    std::vector<std::string> names;  // per model: the scene's "_name", or empty
    // The children of "MAIN" in file order; empty when the file held nothing
    // but what the editor writes (then it is written as the editor writes).
    std::vector<Chunk> chunks;
    // The file the record was read from, and, when not empty, why "save"
    // must not write over that file (a model cut to fit, say).
    std::string source;
    std::string protect;

    bool HasChunks() const { return !chunks.empty(); }
    // "model 2 of 3 (house)" for model `index` (0-based).
    std::string Label(int index) const;
    std::string Label() const { return Label(current); }
};

// One DICT at `p`, moved past it; false, with `error` set, when a count or
// a string runs past `end`. `dict` may be null (checked, not kept).
bool TK_ReadVoxDict(const uint8_t*& p, const uint8_t* end, TK_VoxDict* dict, std::string& error);

struct TK_VoxGraph {
    struct Node {
        int32_t id = 0;
        uint32_t kind = 0;  // nTRN, nGRP or nSHP
        std::string name;   // a transform's "_name"
        std::vector<int32_t> children;  // node ids (transform, group)
        std::vector<int32_t> models;    // model ids (shape)
    };
    std::vector<Node> nodes;

    // Duplicate node ids, children that name no node, models outside
    // 0..modelCount-1 and cycles are refused; `names` receives each model's
    // name (the transform above the first shape that shows it).
    bool Resolve(int modelCount, std::vector<std::string>& names, std::string& error) const;
};

// Checks the content of a scene chunk (the ids above; other ids pass) and
// adds its graph node, when it is one, to `graph`. False with the cause.
bool TK_CheckVoxChunk(uint32_t id, const uint8_t* content, size_t size, TK_VoxGraph& graph, std::string& error);

// A colour's material from its MATL dictionary: the kinds "_metal", "_glass"
// and "_emit" are the editor's, every other kind is diffuse; numbers are
// clamped to the editor's ranges and unreadable ones keep the default's.
TK_Material TK_MaterialFromVoxDict(const TK_VoxDict& dict);
// The MATL content of colour `index` for `m`: the keys of `original` (when
// given) kept in their order, the editor's keys replaced or added.
void TK_VoxMaterialChunk(int index, const TK_Material& m, const TK_VoxDict* original, std::vector<uint8_t>& out);
// True when MATL says all of `m` (reading it back gives the same record).
bool TK_MaterialFitsVox(const TK_Material& m);

// A model of the record from its kept SIZE and XYZI bytes, as the reader
// reads one (counts bounded by the bytes; not normalised). False for an
// index outside 0..modelCount-1.
bool TK_VoxKeptModel(const TK_VoxKept& kept, int index, TK_Model& model);
// Appends a leaf chunk: header, then `size` bytes of content.
void TK_PutVoxChunk(std::vector<uint8_t>& out, uint32_t id, const void* content, size_t size);
// Appends the model's SIZE or XYZI chunk (`id` says which).
void TK_PutVoxModelChunk(std::vector<uint8_t>& out, uint32_t id, const TK_Model& model);

// After "swap A B" of the edited model: the other models' voxels of the two
// colours and the MATL chunks of the two colours change places in the
// model's kept record, so they keep their look. Nothing without a record.
void TK_VoxSwapColors(TK_Model& model, int a, int b);
