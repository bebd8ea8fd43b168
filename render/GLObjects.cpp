// Textures, shaders, programs and framebuffers (see GLObjects.h). The messages
// of the two program styles are part of the program's output and kept as
// they are.
#include "render/GLObjects.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "core/OMB_Log.h"

namespace {

// Driver logs are trusted for their length but never beyond this.
constexpr GLint kMaxLogLength = 1 << 16;

void ActivateUnit(int unit) {
    // Without multitexturing only unit 0 exists and is always active.
    if (gl::ActiveTexture) gl::ActiveTexture(GLenum(GL_TEXTURE0 + unit));
}

std::string ShaderLog(GLuint shader, GLint limit) {
    GLint length = 0;
    gl::GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    length = std::clamp(length, 1, limit);
    std::string log(size_t(length), '\0');
    GLsizei written = 0;
    gl::GetShaderInfoLog(shader, length, &written, &log[0]);
    log.resize(size_t(std::clamp(written, 0, length)));
    return log;
}

std::string ProgramLog(GLuint program, GLint limit) {
    GLint length = 0;
    gl::GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    length = std::clamp(length, 1, limit);
    std::string log(size_t(length), '\0');
    GLsizei written = 0;
    gl::GetProgramInfoLog(program, length, &written, &log[0]);
    log.resize(size_t(std::clamp(written, 0, length)));
    return log;
}

bool HasShaderEntryPoints() {
    return gl::CreateShader && gl::ShaderSource && gl::CompileShader && gl::GetShaderiv && gl::CreateProgram &&
           gl::AttachShader && gl::LinkProgram && gl::GetProgramiv && gl::DeleteShader && gl::DeleteProgram;
}

}  // namespace

// ---------------------------------------------------------------- handles

void GLFreeTexture(GLuint name) { glDeleteTextures(1, &name); }

void GLFreeShader(GLuint name) {
    if (gl::DeleteShader) gl::DeleteShader(name);
}

void GLFreeProgram(GLuint name) {
    if (gl::DeleteProgram) gl::DeleteProgram(name);
}

void GLFreeFramebuffer(GLuint name) {
    if (gl::DeleteFramebuffers) gl::DeleteFramebuffers(1, &name);
}

// ---------------------------------------------------------------- GLTexture

bool GLTexture::Prepare(GLenum target) {
    if (m_name.Get() == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        m_name.Reset(name);
    }
    m_target = target;
    glBindTexture(target, m_name.Get());
    return m_name.Get() != 0;
}

bool GLTexture::Create(GLenum target, GLint internalFormat, int width, int height, int depth, GLenum format,
                       GLenum type, const void* pixels, const GLSampler& sampler) {
    if (width < 1 || height < 1 || depth < 1) return false;
    if (target == GL_TEXTURE_3D && !gl::TexImage3D) return false;
    if (!Prepare(target)) return false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (target == GL_TEXTURE_1D)
        glTexImage1D(target, 0, internalFormat, width, 0, format, type, pixels);
    else if (target == GL_TEXTURE_3D)
        gl::TexImage3D(target, 0, internalFormat, width, height, depth, 0, format, type, pixels);
    else
        glTexImage2D(target, 0, internalFormat, width, height, 0, format, type, pixels);
    m_width = width;
    m_height = height;
    SetSampler(sampler);
    glBindTexture(target, 0);
    return true;
}

