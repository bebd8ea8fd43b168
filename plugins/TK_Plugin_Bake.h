// TK_Plugin_Bake: the "bake" command's export, an ASCII PLY mesh (".ply")
// of the visible voxel faces whose vertex colours carry the palette colour
// darkened by ambient occlusion from the neighbouring voxels. Not in the
// format table: "bake" creates it directly. Options come from the
// "file_ply" section, as for the plain PLY export.
//
// Occlusion of a face corner looks at the layer in front of the face: the
// two cells beside the corner and the one diagonal to it. Both sides
// filled is level 3 (the diagonal cannot show); otherwise the level counts
// the filled ones. Level L multiplies the colour by kLevels[L], after
// "ambient" lifts the floor (ambient 1 switches occlusion off) and through
// "gamma" (the palette is taken as gamma-encoded, so the written channel is
// the colour times brightness^(1 / gamma); gamma 0 counts as 1).
//
// Each face is a quad of four vertices of its own, starting at a corner of
// its darker diagonal: readers that split quads as a fan then cut along
// that diagonal, which keeps creases evenly shaded whichever way a face
// lies. "optimize" merges only faces of one direction, layer and colour
// whose four corners all have one level, so merging never changes the
// shading.
#pragma once

#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_Bake : public TK_Plugin_Mesh {
public:
    TK_Plugin_Bake() : TK_Plugin_Mesh("file_ply") {}

    // Writes the baked mesh; `options` is unused (the command passes an
    // empty text). False for a model without voxels or a file that cannot
    // be written (written through a temporary file, so nothing is left).
    virtual bool Bake(const std::string& path, const std::string& options, const TK_Model& model);

    // The file's text into `out` (a file-backed text streams it); `name`
    // goes into the first comment line.
    static void WritePly(const TK_Model& model, const TK_MeshOptions& options, const std::string& name,
                         TK_MeshText& out);

    // Brightness per occlusion level 0..3.
    static constexpr float kLevels[4] = {1.0f, 0.8f, 0.65f, 0.5f};
};
