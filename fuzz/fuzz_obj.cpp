// libFuzzer target for the OBJ reader: any bytes through TK_ParseObj and,
// when they parse, the voxelisation with a default material. A parsed mesh
// names only vertices it defines, and the model stays inside its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/TK_ObjImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TK_ObjMesh mesh;
    if (!TK_ParseObj(reinterpret_cast<const char*>(data), size, mesh)) return 0;
    for (int p : mesh.cornerPosition)
        if (p < 0 || size_t(3 * p + 2) >= mesh.positions.size()) std::abort();
    TK_Model model;
    model.palette = DefaultPalette();
    if (!TK_VoxeliseMesh(mesh, {}, {}, TK_MeshOptions(), model)) return 0;
    for (const Voxel& v : model.voxels)
        if (!model.InBox(v.x, v.y, v.z) || v.colorIndex == 0) std::abort();
    return 0;
}
