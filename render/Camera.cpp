// Camera operations, matrices and camera files (see Camera.h).
#include "render/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/OMB_AtomicFile.h"
#include "core/OMB_LmpParser.h"
#include "core/OMB_Log.h"

namespace {

constexpr float kDegToRad = 0.017453292f;
const char* const kModeNames[] = {"pers", "orth", "iso", "free", "none"};

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Bounds that keep every derived matrix finite: a focus or radius beyond
// them, or a view extent outside them, comes only from a broken slot file or
// a runaway pan, and a zero or negative extent would give an infinite or a
// mirrored projection.
constexpr float kMaxDistance = 1e6f;
constexpr float kMinFrustum = 0.001f;
constexpr float kMaxFrustum = 1e6f;

// A value that is not finite would poison every derived field; files and
// callers get 0 instead.
float Finite(float v) { return std::isfinite(v) ? v : 0.0f; }

float Bounded(float v, float lo, float hi) { return std::clamp(Finite(v), lo, hi); }
float Coordinate(float v) { return Bounded(v, -kMaxDistance, kMaxDistance); }
float Radius(float v) { return Bounded(v, 1.0f, kMaxDistance); }
float Frustum(float v) { return Bounded(v, kMinFrustum, kMaxFrustum); }

}  // namespace

// ---------------------------------------------------------------- operations

void Camera::SetAngle(float pitch, float yaw, float roll) {
    angle[0] = std::clamp(Finite(pitch), -90.0f, 90.0f);
    angle[1] = std::fmod(Finite(yaw), 360.0f);
    angle[2] = std::fmod(Finite(roll), 360.0f);
    if (mode == kIsometric)
        angle[0] = angle[0] > 1e-6f ? kIsometricPitch : angle[0] < -1e-6f ? -kIsometricPitch : 0.0f;
    const float a = angle[1] * kDegToRad;
    const float p = angle[0] * kDegToRad;
    const float sa = std::sin(a), ca = std::cos(a), sp = std::sin(p), cp = std::cos(p);
    const float rows[3][3] = {{ca, 0, -sa}, {sa * sp, cp, ca * sp}, {sa * cp, -sp, ca * cp}};
    std::memcpy(rotation, rows, sizeof rotation);
    if (mode == kFree)
        for (int i = 0; i < 3; ++i) focus[i] = eye[i] - radius * rotation[2][i];
    UpdateEye();
}

void Camera::UpdateEye() {
    for (int i = 0; i < 3; ++i) eye[i] = focus[i] + radius * rotation[2][i];
}

void Camera::SetRadius(float r) {
    radius = Radius(r);
    UpdateEye();
}

void Camera::SetFocus(const float point[3]) {
    for (int i = 0; i < 3; ++i) focus[i] = Coordinate(point[i]);
    UpdateEye();
}

void Camera::SetFov(float degrees, float aspect) {
    fov = degrees;
    aspect = std::max(aspect, 0.001f);
    frustumY = Frustum(std::tan(0.5f * degrees * kDegToRad));
    frustumX = frustumY * aspect;
}

void Camera::SetFov(float degrees) { SetFov(degrees, frustumY > 0 ? frustumX / frustumY : 0.001f); }

void Camera::SetFrustum(float f) {
    const float aspect = frustumY > 0 ? frustumX / frustumY : 1.0f;
    frustumY = Frustum(f);
    frustumX = frustumY * aspect;
}

void Camera::SetMode(int newMode) {
    if (newMode == mode || newMode < kPerspective || newMode > kNone) return;
    const bool wasOrtho = ortho != 0;
    mode = newMode;
    ortho = (newMode == kOrthographic || newMode == kIsometric) ? 1 : 0;
    if (wasOrtho && !ortho) {
        const float oldY = frustumY;
        SetFov(fov);
        SetRadius(oldY / std::max(frustumY, 0.001f));
    } else if (!wasOrtho && ortho) {
        SetFrustum(frustumY * std::max(radius, 1.0f));
        SetRadius(depthHalf);
    }
    SetAngle(angle[0], angle[1], angle[2]);
}

void Camera::Zoom(float d) {
    switch (mode) {
        case kPerspective: SetRadius(radius + d); break;
        case kOrthographic:
        case kIsometric: SetFrustum(std::max(frustumY + d, 0.001f)); break;
        case kFree: {
            const float moved[3] = {focus[0] + rotation[2][0] * d, focus[1] + rotation[2][1] * d,
                                    focus[2] + rotation[2][2] * d};
            SetFocus(moved);
            break;
        }
        default: break;
    }
}

void Camera::Pan(float dx, float dy, float dz) {
    Zoom(-dz);
    if (mode == kNone) return;
    dx *= frustumX;
    dy *= frustumY;
    const float factor = mode == kPerspective ? std::max(radius, 20.0f) : mode == kFree ? 50.0f : 1.0f;
    float moved[3];
    for (int i = 0; i < 3; ++i) moved[i] = focus[i] + (rotation[0][i] * dx + rotation[1][i] * dy) * factor;
    SetFocus(moved);
}

