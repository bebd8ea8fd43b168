// TK_VoxelGrid: a dense colour-per-cell copy of a box, for the generator and
// morphology commands that look at neighbours or resample. The model keeps
// its voxels as a sparse list; a command that needs random access copies them
// here once, works on bytes, and writes the result back in one pass.
//
// Rule: a grid never outlives the command step that built it; it is a
// scratch copy, not a second store of the document.
#pragma once

#include <cstdint>
#include <vector>

#include "core/OMB_LargeAlloc.h"
#include "model/TK_Model.h"

struct TK_VoxelGrid {
    int size[3] = {0, 0, 0};
    OMB_LargeVector<uint8_t> cells;  // colour index per cell, 0 empty; x fastest, z slowest

    TK_VoxelGrid() = default;
    TK_VoxelGrid(int sx, int sy, int sz) { Reset(sx, sy, sz); }

    // All cells empty.
    void Reset(int sx, int sy, int sz) {
        size[0] = sx;
        size[1] = sy;
        size[2] = sz;
        cells.assign(size_t(sx) * size_t(sy) * size_t(sz), 0);
    }
    // The model's voxels in a grid of the model's size; voxels outside it
    // (never in a valid model) are ignored.
    static TK_VoxelGrid FromModel(const TK_Model& model) {
        TK_VoxelGrid grid(model.size[0], model.size[1], model.size[2]);
        for (const Voxel& v : model.voxels)
            if (model.InBox(v.x, v.y, v.z)) grid.cells[grid.Index(v.x, v.y, v.z)] = v.colorIndex;
        return grid;
    }

    int Index(int x, int y, int z) const { return x + size[0] * (y + size[1] * z); }
    bool InBox(int x, int y, int z) const {
        return unsigned(x) < unsigned(size[0]) && unsigned(y) < unsigned(size[1]) && unsigned(z) < unsigned(size[2]);
    }
    uint8_t At(int x, int y, int z) const { return InBox(x, y, z) ? cells[Index(x, y, z)] : 0; }
    int CellCount() const { return int(cells.size()); }

    // Makes the grid the model's size and voxels, in z, y, x order.
    void WriteTo(TK_Model& model) const {
        int count = 0;
        for (uint8_t c : cells) count += c != 0;
        model.size[0] = size[0];
        model.size[1] = size[1];
        model.size[2] = size[2];
        model.voxels.Clear();
        model.voxels.Reserve(count);
        const uint8_t* cell = cells.data();
        for (int z = 0; z < size[2]; ++z)
            for (int y = 0; y < size[1]; ++y)
                for (int x = 0; x < size[0]; ++x, ++cell)
                    if (*cell) model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), *cell});
    }
};
