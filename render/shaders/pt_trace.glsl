// The path tracer's fragment program: one radiance sample per pixel of the
// model volume, in model space (cells [0, bound], z up). The host puts three
// headers in front of this text: the primitive shape (PRIM_*), JITTER or
// nothing, and the program's option (OPT_DEPTH, OPT_ZERO, OPT_MAIN with
// OPT_MATERIAL or OPT_METAL for the variants).
//
//   OPT_ZERO       writes zero
//   OPT_DEPTH      (distance, palette index, ground hit, voxel hit) of the
//                  pixel's centre ray
//   OPT_MAIN       diffuse voxels and ground, sun and sky
//   + OPT_METAL    and metal
//   + OPT_MATERIAL and metal, glass and emissive colours
//
// Colours are linear; the display program applies exposure and gamma.
// Written for GLSL 1.10 so every driver with the shader extensions runs it.
//
//   random ..... a hash per pixel, sample and draw
//   tables ..... palette, materials, the volume
//   shapes ..... the primitive of a filled cell
//   the walk ... 3D-DDA with empty-space skipping; glass and shadow modes
//   lighting ... sky, sun cone, sampling helpers, grid and edge lines
//   camera ..... perspective, orthographic, fisheye; thin-lens depth of field
//   programs ... zero, depth, and the path itself

uniform vec3 bound;        // model size in cells
uniform vec3 vol_scale;    // 1 / volume texture size
uniform vec2 image_size;
uniform vec3 view_eye;
uniform mat3 view_rot;     // columns: right, up, back
uniform vec4 view_proj;    // mode (0 perspective, 1 orthographic, 2 fisheye), half width, half height, aspect
uniform vec4 ground;       // plane normal and offset; all 0 without ground
uniform vec4 parm;         // grid width, edge width, shadow transmission, ray offset
uniform mat3 light_rot;    // columns: tangent, bitangent, toward the sun
uniform vec4 Ld;           // sun irradiance; w: cosine of the sun's angular radius
uniform vec3 Le;           // sky radiance
uniform vec3 Lg;           // ground albedo
uniform int numBounces;
uniform sampler1D pal;     // palette; texel 0 is the line colour
uniform sampler2D mtl;     // 256 x 4: (kind, roughness, specular, plastic), (ior, attenuation, flux, glow), (total)
uniform sampler2D rng;     // 256 x 256 white noise
uniform sampler3D df;      // r: palette index / 255, g: distance to the nearest voxel / 255
uniform sampler3D mc;      // occupancy, linearly filtered (smooth surface)
uniform sampler1D ct;      // linear albedo per palette index
uniform vec4 light_lobe;   // per sample: rotation of the sun cone samples
uniform vec4 dices;        // per sample: noise offsets
uniform vec4 view_dir;     // lens radius, focus distance
uniform vec3 area_p;       // per sample: the corner of one emissive voxel
uniform float area_r;      //   its half size
uniform vec3 area_L;       //   its radiance
uniform float area_pdf;    //   the number of emissive voxels it was drawn from; 0: none
varying vec2 st;

const float PI = 3.14159265;

// ------------------------------------------------------------------ random

float g_seed;
vec2 g_pixel;

float rand() {
    g_seed += 1.0;
    vec3 p = fract(vec3(g_pixel, g_seed) * vec3(0.1031, 0.1030, 0.0973));
    p += dot(p, p.yzx + 33.33);
    return fract((p.x + p.y) * p.z);
}

void seedRandom() {
    vec4 noise = texture2D(rng, st * image_size / 256.0 + dices.xy);
    g_pixel = floor(st * image_size) + noise.xy * 512.0 + dices.zw * 1024.0;
    g_seed = floor(noise.z * 1024.0);
}

// ------------------------------------------------------------------ tables

