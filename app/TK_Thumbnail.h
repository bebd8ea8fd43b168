// The file manager's thumbnailer: `tarsk --thumbnail OUT.png [--size N]
// MODEL.vox` writes the raster view of the model at the default angle as an
// N x N RGBA PNG with a transparent background (256 unless said otherwise).
//
// A desktop runs it on every model in a folder a user opens, often on files
// from elsewhere, so the rule not to break: it writes nothing but OUT.png
// (no configuration, user folders, cache copy, backup, camera slot or driver
// shader cache), needs no display, and ends within a few seconds whatever
// the file holds. A file that does not load gives no picture and status 1.
#pragma once

#include "app/TK_CommandLine.h"

int TK_RunThumbnail(const TK_Options& options);
