// The voxel shader evaluator (see TK_GLVoxelShader.h): the program template,
// the log rewriting, and one offscreen draw per evaluation.
#include "render/TK_GLVoxelShader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

#include "core/OMB_LargeAlloc.h"
#include "core/OMB_Log.h"
#include "render/GLObjects.h"

namespace {

// Widest row of the buffer texture and the framebuffer; 126^3 cells then
// take 977 rows.
constexpr int kMaxRowCells = 2048;
constexpr int kMaxLineDigits = 9;

const char kVertexSource[] =
    "#version 120\n"
    "void main() { gl_Position = gl_Vertex; }\n";

// Cell indices stay below 2^21, exact in floats; divisions are nudged by
// half a cell so that a quotient a hair below an integer still floors right.
const char kTemplateHead[] =
    "#version 120\n"
    "uniform vec3 iVolumeSize;\n"
    "uniform float iColorIndex;\n"
    "uniform vec3 iMirror;\n"
    "uniform vec3 iAxis;\n"
    "uniform float iArgs[8];\n"
    "uniform float iFrame;\n"
    "uniform vec2 iBufferSize;\n"
    "uniform sampler2D iBufferTex;\n"
    "uniform float iNumVoxels;\n"
    "float voxel( vec3 v ) {\n"
    "    vec3 c = clamp( floor( v + 0.5 ), vec3( 0.0 ), iVolumeSize - 1.0 );\n"
    "    float i = c.x + iVolumeSize.x * ( c.y + iVolumeSize.y * c.z );\n"
    "    float row = floor( ( i + 0.5 ) / iBufferSize.x );\n"
    "    vec2 t = ( vec2( i - row * iBufferSize.x, row ) + 0.5 ) / iBufferSize;\n"
    "    return floor( texture2D( iBufferTex, t ).r * 255.0 + 0.5 );\n"
    "}\n"
    "float map( vec3 v );\n";

const char kTemplateTail[] =
    "\n"
    "void main() {\n"
    "    float i = floor( gl_FragCoord.y ) * iBufferSize.x + floor( gl_FragCoord.x );\n"
    "    float slice = iVolumeSize.x * iVolumeSize.y;\n"
    "    float z = floor( ( i + 0.5 ) / slice );\n"
    "    float r = i - z * slice;\n"
    "    float y = floor( ( r + 0.5 ) / iVolumeSize.x );\n"
    "    float x = r - y * iVolumeSize.x;\n"
    "    float c = 0.0;\n"
    "    if ( z < iVolumeSize.z ) c = clamp( floor( map( vec3( x, y, z ) ) + 0.5 ), 0.0, 255.0 );\n"
    "    gl_FragColor = vec4( c / 255.0, 0.0, 0.0, 1.0 );\n"
    "}\n";

int CountLines(const std::string& text) { return 1 + int(std::count(text.begin(), text.end(), '\n')); }

// Reads the digits at `pos`; false when there are none or too many.
bool ReadLineNumber(const std::string& line, size_t& pos, long& value) {
    const size_t start = pos;
    value = 0;
    while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos])) && pos - start < kMaxLineDigits)
        value = value * 10 + (line[pos++] - '0');
    return pos > start && (pos == line.size() || !std::isdigit(static_cast<unsigned char>(line[pos])));
}

std::string MapLogLine(const std::string& line, const std::string& fileName, int firstLine, int lineCount) {
    size_t pos = 0;
    for (const char* tag : {"ERROR: ", "WARNING: "})
        if (line.compare(0, std::strlen(tag), tag) == 0) pos = std::strlen(tag);
    const size_t refStart = pos;
    long source = 0, number = 0;
    if (!ReadLineNumber(line, pos, source) || pos >= line.size()) return line;
    const char form = line[pos++];
    if ((form != ':' && form != '(') || !ReadLineNumber(line, pos, number)) return line;
    if (form == '(' && (pos >= line.size() || line[pos++] != ')')) return line;
    const bool inFile = number >= firstLine && number < long(firstLine) + lineCount;
    const std::string where = inFile ? fileName : "template";
    const long shown = inFile ? number - firstLine + 1 : number;
    const std::string ref = form == ':' ? where + ":" + std::to_string(shown) : where + "(" + std::to_string(shown) + ")";
    return line.substr(0, refStart) + ref + line.substr(pos);
}

