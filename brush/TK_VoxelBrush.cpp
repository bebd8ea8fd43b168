// The voxel brush's stamp (see TK_VoxelBrush.h).
#include "brush/TK_VoxelBrush.h"

#include <algorithm>

int TK_StepVoxelSize(int size, int delta) {
    return std::clamp(std::clamp(size, kMinVoxelSize, kMaxVoxelSize) + delta, kMinVoxelSize, kMaxVoxelSize);
}

bool TK_AddVoxelStamp(TK_Stroke& stroke, const TK_BrushOptions& options, const TK_Pick& pick) {
    const int size = std::clamp(options.voxelSize, kMinVoxelSize, kMaxVoxelSize);
    const int extent[3] = {size, size, size};
    int lo[3];
    if (!TK_StampCorner(pick, options.mode, extent, options.voxelVolume, lo)) return false;
    const bool cube = options.voxelCube || size < 2;
    // Doubled coordinates keep the sphere test in integers: cell middles at
    // 2c + 1, the stamp's middle at 2 lo + size, radius size.
    const int r2 = size * size;
    const int* model = stroke.Size();
    int c[3];
    for (c[2] = std::max(lo[2], 0); c[2] < std::min(lo[2] + size, model[2]); ++c[2])
        for (c[1] = std::max(lo[1], 0); c[1] < std::min(lo[1] + size, model[1]); ++c[1])
            for (c[0] = std::max(lo[0], 0); c[0] < std::min(lo[0] + size, model[0]); ++c[0]) {
                if (!cube) {
                    int d2 = 0;
                    for (int a = 0; a < 3; ++a) {
                        const int d = 2 * (c[a] - lo[a]) + 1 - size;
                        d2 += d * d;
                    }
                    if (d2 > r2) continue;
                }
                stroke.AddMirrored(c[0], c[1], c[2], options.StrokeColor());
            }
    return true;
}