void Camera::FitDepth(const float lo[3], const float hi[3]) {
    float c[3], h[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = 0.5f * (lo[i] + hi[i]);
        h[i] = 0.5f * std::fabs(hi[i] - lo[i]);
    }
    const float* back = rotation[2];
    const float r = std::fabs(back[0]) * h[0] + std::fabs(back[1]) * h[1] + std::fabs(back[2]) * h[2];
    if (ortho) {
        const float toCentre[3] = {c[0] - focus[0], c[1] - focus[1], c[2] - focus[2]};
        SetRadius(std::max(1.0f, r + Dot(back, toCentre)));
    }
    const float fromEye[3] = {c[0] - eye[0], c[1] - eye[1], c[2] - eye[2]};
    const float d = -Dot(back, fromEye);
    const float nearPlane = std::max(d - r, 1.0f);
    const float farPlane = std::max(d + r, nearPlane + 10.0f);
    depthHalf = 0.5f * (farPlane - nearPlane);
    depthCenter = 0.5f * (farPlane + nearPlane);
}

// ---------------------------------------------------------------- matrices

void Camera::ViewMatrix(float out[16]) const {
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) out[col * 4 + row] = rotation[row][col];
        out[12 + row] = -Dot(rotation[row], eye);
        out[row * 4 + 3] = 0;
    }
    out[15] = 1;
}

void Camera::ProjectionMatrix(int width, int height, float out[16], float offsetX, float offsetY) const {
    float aspect = (width == 0 || height == 0) ? 0.0f : float(width) / float(height);
    aspect = std::max(aspect, 0.001f);
    if (ortho)
        OrthographicMatrix(aspect, out, offsetX, offsetY);
    else
        PerspectiveMatrix(aspect, out, offsetX, offsetY);
}

void Camera::PerspectiveMatrix(float aspect, float out[16], float offsetX, float offsetY) const {
    const float ex = frustumY * aspect, ey = frustumY, ez = depthHalf, c = depthCenter;
    std::fill(out, out + 16, 0.0f);
    out[0] = 1 / ex;
    out[5] = 1 / ey;
    out[8] = offsetX / ex;
    out[9] = offsetY / ey;
    out[10] = -c / ez;
    out[11] = -1;
    out[14] = -(c - ez) * (1 + c / ez);
}

void Camera::OrthographicMatrix(float aspect, float out[16], float offsetX, float offsetY) const {
    const float ex = frustumY * aspect, ey = frustumY, ez = depthHalf, c = depthCenter;
    std::fill(out, out + 16, 0.0f);
    out[0] = 1 / ex;
    out[5] = 1 / ey;
    out[10] = -1 / ez;
    out[12] = -offsetX / ex;
    out[13] = -offsetY / ey;
    out[14] = -c / ez;
    out[15] = 1;
}

// ---------------------------------------------------------------- files

const char* Camera::ModeName(int m) { return m >= kPerspective && m <= kNone ? kModeNames[m] : nullptr; }

int Camera::ModeFromName(const char* name) {
    for (int m = kPerspective; m <= kFree; ++m)
        if (std::strcmp(name, kModeNames[m]) == 0) return m;
    return -1;
}

std::string Camera::SaveText() const {
    const char* name = ModeName(mode);
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "camera\n(\n\tmode = '%s'\n\tfocus = '%f %f %f'\n\tangle = '%f %f %f'\n\tradius = '%f'\n"
                  "\tfrustum = '%f'\n)\n",
                  name ? name : "none", Coordinate(focus[0]), Coordinate(focus[1]), Coordinate(focus[2]),
                  Finite(angle[0]), Finite(angle[1]), Finite(angle[2]), Radius(radius), Frustum(frustumY));
    return buf;
}

bool Camera::Save(const std::string& path) const {
    const std::string text = SaveText();
    if (OMB_WriteFileAtomic(path, text.data(), text.size())) return true;
    OMB_Printf("[Error] failed to save camera : %s\n", path.c_str());
    return false;
}

namespace {

// A field of the camera entry: an attribute as written, or a child.
const OMB_LmpNode* Field(const OMB_LmpNode* camera, const char* key) {
    const OMB_LmpNode* node = OMB_LmpParser::FindAttribute(camera, key);
    return node ? node : OMB_LmpParser::FindChild(camera, key);
}

// Numbers that cannot be read count as 0.
void ReadNumbers(const OMB_LmpNode* node, int count, float* out) {
    OMB_LmpParser::ParseFloats(node->value.c_str(), count, out);
    for (int i = 0; i < count; ++i) out[i] = Finite(out[i]);
}

}  // namespace

bool Camera::LoadText(const char* text) {
    OMB_LmpParser parser;
    if (!parser.Parse(text)) return false;
    const OMB_LmpNode* camera = OMB_LmpParser::FindChild(&parser.Root(), "camera");
    if (!camera) return true;
    if (const OMB_LmpNode* node = Field(camera, "mode")) {
        const int m = ModeFromName(node->value.c_str());
        if (m >= 0) SetMode(m);
    }
    float v[3];
    if (const OMB_LmpNode* node = Field(camera, "angle")) {
        ReadNumbers(node, 3, v);
        SetAngle(v[0], v[1], v[2]);
    }
    if (const OMB_LmpNode* node = Field(camera, "focus")) {
        ReadNumbers(node, 3, v);
        SetFocus(v);
    }
    if (const OMB_LmpNode* node = Field(camera, "radius")) {
        ReadNumbers(node, 1, v);
        SetRadius(v[0]);
    }
    if (const OMB_LmpNode* node = Field(camera, "frustum")) {
        ReadNumbers(node, 1, v);
        SetFrustum(v[0]);
    }
    return true;
}

bool Camera::Load(const std::string& path) {
    std::string text;
    if (OMB_ReadTextFile(path.c_str(), text) && LoadText(text.c_str())) return true;
    OMB_Printf("[Error] failed to load camera : %s\n", path.c_str());
    return false;
}
