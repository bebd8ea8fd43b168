// TK_Plugin_3DS: 3D Studio meshes (".3ds"). The export writes the model's
// exposed faces as triangles (two per face rectangle) with one material,
// "palette", whose texture map is the 256 x 1 palette texture B.png written
// beside a mesh path with base name B; each vertex's texture coordinate
// picks its face's colour in that texture. A surface too large for the
// format's 16-bit counts is cut into several objects. The import voxelises
// any 3DS mesh (see TK_ObjImport.h), so an exported model comes back with
// its cells and surface colours. Options come from the "file_3ds" section
// of the configuration.
#pragma once

#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_3DS : public TK_Plugin_Mesh {
public:
    TK_Plugin_3DS() : TK_Plugin_Mesh("file_3ds") {}

    // False for a model without voxels or when either file cannot be
    // written; the mesh is written through a temporary file and nothing is
    // left behind when it fails.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;

    // The palette is the texture of a material when it loads as a 256 x 1
    // palette, else the default palette. False, after a message, for an
    // unreadable file or mesh; the model is then unchanged.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;

    // The mesh file into `file` (open, at its end): objects named after
    // `name`, the material's texture map named `texture`. False when a
    // write failed.
    static bool Write3ds(const TK_Model& model, const TK_MeshOptions& options, const std::string& name,
                         const std::string& texture, OMB_SaveBitFile& file);
};
