// TK_IsoSurface: the smooth closed surface of a model's voxels, used by the
// marching-cube export. Occupancy is sampled at cell centres on a grid with
// one empty cell around the box and cut at level 0.5; every cube of that
// grid is split into six tetrahedra around its main diagonal, the same way
// in every cube, so neighbouring cubes always agree on their shared faces
// and the surface cannot crack.
//
// The rule not to break: one vertex per crossed grid edge, shared by every
// triangle around that edge. The result is then a closed, consistently
// wound manifold: each undirected edge belongs to exactly two triangles,
// which use it in opposite directions. Smoothing relies on that.
#pragma once

#include <cstdint>
#include <vector>

#include "model/TK_Model.h"

struct TK_IsoMesh {
    // x y z per vertex, in cell units of the model box (cell c spans c..c+1).
    std::vector<float> positions;
    // Palette index of the voxel at the inside end of each vertex's edge.
    std::vector<uint8_t> colours;
    // The grid edge of each vertex, as the 0/1 offset from its start to its
    // end (bit 0 x, bit 1 y, bit 2 z).
    std::vector<uint8_t> edges;
    // Three vertex numbers per triangle, counter-clockwise seen from outside.
    std::vector<int32_t> triangles;

    size_t VertexCount() const { return colours.size(); }
    size_t TriangleCount() const { return triangles.size() / 3; }
};

// The surface between the voxels and the empty space (empty for a model
// without voxels). Vertices lie half way along their edges.
void TK_ExtractIsoSurface(const TK_Model& model, TK_IsoMesh& mesh);

// Laplacian smoothing: each pass moves every vertex half way towards the
// average of its ring of neighbours, then holds it within half a cell per
// axis of where extraction put it, within 0.3 of its edge's length of the
// edge's midpoint along that edge (so a single voxel shrinks to a rounded
// body but never to a point), and within the bounds of the extracted
// surface (so it never leaves the model box). Needs the closed manifold
// that extraction makes.
void TK_SmoothIsoSurface(TK_IsoMesh& mesh, int passes);
