// UI_3DView: camera interaction of the 3D views (see the header).
#include "ui/UI_3DView.h"

#include "core/OS_Keys.h"

#include <algorithm>
#include <cmath>

#include "ui/UI_Attributes.h"

UI_DEFINE_CLASS(UI_3DView, UI_View)

namespace {
constexpr float kZoomDragPerPixel = -0.05f;
}  // namespace

UI_3DView::UI_3DView() {
    m_camera.SetRadius(100);
    m_camera.UpdateEye();
}

void UI_3DView::ResetCamera() {
    const float origin[3] = {0, 0, 0};
    m_camera.SetAngle(0, 0, 0);
    m_camera.SetFocus(origin);
}

void UI_3DView::SetSnapAngle(int degrees) { m_snapAngle = std::clamp(degrees, 1, 180); }

bool* UI_3DView::KeyFlag(int key) {
    switch (key) {
        case OS_KeyOf('D'): return &m_moveRight;
        case OS_KeyOf('E'): return &m_moveUp;
        case OS_KeyOf('W'): return &m_moveForward;
        case OS_KeyOf('A'): return &m_moveLeft;
        case OS_KeyOf('Q'): return &m_moveDown;
        case OS_KeyOf('S'): return &m_moveBack;
        case OS_KeyOf('N'): return &m_leftRotates;
        case OS_KeyOf('X'): return &m_pickFocus;
        case OS_KeyOf('Z'): return &m_zoomDrag;
        case OS_KEY_SPACE: return &m_panDrag;
        default: return nullptr;
    }
}

void UI_3DView::ReleaseKeys() {
    m_moveRight = m_moveUp = m_moveForward = m_moveLeft = m_moveDown = m_moveBack = false;
    m_leftRotates = m_pickFocus = m_zoomDrag = m_panDrag = false;
}

bool UI_3DView::HoldKey(const UI_KeyState& k, bool down) {
    // A chord with Ctrl or Alt is a shortcut: drop every held key so none
    // stays "stuck" when its release goes to the shortcut's target.
    if (k.modifiers & (OS_MOD_CTRL | OS_MOD_ALT)) {
        ReleaseKeys();
        return false;
    }
    bool* flag = KeyFlag(k.key);
    if (!flag) return false;
    *flag = down;
    return true;
}

bool UI_3DView::KeyDown(const UI_KeyState& k) { return HoldKey(k, true); }

bool UI_3DView::KeyUp(const UI_KeyState& k) { return HoldKey(k, false); }

bool UI_3DView::FocusOut() {
    ReleaseKeys();
    return true;
}

bool UI_3DView::Wheel(const UI_MouseState& m) {
    // Turning the wheel forward (positive) brings the camera closer, by a
    // share of the distance: a notch feels the same near and far.
    const float notches = (m.wheel - m.prevWheel) / kWheelNotch;
    const bool flat = m_camera.mode == Camera::kOrthographic || m_camera.mode == Camera::kIsometric;
    const float scale = flat ? m_camera.frustumY : std::max(m_camera.radius, 1.0f);
    m_camera.Zoom(scale * (std::pow(1.0f - zoomPerNotch, notches) - 1.0f));
    Invalidate();
    return true;
}

bool UI_3DView::RightDown(const UI_MouseState& m) {
    m_rightHeld = true;
    float hit[3];
    if (m_pickFocus && PickPoint(m.x, m.y, hit)) {
        const float d[3] = {hit[0] - m_camera.eye[0], hit[1] - m_camera.eye[1], hit[2] - m_camera.eye[2]};
        m_camera.SetRadius(std::max(1.0f, std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2])));
        m_camera.SetFocus(hit);
    }
    m_lastX = m.x, m_lastY = m.y;
    m_rotating = !m_zoomDrag;
    Invalidate();
    return true;
}

void UI_3DView::PanBy(int dx, int dy) {
    const int w = std::max(m_rect.Width(), 1), h = std::max(m_rect.Height(), 1);
    m_camera.Pan(-float(dx) * 2 / float(w), -float(dy) * 2 / float(h), 0);
}

