// TK_VoxelSurface: the CPU-side geometry the raster renderer draws from,
// derived from a model whenever its voxels change. It keeps an occupancy grid
// with a free border and, for each face direction, the exposed faces (faces
// whose neighbour cell is empty) sorted into slices along the direction's
// axis. Each frame the renderer turns the slices that can face the eye into
// quads (TK_AppendFaceQuads), so culling costs nothing per face and quads
// come out nearest slice first, which lets the depth test reject most hidden
// fragments early. Edge lines and the occlusion volume are derived from the
// same grid on demand.
//
// Face directions are numbered 1..6: -X, +X, -Y, +Y, -Z, +Z (z is up).
// Everything here is plain data: no OpenGL, safe to use in tests and
// benchmarks without a context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/TK_Model.h"

// One quad corner: position and, in the fourth short, the palette index.
struct TK_QuadVertex {
    int16_t x, y, z, index;
};
static_assert(sizeof(TK_QuadVertex) == 8, "quad vertices are 8 bytes");

// One end of an edge line (three bytes and a spare).
struct TK_EdgePoint {
    uint8_t x, y, z, spare;
};

// A reusable array of quad corners that never initialises its storage, so
// that reserving room for every face of a large model costs nothing until
// the corners are written.
class TK_QuadBuffer {
public:
    // Room for at least `vertices` corners; keeps the contents only when no
    // reallocation is needed.
    void Reserve(size_t vertices);
    void Clear() { m_count = 0; }
    size_t Count() const { return m_count; }  // corners, four per quad
    size_t Capacity() const { return m_capacity; }
    TK_QuadVertex* Data() { return m_data.get(); }
    const TK_QuadVertex* Data() const { return m_data.get(); }
    // Where the next corner goes; the caller checks the capacity first.
    TK_QuadVertex* End() { return m_data.get() + m_count; }
    void Grow(size_t corners) { m_count += corners; }

private:
    std::unique_ptr<TK_QuadVertex[]> m_data;
    size_t m_count = 0;
    size_t m_capacity = 0;
};

// Where the eye is, in model coordinates, for culling one frame.
struct TK_FaceView {
    bool ortho = false;
    float eye[3] = {0, 0, 0};      // perspective: the eye position
    float viewDir[3] = {0, 0, -1};  // orthographic: from the eye into the scene
};

// The slices of one direction that can face the eye, nearest first.
struct TK_SliceRange {
    int first = 0;  // first slice drawn
    int count = 0;  // number of slices
    int step = 1;   // +1 or -1
};

class TK_VoxelSurface {
public:
    // Rebuilds everything from the model. Voxels outside the model's size
    // are ignored (a valid model has none).
    void Build(const TK_Model& model);

    const int* Size() const { return m_size; }
    int VoxelCount() const { return m_voxelCount; }
    int FaceCount(int dir) const { return int(m_faces[dir - 1].size()); }
    // Exposed faces of a direction in one slice, as voxel words
    // (x | y << 8 | z << 16 | colorIndex << 24).
    const uint32_t* SliceBegin(int dir, int slice) const {
        return m_faces[dir - 1].data() + m_sliceStart[dir - 1][size_t(slice)];
    }
    const uint32_t* SliceEnd(int dir, int slice) const {
        return m_faces[dir - 1].data() + m_sliceStart[dir - 1][size_t(slice) + 1];
    }
    // Any cell from -1 to size on each axis; outside the model is empty.
    bool Occupied(int x, int y, int z) const { return m_occupied[size_t(GridIndex(x, y, z))] != 0; }

    // Line pairs along the model's convex and concave edges.
    void BuildEdges(std::vector<TK_EdgePoint>& out) const;
    // Two bytes per cell, x fastest: occupancy (255 or 0) and, with `shadow`,
    // 255 where the cell lies in the shadow of the fixed light.
    void BuildOcclusion(bool shadow, std::vector<uint8_t>& out) const;

private:
    int GridIndex(int x, int y, int z) const { return (x + 1) + m_dims[0] * ((y + 1) + m_dims[1] * (z + 1)); }
    void FillGrid(const TK_Model& model);
    void SortFaces(const TK_Model& model);

    int m_size[3] = {0, 0, 0};
    int m_dims[3] = {2, 2, 2};  // size + 2: a free border on every side
    int m_voxelCount = 0;
    std::vector<uint8_t> m_occupied = std::vector<uint8_t>(8, 0);
    std::vector<uint32_t> m_faces[6];
    std::vector<int> m_sliceStart[6];  // per direction: slice count + 1 offsets
};

// The slices of direction `dir` that can face the eye. Perspective: a -X face
// at x only when floor(eye.x) < x, a +X face only when floor(eye.x) > x (and
// likewise on the other axes). Orthographic: the whole direction, unless the
// view looks the same way as the face normal.
TK_SliceRange TK_VisibleSlices(int dir, int sliceCount, const TK_FaceView& view);
// Appends one quad per visible face of `dir`, nearest slice first. The
// buffer must have room for 4 * FaceCount(dir) more corners. Returns the
// number of quads appended.
size_t TK_AppendFaceQuads(const TK_VoxelSurface& surface, int dir, const TK_FaceView& view, TK_QuadBuffer& out);
// The ground plane under a model footprint: one upward quad per cell at
// z = 0, palette index 0. Needs room for 4 * sizeX * sizeY corners.
size_t TK_AppendGroundQuads(int sizeX, int sizeY, TK_QuadBuffer& out);
// True when the upward faces of the cells below the floor (the ground
// plane) can face the eye.
bool TK_GroundVisible(const TK_FaceView& view);
