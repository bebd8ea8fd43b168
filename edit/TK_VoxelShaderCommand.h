// "xs": voxel shaders. "xs NAME [ARG ...]" runs the GLSL function
// float map( vec3 v ) of shader/NAME.txt (in the program directory) once
// per cell of the model's box and makes its rounded result, clamped to
// 0..255, the cell's new colour index (0 empty). Up to eight numbers become
// the shader's iArgs (missing ones 0); iColorIndex is the current colour,
// iNumVoxels the model's voxel count and iFrame the number of "xs" runs
// before this one in the session. "xs" alone lists the shaders with the
// first comment line of each. The GPU work goes through the environment's
// TK_VoxelShaderEvaluator; without one the command fails.
//
// Snapshot undo: the shader text is read in CanApply and the result kept
// after the first run, so Redo repeats it exactly even if the file changed.
#pragma once

#include <string>

#include "edit/TK_CMD_Shape.h"
#include "edit/TK_VoxelGrid.h"

class TK_CMD_VoxelShader : public TK_CMD_Shape {
    OMB_COMMAND_CLASS(TK_CMD_VoxelShader, TK_CMD_Shape)
public:
    static constexpr int kMaxArgs = 8;
    // Longest shader file read; a shader is a page of text, not a data file.
    static constexpr size_t kMaxSourceBytes = 256 * 1024;

    // A name (a word) and up to eight numbers, or nothing (the listing).
    bool Parse(const char* args) override;
    // The listing changes nothing and is not kept in the history.
    bool IsUndoable() const override { return !m_name.empty(); }
    bool Execute() override;
    // False, after printing why, when the file cannot be read or there is
    // no evaluator.
    bool CanApply() override;
    // False when the shader fails or changes no cell.
    bool Apply() override;

    // The folder of the shader files, "/" separators.
    static std::string Folder(const TK_EditorEnv& env);
    // The first line of `text` that is a "//" comment, without the slashes
    // and surrounding blanks; empty when there is none.
    static std::string FirstCommentLine(const std::string& text);

private:
    bool List() const;
    bool Evaluate();

    std::string m_name;
    float m_args[kMaxArgs] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::string m_source;
    int m_frame = 0;
    // The first run's result, written again by Redo.
    TK_VoxelGrid m_result;
    bool m_evaluated = false;
};
