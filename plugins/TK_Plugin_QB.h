// TK_Plugin_QB: Qubicle Binary files (".qb"). The writer produces one plain
// RGBA matrix named after the model; the reader accepts any number of
// matrices, plain or run-length, RGBA or BGRA, and merges them into one model
// whose palette holds the file's colours in order of first appearance (the
// 256th and later distinct colours go to the nearest of the first 255).
//
// Axes: QB has y up and is mirrored in x. A model cell (x, y, z) is QB cell
// (size x - 1 - x, z, y).
//
// Hostile files: sizes are clamped to 256 per axis, every read is bounded by
// the bytes left, run lengths by the slice, and the voxels of all matrices
// together by kMaxQBVoxels, so a small file cannot make a large model.
#pragma once

#include "plugins/TK_BinaryPlugin.h"

constexpr int kMaxQBVoxels = 256 * 256 * 256;

class TK_Plugin_QB : public TK_BinaryPlugin<TK_Plugin_QB> {
public:
    // The reader and the writer on any source or target (file or memory).
    // Read fails after the version message, for a short header, no matrix,
    // or no voxel in any matrix.
    static bool Read(OMB_LoadBitFile& file, TK_Model& model);
    static bool Write(OMB_SaveBitFile& file, const TK_Model& model);
};
