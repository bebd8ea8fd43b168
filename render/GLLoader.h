// Run-time OpenGL loading. The program links only OpenGL 1.1; every later
// entry point lives in the process-wide table gl:: (gl::ActiveTexture,
// gl::CreateProgram ...), filled once by GLStartup right after the
// platform window has made its context current. A pointer whose names all
// failed to resolve stays null: code guards its use of shaders, framebuffers,
// float and 3D textures by the four capability flags, never by the pointers.
//
// The platform layer supplies the address lookup (GLSetResolver); this
// library never calls the windowing system itself.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <vector>

namespace gl {
#define TK_GL_ENTRY(level, type, name, names) extern type name;
#include "render/GLEntryPoints.h"
#undef TK_GL_ENTRY
}  // namespace gl

// Capability flags, false until GLStartup ran.
extern bool glHasTexture3D;     // GL_EXT_texture3D
extern bool glHasGLSL;          // the four ARB shader extensions
extern bool glHasFBO;           // GL_ARB_framebuffer_object
extern bool glHasFloatTexture;  // GL_ARB_texture_float

// Address of one entry point by exact name, or null.
using GLResolver = void* (*)(const char* name);
void GLSetResolver(GLResolver resolver);
GLResolver GLGetResolver();

// The address of the first name in `names` (white-space separated, preferred
// name first) that resolves, or null. A token that is not an identifier ends
// the search. A missing entry point is not reported.
void* GLLookup(const char* names, GLResolver resolver);
inline void* GLLookup(const char* names) { return GLLookup(names, GLGetResolver()); }

// Loader base: the version, vendor and renderer strings and the extension
// list. The derived loaders each load what their base loads, then the entry
// points of their own level.
class GLLoader {
public:
    GLLoader() = default;
    virtual ~GLLoader() = default;
    GLLoader(const GLLoader&) = delete;
    GLLoader& operator=(const GLLoader&) = delete;

    // Needs a current context. A null GL_EXTENSIONS keeps the previous list.
    virtual void Load();

    // True when some entry of the list equals `name` byte for byte.
    bool HasExtension(const char* name) const;
    // Replaces the list with the names of `text` (split at every byte of
    // value 32 or less); a null text keeps the list. Load uses it; tests feed
    // it made-up driver strings.
    void SetExtensionString(const char* text);

    const char* version = nullptr;   // owned by the driver
    const char* vendor = nullptr;
    const char* renderer = nullptr;

protected:
    // Fills the table entries of one level (0 = vendor extensions).
    static void LoadLevel(int level);

private:
    std::vector<const char*> m_extensions;  // point into m_extensionText
    std::unique_ptr<char[]> m_extensionText;
};

class GLLoader_1_2 : public GLLoader {
public:
    void Load() override;
};
class GLLoader_1_3 : public GLLoader_1_2 {
public:
    void Load() override;
};
class GLLoader_1_5 : public GLLoader_1_3 {
public:
    void Load() override;
};
class GLLoader_2_0 : public GLLoader_1_5 {
public:
    void Load() override;
};
class GLLoader_2_1 : public GLLoader_2_0 {
public:
    void Load() override;
};
class GLLoader_3_0 : public GLLoader_2_1 {
public:
    void Load() override;
};
// Vendor extensions only.
class GLLoader_EXT : public GLLoader {
public:
    void Load() override;
};

// Sets the four flags from the loader's extension list.
void GLSetCapabilities(const GLLoader& loader);
// The whole start-up: vendor extensions, the 3.0 chain, the flags. Needs the
// resolver and a current context.
void GLStartup();

// Pins every shared library now loaded (the OpenGL driver among them) until
// the process ends. Unloading the driver at shutdown gains nothing, and its
// allocations, reachable only from its own data, would then show up as
// leaks in the sanitizer build. Call once a context exists.
void GLKeepDriverLoaded();
