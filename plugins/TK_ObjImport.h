// Reading OBJ meshes into models: the OBJ and MTL texts parsed from memory
// and the voxelisation of the parsed mesh. TK_Plugin_OBJ::LoadModel does
// the file reads around them.
//
// The mesh is scaled to at most 126 cells per axis (one unit per cell when
// it fits); a cell is filled when rays along at least two of the three
// axes through its centre find it inside the surface. Colours: a face with
// a texture coordinate into the 256 x 1 palette texture takes that palette
// index, any other the nearest palette colour of its material's Kd. A mesh
// written by the OBJ export imports back to the same cells and surface
// colours (cells hidden inside a solid take the colour of the surface below
// them: the file holds no other).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/TK_Model.h"
#include "plugins/TK_Plugin_Mesh.h"

struct TK_ObjMaterial {
    std::string name;
    float kd[3] = {0.8f, 0.8f, 0.8f};
    std::string texture;  // map_Kd as written
};

struct TK_ObjMesh {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<float> texcoords;  // u, v per coordinate
    // Corner lists: face f uses corners [faceStart[f], faceStart[f + 1]).
    std::vector<int> faceStart{0};
    std::vector<int> cornerPosition;  // zero-based
    std::vector<int> cornerTexcoord;  // zero-based, -1 when none
    std::vector<int> faceMaterial;    // index into materialNames, -1 when none
    std::vector<std::string> materialNames;
    std::vector<std::string> materialLibraries;
    size_t FaceCount() const { return faceStart.size() - 1; }
};

// Largest OBJ or MTL file read.
constexpr size_t kMaxObjFileSize = size_t(512) << 20;

// False, after "[Error] OBJ : ..." naming the line, for a face corner that
// names a vertex or texture coordinate not defined before it, or a number
// that cannot be read. Unknown statements are skipped.
bool TK_ParseObj(const char* text, size_t size, TK_ObjMesh& mesh);
// Materials of an MTL text; unknown statements are skipped.
void TK_ParseMtl(const char* text, size_t size, std::vector<TK_ObjMaterial>& materials);

// The model of a mesh. `palette` is the model's palette (the palette texture
// when there is one); `textured` names the materials whose faces take their
// colour from texture coordinates. Positions are first taken back through
// the options' axis and scale. False, after a message, for a mesh without
// faces or one whose rasterisation would take unbounded time; the message
// is "[Error] <where> : <what>", `where` naming the format.
bool TK_VoxeliseMesh(const TK_ObjMesh& mesh, const std::vector<TK_ObjMaterial>& materials,
                     const std::vector<bool>& textured, const TK_MeshOptions& options, TK_Model& model,
                     const char* where = "OBJ");
