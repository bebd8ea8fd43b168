// Entry-point table, name lookup, extension list and the loader chain
// (see GLLoader.h).
#include "render/GLLoader.h"

#include <string>

#include <cstring>

#include "core/OMB_Lexer.h"

namespace gl {
#define TK_GL_ENTRY(level, type, name, names) type name = nullptr;
#include "render/GLEntryPoints.h"
#undef TK_GL_ENTRY
}  // namespace gl

bool glHasTexture3D = false;
bool glHasGLSL = false;
bool glHasFBO = false;
bool glHasFloatTexture = false;

namespace {

GLResolver g_resolver = nullptr;

struct Entry {
    int level;
    const char* names;
    void (*store)(void* address);
};

// Each entry stores through its own typed setter, so no function pointer is
// ever written through a pointer of another type.
const Entry kEntries[] = {
#define TK_GL_ENTRY(level, type, name, names) \
    {level, names, [](void* p) { gl::name = reinterpret_cast<type>(p); }},
#include "render/GLEntryPoints.h"
#undef TK_GL_ENTRY
};

}  // namespace

void GLSetResolver(GLResolver resolver) { g_resolver = resolver; }
GLResolver GLGetResolver() { return g_resolver; }

void* GLLookup(const char* names, GLResolver resolver) {
    if (!names || !resolver) return nullptr;
    OMB_Lexer lexer(names, 0);
    OMB_Token token;
    char name[128];
    while (lexer.NextToken(token)) {
        if (token.kind != OMB_TOKEN_WORD || token.length >= int(sizeof name)) return nullptr;
        std::memcpy(name, token.start, size_t(token.length));
        name[token.length] = '\0';
        if (void* address = resolver(name)) return address;
    }
    return nullptr;
}

// ---------------------------------------------------------------- loaders

void GLLoader::Load() {
    version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    SetExtensionString(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
}

void GLLoader::SetExtensionString(const char* text) {
    if (!text) return;
    size_t length = std::strlen(text);
    m_extensionText.reset(new char[length + 1]);
    std::memcpy(m_extensionText.get(), text, length + 1);
    m_extensions.clear();
    char* p = m_extensionText.get();
    while (*p) {
        while (*p && static_cast<unsigned char>(*p) <= 32) *p++ = '\0';
        if (!*p) break;
        m_extensions.push_back(p);
        while (static_cast<unsigned char>(*p) > 32) ++p;
    }
}

bool GLLoader::HasExtension(const char* name) const {
    for (const char* e : m_extensions)
        if (std::strcmp(e, name) == 0) return true;
    return false;
}

void GLLoader::LoadLevel(int level) {
    for (const Entry& e : kEntries)
        if (e.level == level) e.store(GLLookup(e.names));
}

void GLLoader_1_2::Load() {
    GLLoader::Load();
    LoadLevel(12);
}
void GLLoader_1_3::Load() {
    GLLoader_1_2::Load();
    LoadLevel(13);
}
void GLLoader_1_5::Load() {
    GLLoader_1_3::Load();
    LoadLevel(15);
}
void GLLoader_2_0::Load() {
    GLLoader_1_5::Load();
    LoadLevel(20);
}
void GLLoader_2_1::Load() {
    GLLoader_2_0::Load();
    LoadLevel(21);
}
void GLLoader_3_0::Load() {
    GLLoader_2_1::Load();
    LoadLevel(30);
}
void GLLoader_EXT::Load() {
    GLLoader::Load();
    LoadLevel(0);
}

// ---------------------------------------------------------------- start-up

void GLSetCapabilities(const GLLoader& loader) {
    glHasTexture3D = loader.HasExtension("GL_EXT_texture3D");
    static const char* const kShaderExtensions[] = {"GL_ARB_shader_objects", "GL_ARB_shading_language_100",
                                                    "GL_ARB_vertex_shader", "GL_ARB_fragment_shader"};
    glHasGLSL = true;
    for (const char* name : kShaderExtensions) {
        if (loader.HasExtension(name)) continue;
        glHasGLSL = false;
        break;
    }
    glHasFBO = loader.HasExtension("GL_ARB_framebuffer_object");
    glHasFloatTexture = loader.HasExtension("GL_ARB_texture_float");
}

void GLStartup() {
    GLLoader_EXT vendor;
    vendor.Load();
    GLLoader_3_0 core;
    core.Load();
    GLSetCapabilities(core);
}
