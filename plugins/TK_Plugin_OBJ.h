// TK_Plugin_OBJ: Alias Wavefront meshes (".obj"). The export writes three
// files for a path P with base name B: the mesh P, the material B.mtl and
// the palette texture B.png (256 x 1, colour c in the middle of pixel c - 1)
// beside it. The mesh holds the model's exposed faces as quads (or, for a
// rectangle with "watertight" corners, triangles) that share their corners, one texture coordinate per colour used, and the six axis
// normals; options come from the "file_obj" section of the configuration.
//
// Materials (see TK_MeshMaterial.h): a model whose colours are all plain
// diffuse gets the one material "palette", named before the normals. Any
// other model gets a material per surface, by its unique name, each with
// the palette texture as "map_Kd" and, as MTL can say them: "Pr" roughness,
// "Pm" metalness, metal's reflectance as "Kd" and "Ks", "Pc"/"Pcr" the clear
// coat, "Ke" the emission scaled by the flux (over "map_Ke", the palette),
// and for glass "Ni" the index of refraction, "d" 0 / "Tr" 1 and "Tf" what
// one cell of it lets through; its faces follow "usemtl" lines.
#pragma once

#include <string>

#include "plugins/TK_MeshMaterial.h"
#include "plugins/TK_Plugin_Mesh.h"

class TK_Plugin_OBJ : public TK_Plugin_Mesh {
public:
    TK_Plugin_OBJ() : TK_Plugin_Mesh("file_obj") {}

    // False for a model without voxels or when any file cannot be written;
    // each file is written through a temporary file.
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    void SetLook(const TK_ModelLook* look) override { m_look = look; }

    // Voxelises the mesh (see TK_ObjImport.h) with the materials of its
    // "mtllib" files beside it; the palette is the 256 x 1 texture of a
    // material when one loads, else the default palette. False, after a
    // message, for an unreadable file or mesh.
    bool LoadModel(const std::string& path, const std::string& options, TK_Model& model) override;

    // The mesh and material texts for base name `base`. `records` holds
    // 256 material records, or is null for every colour plain diffuse.
    static void WriteObjText(const TK_Model& model, const TK_MeshOptions& options, const std::string& base,
                             std::string& obj, const TK_Material* records = nullptr);
    // The mesh text into `out` (a file-backed text streams it), with the
    // materials of the model's colours.
    static void WriteObj(const TK_Model& model, const TK_MeshOptions& options, const std::string& base,
                         TK_MeshText& out, const TK_UsedMaterials& materials);
    static void WriteMtlText(const TK_UsedMaterials& materials, const std::string& base, std::string& mtl);

private:
    const TK_ModelLook* m_look = nullptr;
};
