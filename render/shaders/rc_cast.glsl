#version 130
// The ray-cast raster view: one ray per pixel through the model's cells,
// skipping empty 4^3 bricks, shaded as the face renderer shades a face
// (light factor per direction, occlusion and shadow from the same volume,
// ambient), with the depth the face would have had.
//
// Model coordinates: one unit per cell, the model's corner at the origin,
// z up. The ray of a pixel is the one TK_ViewRay builds for its centre, so
// the picked cell is the cell the pixel shows.
//
//   palette   palette colours (index 0: the ground colour)
//   look      255 where a colour is emissive: drawn unshaded when shaded
//   ao        occupancy (r) and shadow (a), linear, zero outside
//   cells     colour index / 255, one texel per cell
//   bricks    per brick of 4^3 cells, 0 where it holds a voxel, else how
//             many bricks away the nearest one that does lies (/ 255)
//   shade[d]  the light factor of direction d (flat mode: its grey)
//   idMode    writes (x, y, z + 1, face) instead of a colour
//   grid      the outline of every face, gridWidth pixels wide, in a
//             darker shade of its colour
//   edges     the model's edges in edgeColor, 1.8 pixels wide: where a face
//             meets an empty side cell (convex) or a filled side cell whose
//             cell in front is filled too (concave)
uniform sampler1D palette;
uniform sampler1D look;
uniform sampler3D ao;
uniform sampler3D cells;
uniform sampler3D bricks;
uniform vec3 size;
uniform vec4 viewport;
uniform vec3 eye;
uniform vec3 right;
uniform vec3 up;
uniform vec3 back;
uniform vec2 extent;
uniform bool ortho;
uniform mat4 mvp;
uniform bool shaded;
uniform bool ground;
uniform bool idMode;
uniform vec3 ambient_color;
uniform float shade[7];
uniform float depthBias;
uniform float slopeBias;
uniform bool grid;
uniform bool edges;
uniform float gridWidth;
uniform vec4 edgeColor;

const int kBrick = 4;  // TK_VoxelVolume::kBrickCells
const float kFar = 1e30;

// Distances along the ray to the planes `bound`; kFar on axes it runs along.
// (invD is 1 / d; its infinite components are masked.)
vec3 PlaneT(vec3 bound, vec3 o, vec3 d, vec3 invD) {
    return mix((bound - o) * invD, vec3(kFar), equal(d, vec3(0.0)));
}

int MinAxis(vec3 t) { return t.x < t.y ? (t.x < t.z ? 0 : 2) : (t.y < t.z ? 1 : 2); }

bool Inside(ivec3 c, ivec3 n) { return all(greaterThanEqual(c, ivec3(0))) && all(lessThan(c, n)); }

// The ray through a window point, as TK_ViewRay builds it.
void ViewRay(vec2 frag, out vec3 o, out vec3 d) {
    vec2 ndc = 2.0 * (frag - viewport.xy) / viewport.zw - 1.0;
    vec3 side = right * (ndc.x * extent.x) + up * (ndc.y * extent.y);
    o = eye + (ortho ? side : vec3(0.0));
    d = normalize((ortho ? vec3(0.0) : side) - back);
}

bool Filled(ivec3 c) {
    return Inside(c, ivec3(size)) && texelFetch(cells, c, 0).r != 0.0;
}

// How the point p on a face plane moves from one pixel to the next in x
// (gx) and y (gy): where the next pixels' rays meet the same plane.
void PixelSteps(vec3 p, int axis, out vec3 gx, out vec3 gy) {
    vec3 ox, dx, oy, dy;
    ViewRay(gl_FragCoord.xy + vec2(1.0, 0.0), ox, dx);
    ViewRay(gl_FragCoord.xy + vec2(0.0, 1.0), oy, dy);
    gx = ox + dx * ((p[axis] - ox[axis]) / dx[axis]) - p;
    gy = oy + dy * ((p[axis] - oy[axis]) / dy[axis]) - p;
}

