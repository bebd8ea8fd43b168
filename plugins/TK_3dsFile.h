// The 3D Studio mesh file (".3ds"): its chunk ids and the reader from
// memory, shared by TK_Plugin_3DS (which adds the file reads and the
// voxelisation) and the fuzz target.
//
// A chunk is a little-endian u16 id and u32 length, the length counting its
// own 6-byte header, its payload and its sub-chunks. The rule the reader
// keeps: no length or count is trusted; each is checked against the bytes
// of its parent before anything is read or allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/TK_ObjImport.h"

namespace tk3ds {

enum : uint16_t {
    kMain = 0x4D4D,
    kVersion = 0x0002,
    kEditor = 0x3D3D,
    kMeshVersion = 0x3D3E,
    kMaterial = 0xAFFF,
    kMaterialName = 0xA000,
    kDiffuse = 0xA020,
    kTextureMap = 0xA200,
    kMapFile = 0xA300,
    kPercent = 0x0030,
    kColourFloat = 0x0010,
    kColourBytes = 0x0011,
    kLinearColourBytes = 0x0012,
    kLinearColourFloat = 0x0013,
    kObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertices = 0x4110,
    kFaces = 0x4120,
    kFaceMaterial = 0x4130,
    kTexcoords = 0x4140,
};

constexpr size_t kHeaderSize = 6;
// The counts of a vertex, face or texture coordinate list are u16.
constexpr int kMaxListCount = 65535;

}  // namespace tk3ds

// Largest file read, and the most vertices and faces taken from all its
// objects together. The largest export (a checkerboard filling the largest
// box, optimize off, no two touching faces of one colour: 24 million
// vertices, 12 million triangles, 570 MB) still reads back.
constexpr size_t kMax3dsFileSize = size_t(1) << 30;
constexpr size_t kMax3dsVertices = size_t(1) << 25;
constexpr size_t kMax3dsFaces = size_t(1) << 25;

// The triangles of every mesh object, one after the other, into `mesh`
// (faces name their material by `mesh.materialNames`, -1 without a
// material group; corners carry texture coordinates only when the object's
// list has one per vertex), and the materials the file defines (name,
// diffuse colour, texture map file) into `materials`. Chunks the reader
// does not use are skipped by their length.
//
// False, after "[Error] 3DS : offset N : ...", for a file that is not a
// 3DS mesh, a chunk that overruns its parent, a list longer than its chunk,
// a face naming a vertex its object lacks, a material group naming a face
// its list lacks, or a coordinate that is not a finite number; both outputs
// are then empty. A file that parses may still hold no faces.
bool TK_Parse3ds(const uint8_t* data, size_t size, TK_ObjMesh& mesh, std::vector<TK_ObjMaterial>& materials);
