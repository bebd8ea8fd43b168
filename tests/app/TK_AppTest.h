// Helpers of the app tests: running build/tarsk as a child process, and
// reading PNG files back.
#pragma once

#include <string>
#include <vector>

struct TK_ProcessResult {
    std::string out;  // standard output
    int status = -1;  // exit status, -1 when it did not exit normally
};

// Runs the built tarsk with `args` (standard error discarded).
TK_ProcessResult RunTarsk(const std::vector<std::string>& args);

struct TK_TestImage {
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<unsigned char> rgba;  // converted to RGBA, rows top first
    const unsigned char* At(int x, int y) const { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
};

// False when the file is not a readable PNG.
bool ReadTestPNG(const std::string& path, TK_TestImage& out);
