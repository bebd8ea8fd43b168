// The offscreen snapshot mode: `tarsk --snap OUT.png [--size WxH]
// [--angle PITCH YAW] [-c LINE ...] [--script FILE] [MODEL.vox]`. Starts like
// the editor on SDL's offscreen driver (no display needed), runs the lines,
// renders one raster frame with the camera fitted to the model and writes it
// as an RGBA PNG. Exit status: 0 when everything succeeded, 1 when a line or
// the model failed (the PNG is still written) or nothing could be written.
#pragma once

#include "app/TK_CommandLine.h"

int TK_RunSnap(const TK_Options& options);
