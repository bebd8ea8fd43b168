// OpenEXR output of linear pictures: the path tracer's accumulated radiance
// for compositing, before exposure, vignette and gamma. Half-float RGBA,
// ZIP-compressed, written through a temporary file like every other save.
//
// The rule it keeps: the library's exceptions never leave this file; a
// failure is a false return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgba` holds width * height * 4 linear floats, rows top first. False for a
// size that does not match, an encoder error or a failed write (an older
// file stays as it was).
bool TK_EncodeEXR(const std::vector<float>& rgba, int width, int height, std::vector<uint8_t>& out);
bool TK_SaveEXR(const std::vector<float>& rgba, int width, int height, const std::string& path);
