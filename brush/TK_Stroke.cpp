// Stroke cells, mirroring and committing (see TK_Stroke.h).
#include "brush/TK_Stroke.h"

#include <cmath>
#include <cstring>

#include "edit/TK_VoxelCommands.h"
#include "model/TK_EditorEnv.h"

bool TK_StrokeCell(const TK_Pick& pick, int mode, int cell[3]) {
    if (!pick.Hit() || pick.face > 6) return false;
    const bool front = mode == TK_BRUSH_ATTACH || pick.IsGround();
    for (int a = 0; a < 3; ++a) cell[a] = pick.cell[a] + (front ? kFaceOffset[pick.face][a] : 0);
    return true;
}

bool TK_RayPlaneHit(const TK_Ray& ray, int axis, float value, float point[3]) {
    const float d = ray.dir[axis];
    if (std::fabs(d) < 1e-6f) return false;
    const float t = (value - ray.origin[axis]) / d;
    if (!(t >= 0)) return false;
    for (int a = 0; a < 3; ++a) point[a] = ray.origin[a] + t * ray.dir[a];
    point[axis] = value;
    return true;
}

bool TK_StampCorner(const TK_Pick& pick, int mode, const int extent[3], bool standOnFace, int lo[3]) {
    int cell[3];
    if (!TK_StrokeCell(pick, mode, cell)) return false;
    const int axis = TK_FaceAxis(pick.face);
    const bool outward = mode == TK_BRUSH_ATTACH || pick.IsGround();
    for (int a = 0; a < 3; ++a) {
        lo[a] = cell[a] - (extent[a] - 1) / 2;
        if (!standOnFace || a != axis) continue;
        const int grow = outward ? kFaceOffset[pick.face][a] : -kFaceOffset[pick.face][a];
        lo[a] = grow > 0 ? cell[a] : cell[a] - extent[a] + 1;
    }
    return true;
}

TK_Stroke::TK_Stroke() : m_member(TK_EditorEnv::kWorldCells / 64, 0) {
    m_model.voxels.Reserve(kReservedVoxels);
}

void TK_Stroke::Begin(const TK_EditorEnv& env, const TK_BrushOptions& options) {
    Clear();
    m_env = &env;
    m_mode = options.mode;
    for (int a = 0; a < 3; ++a) {
        m_model.size[a] = env.model.size[a];
        m_mirror[a] = options.mirror[a] != 0;
    }
}

void TK_Stroke::Clear() {
    VoxelList& voxels = m_model.voxels;
    // Clearing the bits of the listed cells is cheaper until the list nears
    // the size of the bit set itself.
    if (voxels.Count() < int(m_member.size()) * 4) {
        for (const Voxel& v : voxels) m_member[TK_EditorEnv::GridIndex(v.x, v.y, v.z) >> 6] = 0;
    } else {
        std::memset(m_member.data(), 0, m_member.size() * sizeof(uint64_t));
    }
    voxels.Clear();
}

bool TK_Stroke::IsFilled(int x, int y, int z) const {
    return m_env->voxelLookupGrid[TK_EditorEnv::GridIndex(x, y, z)] != 0;
}

bool TK_Stroke::Insert(int x, int y, int z, int color) {
    if (!m_model.InBox(x, y, z) || !Suits(x, y, z)) return false;
    const int at = TK_EditorEnv::GridIndex(x, y, z);
    uint64_t& word = m_member[at >> 6];
    const uint64_t bit = uint64_t(1) << (at & 63);
    if (word & bit) return false;
    word |= bit;
    m_model.voxels.Add(Voxel{uint8_t(x), uint8_t(y), uint8_t(z), uint8_t(m_mode == TK_BRUSH_ERASE ? 0 : color)});
    return true;
}

void TK_Stroke::AddMirrored(int x, int y, int z, int color) {
    const int* s = m_model.size;
    const int xs[2] = {x, s[0] - 1 - x}, ys[2] = {y, s[1] - 1 - y}, zs[2] = {z, s[2] - 1 - z};
    for (int k = 0; k <= m_mirror[2]; ++k)
        for (int j = 0; j <= m_mirror[1]; ++j)
            for (int i = 0; i <= m_mirror[0]; ++i) Insert(xs[i], ys[j], zs[k], color);
}

std::unique_ptr<OMB_Command> TK_Stroke::MakeCommand() const {
    const VoxelList& cells = m_model.voxels;
    if (cells.Empty()) return nullptr;
    switch (m_mode) {
    case TK_BRUSH_ATTACH: return std::make_unique<TK_CMD_AddVoxels>(cells);
    case TK_BRUSH_ERASE: return std::make_unique<TK_CMD_EraseVoxels>(cells);
    case TK_BRUSH_PAINT: return std::make_unique<TK_CMD_PaintVoxels>(cells);
    default: return nullptr;
    }
}

bool TK_Stroke::Commit(TK_EditorEnv& env, const void* owner) const {
    std::unique_ptr<OMB_Command> command = MakeCommand();
    return command && env.RunCommand(std::move(command), owner);
}
