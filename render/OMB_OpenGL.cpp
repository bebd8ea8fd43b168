// Entry-point table, name lookup, extension list and the loader chain
// (see OMB_OpenGL.h).
#include "render/OMB_OpenGL.h"

#include <dlfcn.h>
#include <link.h>

#include <string>

#include <cstring>

#include "core/OMB_Lexer.h"

namespace gl {
#define OMB_GL_ENTRY(level, type, name, names) type name = nullptr;
#include "render/OMB_GLEntryPoints.h"
#undef OMB_GL_ENTRY
}  // namespace gl

bool glHasTexture3D = false;
bool glHasGLSL = false;
bool glHasFBO = false;
bool glHasFloatTexture = false;

namespace {

OMB_GLResolver g_resolver = nullptr;

struct Entry {
    int level;
    const char* names;
    void (*store)(void* address);
};

// Each entry stores through its own typed setter, so no function pointer is
// ever written through a pointer of another type.
const Entry kEntries[] = {
#define OMB_GL_ENTRY(level, type, name, names) \
    {level, names, [](void* p) { gl::name = reinterpret_cast<type>(p); }},
#include "render/OMB_GLEntryPoints.h"
#undef OMB_GL_ENTRY
};

}  // namespace

void OMB_SetGLResolver(OMB_GLResolver resolver) { g_resolver = resolver; }
OMB_GLResolver OMB_GetGLResolver() { return g_resolver; }

void* OMB_GLLookup(const char* names, OMB_GLResolver resolver) {
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

void OMB_OpenGL::Load() {
    version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    SetExtensionString(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
}

void OMB_OpenGL::SetExtensionString(const char* text) {
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

bool OMB_OpenGL::HasExtension(const char* name) const {
    for (const char* e : m_extensions)
        if (std::strcmp(e, name) == 0) return true;
    return false;
}

void OMB_OpenGL::LoadLevel(int level) {
    for (const Entry& e : kEntries)
        if (e.level == level) e.store(OMB_GLLookup(e.names));
}

void OMB_OpenGL_1_2::Load() {
    OMB_OpenGL::Load();
    LoadLevel(12);
}
void OMB_OpenGL_1_3::Load() {
    OMB_OpenGL_1_2::Load();
    LoadLevel(13);
}
void OMB_OpenGL_1_5::Load() {
    OMB_OpenGL_1_3::Load();
    LoadLevel(15);
}
void OMB_OpenGL_2_0::Load() {
    OMB_OpenGL_1_5::Load();
    LoadLevel(20);
}
void OMB_OpenGL_2_1::Load() {
    OMB_OpenGL_2_0::Load();
    LoadLevel(21);
}
void OMB_OpenGL_3_0::Load() {
    OMB_OpenGL_2_1::Load();
    LoadLevel(30);
}
void OMB_OpenGL_EXT::Load() {
    OMB_OpenGL::Load();
    LoadLevel(0);
}

// ---------------------------------------------------------------- start-up

void OMB_GLSetCapabilities(const OMB_OpenGL& loader) {
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

void OMB_GLStartup() {
    OMB_OpenGL_EXT vendor;
    vendor.Load();
    OMB_OpenGL_3_0 core;
    core.Load();
    OMB_GLSetCapabilities(core);
}

namespace {
int CollectLibraryName(dl_phdr_info* info, size_t, void* names) {
    if (info->dlpi_name && info->dlpi_name[0]) static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    return 0;
}
}  // namespace

void OMB_KeepGLDriverLoaded() {
    std::vector<std::string> names;
    dl_iterate_phdr(&CollectLibraryName, &names);
    for (const std::string& name : names)
        if (void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
}
