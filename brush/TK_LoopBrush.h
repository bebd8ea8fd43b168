// TK_LoopBrush: dragging moves the model around within its box (the "loop"
// command): the press sets up a drag plane through the picked face, and the
// pointer's cell on that plane, less the anchor, is the offset. Without
// Shift the drag locks to one axis of the plane once it has moved half a
// cell. The loop commands of one drag merge into one history entry.
#pragma once

#include "brush/TK_ModelBrush.h"

class TK_LoopBrush : public TK_ModelBrush {
public:
    static constexpr int kMaxMove = 512;

    bool LeftDown(const UI_MouseState& m) override;
    bool LeftDrag(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;


private:
    int m_applied[3] = {0, 0, 0};
    int m_anchor[3] = {0, 0, 0};
    int m_axis = -1;                 // the plane's normal axis; -1: no plane
    float m_plane[4] = {0, 0, 0, 0}; // normal, distance
    int m_lock = -1;                 // -1 undecided, 0..2 locked, 3 free
    float m_pressPoint[3] = {0, 0, 0};  // where the press ray met the plane
};