// Restores what the evaluation changes of the state the window's
// renderers expect: the enables, viewport, colour mask, texture bindings,
// pixel storage, the framebuffer and the program.
class GLStateGuard {
public:
    GLStateGuard() {
        glGetIntegerv(GL_VIEWPORT, m_viewport);
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_framebuffer);
        glGetIntegerv(GL_CURRENT_PROGRAM, &m_program);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &m_activeTexture);
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_SCISSOR_BIT |
                     GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT);
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    }
    ~GLStateGuard() {
        glPopClientAttrib();
        glPopAttrib();
        gl::BindFramebuffer(GL_FRAMEBUFFER, GLuint(m_framebuffer));
        gl::UseProgram(GLuint(m_program));
        if (gl::ActiveTexture) gl::ActiveTexture(GLenum(m_activeTexture));
        glViewport(m_viewport[0], m_viewport[1], m_viewport[2], m_viewport[3]);
    }
    GLStateGuard(const GLStateGuard&) = delete;
    GLStateGuard& operator=(const GLStateGuard&) = delete;

private:
    GLint m_viewport[4] = {0, 0, 0, 0};
    GLint m_framebuffer = 0;
    GLint m_program = 0;
    GLint m_activeTexture = GL_TEXTURE0;
};

// The texture layout of a box: W x H texels for `cells` cells.
struct BufferLayout {
    int width = 0;
    int height = 0;

    bool Fit(int64_t cells) {
        GLint maxTexture = 0, maxViewport[2] = {0, 0};
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
        const int64_t limit = std::min<int64_t>({maxTexture, maxViewport[0], maxViewport[1]});
        width = int(std::min<int64_t>({cells, limit, kMaxRowCells}));
        if (width < 1) return false;
        height = int((cells + width - 1) / width);
        return height <= limit;
    }
    size_t Texels() const { return size_t(width) * size_t(height); }
};

// The log as the console shows it: references into the file, no blank
// line at its end.
std::string ShownLog(const std::string& log, const TK_VoxelShaderJob& job, int firstLine) {
    std::string shown = TK_MapShaderLog(log, job.fileName, firstLine, CountLines(job.source));
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
    return shown;
}

bool BuildProgram(const TK_VoxelShaderJob& job, GLProgram& program) {
    GLShader vertex, fragment;
    if (!vertex.CreateVertex(kVertexSource)) return false;
    int firstLine = 0;
    const std::string text = TK_VoxelShaderProgram(job.source, firstLine);
    const char* sources[] = {text.c_str(), nullptr};
    std::string log;
    if (!fragment.CreateFragment(sources, &log)) {
        OMB_Printf("==== [GL:Shader] ====\n%s\n", ShownLog(log, job, firstLine).c_str());
        OMB_Printf("[Error] xs : %s does not compile\n", job.fileName.c_str());
        return false;
    }
    if (!program.Link(vertex, fragment, &log)) {
        OMB_Printf("==== [GL:Program] ====\n%s\n", ShownLog(log, job, firstLine).c_str());
        OMB_Printf("[Error] xs : %s does not link\n", job.fileName.c_str());
        return false;
    }
    return true;
}

void SetUniforms(const GLProgram& program, const TK_VoxelShaderJob& job, const BufferLayout& layout) {
    gl::Uniform3f(program.Uniform("iVolumeSize"), float(job.size[0]), float(job.size[1]), float(job.size[2]));
    gl::Uniform1f(program.Uniform("iColorIndex"), job.colorIndex);
    gl::Uniform3fv(program.Uniform("iMirror"), 1, job.mirror);
    gl::Uniform3fv(program.Uniform("iAxis"), 1, job.axis);
    gl::Uniform1fv(program.Uniform("iArgs"), 8, job.args);
    gl::Uniform1f(program.Uniform("iFrame"), job.frame);
    gl::Uniform2f(program.Uniform("iBufferSize"), float(layout.width), float(layout.height));
    gl::Uniform1i(program.Uniform("iBufferTex"), 0);
    gl::Uniform1f(program.Uniform("iNumVoxels"), float(job.numVoxels));
}

