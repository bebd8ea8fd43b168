// The offscreen picture modes: `tarsk --snap OUT [--size WxH] [--angle PITCH
// YAW] [--turntable N] [-c LINE ...] [--script FILE] [MODEL.vox]` and the
// same with `--render OUT [--spp N]`. Both start like the editor on SDL's
// offscreen driver (no display needed), run the lines, fit the camera to the
// model and write the picture: the snapshot renders raster frames, the
// render accumulates N path-traced samples per frame (progress on standard
// error).
//
// OUT's name picks the output: an RGBA PNG (.png), the tracer's linear
// radiance as OpenEXR (.exr, render only; a series of them when the name
// holds a frame-number pattern), or an animation (.webp, .gif, or a PNG
// series named by a frame-number pattern), which --turntable fills with N
// frames turning once around the model; without it an animation has one
// frame. The camera is fitted once, so the model never jumps.
//
// Exit status: 0 when everything succeeded, 1 when a line or the model failed
// (the picture is still written), the tracer cannot run, or nothing could be
// written; 2, before anything starts, for an output name that cannot be
// written ("[Error]" line).
#pragma once

#include "app/TK_CommandLine.h"

int TK_RunSnap(const TK_Options& options);
