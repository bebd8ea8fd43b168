// Random generators with snapshot undo: "noise" fills the box with a band of
// a smooth seeded 3D gradient noise, "rand" recolours the existing voxels
// from a hash of their cells. Both fix their randomness before the first
// Apply (noise: its seed argument; rand: a seed drawn in CanApply), so Redo
// repeats the first result.
#pragma once

#include <cstdint>

#include "edit/TK_CMD_Shape.h"

// The 256-entry permutation of the reference improved-noise implementation.
extern const uint8_t kTK_NoisePermutation[256];

// One coordinate split for the noise lattice: cell (0..255, wrapped), the
// position inside it and its fade weight. Any finite value can be split.
struct TK_NoiseAxis {
    int cell;
    double frac;
    double fade;

    static TK_NoiseAxis Of(double t);
};

// Smooth gradient noise in about -1..1, the permutation shuffled by `seed`.
// Build once per seed, then evaluate any number of points.
class TK_GradientNoise {
public:
    explicit TK_GradientNoise(uint32_t seed);
    double At(double x, double y, double z) const;
    // The same values for `count` points along x at one (y, z): the y and z
    // terms are folded once per lattice cell, leaving two multiply-adds and
    // a blend per point.
    void Row(const TK_NoiseAxis* xs, int count, const TK_NoiseAxis& y, const TK_NoiseAxis& z, double* out) const;

private:
    uint8_t m_perm[512];
};

// "noise [seed [frequency [low [high]]]]": a voxel of the current colour
// wherever low < sin(noise(cell x frequency)) < high. Numbers left out are
// those of the previous "noise" (first: 33554431, 0.04, 0.2, 0.5).
class TK_CMD_Noise : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Noise, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // false on anything but up to four numbers
    bool CanApply() override;               // false for a bad colour or a non-finite number
    bool Apply() override;                  // false when an empty model stays empty

    // Back to the first values (tests and a fresh start).
    static void ResetRemembered();

private:
    int m_color = 0;
    float m_seed = 0;
    float m_frequency = 0;
    float m_low = 0;
    float m_high = 0;
};

// "rand [lo [hi]]": every voxel takes a colour in lo..hi (default 1..48)
// chosen by a hash of its cell and a seed drawn from the runtime's generator.
class TK_CMD_RandomModel : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_RandomModel, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // false on anything but up to two integers
    bool CanApply() override;               // false on an empty model
    bool Apply() override;                  // false when no colour changed

private:
    int m_seed = 0;
    int m_low = 1;
    int m_high = 48;
};