float kindOf(float idx) { return texture2D(mtl, vec2((idx + 0.5) / 256.0, 0.125)).r; }
vec4 material0(float idx) { return texture2D(mtl, vec2((idx + 0.5) / 256.0, 0.125)); }
vec4 material1(float idx) { return texture2D(mtl, vec2((idx + 0.5) / 256.0, 0.375)); }
vec4 material2(float idx) { return texture2D(mtl, vec2((idx + 0.5) / 256.0, 0.625)); }
vec3 albedoOf(float idx) { return texture1D(ct, (idx + 0.5) / 256.0).rgb; }
vec4 cellAt(vec3 cell) { return texture3D(df, (cell + 0.5) * vol_scale); }
float indexOf(vec4 v) { return floor(v.r * 255.0 + 0.5); }

// ------------------------------------------------------------------ shapes

// The hit a trace reports.
float h_t;
vec3 h_n;
float h_idx;
vec3 h_cell;
float h_ground;

bool slab(vec3 ro, vec3 invd, vec3 lo, vec3 hi, out float tn, out float tf) {
    vec3 a = (lo - ro) * invd, b = (hi - ro) * invd;
    vec3 mn = min(a, b), mx = max(a, b);
    tn = max(max(mn.x, mn.y), mn.z);
    tf = min(min(mx.x, mx.y), mx.z);
    return tn <= tf;
}

// Box [lo, hi] within [t0, t1]; the normal of the entry face.
bool hitBox(vec3 ro, vec3 rd, vec3 lo, vec3 hi, float t0, float t1, out float t, out vec3 n) {
    vec3 invd = 1.0 / rd;
    vec3 a = (lo - ro) * invd, b = (hi - ro) * invd;
    vec3 mn = min(a, b), mx = max(a, b);
    float tn = max(max(mn.x, mn.y), mn.z), tf = min(min(mx.x, mx.y), mx.z);
    if (tn > tf || tn > t1 || tn < t0 - 1e-4) return false;
    t = tn;
    n = -sign(rd) * step(vec3(tn), mn);
    return true;
}

bool hitSphere(vec3 ro, vec3 rd, vec3 c, float r, float t0, float t1, out float t, out vec3 n) {
    vec3 o = ro - c;
    float b = dot(o, rd), q = dot(o, o) - r * r, d = b * b - q;
    if (d < 0.0) return false;
    t = -b - sqrt(d);
    if (t < t0 - 1e-4 || t > t1) return false;
    n = (o + rd * t) / r;
    return true;
}

// Upright cylinder of radius r around c.xy from z0 to z1.
bool hitCylinder(vec3 ro, vec3 rd, vec3 c, float r, float z0, float z1, float t0, float t1, out float t, out vec3 n) {
    vec2 o = ro.xy - c.xy;
    float a = dot(rd.xy, rd.xy), b = dot(o, rd.xy), q = dot(o, o) - r * r;
    float tc = 1e30;
    if (a > 1e-12) {
        float d = b * b - a * q;
        if (d < 0.0) return false;
        tc = (-b - sqrt(d)) / a;
        float z = ro.z + rd.z * tc;
        if (z >= z0 && z <= z1 && tc >= t0 - 1e-4 && tc <= t1) {
            t = tc;
            n = vec3((o + rd.xy * tc) / r, 0.0);
            return true;
        }
    } else if (q > 0.0) {
        return false;
    }
    // The caps.
    if (abs(rd.z) < 1e-12) return false;
    float tz = ((rd.z > 0.0 ? z0 : z1) - ro.z) / rd.z;
    vec2 p = o + rd.xy * tz;
    if (dot(p, p) > r * r || tz < t0 - 1e-4 || tz > t1) return false;
    t = tz;
    n = vec3(0.0, 0.0, -sign(rd.z));
    return true;
}

float roundBox(vec3 p, float r) {
    vec3 q = abs(p) - vec3(0.5 - r);
    return length(max(q, 0.0)) + min(max(q.x, max(q.y, q.z)), 0.0) - r;
}

// Sphere tracing inside one cell.
bool hitRound(vec3 ro, vec3 rd, vec3 c, float r, float t0, float t1, out float t, out vec3 n) {
    t = t0;
    for (int i = 0; i < 24; ++i) {
        float d = roundBox(ro + rd * t - c, r);
        if (d < 1e-3) {
            vec3 p = ro + rd * t - c;
            vec2 e = vec2(1e-3, 0.0);
            n = normalize(vec3(roundBox(p + e.xyy, r) - roundBox(p - e.xyy, r),
                               roundBox(p + e.yxy, r) - roundBox(p - e.yxy, r),
                               roundBox(p + e.yyx, r) - roundBox(p - e.yyx, r)));
            return true;
        }
        t += d;
        if (t > t1) return false;
    }
    return false;
}

