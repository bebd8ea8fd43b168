// TK_Plugin_OBJ: Alias Wavefront meshes (".obj"). The export writes three
// files for a path P with base name B: the mesh P, the material B.mtl and
// the palette texture B.png (256 x 1, colour c in the middle of pixel c - 1)
// beside it. The mesh holds the model's exposed faces as quads (or, for a
// rectangle with "watertight" corners, triangles) that share their corners, one texture coordinate per colour used, and the six axis
// normals; options come from the "file_obj" section of the configuration.
#pragma once

#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_OBJ : public TK_Plugin_Mesh {
public:
    TK_Plugin_OBJ() : TK_Plugin_Mesh("file_obj") {}

    // False for a model without voxels or when any file cannot be written;
    // each file is written through a temporary file.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    // Voxelises the mesh (see TK_ObjImport.h) with the materials of its
    // "mtllib" files beside it; the palette is the 256 x 1 texture of a
    // material when one loads, else the default palette. False, after a
    // message, for an unreadable file or mesh.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;

    // The mesh and material texts for base name `base`.
    static void WriteObjText(const TK_Model& model, const TK_MeshOptions& options, const std::string& base,
                             std::string& obj);
    // The mesh text into `out` (a file-backed text streams it).
    static void WriteObj(const TK_Model& model, const TK_MeshOptions& options, const std::string& base,
                         TK_MeshText& out);
    static void WriteMtlText(const std::string& base, std::string& mtl);
};
