// The one owning file-stream type of the program, and the careful way to open
// a file for reading. Every reader goes through OMB_OpenForReading so that a
// path naming a FIFO, a device or a folder fails at once instead of blocking
// or reading forever.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

struct OMB_FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
// Owns a stream; fclose on destruction (use release() + fclose to see errors).
using OMB_FileHandle = std::unique_ptr<FILE, OMB_FileCloser>;

// Opens a regular file for binary reading without ever blocking (the open
// itself does not wait for a FIFO's writer). Null for a missing path, a
// file that cannot be opened, or anything that is not a regular file.
// `size`, when given, receives the file's length.
OMB_FileHandle OMB_OpenForReading(const char* path, int64_t* size = nullptr);

// fopen for a UTF-8 path (the wide API on Windows); null with errno set.
FILE* OMB_OpenFile(const char* path, const char* mode);
// rename for UTF-8 paths, replacing `to`; false with errno set.
bool OMB_RenameFile(const char* from, const char* to);
