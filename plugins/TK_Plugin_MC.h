// TK_Plugin_MC: the smooth surface of the model ("Marching Cube"), written
// as an ASCII PLY mesh (".ply") of triangles with a palette colour per
// vertex. The surface is closed and shares its vertices (see
// TK_IsoSurface.h); positions and winding follow the mesh options of the
// "file_ply" section, as the plain PLY export does.
#pragma once

#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_MC : public TK_Plugin_Mesh {
public:
    TK_Plugin_MC() : TK_Plugin_Mesh("file_ply") {}

    // False for a model without voxels or a file that cannot be written
    // (written through a temporary file, so nothing is left on failure).
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    // The file's text into `out` (a file-backed text streams it); `name`
    // goes into the first comment line.
    static void WritePly(const TK_Model& model, const TK_MeshOptions& options, const std::string& name,
                         TK_MeshText& out);

    // Smoothing passes over the extracted surface: enough to take the
    // staircase off gentle slopes, few enough to stay fast.
    static constexpr int kSmoothPasses = 10;
};
