// Camera: how the 3D view looks at the model. A plain record owned by the
// view: an orbit around a focus point (perspective, orthographic or
// isometric), a free-flying eye, or none. The raster renderer and the path
// tracer build their view and projection matrices from it; mouse drags and the
// wheel become the operations below; camera slot files save and restore it.
//
// The rule not to break: every setter leaves eye and rotation consistent with
// focus, radius and angle (only free mode keeps the eye and moves the focus),
// so the fields may be read at any time but are changed through the setters.
//
// World space is y-up: at angle (0, 0, 0) the eye looks along -z. Matrices
// are column-major (OpenGL order): m[col * 4 + row].
#pragma once

#include <string>

class Camera {
public:
    enum Mode : int { kPerspective = 0, kOrthographic = 1, kIsometric = 2, kFree = 3, kNone = 4 };
    static constexpr float kIsometricPitch = 35.26439f;

    int mode = kPerspective;
    float eye[3] = {0, 0, 0};
    float rotation[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // rows: right, up, back
    float depthCenter = 500.5f;
    float frustumX = 0.41421356f;
    float frustumY = 0.41421356f;
    float depthHalf = 499.5f;
    int ortho = 0;
    float angle[3] = {0, 0, 0};  // pitch, yaw, roll in degrees
    float focus[3] = {0, 0, 0};
    float radius = 0;
    float fov = 45;

    const float* Right() const { return rotation[0]; }
    const float* Up() const { return rotation[1]; }
    // Unit vector from the focus towards the eye.
    const float* Back() const { return rotation[2]; }

    // Pitch clamped to [-90, 90], yaw and roll reduced modulo 360 keeping
    // their sign; in isometric mode the pitch snaps to +-35.26439 or 0.
    void SetAngle(float pitch, float yaw, float roll);
    void Rotate(float dPitch, float dYaw, float dRoll) {
        SetAngle(angle[0] + dPitch, angle[1] + dYaw, angle[2] + dRoll);
    }
    void UpdateEye();
    // Kept in [1, 1e6]; the focus's coordinates in [-1e6, 1e6] (Zoom and Pan
    // too). Values that are not finite count as 0.
    void SetRadius(float r);
    void SetFocus(const float point[3]);
    // Perspective frustum for a field of view in degrees; aspect at least 0.001.
    void SetFov(float degrees, float aspect);
    // The same, keeping the current aspect.
    void SetFov(float degrees);
    // frustumY = f kept in [0.001, 1e6], keeping the aspect (1 when there is
    // none yet): zero would make the projection infinite, a negative value
    // mirror it.
    void SetFrustum(float f);
    // Switching between the orthographic and the other modes keeps the
    // visible height at the focus.
    void SetMode(int newMode);
    void Zoom(float d);
    // dx, dy in units of the view volume; dz zooms.
    void Pan(float dx, float dy, float dz);
    // Fits near and far to a box given by two corners (orthographic modes
    // first move the eye outside the box).
    void FitDepth(const float lo[3], const float hi[3]);

    // [rotation | -rotation * eye; 0 0 0 1].
    void ViewMatrix(float out[16]) const;
    // Perspective or orthographic by `ortho`, for a viewport of width by
    // height pixels; (offsetX, offsetY) shifts the centre of the window.
    void ProjectionMatrix(int width, int height, float out[16], float offsetX = 0, float offsetY = 0) const;
    void PerspectiveMatrix(float aspect, float out[16], float offsetX = 0, float offsetY = 0) const;
    void OrthographicMatrix(float aspect, float out[16], float offsetX = 0, float offsetY = 0) const;
    float Near() const { return depthCenter - depthHalf; }
    float Far() const { return depthCenter + depthHalf; }

    // ---- Camera files (the program's hierarchical text format).
    // Writes the file through a temporary file, with every value in the
    // ranges the setters keep (so a file saved always loads back sane). False after printing
    // "[Error] failed to save camera : PATH".
    bool Save(const std::string& path) const;
    // False after printing "[Error] failed to load camera : PATH" when the
    // file cannot be read or parsed; the camera is then unchanged. A file
    // without a "camera" entry changes nothing and succeeds.
    bool Load(const std::string& path);
    // The file's text.
    std::string SaveText() const;
    // Applies a parsed text; false (camera unchanged) when it does not parse.
    bool LoadText(const char* text);

    static const char* ModeName(int mode);  // "pers" ... "none", null outside
    // 0..3 for "pers", "orth", "iso", "free"; -1 for anything else.
    static int ModeFromName(const char* name);
};