// The model's cells as the buffer texture, padded to whole rows.
bool UploadCells(const TK_VoxelShaderJob& job, size_t cells, const BufferLayout& layout, GLTexture& texture) {
    OMB_LargeVector<uint8_t> texels(layout.Texels());
    std::memcpy(texels.data(), job.cells, cells);
    std::fill(texels.begin() + ptrdiff_t(cells), texels.end(), uint8_t(0));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return texture.Create(GL_TEXTURE_2D, GL_LUMINANCE8, layout.width, layout.height, 1, GL_LUMINANCE,
                          GL_UNSIGNED_BYTE, texels.data(), GLSampler());
}

// A framebuffer with a W x H colour texture, bound; false when the driver
// cannot render to it.
bool PrepareTarget(const BufferLayout& layout, GLTexture& color, GLFramebuffer& framebuffer) {
    if (!color.Create(GL_TEXTURE_2D, GL_RGBA8, layout.width, layout.height, 1, GL_RGBA, GL_UNSIGNED_BYTE, nullptr,
                      GLSampler()) ||
        !framebuffer.Create())
        return false;
    framebuffer.Bind();
    gl::FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color.Name(), 0);
    return gl::CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// One quad over the whole target: one fragment, one map() per cell.
void DrawCells(const BufferLayout& layout) {
    for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_SCISSOR_TEST, GL_CULL_FACE, GL_ALPHA_TEST, GL_DITHER,
                       GL_COLOR_LOGIC_OP, GL_MULTISAMPLE})
        glDisable(cap);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, layout.width, layout.height);
    glRecti(-1, -1, 1, 1);
}

bool ReadCells(size_t cells, const BufferLayout& layout, uint8_t* result) {
    OMB_LargeVector<uint8_t> texels(layout.Texels());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, layout.width, layout.height, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    if (glGetError() != GL_NO_ERROR) return false;
    std::memcpy(result, texels.data(), cells);
    return true;
}

}  // namespace

std::string TK_VoxelShaderProgram(const std::string& source, int& firstLine) {
    firstLine = CountLines(kTemplateHead);
    return std::string(kTemplateHead) + source + kTemplateTail;
}

std::string TK_MapShaderLog(const std::string& log, const std::string& fileName, int firstLine, int lineCount) {
    std::string out;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        out += MapLogLine(log.substr(start, end - start), fileName, firstLine, lineCount);
        if (end < log.size()) out += '\n';
        start = end + 1;
    }
    return out;
}

TK_GLVoxelShaderEvaluator::TK_GLVoxelShaderEvaluator(TK_GLContextFactory factory) : m_factory(std::move(factory)) {}

TK_GLVoxelShaderEvaluator::~TK_GLVoxelShaderEvaluator() = default;

bool TK_GLVoxelShaderEvaluator::EnsureContext() {
    if (!m_factory) return true;
    if (!m_context) m_context = m_factory();
    if (m_context && m_context->MakeCurrent()) return true;
    OMB_Printf("[Error] xs : no OpenGL context\n");
    return false;
}

bool TK_GLVoxelShaderEvaluator::Evaluate(const TK_VoxelShaderJob& job, uint8_t* result) {
    if (!EnsureContext()) return false;
    if (!glHasGLSL || !glHasFBO) {
        OMB_Printf("[Error] xs : the OpenGL driver lacks GLSL or framebuffer objects\n");
        return false;
    }
    const int64_t cells = int64_t(job.size[0]) * job.size[1] * job.size[2];
    BufferLayout layout;
    if (cells < 1 || !job.cells || !layout.Fit(cells)) {
        OMB_Printf("[Error] xs : the OpenGL texture size limit is too small for the box\n");
        return false;
    }
    GLStateGuard state;
    // Errors left by others must not fail the read-back check below (a
    // driver keeps at most a few; the bound guards against one that never
    // stops answering).
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    GLProgram program;
    if (!BuildProgram(job, program)) return false;
    GLTexture buffer, color;
    GLFramebuffer framebuffer;
    if (!UploadCells(job, size_t(cells), layout, buffer) || !PrepareTarget(layout, color, framebuffer)) {
        OMB_Printf("[Error] xs : cannot render offscreen\n");
        return false;
    }
    // Bound last: creating the target texture takes over the unit.
    buffer.Bind(0);
    program.Use();
    SetUniforms(program, job, layout);
    DrawCells(layout);
    if (ReadCells(size_t(cells), layout, result)) return true;
    OMB_Printf("[Error] xs : cannot read the result back\n");
    return false;
}
