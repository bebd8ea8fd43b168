// Snapshots: reading a rectangle of the current framebuffer back into an
// Image and writing images as PNG files. Used by the offscreen snapshot mode
// of the command line and by the snapshot command of the editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Image.h"
#include "render/TK_SceneRenderer.h"

// Reads `rect` of the current read buffer as RGBA (or RGB without `alpha`),
// rows top first. An empty rectangle prints
// "[Warning] snap : empty rect ( x0 y0 : x1 y1 )" and returns false.
bool TK_ReadPixels(const OMB_Rect& rect, bool alpha, Image& out);

// Encodes with the program's PNG encoder (TK_Plugin_PNG) and writes through
// a temporary file; false when either fails.
bool TK_SavePNG(const Image& image, const std::string& path);
