// TK_Plugin_Mesh: the base of the polygon-mesh plugins (OBJ, PLY, 3DS,
// glTF). It holds the export options the user sets in the configuration
// file, and the surface the writers share: the exposed faces of a model, one rectangle per
// voxel face or, with "optimize", faces of one direction, layer and colour
// merged into larger rectangles.
//
// Merged rectangles meet their neighbours in T-junctions (a long edge
// against several short ones), which leave hairline cracks in renderers and
// make slicers and mesh tools reject the surface. With "watertight" (the
// default) a rectangle also takes as corners the corners of other
// rectangles that lie on its edges and is cut into triangles, none of zero
// area; every edge of the written mesh then meets edges of exactly its
// length. A rectangle with no such corner is written as without the option,
// so "optimize" off gives the same mesh either way.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/OMB_LargeAlloc.h"
#include "plugins/TK_Plugin.h"

struct OMB_LmpNode;
class OMB_SaveBitFile;

struct TK_MeshOptions {
    float scale[3] = {1, 1, 1};
    float pivot[3] = {0, 0, -1};  // times the model size per axis
    float tcOffset[2] = {0.5f, 0.5f};
    bool cw = false;
    bool optimize = true;
    bool watertight = true;  // no T-junctions between merged rectangles
    float gamma = 1;    // never negative
    float ambient = 0;  // 0 to 1
    bool perFace = false;
    // Output component i is axisSign[i] times source component axisOrder[i].
    int axisOrder[3] = {0, 1, 2};
    int axisSign[3] = {1, 1, 1};

    // Reads "+", "-" and the letters x, y, z in any case; other characters
    // are skipped, letters past the third ignored, and components without a
    // letter keep the identity.
    void SetAxis(const std::string& text);
    // Keys of one configuration section; a missing key keeps its value.
    void Read(const OMB_LmpNode* section);
    // The section of the configuration file; a missing file or section
    // keeps the options as they are (and prints nothing for a missing file).
    void Load(const std::string& configPath, const char* section);
    // True when the axis mapping mirrors space, so windings must turn to
    // keep facing outwards.
    bool AxisMirrors() const;
};

// One rectangle of the surface, in cell units. `direction` is 0..5 for
// -X, +X, -Y, +Y, -Z, +Z; the rectangle lies in the plane `plane` across
// that axis and spans [u0, u1] x [v0, v1] over the next two axes in cyclic
// order (x -> y, z; y -> z, x; z -> x, y).
struct TK_MeshFace {
    uint8_t direction;
    uint8_t colour;
    uint8_t plane;
    uint8_t u0, v0, u1, v1;
};

// The exposed faces of a model, grouped by direction in the order above.
struct TK_MeshSurface {
    std::vector<TK_MeshFace> faces[6];
    size_t Count() const;
};

// Faces between a voxel and an empty cell or the outside of the box.
void TK_BuildMeshSurface(const TK_Model& model, bool optimize, TK_MeshSurface& surface);

// The corners of all rectangles of a surface, to find those that lie on the
// edge of another (T-junctions), and the triangles of a rectangle with them.
class TK_MeshJoints {
public:
    // An empty set when `enabled` is false or every rectangle is a single
    // cell (no corner can then lie inside another's edge).
    TK_MeshJoints(const TK_Model& model, const TK_MeshSurface& surface, bool enabled);

    // The corners of `face` as (u, v) in its plane (see TK_Plugin_Mesh::FaceUV)
    // counter-clockwise seen from +a, from (u0, v0): its four corners and
    // every corner of another rectangle on its edges. False when there are
    // only the four: the face is then written as a plain rectangle.
    bool Ring(const TK_MeshFace& face, std::vector<int>& ring) const;
    // Triangles over a ring of Ring (point k is ring[2k], ring[2k + 1]):
    // point numbers, three a triangle, counter-clockwise seen from outside
    // unless `reverse`, none of zero area, as many as the points minus two.
    static void Triangulate(const TK_MeshFace& face, bool reverse, const std::vector<int>& ring,
                            std::vector<int>& triangles);
    // True when no face has more than its four corners.
    bool Empty() const { return m_bits.empty(); }

private:
    size_t m_stride[3] = {0, 0, 0};
    std::vector<uint64_t> m_bits;  // one bit per cell corner, x fastest
};

// The model as a dense grid of colour indices, x fastest, with an empty
// border of one cell so that a neighbour lookup never leaves it.
struct TK_MeshGrid {
    int size[3];
    size_t stride[3];
    OMB_LargeVector<uint8_t> cells;
    explicit TK_MeshGrid(const TK_Model& model);
    size_t Index(int x, int y, int z) const {
        return size_t(x + 1) + stride[1] * size_t(y + 1) + stride[2] * size_t(z + 1);
    }
};