float density(vec3 p) { return texture3D(mc, p * vol_scale).r; }

// Where the smoothed occupancy rises through 0.5 within [t0, t1], sampled
// every eighth of a cell so thin parts are not stepped over. The hit lies
// on the outer side of the surface, so rays leaving it start outside; a ray
// that starts inside is in solid matter and stops at once.
bool hitSmooth(vec3 ro, vec3 rd, float t0, float t1, out float t, out vec3 n) {
    float steps = clamp(ceil((t1 - t0) * 8.0), 1.0, 16.0);
    float dt = (t1 - t0) / steps;
    if (density(ro + rd * t0) >= 0.5) {
        t = t0;
    } else {
        t = -1.0;
        float prev = t0;
        for (int i = 1; i <= 16; ++i) {
            if (float(i) > steps) break;
            float tt = t0 + dt * float(i);
            if (density(ro + rd * tt) >= 0.5) {
                float lo = prev, hi = tt;
                for (int k = 0; k < 6; ++k) {
                    float mid = 0.5 * (lo + hi);
                    if (density(ro + rd * mid) >= 0.5) hi = mid;
                    else lo = mid;
                }
                t = lo;
                break;
            }
            prev = tt;
        }
        if (t < 0.0) return false;
    }
    vec3 p = ro + rd * t;
    vec2 e = vec2(0.35, 0.0);
    vec3 g = vec3(density(p - e.xyy) - density(p + e.xyy), density(p - e.yxy) - density(p + e.yxy),
                  density(p - e.yyx) - density(p + e.yyx));
    n = length(g) > 1e-6 ? normalize(g) : -rd;
    return true;
}

// The shape of a filled cell along [t0, t1]; n0 is the face the ray entered by.
bool hitShape(vec3 ro, vec3 rd, vec3 cell, float t0, float t1, vec3 n0, out float t, out vec3 n) {
    vec3 c = cell + 0.5;
#if defined(PRIM_SPHR)
    return hitSphere(ro, rd, c, 0.5, t0, t1, t, n);
#elif defined(PRIM_CYLI)
    return hitCylinder(ro, rd, c, 0.5, cell.z, cell.z + 1.0, t0, t1, t, n);
#elif defined(PRIM_LEGO)
    float tb, ts;
    vec3 nb, ns;
    bool b = hitBox(ro, rd, cell, cell + vec3(1.0, 1.0, 0.8), t0, t1, tb, nb);
    bool s = hitCylinder(ro, rd, c, 0.3, cell.z + 0.8, cell.z + 1.0, t0, t1, ts, ns);
    if (s && (!b || ts < tb)) {
        t = ts;
        n = ns;
        return true;
    }
    t = tb;
    n = nb;
    return b;
#elif defined(PRIM_MC)
    return hitSmooth(ro, rd, t0, t1, t, n);
#elif defined(PRIM_RE)
    return hitRound(ro, rd, c, 0.12, t0, t1, t, n);
#elif defined(PRIM_RG)
    return hitRound(ro, rd, c, 0.3, t0, t1, t, n);
#else
    t = t0;
    n = dot(n0, n0) > 0.5 ? n0 : -rd;
    return true;
#endif
}

// Density over directions of normalize(r + rho * u), u uniform in the unit
// ball (the metal lobe): the ball's volume along d per solid angle.
float lobePdf(vec3 d, vec3 r, float rho) {
    float b = dot(d, r), q = b * b - 1.0 + rho * rho;
    if (q <= 0.0) return 0.0;
    float t1 = b + sqrt(q), t0 = max(b - sqrt(q), 0.0);
    if (t1 <= 0.0) return 0.0;
    return (t1 * t1 * t1 - t0 * t0 * t0) / (4.0 * PI * rho * rho * rho);
}

float schlick(float cosI, float f0) { return f0 + (1.0 - f0) * pow(1.0 - clamp(cosI, 0.0, 1.0), 5.0); }

