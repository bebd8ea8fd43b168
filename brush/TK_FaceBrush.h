// The face brush's stroke: the pressed face is grown into a region of
// exposed faces in its plane (4 or 8 neighbours, optionally only of the
// picked colour), and the region is extruded: outward by whole layers when
// attaching, inward into the model when erasing or painting. A ground pick
// selects the empty floor cells around it instead.
//
// Rule: a region entry is (x, y, z, colour) of a selected cell; every layer
// cell takes the colour of the entry it comes from.
#pragma once

#include <cstdint>
#include <vector>

#include "brush/TK_ModelBrush.h"

// A selected cell and the colour its layers take. Ground cells have z = -1,
// which is why these are not voxels.
struct TK_FaceCell {
    int x, y, z, color;
};

class TK_FaceRegion {
public:
    TK_FaceRegion();

    // Grows the region from the pick. False when the pick missed or names
    // an empty cell that is not the ground.
    bool Select(const TK_EditorEnv& env, const TK_BrushOptions& options, const TK_Pick& pick);

    const std::vector<TK_FaceCell>& Cells() const { return m_cells; }
    int Face() const { return m_face; }
    // The picked cell the region grew from.
    const int* Start() const { return m_start; }
    bool IsGround() const { return m_ground; }

private:
    bool Joins(const TK_EditorEnv& env, const int cell[3]) const;
    void Add(const TK_EditorEnv& env, const int cell[3]);

    std::vector<TK_FaceCell> m_cells;
    std::vector<uint8_t> m_visited;  // over the plane's two axes
    int m_face = 0;
    bool m_ground = false;
    int m_start[3] = {0, 0, 0};
    int m_pickedColor = 0;  // 0: any colour joins
    int m_entryColor = 0;   // the colour of every entry; 0: each cell's own
};

// The number of layers for the current mouse ray: how far the point of the
// face's normal line through the press point (where `press` met the face)
// nearest to `current` has moved in the direction the layers grow, rounded
// down, at least 1.
int TK_FaceLayers(const TK_FaceRegion& region, const TK_BrushOptions& options, const TK_Ray& press,
                  const TK_Ray& current);

// Rebuilds `stroke` from the region with `layers` layers; a loft on the face
// axis fills the model along it, a loft in the plane spreads every entry
// across the model on that axis.
void TK_BuildFaceStroke(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const TK_FaceRegion& region, int layers);

// The responder: the region picked at the press, extruded by the layers the
// pointer has moved along the face normal.
class TK_FaceBrush : public TK_ModelBrush {
public:
    using TK_ModelBrush::TK_ModelBrush;

protected:
    bool BeginStroke(const UI_MouseState& m) override;
    void DragStroke(const UI_MouseState& m) override;
    bool StrokeHint(char* text, int size) const override;

private:
    TK_FaceRegion m_region;
    TK_Ray m_pressRay;
    int m_layers = 1;
};
