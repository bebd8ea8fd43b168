// The built-in formats, in menu order. A new format adds its own files and
// one line here. "slab" and "vox" share the extension "vox": lookups go by
// key, so importing a ".vox" file always reaches "vox", which hands files
// without the native magic on to the Slab6 reader itself.
#include "plugins/TK_Plugins.h"

#include "plugins/TK_PluginRegistry.h"
#include "plugins/TK_Plugin_2D.h"
#include "plugins/TK_Plugin_3DS.h"
#include "plugins/TK_Plugin_ACT.h"
#include "plugins/TK_Plugin_GLTF.h"
#include "plugins/TK_Plugin_Iso.h"
#include "plugins/TK_Plugin_MC.h"
#include "plugins/TK_Plugin_OBJ.h"
#include "plugins/TK_Plugin_PLY.h"
#include "plugins/TK_Plugin_PNG.h"
#include "plugins/TK_Plugin_QB.h"
#include "plugins/TK_Plugin_RAW.h"
#include "plugins/TK_Plugin_SLAB.h"
#include "plugins/TK_Plugin_TGA.h"
#include "plugins/TK_Plugin_VOX.h"

void TK_RegisterPlugins(TK_PluginRegistry& registry) {
    struct Entry {
        const char* key;
        const char* extension;
        const char* description;
        TK_PluginFactory factory;
    };
    static const Entry kPlugins[] = {
        {"obj", "obj", "Alias Wavefront", &TK_MakePlugin<TK_Plugin_OBJ>},
        {"3ds", "3ds", "3D Studio", &TK_MakePlugin<TK_Plugin_3DS>},
        {"ply", "ply", "Stanford Polygon", &TK_MakePlugin<TK_Plugin_PLY>},
        {"qb", "qb", "Qubicle Binary", &TK_MakePlugin<TK_Plugin_QB>},
        {"xraw", "xraw", "Raw Volume", &TK_MakePlugin<TK_Plugin_RAW>},
        {"slab", "vox", "Slab6", &TK_MakePlugin<TK_Plugin_SLAB>},
        {"vox", "vox", "Tarsk", &TK_MakePlugin<TK_Plugin_VOX>},
        {"png", "png", "Palette", &TK_MakePlugin<TK_Plugin_PNG>},
        {"tga", "tga", "Palette", &TK_MakePlugin<TK_Plugin_TGA>},
        {"act", "act", "Palette", &TK_MakePlugin<TK_Plugin_ACT>},
        {"2d", "png", "2D Sprite", &TK_MakePlugin<TK_Plugin_2D>},
        {"iso", "png", "Isometric Sprite", &TK_MakePlugin<TK_Plugin_Iso>},
        {"mc", "ply", "Marching Cube", &TK_MakePlugin<TK_Plugin_MC>},
        {"gltf", "glb", "glTF Binary", &TK_MakePlugin<TK_Plugin_GLTF>},
    };
    for (const Entry& e : kPlugins) registry.Add(e.key, e.extension, e.description, e.factory);
}