void GLTexture::Update(int x, int y, int z, int width, int height, int depth, GLenum format, GLenum type,
                       const void* pixels) {
    if (m_name.Get() == 0 || width < 1 || height < 1 || depth < 1) return;
    glBindTexture(m_target, m_name.Get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    switch (m_target) {
        case GL_TEXTURE_1D: glTexSubImage1D(m_target, 0, x, width, format, type, pixels); break;
        case GL_TEXTURE_3D:
            if (gl::TexSubImage3D) gl::TexSubImage3D(m_target, 0, x, y, z, width, height, depth, format, type, pixels);
            break;
        default: glTexSubImage2D(m_target, 0, x, y, width, height, format, type, pixels); break;
    }
    glBindTexture(m_target, 0);
}

void GLTexture::Bind(int unit) const {
    ActivateUnit(unit);
    glEnable(m_target);
    glBindTexture(m_target, m_name.Get());
}

void GLTexture::Unbind(int unit) const {
    ActivateUnit(unit);
    glDisable(m_target);
    glBindTexture(m_target, 0);
}

void GLTexture::SetSampler(const GLSampler& sampler) {
    if (m_name.Get() == 0) return;
    glBindTexture(m_target, m_name.Get());
    glTexParameteri(m_target, GL_TEXTURE_WRAP_S, GLint(sampler.wrapS));
    glTexParameteri(m_target, GL_TEXTURE_WRAP_T, GLint(sampler.wrapT));
    if (m_target == GL_TEXTURE_3D)
        glTexParameteri(m_target, GL_TEXTURE_WRAP_R, GLint(sampler.wrapR));
    glTexParameteri(m_target, GL_TEXTURE_MAG_FILTER, GLint(sampler.magFilter));
    glTexParameteri(m_target, GL_TEXTURE_MIN_FILTER, GLint(sampler.minFilter));
}

void GLTexture::Release() {
    m_name.Reset();
    m_width = m_height = 0;
}

// ---------------------------------------------------------------- GLShader

bool GLShader::CreateVertex(const char* source) {
    const char* sources[] = {source ? source : ""};
    return Compile(GL_VERTEX_SHADER, 1, sources);
}

bool GLShader::CreateFragment(const char* const* sources, std::string* log) {
    int count = 0;
    while (sources && sources[count]) ++count;
    return Compile(GL_FRAGMENT_SHADER, count, sources, log);
}

bool GLShader::Compile(GLenum type, int count, const char* const* sources, std::string* log) {
    Release();
    if (!HasShaderEntryPoints()) return false;
    m_name.Reset(gl::CreateShader(type));
    const GLuint name = m_name.Get();
    if (name == 0) return false;
    gl::ShaderSource(name, count, sources, nullptr);
    gl::CompileShader(name);
    GLint status = 0;
    gl::GetShaderiv(name, GL_COMPILE_STATUS, &status);
    if (status) return true;
    if (log)
        *log = ShaderLog(name, kMaxLogLength);
    else
        OMB_Printf("==== [GL:Shader] ====\n%s\n", ShaderLog(name, kMaxLogLength).c_str());
    return false;
}

// ---------------------------------------------------------------- GLProgram

bool GLProgram::Link(const GLShader& vertex, const GLShader& fragment, std::string* log) {
    Release();
    if (!HasShaderEntryPoints() || !gl::DetachShader) return false;
    m_name.Reset(gl::CreateProgram());
    const GLuint name = m_name.Get();
    if (name == 0) return false;
    gl::AttachShader(name, vertex.Name());
    gl::AttachShader(name, fragment.Name());
    gl::LinkProgram(name);
    GLint status = 0;
    gl::GetProgramiv(name, GL_LINK_STATUS, &status);
    if (!status && log)
        *log = ProgramLog(name, kMaxLogLength);
    else if (!status)
        OMB_Printf("==== [GL:Program] ====\n%s\n", ProgramLog(name, kMaxLogLength).c_str());
    gl::DetachShader(name, vertex.Name());
    gl::DetachShader(name, fragment.Name());
    if (!status) Release();
    return status != 0;
}

// Compiles one stage for Build; 0 after printing the (short) log.
GLuint GLProgram::CompileStage(GLenum type, const char* source) {
    GLuint shader = gl::CreateShader(type);
    if (shader == 0) return 0;
    gl::ShaderSource(shader, 1, &source, nullptr);
    gl::CompileShader(shader);
    GLint status = 0;
    gl::GetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status) return shader;
    OMB_Printf("< shader info log > :\n\"%s\"\n", ShaderLog(shader, 512).c_str());
    gl::DeleteShader(shader);
    return 0;
}

bool GLProgram::Build(const char* vertexSource, const char* fragmentSource) {
    Release();
    m_name.Reset(HasShaderEntryPoints() ? gl::CreateProgram() : 0);
    if (m_name.Get() == 0) {
        OMB_Printf("[Error] GLSL : create program\n");
        return false;
    }
    static const char* const kAttachErrors[2] = {"[Error] GLSL : attach vertex shader\n",
                                                 "[Error] GLSL : attach fragment shader\n"};
    const GLenum types[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    const char* sources[2] = {vertexSource ? vertexSource : "", fragmentSource ? fragmentSource : ""};
    for (int stage = 0; stage < 2; ++stage) {
        GLuint shader = CompileStage(types[stage], sources[stage]);
        if (shader == 0) {
            OMB_Printf("%s", kAttachErrors[stage]);
            Release();
            return false;
        }
        gl::AttachShader(m_name.Get(), shader);
        // Flagged for deletion now; the driver frees it with the program.
        gl::DeleteShader(shader);
    }
    gl::LinkProgram(m_name.Get());
    GLint status = 0;
    gl::GetProgramiv(m_name.Get(), GL_LINK_STATUS, &status);
    if (status) return true;
    OMB_Printf("< program info log > :\n\"%s\"\n", ProgramLog(m_name.Get(), 512).c_str());
    OMB_Printf("[Error] GLSL : link program\n");
    Release();
    return false;
}

void GLProgram::Use() const {
    if (m_name.Get() != 0) gl::UseProgram(m_name.Get());
}

void GLProgram::UseNone() {
    if (gl::UseProgram) gl::UseProgram(0);
}

GLint GLProgram::Uniform(const char* name) const {
    if (m_name.Get() == 0 || !gl::GetUniformLocation) return -1;
    return gl::GetUniformLocation(m_name.Get(), name);
}

// ---------------------------------------------------------------- GLFramebuffer

bool GLFramebuffer::Create() {
    if (m_name.Get() != 0) return true;
    if (!gl::GenFramebuffers) return false;
    GLuint name = 0;
    gl::GenFramebuffers(1, &name);
    m_name.Reset(name);
    return name != 0;
}

void GLFramebuffer::Bind() const {
    if (m_name.Get() != 0) gl::BindFramebuffer(GL_FRAMEBUFFER, m_name.Get());
}

void GLFramebuffer::Unbind() const {
    if (m_name.Get() != 0) gl::BindFramebuffer(GL_FRAMEBUFFER, 0);
}
