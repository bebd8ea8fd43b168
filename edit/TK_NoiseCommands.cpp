// "noise" and "rand" (see TK_NoiseCommands.h), with the gradient noise
// behind "noise": the improved-noise scheme (quintic fade, twelve edge
// gradients) over a permutation shuffled by the seed.
#include "edit/TK_NoiseCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/OMB_Lexer.h"
#include "edit/TK_CommandArgs.h"
#include "edit/TK_VoxelGrid.h"

const uint8_t kTK_NoisePermutation[256] = {
    151, 160, 137, 91,  90,  15,  131, 13,  201, 95,  96,  53,  194, 233, 7,   225, 140, 36,  103, 30,  69,  142,
    8,   99,  37,  240, 21,  10,  23,  190, 6,   148, 247, 120, 234, 75,  0,   26,  197, 62,  94,  252, 219, 203,
    117, 35,  11,  32,  57,  177, 33,  88,  237, 149, 56,  87,  174, 20,  125, 136, 171, 168, 68,  175, 74,  165,
    71,  134, 139, 48,  27,  166, 77,  146, 158, 231, 83,  111, 229, 122, 60,  211, 133, 230, 220, 105, 92,  41,
    55,  46,  245, 40,  244, 102, 143, 54,  65,  25,  63,  161, 1,   216, 80,  73,  209, 76,  132, 187, 208, 89,
    18,  169, 200, 196, 135, 130, 116, 188, 159, 86,  164, 100, 109, 198, 173, 186, 3,   64,  52,  217, 226, 250,
    124, 123, 5,   202, 38,  147, 118, 126, 255, 82,  85,  212, 207, 206, 59,  227, 47,  16,  58,  17,  182, 189,
    28,  42,  223, 183, 170, 213, 119, 248, 152, 2,   44,  154, 163, 70,  221, 153, 101, 155, 167, 43,  172, 9,
    129, 22,  39,  253, 19,  98,  108, 110, 79,  113, 224, 232, 178, 185, 112, 104, 218, 246, 97,  228, 251, 34,
    242, 193, 238, 210, 144, 12,  191, 179, 162, 241, 81,  51,  145, 235, 249, 14,  239, 107, 49,  192, 214, 31,
    181, 199, 106, 157, 184, 84,  204, 176, 115, 121, 50,  45,  127, 4,   150, 254, 138, 236, 205, 93,  222, 114,
    67,  29,  24,  72,  243, 141, 128, 195, 78,  66,  215, 61,  156, 180,
};