float Depth(vec3 p) {
    vec4 clip = mvp * vec4(p, 1.0);
    return 0.5 + 0.5 * clip.z / clip.w;
}

// How far the point p on a face of `cell` lies from the face's four sides,
// in pixels: x towards -u, y towards +u, z towards -v, w towards +v.
vec4 SideDistances(vec3 p, vec3 gx, vec3 gy, ivec3 cell, int u, int v) {
    vec2 perPixel = max(vec2(length(vec2(gx[u], gy[u])), length(vec2(gx[v], gy[v]))), vec2(1e-6));
    vec2 f = vec2(p[u] - float(cell[u]), p[v] - float(cell[v]));
    return vec4(f.x / perPixel.x, (1.0 - f.x) / perPixel.x, f.y / perPixel.y, (1.0 - f.y) / perPixel.y);
}

// True when the side of the face (normal `outward`) towards `toSide` is one
// of the model's edges.
bool IsEdge(ivec3 cell, ivec3 outward, ivec3 toSide) {
    ivec3 sideCell = cell + toSide;
    return !Filled(sideCell) || Filled(sideCell + outward);
}

void main() {
    vec3 o, d;
    ViewRay(gl_FragCoord.xy, o, d);
    ivec3 n = ivec3(size);

    vec3 invD = 1.0 / d;
    // Where the ray runs inside the box; the axis of the slab entered last.
    vec3 t0 = PlaneT(vec3(0.0), o, d, invD), t1 = PlaneT(size, o, d, invD);
    vec3 tNear = min(t0, t1), tFar = max(t0, t1);
    for (int a = 0; a < 3; ++a)
        if (d[a] == 0.0) {
            if (o[a] < 0.0 || o[a] >= size[a]) discard;
            tNear[a] = -kFar, tFar[a] = kFar;
        }
    float t = max(max(tNear.x, tNear.y), max(tNear.z, 0.0));
    float tExit = min(min(tFar.x, tFar.y), tFar.z);
    if (!(t < tExit)) discard;
    int axis = t == 0.0 ? -1 : MinAxis(-tNear);
    ivec3 stepv = ivec3(sign(d));
    ivec3 cell = clamp(ivec3(floor(o + d * t)), ivec3(0), n - 1);
    if (axis >= 0) cell[axis] = d[axis] > 0.0 ? 0 : n[axis] - 1;

    int index = 0;
    bool hit = false;
    ivec3 brick = ivec3(-1);
    int far = 0;
    for (int i = 0; i < 1024; ++i) {
        // Cells of one brick share its entry: read it once.
        if (any(notEqual(cell / kBrick, brick))) {
            brick = cell / kBrick;
            far = int(texelFetch(bricks, brick, 0).r * 255.0 + 0.5);
        }
        if (far == 0) {
            index = int(texelFetch(cells, cell, 0).r * 255.0 + 0.5);
            if (index != 0) {
                hit = true;
                break;
            }
        }
        // Leave the empty cube around the ray, to the cell beyond the face
        // it is left by: this cell alone, or where `far` says every brick
        // nearer than it is empty, the cube of them around this brick
        // (within the box, so a ray leaving the box leaves it where it
        // crosses the box's face). One path for both keeps neighbouring
        // pixels, which run in step, from paying for each other's branch.
        ivec3 lo = far > 0 ? max((brick - (far - 1)) * kBrick, ivec3(0)) : cell;
        ivec3 hi = far > 0 ? min((brick + far) * kBrick, n) - 1 : cell;
        vec3 bound = mix(vec3(lo), vec3(hi + 1), greaterThan(d, vec3(0.0)));
        vec3 tb = PlaneT(bound, o, d, invD);
        axis = MinAxis(tb);
        t = tb[axis];
        ivec3 next = clamp(ivec3(floor(o + d * t)), lo, hi);
        next[axis] = d[axis] > 0.0 ? hi[axis] + 1 : lo[axis] - 1;
        cell = next;
        if (!Inside(cell, n)) break;
    }
    if (!hit) {
        // Out through the floor of the box: the ground plane under it.
        if (!ground || axis != 2 || d.z >= 0.0 || cell.z >= 0) discard;
        cell.z = -1;
        index = 0;
    }
    if (axis < 0) axis = MinAxis(-abs(d));
    int face = 2 * axis + (d[axis] > 0.0 ? 1 : 2);

    // The point on the face, its plane exact.
    vec3 p = o + d * t;
    p[axis] = float(cell[axis] + (d[axis] > 0.0 ? 0 : 1));
    float depth = Depth(p);
    if (depth < 0.0 || depth > 1.0) discard;
    vec3 gx = vec3(0.0), gy = vec3(0.0);
    if (slopeBias > 0.0 || grid || edges) PixelSteps(p, axis, gx, gy);
    // The face's own depth slope, as a polygon offset takes it.
    float slope = slopeBias > 0.0 ? max(abs(Depth(p + gx) - depth), abs(Depth(p + gy) - depth)) : 0.0;
    gl_FragDepth = min(depth + slopeBias * slope + depthBias, 1.0);

    if (idMode) {
        gl_FragColor = vec4(vec3(cell + ivec3(0, 0, 1)), float(face)) / 255.0;
        return;
    }
    vec3 normal = vec3(0.0);
    normal[axis] = d[axis] > 0.0 ? -1.0 : 1.0;
    float light = 1.0;
    int lineFace = face;
    if (grid || edges) {
        int u = (axis + 1) % 3, v = (axis + 2) % 3;
        vec4 away = SideDistances(p, gx, gy, cell, u, v);
        if (edges && cell.z >= 0) {
            ivec3 outward = ivec3(normal), du = ivec3(0), dv = ivec3(0);
            du[u] = 1;
            dv[v] = 1;
            if ((away.x < 0.9 && IsEdge(cell, outward, -du)) || (away.y < 0.9 && IsEdge(cell, outward, du)) ||
                (away.z < 0.9 && IsEdge(cell, outward, -dv)) || (away.w < 0.9 && IsEdge(cell, outward, dv))) {
                gl_FragColor = edgeColor;
                return;
            }
        }
        if (grid && min(min(away.x, away.y), min(away.z, away.w)) < 0.5 * gridWidth) {
            light = 0.9;
            // Outlines go down direction by direction, so where this face
            // meets another visible face of its cell the later one's shows.
            ivec3 du = ivec3(0), dv = ivec3(0);
            du[u] = 1;
            dv[v] = 1;
            ivec3 sides[4] = ivec3[4](-du, du, -dv, dv);
            for (int k = 0; k < 4; ++k) {
                ivec3 s = sides[k];
                int a = s.x != 0 ? 0 : s.y != 0 ? 1 : 2;
                int sideFace = 2 * a + (s[a] < 0 ? 1 : 2);
                bool facesEye = dot(ortho ? -d : eye - p, vec3(s)) > 0.0;
                if (away[k] < 0.5 * gridWidth && facesEye && !Filled(cell + s) && sideFace > lineFace)
                    lineFace = sideFace;
            }
        }
    }
    float coord = (float(index) + 0.5) / 256.0;
    vec3 albedo = texture1D(palette, coord).rgb;
    // Flat mode is the faces' fixed-function fallback: no emissive hint.
    if (!shaded) {
        gl_FragColor = vec4(albedo * (light * shade[lineFace]), 1.0);
        return;
    }
    if (texture1D(look, coord).r > 0.5) {
        gl_FragColor = vec4(albedo, 1.0);
        return;
    }
    vec4 around = texture3D(ao, (p + 0.5 * normal) / size);
    float occlusion = mix(1.0, 1.0 - 0.6 * around.r, 0.9);
    float direct = light * shade[lineFace] * (1.0 - 0.5 * around.a);
    gl_FragColor = vec4(albedo * (direct + ambient_color) * occlusion, 1.0);
}
