// Conversions between pictures and the document: the 256 x 1 palette image
// the model formats offer as their palette, the palette taken from any
// picture ("ipal"), and the one-voxel-thick model made from a picture ("i" of
// an image file).
#pragma once

#include "model/Image.h"
#include "model/Palette.h"
#include "model/TK_Model.h"

// A 256 x 1 RGBA image: pixel k (0..254) is palette entry k + 1, pixel 255
// opaque black. Always true.
bool PaletteToImage(const Palette& palette, Image& image);

// The palette of a picture, over the grey ramp: with manyColours false the
// first min(pixels, 255) pixels in order become entries 1, 2, 3...; with it
// true the first 255 distinct colours do. Entries 1..255 get alpha 255; entry
// 0 is left for the caller. False unless the image is RGB or RGBA with all
// its pixels.
bool ImageToPalette(const Image& image, Palette& palette, bool manyColours);

// A picture standing upright as a model one cell deep: pixel column ->
// x, row (top first) -> z from the top down, y = 0. Pixels with alpha below
// 128 stay empty. A picture wider or taller than 126 pixels is scaled down
// (nearest pixel) to fit. Colours go into `model.palette`, which the caller
// sets first: an entry with the same RGB is used, else an entry no colour of
// the picture matches, else the nearest entry. False for an image without
// pixels or of an unknown format.
bool ImageToModel(const Image& image, TK_Model& model);
