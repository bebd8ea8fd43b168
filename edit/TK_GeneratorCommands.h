// Generator commands with snapshot undo: "prim" replaces the model by a
// solid shape inscribed in its box, and "fractal" replaces every voxel by a
// copy of a pattern model read from a file. TK_CMD_Pattern holds the
// pattern as an occupancy bitmask so that Redo needs no file.
//
// Rule: everything Apply uses (shape, colour, pattern) is fixed before the
// first Apply, so Redo reproduces the first result exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "edit/TK_CMD_Shape.h"

enum class TK_PrimShape { Ellipsoid = 1, Pyramid = 2, Cylinder = 3, Cone = 4 };

// Whether cell (x, y, z) of a box of `size` belongs to the shape. Shapes
// stand upright along z with their base on the floor, are sampled at cell
// centres (cones and pyramids at the bottom of each layer), always hold the
// central column, so they reach from floor to top in any box, and are
// mirror-symmetric in x and y.
bool TK_PrimContains(TK_PrimShape shape, const int size[3], int x, int y, int z);

// "prim elli|pyra|cyli|cone": the solid shape in the current colour.
class TK_CMD_Prim : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Prim, TK_CMD_Shape)
public:
    bool Parse(const char* args) override;  // false for any other word
    bool CanApply() override;               // false for a colour outside 1..255
    bool Apply() override;

private:
    int m_color = 0;
    TK_PrimShape m_shape = TK_PrimShape::Ellipsoid;
};

// A shape command that carries a pattern model's occupancy.
class TK_CMD_Pattern : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_Pattern, TK_CMD_Shape)
protected:
    // Reads a native model file into the bitmask; false (and the pattern
    // left empty) when it cannot be read or holds no voxel.
    bool LoadPattern(const std::string& path);
    bool PatternAt(int x, int y, int z) const {
        const int bit = x + m_rowStride * y + m_layerStride * z;
        return (m_bits[size_t(bit) >> 5] >> (bit & 31)) & 1u;
    }

    int m_patternSize[3] = {0, 0, 0};
    int m_rowStride = 0;    // bits per row (pattern width)
    int m_layerStride = 0;  // bits per layer (width x depth)
    std::vector<uint32_t> m_bits;
};

// "fractal [PATH]": the new box is the old one times the pattern's size
// (at most 126); a cell is filled when its old cell holds a voxel and the
// pattern holds one at the cell's place inside the copy. Without a path an
// open dialog asks; a relative path is taken from the models folder.
class TK_CMD_Fractal : public TK_CMD_Pattern {
    OMB_COMMAND_CLASS(TK_CMD_Fractal, TK_CMD_Pattern)
public:
    bool Parse(const char* args) override;  // an optional path, quoted or not
    bool CanApply() override;               // false when empty or the pattern fails to load
    bool Apply() override;

private:
    std::string m_path;
};
