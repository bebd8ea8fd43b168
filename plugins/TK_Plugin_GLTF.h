// TK_Plugin_GLTF: glTF 2.0 binary meshes (".glb"), the format game engines
// and web viewers load. One self-contained file holds the model's exposed
// faces (merged into rectangles as the other mesh writers merge them with
// "optimize", without cracks with "watertight"), a normal and a texture
// coordinate per vertex, the palette as an embedded 256 x 1 PNG sampled
// with nearest filtering (colour c in the middle of pixel c - 1), and PBR
// materials made from the palette entries' surface records. Options come
// from the "file_gltf" section of the configuration: "scale", "pivot"
// (default 0.5 0.5 0: the model centred on the origin, standing on it),
// "optimize" and "watertight"; the other mesh keys mean nothing here, since
// glTF fixes the axes and the winding.
//
// Axes: glTF is y-up, so a cell corner (x, y, z) is written as (x, z, -y),
// a rotation about x: the model's front (the side at -y, as the sprites
// show it) faces glTF's +z, and faces stay counter-clockwise seen from
// outside. A negative scale mirrors; its faces are then turned so that they
// still face outwards.
//
// Materials (see TK_MeshMaterial.h): metallic-roughness PBR over the palette
// texture, metal's reflectance as the base colour factor; plastic with
// KHR_materials_clearcoat, glass with KHR_materials_transmission,
// KHR_materials_ior and, where its colour absorbs, KHR_materials_volume
// (one cell thick, the colour one cell lets through at a distance of one
// cell), emit with the palette texture as emissive texture and
// KHR_materials_emissive_strength carrying the flux. The extensions used
// are listed in "extensionsUsed", never "extensionsRequired"; a file without
// such materials names none.
//
// One material per distinct surface, each with one or more mesh
// primitives of at most 65535 vertices (so 16-bit indices), every primitive
// with its own vertex range in shared buffer views. Corners of one
// primitive at the same position with the same normal and colour share a
// vertex. Faces of colours whose
// records give the same material share primitives, so a palette without
// records gives exactly one material.
#pragma once

#include <cstddef>
#include <string>

#include "plugins/TK_Plugin_Mesh.h"

class OMB_SaveBitFile;

// What a .glb holds: rectangles, shared vertices and triangles (two a
// rectangle, more for one with corners of its neighbours on its edges).
struct TK_GltfCounts {
    size_t faces = 0;
    size_t vertices = 0;
    size_t triangles = 0;
};

class TK_Plugin_GLTF : public TK_Plugin_Mesh {
public:
    // Defaults (pivot 0.5 0.5 0), then "file_gltf" of the configuration.
    TK_Plugin_GLTF();

    // False for a model without voxels, an empty path, a file past the
    // format's 4 GiB or a failed write (an older file stays as it was).
    bool SaveModel(const std::string& path, const std::string& options, const TK_Model& model) override;
    void SetLook(const TK_ModelLook* look) override { m_look = look; }

    // The whole .glb of `model` into `file`, opened by the caller (a file
    // or memory). `materials` holds 256 records, or is null for every
    // colour diffuse. `counts`, when given, receives what was written.
    // False for a model without faces, options that make a coordinate no
    // float holds, a file past the format's 4 GiB or a failed write.
    static bool WriteGlb(const TK_Model& model, const TK_MeshOptions& options, const TK_Material* materials,
                         OMB_SaveBitFile& file, TK_GltfCounts* counts = nullptr);

    // The options of a configuration without a "file_gltf" section.
    static TK_MeshOptions Defaults();

private:
    const TK_ModelLook* m_look = nullptr;
};
