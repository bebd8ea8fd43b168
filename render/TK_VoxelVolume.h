// TK_VoxelVolume: the CPU mirror of the model that the ray-cast view draws
// from: one byte per cell (the colour index, x fastest), two bytes of
// occlusion per cell (occupancy 255/0 and the fixed light's shadow, as the
// face renderer's occlusion volume), and one byte per brick of 4 x 4 x 4
// cells so rays skip empty space: 0 where a cell of the brick is filled,
// else how many bricks away (in the largest of the three axis steps) the
// nearest filled brick lies, at most kFarBricks. A ray may cross every
// brick nearer than that without looking at a cell. Update compares the model with the mirror and returns the box of
// cells that changed, so the GPU copy is patched in place rather than
// rebuilt; it also counts the exposed faces, from which the raster view
// chooses between drawing faces and casting rays.
//
// Plain data: no OpenGL, safe in tests and benchmarks without a context.
// The rule not to break: every array is sized from the clamped model size,
// never from the voxels, so a stray voxel outside the size is ignored.
#pragma once

#include <cstdint>
#include <vector>

#include "model/TK_Model.h"

// An inclusive box of cells; empty when lo > hi on the x axis.
struct TK_CellBox {
    int lo[3] = {0, 0, 0};
    int hi[3] = {-1, -1, -1};

    bool Empty() const { return lo[0] > hi[0]; }
    void Add(int x, int y, int z);
    void Add(const TK_CellBox& other);
};

class TK_VoxelVolume {
public:
    // Bricks of 4^3 rather than 8^3: near a surface a ray steps through
    // fewer empty cells one by one (the 60-cell sphere casts in 0.7 of the
    // time), and the distance pass stays a few milliseconds.
    static constexpr int kBrickShift = 2;
    static constexpr int kBrickCells = 1 << kBrickShift;
    static constexpr int kFarBricks = 255;

    // Brings the mirror up to the model; `shadow` fills the occlusion's
    // shadow byte. Returns the cells whose colour, occupancy or shadow
    // changed: the whole box after a size change (Resized() then tells).
    TK_CellBox Update(const TK_Model& model, bool shadow);

    const int* Size() const { return m_size; }
    const int* Bricks() const { return m_bricks; }
    bool Resized() const { return m_resized; }
    // Exposed faces: filled cells next to an empty cell or the outside.
    int64_t FaceCount() const { return m_faces; }
    const uint8_t* Indices() const { return m_indices.data(); }
    const uint8_t* Occlusion() const { return m_occlusion.data(); }
    const uint8_t* BrickBytes() const { return m_brickBytes.data(); }
    uint8_t At(int x, int y, int z) const { return m_indices[Index(x, y, z)]; }

private:
    size_t Index(int x, int y, int z) const {
        return size_t(x) + size_t(m_size[0]) * (size_t(y) + size_t(m_size[1]) * size_t(z));
    }
    TK_CellBox FillIndices(const TK_Model& model);
    TK_CellBox FillOcclusion(const TK_CellBox& changed, bool shadow);
    void FillBricks(const TK_CellBox& changed);
    void CountFaces();
    void BrickDistances();

    int m_size[3] = {0, 0, 0};
    int m_bricks[3] = {0, 0, 0};
    bool m_resized = false;
    bool m_shadow = false;
    int64_t m_faces = 0;
    std::vector<uint8_t> m_indices;
    std::vector<uint8_t> m_scratch;
    std::vector<uint8_t> m_occlusion;
    std::vector<uint8_t> m_brickBytes;
    std::vector<uint8_t> m_brickFilled;
    std::vector<int> m_brickDistance;
};

// The shadow byte of every cell from the occupancy bytes (two bytes per
// cell, x fastest): the light comes from +x, -y, +z, and a cell is shadowed
// when the cell one step towards the light is occupied or shadowed itself.
void TK_SweepShadow(const int size[3], uint8_t* occlusion);
