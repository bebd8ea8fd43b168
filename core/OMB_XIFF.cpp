// Chunk tree writer and reader (see OMB_XIFF.h). The message texts are part
// of the container's contract; keep them byte for byte.
#include "core/OMB_XIFF.h"

#include "core/OMB_Cause.h"
#include "core/OMB_Log.h"

namespace {
constexpr int64_t kHeaderSize = 12;
}

// ---------------------------------------------------------------- saving

OMB_XIFF_SaveFile::~OMB_XIFF_SaveFile() { DiscardOpenChunks(); }

void OMB_XIFF_SaveFile::DiscardOpenChunks() {
    if (m_stack.empty()) return;
    OMB_Printf("[Error] %s\n", "have chunk unfinished");
    m_stack.clear();
}

bool OMB_XIFF_SaveFile::Open(const char* path) {
    DiscardOpenChunks();
    return OMB_SaveBitFile::Open(path);
}

bool OMB_XIFF_SaveFile::OpenMemory(std::vector<uint8_t>* out) {
    DiscardOpenChunks();
    return OMB_SaveBitFile::OpenMemory(out);
}

bool OMB_XIFF_SaveFile::BeginChunk(uint32_t id) {
    int64_t position = Tell();
    // A chunk's content ends where its first child begins.
    if (!m_stack.empty() && m_stack.back().contentSize < 0)
        m_stack.back().contentSize = position - m_stack.back().start - kHeaderSize;
    m_stack.push_back({id, position, -1, 0});
    static const uint8_t kPlaceholder[kHeaderSize] = {};
    return WriteBytes(kPlaceholder, sizeof kPlaceholder);
}

void OMB_XIFF_SaveFile::EndChunk(uint32_t id) {
    if (m_stack.empty()) {
        OMB_Printf("[Error] %s\n", "no chunk to finish");
        return;
    }
    OpenChunk chunk = m_stack.back();
    m_stack.pop_back();
    if (chunk.id != id) {
        OMB_Printf("[Error] %s\n", "invalid chunk with different id to finish");
        return;
    }
    int64_t position = Tell();
    if (chunk.contentSize < 0) chunk.contentSize = position - chunk.start - kHeaderSize;
    int64_t children = position - chunk.start - chunk.contentSize - kHeaderSize;
    if (children != chunk.childrenSize) {
        // Content bytes were written after a child chunk.
        OMB_Printf("[Error] %s\n", "content length is not fitting");
        return;
    }
    if (!m_stack.empty()) m_stack.back().childrenSize += position - chunk.start;
    uint8_t header[kHeaderSize];
    OMB_PutInt32LE(header, int32_t(chunk.id));
    OMB_PutInt32LE(header + 4, int32_t(chunk.contentSize));
    OMB_PutInt32LE(header + 8, int32_t(chunk.childrenSize));
    if (Seek(chunk.start) && WriteBytes(header, sizeof header)) Seek(position);
}

// ---------------------------------------------------------------- loading

bool OMB_XIFF_LoadFile::Open(const char* path) {
    m_chunks.clear();
    return OMB_LoadBitFile::Open(path);
}

bool OMB_XIFF_LoadFile::OpenMemory(const void* data, size_t size) {
    m_chunks.clear();
    return OMB_LoadBitFile::OpenMemory(data, size);
}

bool OMB_XIFF_LoadFile::Fail(const char* reason) {
    OMB_Printf("[Error] XIFF : %s\n", reason);
    OMB_SetCause(std::string("damaged file (") + reason + ")");
    return false;
}

bool OMB_XIFF_LoadFile::ReadTree(int64_t offset) {
    m_chunks.clear();
    m_chunks.emplace_back();
    if (ReadChunk(offset, 0, 0)) return true;
    m_chunks.clear();
    return false;
}

bool OMB_XIFF_LoadFile::ReadChunk(int64_t offset, int index, int depth) {
    uint8_t header[kHeaderSize];
    if (!Seek(offset) || !ReadBytes(header, sizeof header)) return Fail("chunk def size");
    OMB_XIFF_Chunk& chunk = m_chunks[size_t(index)];
    chunk.id = uint32_t(OMB_GetInt32LE(header));
    chunk.contentSize = OMB_GetInt32LE(header + 4);
    chunk.childrenSize = OMB_GetInt32LE(header + 8);
    if (chunk.contentSize < 0 || chunk.childrenSize < 0) return Fail("chunk length");
    chunk.start = offset;
    chunk.end = offset + kHeaderSize + chunk.contentSize + chunk.childrenSize;
    return chunk.childrenSize == 0 || ReadChildren(index, depth);
}

bool OMB_XIFF_LoadFile::ReadChildren(int index, int depth) {
    if (depth >= kMaxDepth) return Fail("chunk depth exceed");
    const int64_t end = m_chunks[size_t(index)].end;
    int64_t offset = end - m_chunks[size_t(index)].childrenSize;
    int previous = -1;
    // Every child is at least a header long, so the walk always advances.
    while (offset < end) {
        if (m_chunks.size() >= size_t(kMaxChunks)) return Fail("chunk count exceed");
        int child = int(m_chunks.size());
        m_chunks.emplace_back();
        m_chunks.back().parent = index;
        if (previous < 0)
            m_chunks[size_t(index)].firstChild = child;
        else
            m_chunks[size_t(previous)].nextSibling = child;
        if (!ReadChunk(offset, child, depth + 1)) return false;
        offset = m_chunks[size_t(child)].end;
        previous = child;
    }
    if (offset > end) return Fail("children chunk length exceed");
    return true;
}

const OMB_XIFF_Chunk* OMB_XIFF_LoadFile::FindChunk(uint32_t id) {
    for (const OMB_XIFF_Chunk& chunk : m_chunks)
        if (chunk.id == id) return Seek(chunk.start + kHeaderSize) ? &chunk : nullptr;
    return nullptr;
}