// What a path keeps of its light over `cells` of glass of colour idx.
vec3 glassTransmission(float idx, float cells) {
    return exp(-(vec3(1.0) - albedoOf(idx)) * (cells * (0.02 + 0.3 * material1(idx).y)));
}

// ------------------------------------------------------------------ the walk

// A 3D-DDA through the volume from ro along rd up to tMax. Mode 0 finds the
// first surface; mode 1 is a shadow ray: glass tints `tint` and lets it
// through; mode 2 walks inside the glass of colour `inside` and stops at the
// first cell of another colour (h_n faces back along the ray).
bool walk(vec3 ro, vec3 rd, float tMax, int mode, float inside, inout vec3 tint) {
    vec3 sgn = step(0.0, rd) * 2.0 - 1.0;
    rd = sgn * max(abs(rd), vec3(1e-7));
    vec3 invd = 1.0 / rd;
    float tn, tf;
    if (!slab(ro, invd, vec3(0.0), bound, tn, tf)) return false;
    vec3 a = (vec3(0.0) - ro) * invd, b = (bound - ro) * invd;
    vec3 n = tn > 0.0 ? -sgn * step(vec3(tn), min(a, b)) : vec3(0.0);
    float t = max(tn, 0.0);
    tf = min(tf, tMax);
    if (t >= tf) return false;
    vec3 cell = clamp(floor(ro + rd * t + n * -0.5e-3), vec3(0.0), bound - 1.0);
    vec3 delta = abs(invd);
    vec3 tNext = (cell + max(sgn, 0.0) - ro) * invd;
    float lastGlass = -1.0;  // the colour of the glass the shadow ray is in
    for (int i = 0; i < 512; ++i) {
        vec4 v = cellAt(cell);
        float idx = indexOf(v);
#ifdef OPT_MATERIAL
        if (mode == 1 && idx != lastGlass) lastGlass = -1.0;
#endif
        float tExit = min(min(tNext.x, tNext.y), tNext.z);
        if (mode == 2) {
            if (idx != inside) {
                h_t = t;
                h_n = n;
                h_idx = idx;
                h_cell = cell;
                return true;
            }
        } else if (idx > 0.0) {
            float th;
            vec3 nh;
#ifdef OPT_MATERIAL
            if (mode == 1 && kindOf(idx) > 1.5 && kindOf(idx) < 2.5) {
                tint *= glassTransmission(idx, 1.0);
                // Entering a run of glass: what its two faces reflect.
                if (idx != lastGlass && material2(idx).x < 0.5) {
                    float ior = max(material1(idx).x, 1.0);
                    float cosI = dot(n, n) > 0.5 ? abs(dot(rd, n)) : 1.0;
                    float f = schlick(cosI, pow((ior - 1.0) / (ior + 1.0), 2.0));
                    tint *= (1.0 - f) * (1.0 - f);
                }
                lastGlass = idx;
            } else
#endif
            if (hitShape(ro, rd, cell, t, tExit, n, th, nh)) {
                h_t = th;
                h_n = nh;
                h_idx = idx;
                h_cell = cell;
                return true;
            }
        } else {
#ifdef PRIM_MC
            // The smooth surface reaches into empty cells beside voxels.
            if (v.g * 255.0 < 1.5) {
                float th;
                vec3 nh;
                if (hitSmooth(ro, rd, t, tExit, th, nh)) {
                    h_t = th;
                    h_n = nh;
                    h_cell = floor(ro + rd * th - nh * 0.5);
                    h_idx = indexOf(cellAt(h_cell));
                    if (h_idx < 0.5) h_idx = indexOf(cellAt(floor(ro + rd * th - nh)));
                    return true;
                }
            }
#endif
            float d = floor(v.g * 255.0 + 0.5);
            if (d >= 2.0) {
                // Every cell within d - 1 is empty: leave that box at once.
                vec3 lo = max(cell - (d - 1.0), vec3(0.0)), hi = min(cell + d, bound);
                vec3 tb = (mix(lo, hi, step(0.0, rd)) - ro) * invd;
                float te = min(min(tb.x, tb.y), tb.z);
                if (te >= tf) return false;
                vec3 m = step(tb, tb.yzx) * step(tb, tb.zxy);
                vec3 p = ro + rd * te;
                cell = clamp(floor(p), lo, hi - 1.0);
                cell = mix(cell, mix(lo - 1.0, hi, step(0.0, rd)), m);
                if (any(lessThan(cell, vec3(0.0))) || any(greaterThanEqual(cell, bound))) return false;
                t = te;
                n = -m * sgn;
                tNext = (cell + max(sgn, 0.0) - ro) * invd;
                continue;
            }
        }
        vec3 m = step(tNext, tNext.yzx) * step(tNext, tNext.zxy);
        t = tExit;
        cell += m * sgn;
        tNext += m * delta;
        n = -m * sgn;
        if (t >= tf || any(lessThan(cell, vec3(0.0))) || any(greaterThanEqual(cell, bound))) {
            // Glass ends where the volume does.
            h_t = t;
            h_n = n;
            h_idx = 0.0;
            h_cell = cell;
            return mode == 2;
        }
    }
    return false;
}

