// TK_PreviewMesh: the live preview of a brush stroke as the raster view
// draws it over the model: attach cells as translucent boxes in their
// colour, erase cells outlined in red, paint cells tinted with their new
// colour. Only the outer faces of the stroke's cell set are built, so a
// solid box of a million cells costs its surface, not its volume.
//
// Build is plain CPU work (benchmarks and tests call it without OpenGL);
// Draw needs the context current and the camera matrices loaded, with the
// model drawn in model coordinates.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Palette.h"
#include "model/Voxel.h"
#include "render/GLVertexBatch.h"

class TK_PreviewMesh {
public:
    // Rebuilds from the stroke (null or empty: nothing to draw); `kind` is
    // the brush mode (1 attach, 2 erase, 3 paint).
    void Build(const VoxelList* voxels, int kind, const Palette& palette);
    void Draw() const;
    bool Empty() const { return m_faces == 0; }
    // Outer faces built by the last Build.
    int Faces() const { return m_faces; }

private:
    // The stroke's cells of one row along x (bit x), zero outside the world.
    using Row = unsigned __int128;
    Row RowAt(int y, int z) const;
    void AddFace(int x, int y, int z, int face);

    GLVertexBatch m_batch;
    int m_kind = 0;
    int m_faces = 0;
    // One bit per world cell (128 per axis), set for the stroke's cells.
    std::vector<uint64_t> m_member;
    // The colour of each cell whose bit is set (others are stale).
    std::vector<uint8_t> m_colors;
};
