// File and memory back ends of the binary file layer (see OMB_BitFile.h).
// File-system failures return false without a message; the formats built on
// top print their own.
#include "core/OMB_BitFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/OMB_Cause.h"

// ---------------------------------------------------------------- saving

bool OMB_SaveBitFile::Open(const char* path) {
    if (!Close()) return false;
    return path && m_file.Open(path);
}

bool OMB_SaveBitFile::OpenMemory(std::vector<uint8_t>* out) {
    if (!Close() || !out) return false;
    out->clear();
    m_memory = out;
    return true;
}

bool OMB_SaveBitFile::Close() {
    bool ok = !m_failed;
    if (m_file.IsOpen()) {
        if (ok)
            ok = m_file.Commit();
        else
            m_file.Discard();
    }
    Reset();
    return ok;
}

void OMB_SaveBitFile::Discard() {
    m_file.Discard();
    Reset();
}

void OMB_SaveBitFile::Reset() {
    m_memory = nullptr;
    m_memoryPos = 0;
    m_failed = false;
}

bool OMB_SaveBitFile::WriteBytes(const void* data, size_t n) {
    if (n == 0) return IsOpen();
    if (m_file.IsOpen()) {
        if (std::fwrite(data, 1, n, m_file.Stream()) == n) return true;
        if (!m_failed) OMB_SetCauseErrno(errno ? errno : EIO);
        m_failed = true;
        return false;
    }
    if (!m_memory) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t overlap = std::min(n, m_memory->size() - m_memoryPos);
    if (overlap) std::memcpy(m_memory->data() + m_memoryPos, bytes, overlap);
    m_memory->insert(m_memory->end(), bytes + overlap, bytes + n);
    m_memoryPos += n;
    return true;
}

bool OMB_SaveBitFile::WriteInt32(int32_t value) {
    uint8_t bytes[4];
    OMB_PutInt32LE(bytes, value);
    return WriteBytes(bytes, 4);
}

bool OMB_SaveBitFile::WriteText(const char* text) {
    if (!text) text = "";
    return WriteBytes(text, std::strlen(text) + 1);
}

int64_t OMB_SaveBitFile::Tell() const {
    if (m_file.IsOpen()) return int64_t(::ftello(m_file.Stream()));
    return m_memory ? int64_t(m_memoryPos) : -1;
}

bool OMB_SaveBitFile::Seek(int64_t position) {
    bool ok = false;
    if (m_file.IsOpen())
        ok = position >= 0 && ::fseeko(m_file.Stream(), off_t(position), SEEK_SET) == 0;
    else if (m_memory && position >= 0 && uint64_t(position) <= m_memory->size()) {
        m_memoryPos = size_t(position);
        ok = true;
    }
    if (!ok) m_failed = true;
    return ok;
}

// ---------------------------------------------------------------- loading

bool OMB_LoadBitFile::Open(const char* path) {
    Close();
    int64_t size = 0;
    OMB_FileHandle file = OMB_OpenForReading(path, &size);
    if (!file) return false;
    m_file = std::move(file);
    m_size = size;
    return true;
}

bool OMB_LoadBitFile::OpenMemory(const void* data, size_t size) {
    Close();
    static const uint8_t kEmpty = 0;
    m_data = data ? static_cast<const uint8_t*>(data) : &kEmpty;
    m_size = data ? int64_t(size) : 0;
    return true;
}

void OMB_LoadBitFile::Close() {
    m_file.reset();
    m_data = nullptr;
    m_size = 0;
    m_dataPos = 0;
}

bool OMB_LoadBitFile::ReadBytes(void* buffer, size_t n) {
    if (m_file) return std::fread(buffer, 1, n, m_file.get()) == n;
    if (!m_data) return false;
    size_t available = size_t(std::max<int64_t>(0, m_size - m_dataPos));
    size_t count = std::min(n, available);
    if (count) std::memcpy(buffer, m_data + m_dataPos, count);
    m_dataPos += int64_t(count);
    return count == n;
}

bool OMB_LoadBitFile::ReadInt32(int32_t& value) {
    uint8_t bytes[4];
    bool ok = ReadBytes(bytes, 4);
    value = ok ? OMB_GetInt32LE(bytes) : 0;
    return ok;
}

bool OMB_LoadBitFile::ReadByte(uint8_t& value) {
    bool ok = ReadBytes(&value, 1);
    if (!ok) value = 0;
    return ok;
}

bool OMB_LoadBitFile::ReadText(std::string& text) {
    text.clear();
    for (int i = 0; i < 256; ++i) {
        uint8_t c;
        if (!ReadBytes(&c, 1)) return false;
        if (c == 0) return true;
        text.push_back(char(c));
    }
    return false;
}

int64_t OMB_LoadBitFile::Tell() const {
    if (m_file) return int64_t(::ftello(m_file.get()));
    return m_data ? m_dataPos : -1;
}

bool OMB_LoadBitFile::Seek(int64_t position) {
    if (position < 0) return false;
    if (m_file) return ::fseeko(m_file.get(), off_t(position), SEEK_SET) == 0;
    if (!m_data) return false;
    m_dataPos = position;
    return true;
}

int64_t OMB_LoadBitFile::Remaining() const {
    int64_t position = Tell();
    return position < 0 ? 0 : std::max<int64_t>(0, m_size - position);
}