// Greedy rectangles over a layer of face keys (u fastest, 0: no face): the
// widest run of one key along u, then as many following rows as repeat it.
// Keys for which `canMerge` is false stay single cells. Taken cells are
// cleared; `emit(key, u0, v0, u1, v1)` receives each rectangle.
template <typename Key, typename CanMerge, typename Emit>
void TK_MergeRectangles(std::vector<Key>& keys, int nu, int nv, CanMerge canMerge, Emit emit) {
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu;) {
            const Key key = keys[size_t(j) * nu + i];
            if (!key) {
                ++i;
                continue;
            }
            const bool merge = canMerge(key);
            int w = 1, h = 1;
            while (merge && i + w < nu && keys[size_t(j) * nu + i + w] == key) ++w;
            for (; merge && j + h < nv; ++h) {
                const Key* row = &keys[size_t(j + h) * nu + i];
                if (!std::all_of(row, row + w, [key](Key k) { return k == key; })) break;
            }
            for (int r = 0; r < h; ++r) std::fill_n(&keys[size_t(j + r) * nu + i], w, Key(0));
            emit(key, i, j, i + w, j + h);
            i += w;
        }
}

// Text of a mesh file: numbers as printf's "%d" and "%g" would write them,
// without a format string per number. With a file, the text goes out in
// blocks as it grows (call Flush after each line), so a large mesh never
// sits in memory whole; without one it collects in `text`.
class TK_MeshText {
public:
    explicit TK_MeshText(OMB_SaveBitFile* file = nullptr) : m_file(file) {}
    std::string text;
    TK_MeshText& Str(const char* s) { return text += s, *this; }
    TK_MeshText& Str(const std::string& s) { return text += s, *this; }
    TK_MeshText& Int(long long value);
    TK_MeshText& Num(double value);  // "%g"
    TK_MeshText& Ch(char c) { return text += c, *this; }
    void Flush() {
        if (m_file && text.size() >= kBlock) Drain();
    }
    // Writes what is left; false when any write failed.
    bool Finish() { return Drain(), m_ok; }

private:
    static constexpr size_t kBlock = size_t(1) << 20;
    void Drain();
    OMB_SaveBitFile* m_file;
    bool m_ok = true;
};

// "%g" of a written coordinate for every cell corner 0..size per output
// axis: a position component depends on one source coordinate only.
struct TK_MeshCoordinates {
    std::vector<std::string> axis[3];
    TK_MeshCoordinates(const TK_MeshOptions& options, const TK_Model& model);
    // "x y z" of a corner.
    TK_MeshText& Append(const int corner[3], TK_MeshText& out) const;
    int order[3];
};

class TK_Plugin_Mesh : public TK_Plugin {
public:
    // Defaults, then the section of "config/config.txt" below the program
    // folder.
    explicit TK_Plugin_Mesh(const char* section) : TK_Plugin_Mesh(section, TK_MeshOptions()) {}
    // The same over a format's own defaults.
    TK_Plugin_Mesh(const char* section, const TK_MeshOptions& defaults);

    TK_MeshOptions options;

    // The cell corner at (u, v) in a face's plane.
    static void Corner(const TK_MeshFace& face, int u, int v, int corner[3]);
    // The four corners of a face in cell coordinates, counter-clockwise seen
    // from outside unless `reverse`.
    static void FaceCorners(const TK_MeshFace& face, bool reverse, int corners[4][3]);
    // The same corners as (u, v) in the face's plane: u along axis
    // (direction / 2 + 1) % 3, v along (direction / 2 + 2) % 3.
    static void FaceUV(const TK_MeshFace& face, bool reverse, int uv[4][2]);
    // A corner's written position: relative to the pivot, scaled, through
    // the axis mapping.
    static void Position(const TK_MeshOptions& options, const TK_Model& model, const int corner[3], double out[3]);
    // The written normal of a direction (through "axis", negated by "cw").
    static void Normal(const TK_MeshOptions& options, int direction, int out[3]);
    // Whether faces are written reversed: "cw", undone by a mirroring axis.
    static bool ReverseWinding(const TK_MeshOptions& options) { return options.cw != options.AxisMirrors(); }

    // The header of an ASCII PLY file with coloured vertices and list faces;
    // `name` goes into the first comment line.
    static void WritePlyHeader(const std::string& name, long long vertices, long long faces, TK_MeshText& out);
    // The face lines of `faces` quads of four vertices of their own each.
    static void WritePlyQuads(long long faces, TK_MeshText& out);
    // " R G B\n" of each palette entry, as the PLY vertex lines end.
    static void PlyColourTexts(const Palette& palette, std::string texts[256]);

protected:
    using TextWriter = void (*)(const TK_Model&, const TK_MeshOptions&, const std::string& name, TK_MeshText&);
    // Streams `write`'s text (named after the model, else "model") through
    // a temporary file renamed over `path`. False for a model without
    // voxels, an empty path or a failed write; nothing is left behind.
    bool SaveText(const std::string& path, const TK_Model& model, TextWriter write) const;
};
