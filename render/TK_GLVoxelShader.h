// TK_GLVoxelShaderEvaluator: the OpenGL side of "xs". The shader file is
// wrapped in a fragment program whose template declares the uniforms
// (iVolumeSize, iColorIndex, iMirror, iAxis, iArgs[8], iFrame, iBufferSize,
// iBufferTex, iNumVoxels) and voxel(), and whose main() calls the file's
// map() for one cell per pixel of an offscreen framebuffer.
//
// Cell i of the box (x fastest, then y, then z) is texel (i mod W, i / W)
// of a W x H single-channel texture: the "buffer" the model is uploaded to
// (iBufferTex, iBufferSize = (W, H)) and the layout of the framebuffer the
// results are read back from. W is at most 2048 texels, so the whole 126^3
// box fits in one draw on any driver with 2048-texel textures.
//
// Every GL object lives only within one Evaluate, and the GL state the
// window's renderers rely on is restored afterwards, so the evaluator can
// share the editor window's context.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "edit/TK_VoxelShaderEvaluator.h"

// An OpenGL context the evaluator makes for itself where the program has
// no window. app/ implements it; this layer never talks to the window
// system.
class TK_GLContext {
public:
    virtual ~TK_GLContext() = default;
    // False when the context cannot be made current.
    virtual bool MakeCurrent() = 0;
};
// Makes a context, current, with the entry points loaded; null on failure
// (after printing why).
using TK_GLContextFactory = std::function<std::unique_ptr<TK_GLContext>()>;

class TK_GLVoxelShaderEvaluator : public TK_VoxelShaderEvaluator {
public:
    // Without a factory the evaluator draws in the context current at the
    // time (the editor window's); with one it makes its own on first use
    // and keeps it.
    explicit TK_GLVoxelShaderEvaluator(TK_GLContextFactory factory = nullptr);
    ~TK_GLVoxelShaderEvaluator() override;

    bool Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) override;

private:
    bool EnsureContext();

    TK_GLContextFactory m_factory;
    std::unique_ptr<TK_GLContext> m_context;
};

// The whole fragment program for a shader text; `firstLine` receives the
// program line on which the text's first line stands.
std::string TK_VoxelShaderProgram(const std::string& source, int& firstLine);

// A GL info log with each line reference of the usual forms ("0:12(5):",
// "0(12) :", "ERROR: 0:12:") that falls within the shader text (program
// lines firstLine .. firstLine + lineCount - 1) rewritten as FILE:LINE in
// the file's own numbering; references to the template read "template:N".
std::string TK_MapShaderLog(const std::string& log, const std::string& fileName, int firstLine, int lineCount);