void UI_3DView::RotateBy(int dx, int dy) {
    // Dragging right turns the model right, dragging up tilts it towards the
    // viewer: the pointer's y grows upwards.
    float pitch = m_camera.angle[0] - float(dy) * rotateSpeed;
    float yaw = m_camera.angle[1] - float(dx) * rotateSpeed;
    if (m_snapping) {
        const float s = float(m_snapAngle);
        if (dy) pitch = std::floor(pitch / s + 0.5f) * s;
        if (dx) yaw = std::floor(yaw / s + 0.5f) * s;
    }
    m_camera.SetAngle(std::clamp(pitch, -90.0f, 90.0f), yaw, m_camera.angle[2]);
}

bool UI_3DView::RightDrag(const UI_MouseState& m) {
    if (!m_rightHeld) return false;
    const int dx = m.x - m_lastX, dy = m.y - m_lastY;
    if (m_panDrag) {
        PanBy(dx, dy);
    } else if (m_zoomDrag) {
        m_camera.Zoom(float(dy) * kZoomDragPerPixel);
    } else if (m_rotating) {
        // Snapped angles only move once the pointer has gone far enough to
        // reach the next multiple, so keep the anchor until they do.
        const float before[2] = {m_camera.angle[0], m_camera.angle[1]};
        RotateBy(dx, dy);
        if (m_snapping && before[0] == m_camera.angle[0] && before[1] == m_camera.angle[1]) return true;
    }
    m_lastX = m.x, m_lastY = m.y;
    Invalidate();
    return true;
}

bool UI_3DView::RightUp(const UI_MouseState& m) {
    m_rightHeld = false;
    m_rotating = false;
    return true;
}

bool UI_3DView::MiddleDown(const UI_MouseState& m) {
    m_lastX = m.x, m_lastY = m.y;
    return true;
}

bool UI_3DView::MiddleDrag(const UI_MouseState& m) {
    PanBy(m.x - m_lastX, m.y - m_lastY);
    m_lastX = m.x, m_lastY = m.y;
    Invalidate();
    return true;
}

void UI_3DView::Tick(const UI_TickData& time) {
    if (m_camera.mode != Camera::kFree) return;
    const float along[3] = {float(m_moveRight) - float(m_moveLeft), float(m_moveUp) - float(m_moveDown),
                            float(m_moveBack) - float(m_moveForward)};
    if (!along[0] && !along[1] && !along[2]) return;
    const float step = kFlySpeed * float(std::clamp(time.now - time.previous, 0.0, 0.25));
    float eye[3];
    for (int i = 0; i < 3; ++i)
        eye[i] = m_camera.eye[i] +
                 step * (along[0] * m_camera.Right()[i] + along[1] * m_camera.Up()[i] + along[2] * m_camera.Back()[i]);
    // Free mode keeps the eye and moves the focus: moving the focus by the
    // same step moves the eye with it.
    float focus[3];
    for (int i = 0; i < 3; ++i) focus[i] = m_camera.focus[i] + (eye[i] - m_camera.eye[i]);
    m_camera.SetFocus(focus);
    Invalidate();
}

bool UI_3DView::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_View::ParseAttributes(node)) return false;
    UI_ReadBool(node, "ruler", m_ruler);
    int snap = m_snapAngle;
    if (UI_ReadInt(node, "snapAngle", snap)) SetSnapAngle(snap);
    if (UI_FindAttribute(node, "reset")) ResetCamera();
    float angle[2];
    if (UI_ReadFloats(node, "angle", angle, 2)) m_camera.SetAngle(-angle[0], -angle[1], 0);
    static const UI_Keyword kModes[] = {{"pers", 0}, {"orth", 1}, {"iso", 2}, {"free", 3}, {"0", 0},
                                        {"1", 1},    {"2", 2},    {"3", 3},   {nullptr, 0}};
    int mode = m_camera.mode;
    if (UI_ReadKeyword(node, "proj", kModes, m_camera.mode, mode) && mode != m_camera.mode) m_camera.SetMode(mode);
    float focus[3];
    if (m_camera.mode != Camera::kFree && UI_ReadFloats(node, "focus", focus, 3)) m_camera.SetFocus(focus);
    Invalidate();
    return true;
}
