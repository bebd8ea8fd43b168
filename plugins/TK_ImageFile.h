// Helpers of the palette image plugins (PNG, TGA, ACT): whole-file reads
// with a size cap, the bound every image size read from a file must pass
// before anything is allocated, and the whole-buffer atomic write.
//
// The rule they keep: a picture's size comes from a file and is never
// trusted; it is checked against kMaxImageSide and kMaxImagePixels first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Largest side and pixel count a reader accepts (64 MiB of RGBA).
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(1) << 24;

// True when an image of width x height may be allocated.
inline bool TK_IsImageSizeAllowed(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

// The whole file into `bytes`; false (bytes empty) when it cannot be opened
// or read, or holds more than `maxSize` bytes. Prints nothing.
bool TK_ReadFileBytes(const std::string& path, size_t maxSize, std::vector<uint8_t>& bytes);

// Writes the buffer through a temporary file renamed over `path`; false for
// an empty path or any failed step (an older file stays as it was).
bool TK_WriteFileBytes(const std::string& path, const void* data, size_t size);
inline bool TK_WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return TK_WriteFileBytes(path, bytes.data(), bytes.size());
}
inline bool TK_WriteFileBytes(const std::string& path, const std::string& text) {
    return TK_WriteFileBytes(path, text.data(), text.size());
}
