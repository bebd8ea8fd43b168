// UI_3DView: a view that shows a 3D scene through the camera it owns and
// turns the right and middle buttons, the wheel and held keys into camera
// moves: orbit (right drag), pan (middle drag, or right drag with Space),
// zoom (wheel, or right drag with Z), re-centring the orbit on a clicked
// point (X with a right press), and flying a free camera with D E W A Q S.
// The editor's scene view derives from it and adds editing with the left
// button; subclasses draw the scene in their own Draw.
//
// Rule: a held-key flag is set only by its own key and cleared by its key
// going up, by any key with Ctrl or Alt, and by losing the focus, so a
// flag can never stay set after the key was let go elsewhere.
#pragma once

#include "render/Camera.h"
#include "ui/UI_View.h"

class UI_3DView : public UI_View {
public:
    UI_DECLARE_CLASS()

    // Fly speed of a free camera, world units per second.
    static constexpr float kFlySpeed = 40.0f;

    UI_3DView();

    // Back to the default look: subclasses frame their scene.
    virtual void ResetCamera();
    // The world point under the window point (x, y); false when nothing is
    // there. The base view picks nothing.
    virtual bool PickPoint(int x, int y, float world[3]) { return false; }

    bool Wheel(const UI_MouseState& m) override;
    bool RightDown(const UI_MouseState& m) override;
    bool RightDrag(const UI_MouseState& m) override;
    bool RightUp(const UI_MouseState& m) override;
    bool MiddleDown(const UI_MouseState& m) override;
    bool MiddleDrag(const UI_MouseState& m) override;
    bool KeyDown(const UI_KeyState& k) override;
    bool KeyUp(const UI_KeyState& k) override;
    bool FocusOut() override;
    bool AcceptsFocus() const override { return true; }
    void Tick(const UI_TickData& time) override;
    // "ruler", "snapAngle", "reset", "angle" a b, "proj", "focus" x y z.
    bool ParseAttributes(const OMB_LmpNode* node) override;

    Camera& GetCamera() { return m_camera; }
    const Camera& GetCamera() const { return m_camera; }
    bool RightHeld() const { return m_rightHeld; }
    bool LeftRotates() const { return m_leftRotates; }
    void SetRuler(bool on) { m_ruler = on; }
    int SnapAngle() const { return m_snapAngle; }
    // Within 1..180.
    void SetSnapAngle(int degrees);
    // Angle snapping of right-drag rotation (off by default).
    void SetSnapping(bool on) { m_snapping = on; }
    // Every held-key flag off.
    void ReleaseKeys();

    float rotateSpeed = 0.4f;  // degrees per pixel
    float zoomPerNotch = 0.12f;  // share of the distance (or view height) a wheel notch zooms

protected:
    // Pans by a pointer movement of (dx, dy) pixels.
    void PanBy(int dx, int dy);
    // The angle a rotation drag reaches, snapped when snapping is on.
    void RotateBy(int dx, int dy);
    bool* KeyFlag(int key);
    // Sets or clears the key's flag; false for other keys and chords.
    bool HoldKey(const UI_KeyState& k, bool down);

    Camera m_camera;
    bool m_ruler = false;
    int m_snapAngle = 15;
    bool m_snapping = false;
    bool m_rightHeld = false;
    bool m_rotating = false;
    int m_lastX = 0, m_lastY = 0;
    bool m_moveRight = false, m_moveUp = false, m_moveForward = false;
    bool m_moveLeft = false, m_moveDown = false, m_moveBack = false;
    bool m_leftRotates = false, m_pickFocus = false, m_zoomDrag = false, m_panDrag = false;
};
