// The binary file layer under the chunk container and the voxel importers:
// little-endian reads and writes on either a file or a memory buffer, so that
// parsers can be tested and fuzzed without a disk.
//
// The one rule: a save never destroys the previous file. OMB_SaveBitFile
// writes through OMB_AtomicFile (a temporary file renamed over the target
// only after every write and the close succeeded; see core/OMB_AtomicFile.h
// for how links, special files and read-only targets are treated).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/OMB_AtomicFile.h"
#include "core/OMB_FileHandle.h"

class OMB_BitFile {
public:
    OMB_BitFile() = default;
    OMB_BitFile(const OMB_BitFile&) = delete;
    OMB_BitFile& operator=(const OMB_BitFile&) = delete;
    virtual ~OMB_BitFile() = default;
};

class OMB_SaveBitFile : public OMB_BitFile {
public:
    ~OMB_SaveBitFile() override { Close(); }

    // Closes any open target first (a failing close fails the open), then
    // starts writing `path` through a temporary file. False for an empty path,
    // a refused target (after its message) or when the temporary file cannot
    // be created.
    bool Open(const char* path);
    // Writes into `out` (emptied) instead of a file; `out` must outlive this.
    bool OpenMemory(std::vector<uint8_t>* out);
    // Finishes the target: true when every write, the close and the rename
    // succeeded. Closing nothing is true.
    bool Close();
    // Abandons the target: the temporary file is removed and an existing
    // file at the path stays as it was.
    void Discard();
    bool IsOpen() const { return m_file.IsOpen() || m_memory; }

    bool WriteBytes(const void* data, size_t n);
    bool WriteByte(uint8_t value) { return WriteBytes(&value, 1); }
    bool WriteInt32(int32_t value);
    // The bytes of the text and a terminating zero byte.
    bool WriteText(const char* text);

    int64_t Tell() const;
    // Positions at or before the current end only.
    bool Seek(int64_t position);

private:
    void Reset();

    OMB_AtomicFile m_file;
    std::vector<uint8_t>* m_memory = nullptr;
    size_t m_memoryPos = 0;
    bool m_failed = false;  // a write or seek failed: Close must not replace the target
};

class OMB_LoadBitFile : public OMB_BitFile {
public:
    // Closes any open source first, then opens `path` for reading: false,
    // without waiting, for anything but a regular file.
    bool Open(const char* path);
    // Reads from `data`, which must outlive the reads; never copied.
    bool OpenMemory(const void* data, size_t size);
    void Close();
    bool IsOpen() const { return m_file || m_data; }

    // True only when exactly n bytes were read; a short read still moves
    // the position past the bytes that were there.
    bool ReadBytes(void* buffer, size_t n);
    // The value, 0 when the read fails.
    bool ReadInt32(int32_t& value);
    bool ReadByte(uint8_t& value);
    // Bytes up to a zero byte; fails at the end of the data or when 256
    // bytes in a row are not zero (at most 255 characters).
    bool ReadText(std::string& text);

    int64_t Tell() const;
    bool Seek(int64_t position);
    // Length of the source in bytes, for bounding counts read from it.
    int64_t Size() const { return m_size; }
    // Bytes from the position to the end (0 past the end).
    int64_t Remaining() const;

private:
    OMB_FileHandle m_file;
    const uint8_t* m_data = nullptr;
    int64_t m_size = 0;
    int64_t m_dataPos = 0;
};

// Little-endian helpers for parsers working on byte arrays.
inline int32_t OMB_GetInt32LE(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}
inline void OMB_PutInt32LE(uint8_t* p, int32_t value) {
    uint32_t v = uint32_t(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