namespace {

// ---------------------------------------------------------------------------
// Gradient noise helpers
// ---------------------------------------------------------------------------

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
double Lerp(double t, double a, double b) { return a + t * (b - a); }

double Grad(int hash, double x, double y, double z) {
    const int h = hash & 15;
    const double u = h < 8 ? x : y;
    const double v = h < 4 ? y : (h == 12 || h == 14) ? x : z;
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// The twelve edge gradients (four repeated) as vectors, read off Grad so the
// fast row path and the reference formula cannot disagree.
struct GradientTable {
    double g[16][3];
    GradientTable() {
        for (int h = 0; h < 16; ++h)
            for (int a = 0; a < 3; ++a) g[h][a] = Grad(h, a == 0, a == 1, a == 2);
    }
};
const GradientTable kGradients;

// The band low < sin(n) < high as limits on n, valid where sin rises
// (|n| <= pi/2, which the noise never leaves). Points within kMargin of a
// limit are decided by sin itself, so the result is exactly the sine test.
struct SineBand {
    static constexpr double kMargin = 1e-9;
    double low, high;  // sine limits
    double lo, hi;     // limits on n
    SineBand(double l, double h) : low(l), high(h), lo(LowerLimit(l)), hi(UpperLimit(h)) {}
    static double LowerLimit(double t) {
        if (std::isnan(t) || t >= 1.0) return HUGE_VAL;  // no sine is above it
        return t < -1.0 ? -HUGE_VAL : std::asin(t);
    }
    static double UpperLimit(double t) {
        if (std::isnan(t) || t <= -1.0) return -HUGE_VAL;  // no sine is below it
        return t > 1.0 ? HUGE_VAL : std::asin(t);
    }
    bool Contains(double n) const {
        if (n > lo + kMargin && n < hi - kMargin && std::fabs(n) < 1.5) return true;
        if ((n < lo - kMargin || n > hi + kMargin) && std::fabs(n) < 1.5) return false;
        const double s = std::sin(n);
        return low < s && s < high;
    }
};

// The "noise" numbers carried from one run to the next.
struct NoiseMemory {
    float seed = 33554431.0f;
    float frequency = 0.04f;
    float low = 0.2f;
    float high = 0.5f;
};
NoiseMemory g_noiseMemory;

bool IsPaletteColor(int c) { return c >= 1 && c <= 255; }

}  // namespace

// ---------------------------------------------------------------------------
// TK_GradientNoise
// ---------------------------------------------------------------------------
TK_GradientNoise::TK_GradientNoise(uint32_t seed) {
    uint8_t p[256];
    std::memcpy(p, kTK_NoisePermutation, sizeof p);
    uint64_t state = seed;
    for (int i = 255; i > 0; --i) std::swap(p[i], p[SplitMix(state) % uint64_t(i + 1)]);
    for (int i = 0; i < 512; ++i) m_perm[i] = p[i & 255];
}

TK_NoiseAxis TK_NoiseAxis::Of(double t) {
    const double whole = std::floor(t);
    double wrapped = std::fmod(whole, 256.0);
    if (wrapped < 0) wrapped += 256.0;
    return TK_NoiseAxis{int(wrapped), t - whole, Fade(t - whole)};
}

// The reference formula: trilinear blend of the eight corner gradients.
double TK_GradientNoise::At(double px, double py, double pz) const {
    const TK_NoiseAxis ax = TK_NoiseAxis::Of(px), ay = TK_NoiseAxis::Of(py), az = TK_NoiseAxis::Of(pz);
    const uint8_t* p = m_perm;
    const double x = ax.frac, y = ay.frac, z = az.frac, u = ax.fade, v = ay.fade, w = az.fade;
    const int A = p[ax.cell] + ay.cell, AA = p[A] + az.cell, AB = p[A + 1] + az.cell;
    const int B = p[ax.cell + 1] + ay.cell, BA = p[B] + az.cell, BB = p[B + 1] + az.cell;
    return Lerp(w,
                Lerp(v, Lerp(u, Grad(p[AA], x, y, z), Grad(p[BA], x - 1, y, z)),
                     Lerp(u, Grad(p[AB], x, y - 1, z), Grad(p[BB], x - 1, y - 1, z))),
                Lerp(v, Lerp(u, Grad(p[AA + 1], x, y, z - 1), Grad(p[BA + 1], x - 1, y, z - 1)),
                     Lerp(u, Grad(p[AB + 1], x, y - 1, z - 1), Grad(p[BB + 1], x - 1, y - 1, z - 1))));
}

// The blend is linear in the corner values, so at fixed (y, z) the four
// corners on each x face reduce to a line a * x + b; a point is then the
// fade blend of the two face lines.
void TK_GradientNoise::Row(const TK_NoiseAxis* xs, int count, const TK_NoiseAxis& ay, const TK_NoiseAxis& az,
                           double* out) const {
    const uint8_t* p = m_perm;
    const double wyz[2][2] = {{(1 - ay.fade) * (1 - az.fade), (1 - ay.fade) * az.fade},
                              {ay.fade * (1 - az.fade), ay.fade * az.fade}};
    double a[2] = {0, 0}, b[2] = {0, 0};
    int lastCell = -1;
    for (int i = 0; i < count; ++i) {
        const TK_NoiseAxis& ax = xs[i];
        if (ax.cell != lastCell) {
            lastCell = ax.cell;
            for (int face = 0; face < 2; ++face) {
                const int row = p[ax.cell + face] + ay.cell;
                a[face] = b[face] = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dz = 0; dz < 2; ++dz) {
                        const double* g = kGradients.g[p[p[row + dy] + az.cell + dz] & 15];
                        a[face] += wyz[dy][dz] * g[0];
                        b[face] += wyz[dy][dz] * (g[1] * (ay.frac - dy) + g[2] * (az.frac - dz));
                    }
            }
        }
        const double low = a[0] * ax.frac + b[0], high = a[1] * (ax.frac - 1) + b[1];
        out[i] = low + ax.fade * (high - low);
    }
}

