// TK_Stroke: the cells one brush gesture would change, with the colour each
// is to get. Every shape brush builds its stroke here (the shape families
// live in their own files and call AddMirrored for each cell), previews it
// while the button is held and commits it as one voxel command.
//
// TK_BrushOptions carries everything a stroke reads from the editor state,
// so stroke building takes its inputs explicitly: the environment (model
// size and occupancy), the picks or rays, and these options.
//
// Rules: a stroke holds each cell at most once, only cells inside the model,
// and only cells that suit the mode (attach: empty cells; erase and paint:
// filled cells). Rebuilding reuses the voxel list and the membership bits, so
// a brush allocates nothing per mouse move once its list has grown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/TK_Model.h"
#include "render/TK_Picking.h"

class OMB_Command;
class TK_EditorEnv;

// The kind of edit (the preview kind as well).
enum TK_BrushMode : int { TK_BRUSH_ATTACH = 1, TK_BRUSH_ERASE = 2, TK_BRUSH_PAINT = 3 };

// The editor state strokes read: current colour, the "mirror" and "loft"
// axes and the "b_" brush settings.
struct TK_BrushOptions {
    int mode = TK_BRUSH_ATTACH;
    int color = 1;                // palette index of new or painted voxels
    int mirror[3] = {0, 0, 0};    // nonzero: mirror across the model's middle on x, y, z
    int loft[3] = {0, 0, 0};      // nonzero: box and face strokes span the model on x, y, z
    bool facePalette = false;     // "b_face_pal": extrusions take the current colour
    bool faceSameColor = false;   // "b_face_col": the selection keeps to the picked colour
    bool face4 = false;           // "b_face_4": 4 neighbours (else 8)
    bool voxelVolume = false;     // "b_vox_vol": stamps stand on the face instead of centring on the cell
    bool voxelCube = false;       // "b_vox_cube": cube stamps (else spheres)
    int voxelSize = 1;            // "b_vox_size": 1..64
    bool centerEven = false;      // "b_c_even": centred on a cell corner
    bool centerCircle = false;    // "b_c_circle": disc (else square)
    bool lineProjected = false;   // "b_line_proj": the line follows the surface under the screen line
    bool patternPalette = false;  // "b_patt_pal": pattern stamps take the current colour

    // The colour stroke cells get: the current colour, 0 when erasing.
    int StrokeColor() const { return mode == TK_BRUSH_ERASE ? 0 : color; }
};

// The cell a pick works on: in attach mode, or on the ground, the empty cell
// in front of the picked face; otherwise the picked cell. False for no pick.
bool TK_StrokeCell(const TK_Pick& pick, int mode, int cell[3]);

// Where a ray (model cells) meets the plane coordinate[axis] = value in
// front of its origin. False when it runs parallel or the plane lies behind.
bool TK_RayPlaneHit(const TK_Ray& ray, int axis, float value, float point[3]);

// Where a stamp of `extent` cells per axis starts (lowest corner) when
// placed at the stroke cell of `pick`: centred on the cell per axis (the
// lower middle for even extents), or, with `standOnFace`, centred only in
// the face's plane and reaching from the cell along the face axis, outward
// when attaching or on the ground, inward otherwise. False for no pick.
bool TK_StampCorner(const TK_Pick& pick, int mode, const int extent[3], bool standOnFace, int lo[3]);

class TK_Stroke {
public:
    static constexpr int kReservedVoxels = 16384;

    TK_Stroke();

    // Starts a rebuild: empty, sized like the environment's model, with the
    // mode and mirror axes of `options`. Both must outlive the rebuild.
    void Begin(const TK_EditorEnv& env, const TK_BrushOptions& options);
    // Empties the stroke (the list keeps its capacity).
    void Clear();

    // Adds (x, y, z) and, with mirroring, its images (x or size - 1 - x on
    // each mirrored axis; up to 8, z outermost, then y, then x), each only
    // when inside the model, suited to the mode and not yet in the stroke.
    // Erase strokes store colour 0 whatever `color` says.
    void AddMirrored(int x, int y, int z, int color);
    // Whether a cell holds a voxel in the environment's model.
    bool IsFilled(int x, int y, int z) const;
    // Whether a cell of the model suits the stroke's mode.
    bool Suits(int x, int y, int z) const { return IsFilled(x, y, z) == (m_mode != TK_BRUSH_ATTACH); }

    // The list itself, for a builder that adds cells it knows to be new,
    // inside and suited (the box's fast path). Such cells skip the
    // membership bits, so one rebuild must not mix this with AddMirrored.
    VoxelList& RawVoxels() { return m_model.voxels; }

    const TK_Model& Model() const { return m_model; }
    const VoxelList& Voxels() const { return m_model.voxels; }
    const int* Size() const { return m_model.size; }
    int Mode() const { return m_mode; }
    const int* Mirror() const { return m_mirror; }
    bool Empty() const { return m_model.voxels.Empty(); }

    // The command for the mode (add, erase or paint) with a copy of the
    // stroke's cells; null for an empty stroke.
    std::unique_ptr<OMB_Command> MakeCommand() const;
    // Runs that command through the environment's executor for `owner` (the
    // stack lock's holder during a drag). False when the stroke is empty or
    // changes nothing (no history entry then).
    bool Commit(TK_EditorEnv& env, const void* owner) const;

private:
    bool Insert(int x, int y, int z, int color);

    const TK_EditorEnv* m_env = nullptr;
    int m_mode = TK_BRUSH_ATTACH;
    int m_mirror[3] = {0, 0, 0};
    TK_Model m_model;
    // One bit per world cell: already in the stroke.
    std::vector<uint64_t> m_member;
};