// The nearest of the volume and the ground plane.
bool traceScene(vec3 ro, vec3 rd) {
    vec3 tint = vec3(1.0);
    float tg = 1e30;
    if (dot(ground.xyz, ground.xyz) > 0.5) {
        float dn = dot(ground.xyz, rd);
        if (dn < 0.0) tg = -(dot(ground.xyz, ro) + ground.w) / dn;
        // A ray leaving glass that stands on the ground starts a hair below it.
        if (tg < 0.0) tg = tg > -0.01 ? 0.0 : 1e30;
    }
    if (walk(ro, rd, tg, 0, 0.0, tint)) {
        h_ground = 0.0;
        return true;
    }
    if (tg >= 1e30) return false;
    h_t = tg;
    h_n = ground.xyz;
    h_idx = 0.0;
    h_ground = 1.0;
    return true;
}

// ------------------------------------------------------------------ lighting

vec3 skyRadiance(vec3 d) {
    float up = clamp(d.z, -1.0, 1.0);
    vec3 sky = Le * mix(1.25, 0.75, max(up, 0.0));
    return up < 0.0 ? Le * 0.5 : sky;
}

// A direction within the sun's cone.
vec3 sunSample() {
    float cosT = 1.0 - rand() * (1.0 - Ld.w);
    float sinT = sqrt(max(0.0, 1.0 - cosT * cosT));
    float phi = 2.0 * PI * rand() + light_lobe.x;
    return light_rot * vec3(sinT * cos(phi), sinT * sin(phi), cosT);
}

// How much of the sun reaches p along l: 0 behind voxels, tinted by glass.
vec3 sunVisible(vec3 p, vec3 l) {
    if (parm.z >= 1.0) return vec3(1.0);
    vec3 tint = vec3(1.0);
    if (walk(p, l, 1e30, 1, 0.0, tint)) return vec3(parm.z);
    return tint;
}

vec3 cosineSample(vec3 n) {
    float r1 = rand(), r2 = rand();
    float phi = 2.0 * PI * r1, r = sqrt(r2);
    vec3 t = normalize(abs(n.z) < 0.9 ? cross(n, vec3(0.0, 0.0, 1.0)) : cross(n, vec3(1.0, 0.0, 0.0)));
    vec3 b = cross(n, t);
    return normalize(t * (r * cos(phi)) + b * (r * sin(phi)) + n * sqrt(max(0.0, 1.0 - r2)));
}

vec3 inSphere() {
    float z = rand() * 2.0 - 1.0, phi = 2.0 * PI * rand();
    float r = sqrt(max(0.0, 1.0 - z * z));
    return vec3(r * cos(phi), r * sin(phi), z) * pow(rand(), 0.3333);
}

