// libFuzzer target for the two text readers of the voxel shaders: the GL
// info-log rewriting (line references of any length and form) and the
// first-comment reader of the shader listing. Any bytes, both as a log and
// as a shader file; neither may read past the text or grow it without
// bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/OMB_Log.h"
#include "edit/TK_VoxelShaderCommand.h"
#include "render/TK_GLVoxelShader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int firstLine : {0, 1, 23}) {
        const std::string mapped = TK_MapShaderLog(text, "shader.txt", firstLine, 40);
        // Each reference grows by at most the file name.
        if (mapped.size() > size + (size / 2 + 1) * 16) std::abort();
    }
    const std::string comment = TK_CMD_VoxelShader::FirstCommentLine(text);
    if (comment.size() > 160) std::abort();
    for (char c : comment)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
    return 0;
}
