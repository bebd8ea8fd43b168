// TK_Picking: which model cell lies under a point of the 3D view. The scene
// view turns a mouse position into a ray through the camera (TK_ViewRay),
// walks the model's occupancy along it (TK_PickRay) and hands the result to
// the brushes; brushes also use the ray itself for drag planes and layers.
//
// Rays are in model cell coordinates (z up, one unit per cell, the model's
// corner at the origin): the raster view draws the model there, mapped into
// the camera's y-up world by TK_ModelToWorld.
//
// The rule not to break: a pick either names a face (1..6) of a filled cell,
// or the upward face of the ground cell below an empty floor cell, whose
// neighbour (cell + face offset) always lies inside the model; face 0 means
// nothing was picked.
#pragma once

class Camera;
class TK_EditorEnv;

// A ray in model cells; `dir` is of unit length.
struct TK_Ray {
    float origin[3] = {0, 0, 0};
    float dir[3] = {0, 0, -1};
};

// A picked cell and the face through which the ray reached it.
struct TK_Pick {
    int cell[3] = {0, 0, 0};
    int face = 0;  // 1 -x, 2 +x, 3 -y, 4 +y, 5 -z, 6 +z; 0 nothing picked

    bool Hit() const { return face != 0; }
    // The ground below the model (z = -1), not a voxel.
    bool IsGround() const { return face != 0 && cell[2] < 0; }
};

// Unit offset from a cell to the neighbour in front of each face (index 0:
// no face, no offset).
extern const int kFaceOffset[7][3];
inline int TK_FaceAxis(int face) { return (face - 1) / 2; }
// The face a ray moving along `axis` with direction component `d` enters by.
inline int TK_EntryFace(int axis, float d) { return 2 * axis + (d > 0 ? 1 : 2); }

// The ray from the camera through the point (px, py) of a view of width by
// height pixels, origin at the view's lower-left corner (pass x + 0.5 for
// the centre of pixel x). Perspective rays start at the eye, orthographic
// ones on the eye's plane. False for an empty view.
bool TK_ViewRay(const Camera& camera, int width, int height, float px, float py, TK_Ray& ray);

// The first filled cell along the ray (walking the lookup grid cell by cell)
// with the face it was entered by; failing that, the ground cell (z = -1)
// under an in-model floor cell, face 6. A ray starting inside a filled cell
// picks that cell by the face of its main axis that looks back to the origin.
TK_Pick TK_PickRay(const TK_EditorEnv& env, const TK_Ray& ray);

// The cell a stroke started from this pick would begin with: the empty
// neighbour in front of the picked face when the stroke adds (`outward`),
// else the picked voxel itself. False when that cell lies outside the
// model's `size` or, for an inward stroke, when the pick is the ground.
bool TK_StartCell(const TK_Pick& pick, bool outward, const int size[3], int out[3]);

// Both steps for a point of the view.
TK_Pick TK_PickCell(const TK_EditorEnv& env, const Camera& camera, int width, int height, float px, float py);