// Grid and edge lines on the faces of cube-like shapes: the line colour or
// a darker albedo near a face's border.
vec3 lines(vec3 albedo, vec3 p, vec3 n, vec3 cell) {
#if defined(PRIM_CUBE) && !defined(PRIM_ROUND)
    if (parm.x + parm.y <= 0.0) return albedo;
    vec3 f = p - cell;
    vec3 an = abs(n);
    vec2 uv = an.x > 0.5 ? f.yz : an.y > 0.5 ? f.xz : f.xy;
    vec2 e = min(uv, 1.0 - uv);
    float dist = min(e.x, e.y);
    if (parm.y > 0.0 && dist < parm.y) {
        // A model edge: no voxel beside the face across its nearest border,
        // or one in front of it there.
        vec2 side = e.x < e.y ? vec2(uv.x < 0.5 ? -1.0 : 1.0, 0.0) : vec2(0.0, uv.y < 0.5 ? -1.0 : 1.0);
        vec3 step3 = an.x > 0.5 ? vec3(0.0, side) : an.y > 0.5 ? vec3(side.x, 0.0, side.y) : vec3(side, 0.0);
        vec3 beside = cell + step3;
        bool inside = all(greaterThanEqual(beside, vec3(0.0))) && all(lessThan(beside, bound));
        bool empty = !inside || indexOf(cellAt(beside)) < 0.5;
        vec3 front = beside + sign(n) * an;
        bool inFront = all(greaterThanEqual(front, vec3(0.0))) && all(lessThan(front, bound)) &&
                       indexOf(cellAt(front)) > 0.5;
        if (empty || inFront) return pow(texture1D(pal, 0.5 / 256.0).rgb, vec3(2.2));
    }
    if (parm.x > 0.0 && dist < parm.x) return albedo * 0.45;
#endif
    return albedo;
}

// Light from this sample's emissive voxel reaching p (normal n): a point
// on one of the voxel's three faces that look at p.
vec3 areaLight(vec3 p, vec3 n) {
    vec3 c = area_p + area_r;
    vec3 toP = p - c;
    float k = floor(rand() * 3.0);
    vec3 axis = k < 0.5 ? vec3(1.0, 0.0, 0.0) : k < 1.5 ? vec3(0.0, 1.0, 0.0) : vec3(0.0, 0.0, 1.0);
    vec3 nl = axis * sign(dot(toP, axis));
    vec3 u = axis.yzx, v = axis.zxy;
    vec3 q = c + nl * area_r + (u * (rand() - 0.5) + v * (rand() - 0.5)) * (2.0 * area_r);
    vec3 d = q - p;
    float dist2 = dot(d, d), dist = sqrt(dist2);
    vec3 l = d / dist;
    float cosS = dot(n, l), cosL = -dot(nl, l);
    if (cosS <= 0.0 || cosL <= 0.0) return vec3(0.0);
    vec3 tint = vec3(1.0);
    if (walk(p, l, dist - 0.02, 1, 0.0, tint)) return vec3(0.0);
    // Three faces of area (2r)^2 to choose from, one voxel of area_pdf.
    float area = 4.0 * area_r * area_r;
    return area_L * tint * (cosS * cosL / dist2 * 3.0 * area * area_pdf / PI);
}

// ------------------------------------------------------------------ camera

void cameraRay(out vec3 ro, out vec3 rd) {
    vec2 uv = st;
#ifdef JITTER
    uv += (vec2(rand(), rand()) - 0.5) / image_size;
#endif
    vec2 ndc = uv * 2.0 - 1.0;
    vec3 right = view_rot[0], up = view_rot[1], back = view_rot[2];
    ro = view_eye;
    if (view_proj.x > 1.5) {
        vec2 q = vec2(ndc.x * view_proj.w, ndc.y);
        float r = length(q) * view_proj.y;
        vec2 dir2 = length(q) > 1e-6 ? normalize(q) : vec2(0.0);
        rd = -back * cos(r) + (right * dir2.x + up * dir2.y) * sin(r);
        return;
    }
    if (view_proj.x > 0.5) {
        ro = view_eye + right * (ndc.x * view_proj.y) + up * (ndc.y * view_proj.z);
        rd = -back;
        return;
    }
    rd = normalize(right * (ndc.x * view_proj.y) + up * (ndc.y * view_proj.z) - back);
    if (view_dir.x > 0.0) {
        // A thin lens: rays through the lens meet on the focus plane.
        vec3 focal = view_eye + rd * (view_dir.y / dot(rd, -back));
        float a = 2.0 * PI * rand(), r = view_dir.x * sqrt(rand());
        ro = view_eye + (right * cos(a) + up * sin(a)) * r;
        rd = normalize(focal - ro);
    }
}

