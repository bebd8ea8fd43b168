// The stroke preview keeps only the outer faces of the stroke's cells.
#include <gtest/gtest.h>

#include "render/TK_PreviewMesh.h"

namespace {

TEST(PreviewMesh, OuterFacesOnly) {
    struct Case {
        const char* what;
        std::vector<Voxel> cells;
        int faces;
    } cases[] = {
        {"one cell", {{5, 5, 5, 1}}, 6},
        {"a 2-cube", {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1},
                      {0, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}}, 24},
        {"across the 64-cell word edge", {{63, 0, 0, 1}, {64, 0, 0, 1}}, 10},
        {"the world's far corner", {{127, 127, 127, 1}}, 6},
    };
    TK_PreviewMesh mesh;
    for (const Case& c : cases) {
        VoxelList list;
        for (const Voxel& v : c.cells) list.Add(v);
        for (int kind : {1, 2, 3}) {
            mesh.Build(&list, kind, DefaultPalette());
            EXPECT_EQ(mesh.Faces(), c.faces) << c.what << ", kind " << kind;
        }
    }
    mesh.Build(nullptr, 1, DefaultPalette());
    EXPECT_TRUE(mesh.Empty());
}

}  // namespace
