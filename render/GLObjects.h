// RAII wrappers for the OpenGL objects the renderers and the user interface
// own: textures, shader objects, GLSL programs and framebuffers. Each holds
// its name in a GLHandle, which makes the class move-only: no copies, the
// destructor frees the GL name, a move leaves the source empty (name 0).
//
// The rule not to break: every object must be released (destroyed or
// Release()d) while its context is still current, so owners tear down their
// GL objects before the platform window destroys the context. Creating
// anything needs a current context and GLStartup having run.
#pragma once

#include <cstdint>
#include <string>

#include "render/GLLoader.h"

// Free one non-zero name of each kind (nothing when the entry point is
// missing); the GLHandle instances below are built on them.
void GLFreeTexture(GLuint name);
void GLFreeShader(GLuint name);
void GLFreeProgram(GLuint name);
void GLFreeFramebuffer(GLuint name);

// One GL name and its owner: no copies, the destructor frees a non-zero name
// with Free, a move hands the name over and leaves 0 behind.
template <void (*Free)(GLuint)>
class GLHandle {
public:
    GLHandle() = default;
    ~GLHandle() { Reset(); }
    GLHandle(GLHandle&& other) noexcept : m_name(other.Take()) {}
    GLHandle& operator=(GLHandle&& other) noexcept {
        if (this != &other) Reset(other.Take());
        return *this;
    }
    GLHandle(const GLHandle&) = delete;
    GLHandle& operator=(const GLHandle&) = delete;

    // Frees the name held and holds `name` instead.
    void Reset(GLuint name = 0) {
        if (m_name != 0) Free(m_name);
        m_name = name;
    }
    GLuint Get() const { return m_name; }

private:
    GLuint Take() {
        const GLuint name = m_name;
        m_name = 0;
        return name;
    }

    GLuint m_name = 0;
};

// Sampler settings, in this order.
struct GLSampler {
    GLenum wrapS = GL_CLAMP_TO_EDGE;
    GLenum wrapT = GL_CLAMP_TO_EDGE;
    GLenum wrapR = GL_CLAMP_TO_EDGE;
    GLenum magFilter = GL_NEAREST;
    GLenum minFilter = GL_NEAREST;
};

class GLTexture {
public:
    // The full creator: target GL_TEXTURE_1D, _2D or _3D (unused sizes 1).
    // Generates a name on first use and reuses it afterwards. False for a
    // size below 1 or a 3D texture without the 1.2 entry points.
    bool Create(GLenum target, GLint internalFormat, int width, int height, int depth, GLenum format, GLenum type,
                const void* pixels, const GLSampler& sampler);
    // The user interface's creators: unsigned bytes.
    bool Create1D(GLint internalFormat, int width, GLenum format, const void* pixels, const GLSampler& sampler) {
        return Create(GL_TEXTURE_1D, internalFormat, width, 1, 1, format, GL_UNSIGNED_BYTE, pixels, sampler);
    }
    bool Create2D(GLint internalFormat, int width, int height, GLenum format, const void* pixels,
                  const GLSampler& sampler) {
        return Create(GL_TEXTURE_2D, internalFormat, width, height, 1, format, GL_UNSIGNED_BYTE, pixels, sampler);
    }
    // 256 texels of GL_RGBA (red in the lowest byte of each entry).
    bool CreatePalette(const uint32_t rgba[256], const GLSampler& sampler) {
        return Create1D(GL_RGBA, 256, GL_RGBA, rgba, sampler);
    }
    // Replaces a region.
    void Update(int x, int y, int z, int width, int height, int depth, GLenum format, GLenum type,
                const void* pixels);
    // Activates unit GL_TEXTURE0 + unit, enables the target and binds.
    void Bind(int unit) const;
    // Activates the unit, disables the target and binds 0.
    void Unbind(int unit) const;
    void SetSampler(const GLSampler& sampler);
    void Release();

    GLuint Name() const { return m_name.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    bool Prepare(GLenum target);

    GLHandle<GLFreeTexture> m_name;
    GLenum m_target = GL_TEXTURE_2D;
    int m_width = 0;
    int m_height = 0;
};

class GLShader {
public:
    // Compiles one source string. False after printing the info log; the
    // shader object is kept either way.
    bool CreateVertex(const char* source);
    // Compiles a null-terminated list of strings as one concatenated source,
    // after deleting the previous shader. With `log` a failure's info log
    // goes there instead of the console (for callers that rewrite it).
    bool CreateFragment(const char* const* sources, std::string* log = nullptr);
    void Release() { m_name.Reset(); }

    GLuint Name() const { return m_name.Get(); }

private:
    bool Compile(GLenum type, int count, const char* const* sources, std::string* log = nullptr);

    GLHandle<GLFreeShader> m_name;
};

class GLProgram {
public:
    // Renderer style: a new program from two compiled shader objects, which
    // are detached again afterwards (they outlive the program, so one vertex
    // shader can serve several programs). False after printing the log, or
    // after storing it in `log` when one is given.
    bool Link(const GLShader& vertex, const GLShader& fragment, std::string* log = nullptr);
    // Voxel style: compiles both sources and links. On any failure prints its
    // message and leaves no program.
    bool Build(const char* vertexSource, const char* fragmentSource);
    void Release() { m_name.Reset(); }

    bool IsValid() const { return m_name.Get() != 0; }
    void Use() const;
    static void UseNone();
    // -1 when the program has no such active uniform (or no program).
    GLint Uniform(const char* name) const;

    GLuint Name() const { return m_name.Get(); }

private:
    GLuint CompileStage(GLenum type, const char* source);

    GLHandle<GLFreeProgram> m_name;
};

// A framebuffer name; binding targets GL_FRAMEBUFFER and does nothing for
// name 0 (so code can bind an optional framebuffer unconditionally).
class GLFramebuffer {
public:
    // False without framebuffer support.
    bool Create();
    void Bind() const;
    void Unbind() const;
    void Release() { m_name.Reset(); }
    GLuint Name() const { return m_name.Get(); }

private:
    GLHandle<GLFreeFramebuffer> m_name;
};
