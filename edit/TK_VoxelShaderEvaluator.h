// TK_VoxelShaderEvaluator: how the voxel shader command ("xs") reaches the
// GPU without this layer seeing OpenGL. The command reads the shader text and
// the model into a job; an evaluator runs the shader's map() once per cell and
// hands back one colour index per cell. render/ implements it and app/
// installs one in the environment at start-up (TK_EditorEnv::voxelShaders).
//
// The rule not to break: Evaluate changes nothing but `result`; a failure
// (no GPU capability, a compile or link error) is printed by the evaluator
// and leaves the document to the caller untouched.
#pragma once

#include <cstdint>
#include <string>

struct TK_VoxelShaderJob {
    // The file the text came from, as messages should name it ("sphere.txt").
    std::string fileName;
    // The text of the file: GLSL that defines float map( vec3 v ).
    std::string source;
    // The box and its cells: size[0] * size[1] * size[2] colour indices,
    // x fastest, then y, then z; 0 is empty.
    int size[3] = {1, 1, 1};
    const uint8_t* cells = nullptr;
    int numVoxels = 0;
    // The shader's inputs besides the model.
    float colorIndex = 0;
    float mirror[3] = {0, 0, 0};  // the "mirror" axes, 0 or 1
    float axis[3] = {0, 0, 0};    // the "loft" axes, 0 or 1
    float args[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    float frame = 0;
};

class TK_VoxelShaderEvaluator {
public:
    virtual ~TK_VoxelShaderEvaluator() = default;

    // Fills result[i] with map() of cell i, rounded and clamped to 0..255,
    // in the order of job.cells (result holds as many bytes). False after
    // printing why; result is then unspecified.
    virtual bool Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) = 0;
};
