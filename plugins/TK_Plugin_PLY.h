// TK_Plugin_PLY: Stanford polygon meshes (".ply"): the ASCII mesh export.
// Every exposed face is a quad with four vertices of its own (or, with
// "watertight", a face with more corners is its triangles over vertices of
// its own), so each vertex carries the palette colour of its face; options
// come from the "file_ply" section of the configuration.
#pragma once

#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_PLY : public TK_Plugin_Mesh {
public:
    TK_Plugin_PLY() : TK_Plugin_Mesh("file_ply") {}

    // False for a model without voxels or a file that cannot be written
    // (written through a temporary file).
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    // The file's text; `name` goes into the first comment line.
    static void WritePlyText(const TK_Model& model, const TK_MeshOptions& options, const std::string& name,
                             std::string& ply);
    // The same into `out` (a file-backed text streams it).
    static void WritePly(const TK_Model& model, const TK_MeshOptions& options, const std::string& name,
                         TK_MeshText& out);
};
