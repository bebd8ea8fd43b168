// The files around an imported or exported mesh, shared by the OBJ and 3DS
// plugins: the folder and base name of a mesh path (the palette texture and
// material files sit beside the mesh under its base name), the 256 x 1
// palette texture, and the binding of a mesh's material names to the
// materials its file or libraries define.
//
// The rule: a texture is trusted as a palette only when it is exactly
// 256 x 1; any other picture leaves its material to its diffuse colour.
#pragma once

#include <string>
#include <vector>

#include "model/Palette.h"
#include "plugins/TK_ObjImport.h"

// Folder part of a path, with its trailing "/" ("" for a bare name).
std::string TK_FolderOf(const std::string& path);
// The file name without folder and extension.
std::string TK_BaseNameOf(const std::string& path);

// The palette of a 256 x 1 PNG texture (pixel k is entry k + 1); false,
// with `palette` untouched, for a missing file or any other picture.
bool TK_LoadPaletteTexture(const std::string& path, Palette& palette);

// Materials in the order of the mesh's material names (a name no entry of
// `found` defines keeps the defaults), and which of them take their colours
// from texture coordinates: those naming the first texture of `found`, read
// from `folder`, that loads as a palette. `palette` becomes that texture's
// palette, or the default palette when none loads.
void TK_ResolveMaterials(const TK_ObjMesh& mesh, const std::vector<TK_ObjMaterial>& found, const std::string& folder,
                         Palette& palette, std::vector<TK_ObjMaterial>& materials, std::vector<bool>& textured);