// ---------------------------------------------------------------------------
// noise
// ---------------------------------------------------------------------------
void TK_CMD_Noise::ResetRemembered() { g_noiseMemory = NoiseMemory(); }

bool TK_CMD_Noise::Parse(const char* args) {
    m_color = m_env->currentColorIndex;
    float* remembered[4] = {&g_noiseMemory.seed, &g_noiseMemory.frequency, &g_noiseMemory.low, &g_noiseMemory.high};
    float given[4];
    OMB_Lexer lex(args, 0);
    int n = 0;
    for (; n < 4; ++n) {
        lex.SkipToToken();
        if (lex.AtEnd()) break;
        if (!lex.ReadFloat(given[n])) return false;
    }
    if (!TK_ArgsAtEnd(lex)) return false;
    for (int i = 0; i < n; ++i) *remembered[i] = given[i];
    m_seed = g_noiseMemory.seed;
    m_frequency = g_noiseMemory.frequency;
    m_low = g_noiseMemory.low;
    m_high = g_noiseMemory.high;
    return true;
}

bool TK_CMD_Noise::CanApply() {
    return IsPaletteColor(m_color) && std::isfinite(m_seed) && std::isfinite(m_frequency);
}

// The noise is split per axis once (126 values each) and evaluated a row
// at a time; the band test needs a sine only next to its limits.
bool TK_CMD_Noise::Apply() {
    TK_Model& model = Model();
    const bool wasEmpty = model.voxels.Empty();
    uint32_t seedBits;
    std::memcpy(&seedBits, &m_seed, sizeof seedBits);
    const TK_GradientNoise noise(seedBits);
    const SineBand band(m_low, m_high);
    TK_NoiseAxis axes[3][kMaxModelSize];
    for (int a = 0; a < 3; ++a)
        for (int p = 0; p < model.size[a]; ++p) axes[a][p] = TK_NoiseAxis::Of(double(p) * m_frequency);

    TK_VoxelGrid grid(model.size[0], model.size[1], model.size[2]);
    uint8_t* out = grid.cells.data();
    double row[kMaxModelSize];
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < model.size[1]; ++y) {
            noise.Row(axes[0], model.size[0], axes[1][y], axes[2][z], row);
            for (int x = 0; x < model.size[0]; ++x, ++out)
                if (band.Contains(row[x])) *out = uint8_t(m_color);
        }
    grid.WriteTo(model);
    return !(wasEmpty && model.voxels.Empty());
}

// ---------------------------------------------------------------------------
// rand
// ---------------------------------------------------------------------------
bool TK_CMD_RandomModel::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    int* values[2] = {&m_low, &m_high};
    for (int* value : values) {
        lex.SkipToToken();
        if (lex.AtEnd()) return true;
        int32_t v = 0;
        if (!lex.ReadInt(v)) return false;
        *value = v;
    }
    return TK_ArgsAtEnd(lex);
}

bool TK_CMD_RandomModel::CanApply() {
    if (Model().voxels.Empty()) return false;
    m_seed = std::rand() & 0xFFFF;
    m_low = std::clamp(m_low, 1, 255);
    m_high = std::clamp(m_high, 1, 255);
    if (m_low > m_high) std::swap(m_low, m_high);
    return true;
}

bool TK_CMD_RandomModel::Apply() {
    const uint8_t* P = kTK_NoisePermutation;
    const int s = m_seed, span = m_high - m_low + 1;
    bool changed = false;
    for (Voxel& v : Model().voxels) {
        const int h = P[(P[(P[(v.x + s) & 255] + v.y + s) & 255] + v.z + s) & 255];
        const uint8_t c = uint8_t(m_low + h % span);
        changed |= c != v.colorIndex;
        v.colorIndex = c;
    }
    return changed;
}
