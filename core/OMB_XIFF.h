// The chunk container of the native model file: a tree of tagged chunks, each
// a 12-byte header {id, content size N, children size M} followed by N bytes
// of content and M bytes of child chunks. All numbers are little-endian.
//
// OMB_XIFF_SaveFile streams chunks out and patches each header when its chunk
// ends; chunks must nest strictly (content first, then children, then
// EndChunk). OMB_XIFF_LoadFile reads the whole tree into flat records and
// seeks to a chunk's content by id. The tree comes from the file, so its depth
// and its number of chunks are bounded: a hostile file fails with a message
// instead of exhausting the stack or memory.
#pragma once

#include <cstdint>
#include <vector>

#include "core/OMB_BitFile.h"

// The id whose little-endian bytes spell `tag` ("MAIN" -> 0x4E49414D).
constexpr uint32_t OMB_ChunkId(const char (&tag)[5]) {
    return uint32_t(uint8_t(tag[0])) | uint32_t(uint8_t(tag[1])) << 8 | uint32_t(uint8_t(tag[2])) << 16 |
           uint32_t(uint8_t(tag[3])) << 24;
}

class OMB_XIFF_SaveFile : public OMB_SaveBitFile {
public:
    // Prints "have chunk unfinished" when chunks are still open, then closes.
    ~OMB_XIFF_SaveFile() override;

    // Both print "have chunk unfinished" and drop the open chunks first.
    bool Open(const char* path);
    bool OpenMemory(std::vector<uint8_t>* out);

    // Starts a child of the innermost open chunk (which thereby ends its
    // content) and writes a placeholder header. False when that write fails.
    bool BeginChunk(uint32_t id);
    // Ends the innermost chunk, which must have this id, and patches its
    // header. Nesting faults are printed and leave the placeholder header.
    void EndChunk(uint32_t id);

    // Prints "have chunk unfinished" and drops the open chunks, when any.
    void DiscardOpenChunks();

private:
    struct OpenChunk {
        uint32_t id;
        int64_t start;         // position of the header
        int64_t contentSize;   // -1 until the content ends
        int64_t childrenSize;  // whole lengths of the children ended so far
    };
    std::vector<OpenChunk> m_stack;
};

struct OMB_XIFF_Chunk {
    uint32_t id = 0;
    int32_t contentSize = 0;
    int32_t childrenSize = 0;
    int64_t start = 0;  // position of the header
    int64_t end = 0;    // start + 12 + content size + children size
    int parent = -1;    // indices into the flat list, -1 for none
    int firstChild = -1;
    int nextSibling = -1;
};

class OMB_XIFF_LoadFile : public OMB_LoadBitFile {
public:
    static constexpr int kMaxDepth = 64;        // nesting levels below the root
    static constexpr int kMaxChunks = 1 << 16;  // records in one tree

    // Both drop the records of an earlier tree.
    bool Open(const char* path);
    bool OpenMemory(const void* data, size_t size);

    // Reads the root chunk at `offset` and all its descendants. False, after
    // an "[Error] XIFF : ..." line, on any structural fault.
    bool ReadTree(int64_t offset = 8);
    // The first chunk with this id in pre-order over the whole tree, root
    // included, with the stream moved to its content; null when none.
    const OMB_XIFF_Chunk* FindChunk(uint32_t id);

    // Records in pre-order (each chunk before its children); the root is 0.
    const std::vector<OMB_XIFF_Chunk>& Chunks() const { return m_chunks; }

private:
    bool ReadChunk(int64_t offset, int index, int depth);
    bool ReadChildren(int index, int depth);
    bool Fail(const char* reason);

    std::vector<OMB_XIFF_Chunk> m_chunks;
};
