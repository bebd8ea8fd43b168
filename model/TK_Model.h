// TK_Model: the document. A named box of cells with a sparse voxel list and a
// 256-colour palette. Every command, brush, importer, exporter and renderer
// reads or writes it.
//
// Invariants of a valid model (NormalizeModel establishes them, every command
// keeps them): 1 <= size <= 126 per axis, every voxel inside the size, no two
// voxels in one cell, colours 1..255, palette entry 0 zero and alpha 255 in the
// others. None of the operations here notifies; the caller does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Palette.h"
#include "model/Voxel.h"

constexpr int kMaxModelSize = 126;

struct TK_VoxKept;

class TK_Model {
public:
    std::string name;  // the file's name, shown to the user
    // The file it was opened from or last saved to, where "save" writes back;
    // empty when it has none (then "save" uses the name in the models folder).
    std::string path;
    int size[3] = {0, 0, 0};
    VoxelList voxels;
    Palette palette;
    // What the model's file holds besides this model (model/TK_VoxScene.h),
    // written back by "save"; null for a model that came from no such file.
    std::shared_ptr<const TK_VoxKept> kept;

    TK_Model() = default;
    explicit TK_Model(int growStep) : voxels(growStep) {}

    // Entries 1..255 get alpha 255; entry 0 becomes 0.
    void ResetPaletteAlpha();
    // Entries 1..255 equal the default palette in R, G and B.
    bool IsDefaultPalette() const;
    // Entry i becomes the grey 256 - i.
    void MakeGreyPalette();
    // Lowest index in 1..min(n,256)-1 with the same R, G, B; 0 when none.
    int FindExactColor(uint32_t rgb, int n = 256) const;
    // Index 1..255 with the smallest R+G+B distance; ties to the lowest.
    int FindNearestColor(uint32_t rgb) const;
    // Lowest and highest coordinates; false for an empty model.
    bool ComputeBounds(int lo[3], int hi[3]) const;
    // The name without folder and extension (the exporters' object name).
    std::string ModelBaseName() const;
    // Makes any loaded model valid: size grown to the voxels and clamped to
    // `limit` (capped at 126), colour 0 voxels take `color` (when 1..255),
    // voxels outside the size or in taken cells dropped, alpha reset.
    void NormalizeModel(const int limit[3], int color);

    bool InBox(int x, int y, int z) const {
        return unsigned(x) < unsigned(size[0]) && unsigned(y) < unsigned(size[1]) && unsigned(z) < unsigned(size[2]);
    }
    int CellCount() const { return size[0] * size[1] * size[2]; }
};
