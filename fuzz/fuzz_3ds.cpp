// libFuzzer target for the 3DS reader: any bytes through TK_Parse3ds and,
// when they parse, the voxelisation with every material taking its colours
// from texture coordinates. A parsed mesh names only vertices, texture
// coordinates and materials it holds, and the model stays inside its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "plugins/TK_3dsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TK_ObjMesh mesh;
    std::vector<TK_ObjMaterial> found;
    if (!TK_Parse3ds(data, size, mesh, found)) {
        if (mesh.FaceCount() || !found.empty()) std::abort();
        return 0;
    }
    if (mesh.cornerPosition.size() != 3 * mesh.FaceCount() || mesh.cornerTexcoord.size() != mesh.cornerPosition.size())
        std::abort();
    for (size_t i = 0; i < mesh.cornerPosition.size(); ++i) {
        const int p = mesh.cornerPosition[i], t = mesh.cornerTexcoord[i];
        if (p < 0 || size_t(3 * p + 2) >= mesh.positions.size()) std::abort();
        if (t < -1 || (t >= 0 && size_t(2 * t + 1) >= mesh.texcoords.size())) std::abort();
    }
    for (int m : mesh.faceMaterial)
        if (m < -1 || (m >= 0 && size_t(m) >= mesh.materialNames.size())) std::abort();
    if (mesh.FaceCount() == 0) return 0;
    TK_Model model;
    model.palette = DefaultPalette();
    const std::vector<TK_ObjMaterial> materials(mesh.materialNames.size());
    const std::vector<bool> textured(mesh.materialNames.size(), true);
    if (!TK_VoxeliseMesh(mesh, materials, textured, TK_MeshOptions(), model, "3DS")) return 0;
    for (const Voxel& v : model.voxels)
        if (!model.InBox(v.x, v.y, v.z) || v.colorIndex == 0) std::abort();
    return 0;
}
