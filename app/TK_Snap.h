// The offscreen picture modes: `tarsk --snap OUT.png [--size WxH]
// [--angle PITCH YAW] [-c LINE ...] [--script FILE] [MODEL.vox]` and the same
// with `--render OUT.png [--spp N]`. Both start like the editor on SDL's
// offscreen driver (no display needed), run the lines, fit the camera to the
// model and write an RGBA PNG: the snapshot renders one raster frame, the
// render accumulates N path-traced samples (progress on standard error).
// Exit status: 0 when everything succeeded, 1 when a line or the model failed
// (the PNG is still written), the tracer cannot run, or nothing could be
// written.
#pragma once

#include "app/TK_CommandLine.h"

int TK_RunSnap(const TK_Options& options);
