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
// Materials: one material per distinct surface, each with one or more mesh
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

// The glTF material of one palette entry's surface record.
struct TK_GltfMaterial {
    float metallic = 0;
    float roughness = 1;
    bool emissive = false;
    const char* name = "diffuse";

    // Metal: metallic 1 with the record's roughness; glass: the record's
    // roughness; emissive: glowing in the palette colour; diffuse: rough
    // (roughness 1) unless a clear coat ("plastic") gives its roughness.
    // Roughness is clamped to 0..1. A zeroed record is plain diffuse.
    static TK_GltfMaterial FromRecord(const TK_Material& record);
    bool operator==(const TK_GltfMaterial& o) const {
        return metallic == o.metallic && roughness == o.roughness && emissive == o.emissive;
    }
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
