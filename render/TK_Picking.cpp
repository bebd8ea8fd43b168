// View rays, the grid walk and the ground pick (see TK_Picking.h).
#include "render/TK_Picking.h"

#include <cmath>
#include <limits>

#include "model/TK_EditorEnv.h"
#include "render/Camera.h"
#include "render/TK_SceneRenderer.h"

const int kFaceOffset[7][3] = {{0, 0, 0}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Far points never reach an int overflow: anything this far out is outside
// every model anyway.
int FloorCell(float v) { return int(std::floor(std::fmax(std::fmin(v, 1e6f), -1e6f))); }

bool IsFilled(const TK_EditorEnv& env, const int cell[3]) {
    return env.model.InBox(cell[0], cell[1], cell[2]) &&
           env.voxelLookupGrid[TK_EditorEnv::GridIndex(cell[0], cell[1], cell[2])] != 0;
}

int MainAxis(const float d[3]) {
    const float ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
    return az >= ax && az >= ay ? 2 : ay >= ax ? 1 : 0;
}

// Where the ray runs inside the model box: [tEnter, tExit] with tEnter >= 0
// and the axis whose slab it entered last (-1 when it starts inside).
bool ClipToModel(const int size[3], const TK_Ray& ray, float& tEnter, int& enterAxis) {
    tEnter = 0;
    enterAxis = -1;
    float tExit = kInfinity;
    for (int a = 0; a < 3; ++a) {
        const float o = ray.origin[a], d = ray.dir[a];
        if (d == 0) {
            if (o < 0 || o >= float(size[a])) return false;
            continue;
        }
        float t0 = -o / d, t1 = (float(size[a]) - o) / d;
        if (t0 > t1) std::swap(t0, t1);
        if (t0 > tEnter) tEnter = t0, enterAxis = a;
        tExit = std::fmin(tExit, t1);
    }
    return tEnter < tExit;
}

// The 3D digital differential analyser: cell by cell from where the ray
// enters the model to the first filled cell.
bool WalkGrid(const TK_EditorEnv& env, const TK_Ray& ray, TK_Pick& pick) {
    const int* size = env.model.size;
    float tEnter;
    int enterAxis;
    if (!ClipToModel(size, ray, tEnter, enterAxis)) return false;
    int cell[3], step[3];
    float tMax[3], tDelta[3];
    for (int a = 0; a < 3; ++a) {
        const float d = ray.dir[a];
        const int c = FloorCell(ray.origin[a] + d * tEnter);
        cell[a] = a == enterAxis ? (d > 0 ? 0 : size[a] - 1) : std::min(std::max(c, 0), size[a] - 1);
        step[a] = d > 0 ? 1 : -1;
        tDelta[a] = d != 0 ? std::fabs(1.0f / d) : kInfinity;
        tMax[a] = d != 0 ? (float(cell[a] + (d > 0)) - ray.origin[a]) / d : kInfinity;
    }
    int face = enterAxis >= 0 ? TK_EntryFace(enterAxis, ray.dir[enterAxis]) : 0;
    for (;;) {
        if (IsFilled(env, cell)) {
            for (int a = 0; a < 3; ++a) pick.cell[a] = cell[a];
            pick.face = face;
            return face != 0;
        }
        const int a = tMax[0] < tMax[1] ? (tMax[0] < tMax[2] ? 0 : 2) : (tMax[1] < tMax[2] ? 1 : 2);
        cell[a] += step[a];
        if (unsigned(cell[a]) >= unsigned(size[a])) return false;
        tMax[a] += tDelta[a];
        face = TK_EntryFace(a, ray.dir[a]);
    }
}

// The ground plane z = 0: the cell below the floor, picked by its top face
// (or the floor cell by its bottom face from below, which never has an
// in-model neighbour and so never picks).
bool PickGround(const int size[3], const TK_Ray& ray, TK_Pick& pick) {
    const float dz = ray.dir[2];
    if (std::fabs(dz) < 1e-6f) return false;
    const float t = -ray.origin[2] / dz;
    if (t < 0) return false;
    const bool below = ray.origin[2] < 0;
    const int cell[3] = {FloorCell(ray.origin[0] + t * ray.dir[0]), FloorCell(ray.origin[1] + t * ray.dir[1]),
                         below ? 0 : -1};
    const int face = below ? 5 : 6;
    const int n[3] = {cell[0], cell[1], cell[2] + kFaceOffset[face][2]};
    if (!(unsigned(n[0]) < unsigned(size[0]) && unsigned(n[1]) < unsigned(size[1]) &&
          unsigned(n[2]) < unsigned(size[2])))
        return false;
    for (int a = 0; a < 3; ++a) pick.cell[a] = cell[a];
    pick.face = face;
    return true;
}

}  // namespace

bool TK_ViewRay(const Camera& camera, int width, int height, float px, float py, TK_Ray& ray) {
    if (width <= 0 || height <= 0) return false;
    const float nx = 2.0f * px / float(width) - 1.0f, ny = 2.0f * py / float(height) - 1.0f;
    const float ex = camera.frustumY * std::fmax(float(width) / float(height), 0.001f), ey = camera.frustumY;
    const float *right = camera.Right(), *up = camera.Up(), *back = camera.Back();
    float origin[3], dir[3];
    for (int i = 0; i < 3; ++i) {
        const float side = right[i] * nx * ex + up[i] * ny * ey;
        origin[i] = camera.eye[i] + (camera.ortho ? side : 0.0f);
        dir[i] = (camera.ortho ? 0.0f : side) - back[i];
    }
    const float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    if (!(length > 0)) return false;
    for (float& d : dir) d /= length;
    TK_WorldToModel(origin, ray.origin);
    TK_WorldToModel(dir, ray.dir);
    return true;
}

TK_Pick TK_PickRay(const TK_EditorEnv& env, const TK_Ray& ray) {
    TK_Pick pick;
    const int start[3] = {FloorCell(ray.origin[0]), FloorCell(ray.origin[1]), FloorCell(ray.origin[2])};
    if (IsFilled(env, start)) {
        const int a = MainAxis(ray.dir);
        for (int i = 0; i < 3; ++i) pick.cell[i] = start[i];
        pick.face = TK_EntryFace(a, ray.dir[a]);
        return pick;
    }
    if (WalkGrid(env, ray, pick) || PickGround(env.model.size, ray, pick)) return pick;
    return TK_Pick{};
}

TK_Pick TK_PickCell(const TK_EditorEnv& env, const Camera& camera, int width, int height, float px, float py) {
    TK_Ray ray;
    if (!TK_ViewRay(camera, width, height, px, py, ray)) return TK_Pick{};
    return TK_PickRay(env, ray);
}

bool TK_StartCell(const TK_Pick& pick, bool outward, const int size[3], int out[3]) {
    if (!pick.Hit() || pick.face > 6 || (!outward && pick.IsGround())) return false;
    for (int a = 0; a < 3; ++a) {
        out[a] = pick.cell[a] + (outward ? kFaceOffset[pick.face][a] : 0);
        if (out[a] < 0 || out[a] >= size[a]) return false;
    }
    return true;
}
