// The pattern brush's stamp (see TK_PatternBrush.h).
#include "brush/TK_PatternBrush.h"

#include "model/TK_EditorEnv.h"

bool TK_AddPatternStamp(TK_Stroke& stroke, const TK_EditorEnv& env, const TK_BrushOptions& options,
                        const TK_Pick& pick) {
    const TK_Model& pattern = env.patternModel;
    if (pattern.voxels.Empty()) return false;
    int lo[3];
    if (!TK_StampCorner(pick, options.mode, pattern.size, true, lo)) return false;
    for (const Voxel& v : pattern.voxels) {
        if (!pattern.InBox(v.x, v.y, v.z)) continue;
        const int color = options.patternPalette ? options.color : v.colorIndex;
        stroke.AddMirrored(lo[0] + v.x, lo[1] + v.y, lo[2] + v.z, color);
    }
    return true;
}

bool TK_PatternBrush::Stamp(const TK_BrushOptions& options, const TK_Pick& pick) {
    return TK_AddPatternStamp(m_stroke, *Env(), options, pick);
}