// ------------------------------------------------------------------ programs

#if defined(OPT_ZERO)

void main() { gl_FragColor = vec4(0.0); }

#elif defined(OPT_DEPTH)

void main() {
    vec3 ro, rd;
    g_seed = 0.0;
    g_pixel = vec2(0.0);
    cameraRay(ro, rd);
    if (!traceScene(ro, rd)) {
        gl_FragColor = vec4(0.0);
        return;
    }
    gl_FragColor = vec4(h_t, h_idx, h_ground, 1.0 - h_ground);
}

#else

// One path: the camera ray and up to numBounces bounces off diffuse and
// metal surfaces (passing through glass does not count), with the sun and
// one emissive voxel sampled at every diffuse hit. The ray after the last
// bounce still sees the sky, so bounce 0 is the direct light of sun and sky.
//
// Each light is counted once: a diffuse hit samples the sun (also through
// glass) and the emitters, so a path that left a diffuse surface does not
// count the sun's disc or emission it runs into later, not even through
// glass; after a camera ray, a metal or a glass reflection it does.
vec3 radiance() {
    vec3 ro, rd;
    cameraRay(ro, rd);
    vec3 L = vec3(0.0), T = vec3(1.0);
    bool specular = true;  // the sun's disc counts (no diffuse hit sampled it)
    vec3 lobeR = vec3(0.0);  // the last rough metal's mirror direction and roughness:
    float lobeRho = 0.0;     //   its sun sample and its disc hit share the sun
    bool afterDiffuse = false;  // emission found by a diffuse bounce was sampled already
    float inside = 0.0;    // the colour of the glass the ray travels in
    float eps = parm.w;
    int bounce = 0;
    for (int step = 0; step < 24; ++step) {
        vec3 tint = vec3(1.0);
        bool hit = false;
        float medium = 0.0;  // the glass around the surface hit
#ifdef OPT_MATERIAL
        if (inside > 0.0) {
            if (!walk(ro, rd, 1e30, 2, inside, tint)) {
                h_idx = 0.0;
                h_n = -rd;
                h_t = 0.0;
            }
            T *= glassTransmission(inside, h_t);
            if (h_idx > 0.0 && kindOf(h_idx) < 1.5) {
                // An opaque voxel in the glass: shaded where the glass
                // meets it, and what leaves it goes back into the glass.
                hit = true;
                h_ground = 0.0;
                medium = inside;
                inside = 0.0;
            } else {
                vec3 p = ro + rd * h_t;
                vec3 n = h_n;  // faces back into the glass
                float ior = max(material1(inside).x, 1.0);
                vec3 refr = refract(rd, n, ior);
                if (dot(refr, refr) < 1e-6) {
                    rd = reflect(rd, n);
                    ro = p + n * eps;
                    continue;
                }
                rd = normalize(refr);
                ro = p - n * eps;
                inside = 0.0;
                continue;
            }
        }
#endif
        if (!hit && !traceScene(ro, rd)) {
            L += T * skyRadiance(rd);
            if (specular && dot(rd, light_rot[2]) > Ld.w) {
                float pl = 1.0 / max(1e-4, 2.0 * PI * (1.0 - Ld.w));
                float pb = lobeRho > 0.0 ? lobePdf(rd, lobeR, lobeRho) : 0.0;
                L += T * Ld.rgb * pl * (lobeRho > 0.0 ? pb / (pb + pl) : 1.0);
            }
            break;
        }
        vec3 p = ro + rd * h_t;
        vec3 n = dot(h_n, rd) > 0.0 ? -h_n : h_n;
        vec3 albedo = Lg;
        vec4 m0 = vec4(0.0), m1 = vec4(0.0);
        if (h_ground < 0.5) {
            albedo = lines(albedoOf(h_idx), p, n, h_cell);
            m0 = material0(h_idx);
            m1 = material1(h_idx);
        }
        float kind = floor(m0.x + 0.5);
#ifdef OPT_MATERIAL
        if (kind == 3.0) {
            // Emissive: flux lights the scene, glow shows to the eye.
            if (!(afterDiffuse && area_pdf > 0.0)) L += T * albedo * (m1.z + (bounce == 0 ? m1.w * 2.0 : 0.0));
            break;
        }
#endif
        if (bounce > numBounces) break;
#ifdef OPT_MATERIAL
        if (kind == 2.0) {
            float ior = max(m1.x, 1.0);
            float cosI = -dot(rd, n);
            float F = material2(h_idx).x > 0.5 ? 0.0 : schlick(cosI, pow((ior - 1.0) / (ior + 1.0), 2.0));
            if (rand() < F) {
                rd = reflect(rd, n);
                ro = p + n * eps;
                // Shadow rays pass through glass: they do not see this.
                specular = true;
                lobeRho = 0.0;
            } else {
                vec3 refr = refract(rd, n, 1.0 / ior);
                rd = normalize(refr + inSphere() * m0.y * 0.3);
                ro = p - n * eps;
                inside = h_idx;
            }
            continue;
        }
#endif
#if defined(OPT_MATERIAL) || defined(OPT_METAL)
        if (kind == 1.0) {
            // The lobe around the mirror direction; rough metal also samples
            // the sun, and the two ways of finding it are weighted by their
            // densities (balance heuristic).
            float F = schlick(-dot(rd, n), 0.0);
            T *= mix(albedo, vec3(1.0), F) * (0.55 + 0.45 * m0.z);
            ++bounce;
            lobeR = reflect(rd, n);
            lobeRho = m0.y > 0.01 ? m0.y : 0.0;
            ro = p + n * eps;
            if (lobeRho > 0.0 && Ld.x + Ld.y + Ld.z > 0.0) {
                vec3 l = sunSample();
                float pb = lobePdf(l, lobeR, lobeRho), pl = 1.0 / max(1e-4, 2.0 * PI * (1.0 - Ld.w));
                if (pb > 0.0 && dot(l, n) > 0.0) L += T * Ld.rgb * (pb * pl / (pb + pl)) * sunVisible(ro, l);
            }
            rd = normalize(lobeR + inSphere() * m0.y);
            if (dot(rd, n) <= 0.0) break;
            inside = medium;
            specular = true;
            afterDiffuse = false;
            continue;
        }
#endif
        // Diffuse, perhaps under a clear coat.
        if (m0.w > 0.5 && rand() < schlick(-dot(rd, n), 0.04 + 0.2 * m0.z)) {
            rd = normalize(reflect(rd, n) + inSphere() * m0.y * 0.5);
            if (dot(rd, n) <= 0.0) break;
            ro = p + n * eps;
            inside = medium;
            specular = true;
            lobeRho = 0.0;
            afterDiffuse = false;
            ++bounce;
            continue;
        }
        ro = p + n * eps;
        // Lambert: albedo / pi times the sun's irradiance.
        vec3 l = sunSample();
        float ndl = dot(n, l);
        if (ndl > 0.0 && Ld.x + Ld.y + Ld.z > 0.0) L += T * albedo * Ld.rgb * (ndl / PI) * sunVisible(ro, l);
#ifdef OPT_MATERIAL
        if (area_pdf > 0.0) L += T * albedo * areaLight(ro, n);
#endif
        T *= albedo;
        rd = cosineSample(n);
        inside = medium;
        specular = false;
        afterDiffuse = true;
        ++bounce;
    }
    return L;
}

void main() {
    seedRandom();
    vec3 c = radiance();
    // A stray NaN would poison the whole accumulation of this pixel. The
    // cap tames fireflies but never cuts the sun's disc.
    if (!(c.x >= 0.0) || !(c.y >= 0.0) || !(c.z >= 0.0)) c = vec3(0.0);
    float disc = max(max(Ld.x, Ld.y), Ld.z) / max(1e-4, 2.0 * PI * (1.0 - Ld.w));
    gl_FragColor = vec4(min(c, vec3(max(64.0, 2.0 * disc))), 1.0);
}

#endif
