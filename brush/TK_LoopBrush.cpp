// The loop brush (see TK_LoopBrush.h).
#include "brush/TK_LoopBrush.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/OS_Keys.h"
#include "edit/TK_TransformCommands.h"
#include "model/TK_EditorEnv.h"

bool TK_LoopBrush::LeftDown(const UI_MouseState& m) {
    if (!Capture(m)) return false;
    m_applied[0] = m_applied[1] = m_applied[2] = 0;
    m_axis = -1;
    m_lock = -1;
    TK_Pick pick = m_host->PickAt(m.x, m.y);
    TK_Ray ray;
    if (!pick.Hit() || !m_host->RayAt(m.x, m.y, ray)) return true;
    const int f = pick.face, a = TK_FaceAxis(f);
    for (int i = 0; i < 3; ++i) m_anchor[i] = pick.cell[i] + (pick.IsGround() ? kFaceOffset[f][i] : 0);
    const int s = 1 - 2 * (f % 2);
    m_anchor[a] += 1 - f % 2;
    m_plane[0] = m_plane[1] = m_plane[2] = 0;
    m_plane[a] = float(s);
    m_plane[3] = -float(s * m_anchor[a]);
    if (TK_RayPlaneHit(ray, a, float(m_anchor[a]), m_pressPoint)) m_axis = a;
    return true;
}

bool TK_LoopBrush::LeftDrag(const UI_MouseState& m) {
    if (!m_captured) return false;
    TK_Ray ray;
    float point[3];
    if (m_axis < 0 || !m_host->RayAt(m.x, m.y, ray) || !TK_RayPlaneHit(ray, m_axis, float(m_anchor[m_axis]), point))
        return true;
    int d[3];
    for (int i = 0; i < 3; ++i) {
        d[i] = i == m_axis ? 0 : int(std::floor(point[i])) - m_anchor[i];
        if (std::abs(d[i]) > kMaxMove) return true;
    }
    if (m_lock < 0) {
        if (m.modifiers & OS_MOD_SHIFT) {
            m_lock = 3;
        } else {
            const int u = (m_axis + 1) % 3, v = (m_axis + 2) % 3;
            const float du = std::fabs(point[u] - m_pressPoint[u]), dv = std::fabs(point[v] - m_pressPoint[v]);
            if (du < 0.5f && dv < 0.5f) return true;
            m_lock = du < dv ? u : v;
        }
    }
    if (m_lock < 3) d[m_lock] = 0;
    if (d[0] == m_applied[0] && d[1] == m_applied[1] && d[2] == m_applied[2]) return true;
    char args[64];
    std::snprintf(args, sizeof args, "x %d y %d z %d", d[0] - m_applied[0], d[1] - m_applied[1], d[2] - m_applied[2]);
    auto command = std::make_unique<TK_CMD_Loop>();
    // The executor merges the steps of a drag (and of drags that follow each
    // other) into one history entry of the summed offset.
    if (command->Parse(args) && Env()->RunCommand(std::move(command), this))
        for (int i = 0; i < 3; ++i) m_applied[i] = d[i];
    return true;
}

bool TK_LoopBrush::LeftUp(const UI_MouseState& m) {
    if (!m_captured) return false;
    Release();
    return true;
}
