// "flip", "loop", "rot90" and "fill" (see TK_TransformCommands.h). The
// movers build one TK_AxisRemap and pass over the voxel list once, so each
// run is linear in the voxel count; the environment rebuilds its lookup grid
// from the 64 notification.
#include "edit/TK_TransformCommands.h"

#include <cstring>
#include <utility>

#include "edit/TK_CommandArgs.h"

namespace {

void NotifyModel(TK_EditorEnv* env, int flags) { env->ChangeNotification(TK_NOTIFY_MODEL, flags); }

// One pass with whole-word reads and writes: one load and one store per
// voxel instead of three of each. Byte positions are 0 (x), 1 (y), 2 (z).
inline void RemapWords(Voxel* v, int n, const uint8_t (&table)[3][256], int s0, int s1, int s2) {
    for (int i = 0; i < n; ++i) {
        uint32_t w;
        std::memcpy(&w, &v[i], sizeof w);
        w = (w & 0xFF000000u) | uint32_t(table[0][(w >> (8 * s0)) & 255]) |
            uint32_t(table[1][(w >> (8 * s1)) & 255]) << 8 | uint32_t(table[2][(w >> (8 * s2)) & 255]) << 16;
        std::memcpy(&v[i], &w, sizeof w);
    }
}

// The same with the positions fixed at compile time: variable shifts cost
// several times more than constant ones in this loop.
template <int S0, int S1, int S2>
void RemapWords(Voxel* v, int n, const uint8_t (&table)[3][256]) {
    RemapWords(v, n, table, S0, S1, S2);
}

}  // namespace

// ---------------------------------------------------------------------------
// TK_AxisRemap
// ---------------------------------------------------------------------------
TK_AxisRemap::TK_AxisRemap() {
    for (int a = 0; a < 3; ++a) Shift(a, 0);
}

void TK_AxisRemap::Shift(int a, int delta) {
    for (int p = 0; p < 256; ++p) table[a][p] = uint8_t(p + delta);
}

void TK_AxisRemap::Reverse(int a, int s) {
    for (int p = 0; p < 256; ++p) table[a][p] = uint8_t(s - 1 - p);
}

void TK_AxisRemap::ApplyTo(VoxelList& voxels) const {
    Voxel* v = voxels.Data();
    const int n = voxels.Count();
    const int key = source[0] * 9 + source[1] * 3 + source[2];
    switch (key) {
        case 0 * 9 + 1 * 3 + 2: RemapWords<0, 1, 2>(v, n, table); break;
        case 0 * 9 + 2 * 3 + 1: RemapWords<0, 2, 1>(v, n, table); break;  // y and z trade
        case 2 * 9 + 1 * 3 + 0: RemapWords<2, 1, 0>(v, n, table); break;  // x and z trade
        case 1 * 9 + 0 * 3 + 2: RemapWords<1, 0, 2>(v, n, table); break;  // x and y trade
        default: RemapWords(v, n, table, source[0] % 3, source[1] % 3, source[2] % 3); break;
    }
}

// ---------------------------------------------------------------------------
// flip
// ---------------------------------------------------------------------------
bool TK_CMD_Flip::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    for (;;) {
        TK_ArgRead read = TK_NextArg(lexer, token);
        if (read == TK_ArgRead::End) return true;
        if (read == TK_ArgRead::Bad || token.kind != OMB_TOKEN_WORD) return false;
        TK_SelectAxes(token, m_axis);
    }
}

bool TK_CMD_Flip::Execute() {
    if (m_env->model.voxels.Empty()) return false;
    for (int& flag : m_axis) flag = flag ? 1 : 0;
    if (!HasEffect()) return false;
    FlipModel();
    return true;
}

bool TK_CMD_Flip::Merge(OMB_Command* next) {
    if (!next->SameClass(*this)) return false;
    const int* other = static_cast<TK_CMD_Flip*>(next)->m_axis;
    for (int a = 0; a < 3; ++a) m_axis[a] ^= other[a];
    return true;
}

bool TK_CMD_Flip::HasEffect() const { return m_axis[0] || m_axis[1] || m_axis[2]; }

void TK_CMD_Flip::FlipModel() {
    TK_Model& model = m_env->model;
    TK_AxisRemap map;
    for (int a = 0; a < 3; ++a)
        if (m_axis[a]) map.Reverse(a, model.size[a]);
    map.ApplyTo(model.voxels);
    NotifyModel(m_env, TK_CHANGE_VOXELS);
}

// ---------------------------------------------------------------------------
// loop
// ---------------------------------------------------------------------------
bool TK_CMD_Loop::Parse(const char* args) { return TK_ParseAxisValues(args, m_offset); }

bool TK_CMD_Loop::Execute() {
    if (m_env->model.voxels.Empty()) return false;
    if (!m_offset[0] && !m_offset[1] && !m_offset[2]) return false;
    // Whole turns on every axis leave the model as it is but still succeed.
    Shift(1);
    return true;
}

bool TK_CMD_Loop::Merge(OMB_Command* next) {
    if (!next->SameClass(*this)) return false;
    const TK_CMD_Loop* other = static_cast<TK_CMD_Loop*>(next);
    for (int a = 0; a < 3; ++a) m_offset[a] = Remainder(a) + other->Remainder(a);
    return true;
}

bool TK_CMD_Loop::HasEffect() const { return Remainder(0) || Remainder(1) || Remainder(2); }

int TK_CMD_Loop::Remainder(int a) const {
    const int s = m_env->model.size[a];
    return s > 0 ? m_offset[a] % s : 0;
}

bool TK_CMD_Loop::Shift(int sign) {
    TK_Model& model = m_env->model;
    TK_AxisRemap map;
    bool moves = false;
    for (int a = 0; a < 3; ++a) {
        const int s = model.size[a], d = sign * Remainder(a);
        if (d == 0) continue;
        moves = true;
        // |d| < s, so one wrap in either direction is enough.
        for (int p = 0; p < s; ++p) {
            int q = p + d;
            if (q < 0) q += s;
            else if (q >= s) q -= s;
            map.table[a][p] = uint8_t(q);
        }
    }
    if (!moves) return false;
    map.ApplyTo(model.voxels);
    NotifyModel(m_env, TK_CHANGE_VOXELS);
    return true;
}

// ---------------------------------------------------------------------------
// rot90
// ---------------------------------------------------------------------------
bool TK_CMD_Rot90::Parse(const char* args) {
    static const char* const kAxes[3] = {"x", "y", "z"};
    m_count = 1;
    for (int a = 0; a < 3 && args; ++a) {
        if (OMB_EqualNoCase(args, kAxes[a])) {
            m_axis = a;
            return true;
        }
    }
    return false;
}

bool TK_CMD_Rot90::Execute() {
    if (m_env->model.voxels.Empty() || m_axis < 0 || m_axis > 2 || (m_count & 3) == 0) return false;
    Rotate(m_count);
    return true;
}

bool TK_CMD_Rot90::Merge(OMB_Command* next) {
    if (!next->SameClass(*this)) return false;
    const TK_CMD_Rot90* other = static_cast<TK_CMD_Rot90*>(next);
    if (other->m_axis != m_axis) return false;
    m_count = (m_count + other->m_count) & 3;
    return true;
}

void TK_CMD_Rot90::Rotate(int quarterTurns) {
    const int n = quarterTurns & 3;
    if (n == 0) return;
    TK_Model& model = m_env->model;
    int* s = model.size;
    const int u = (m_axis + 1) % 3, w = (m_axis + 2) % 3;
    TK_AxisRemap map;
    if (n == 2) {
        map.Reverse(u, s[u]);
        map.Reverse(w, s[w]);
    } else {
        // The two axes trade coordinates; which one is mirrored sets the sense.
        map.source[u] = w;
        map.source[w] = u;
        if (n == 1) map.Reverse(u, s[w]);
        else map.Reverse(w, s[u]);
        std::swap(s[u], s[w]);
    }
    map.ApplyTo(model.voxels);
    NotifyModel(m_env, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
}

// ---------------------------------------------------------------------------
// fill
// ---------------------------------------------------------------------------
bool TK_CMD_Fill::Parse(const char*) {
    m_colorIndex = m_env->currentColorIndex;
    return true;
}

bool TK_CMD_Fill::Execute() {
    // Colour 0 would store empty cells as voxels.
    if (!TK_IsPaletteIndex(m_colorIndex)) return false;
    m_saved.Clear();
    for (Voxel& v : m_env->model.voxels) {
        if (v.colorIndex == m_colorIndex) continue;
        m_saved.Add(v);
        v.colorIndex = uint8_t(m_colorIndex);
    }
    if (m_saved.Empty()) return false;
    NotifyModel(m_env, TK_CHANGE_COLORS);
    return true;
}

void TK_CMD_Fill::Undo() {
    VoxelList& voxels = m_env->model.voxels;
    for (const Voxel& saved : m_saved) {
        int i = m_env->VoxelAt(saved.x, saved.y, saved.z);
        // A stale lookup would otherwise overwrite some other voxel.
        if (i >= 0 && i < voxels.Count() && voxels[i].SameCell(saved)) voxels[i] = saved;
    }
    NotifyModel(m_env, TK_CHANGE_COLORS);
}

void TK_CMD_Fill::Redo() {
    VoxelList& voxels = m_env->model.voxels;
    for (const Voxel& saved : m_saved) {
        int i = m_env->VoxelAt(saved.x, saved.y, saved.z);
        if (i >= 0 && i < voxels.Count() && voxels[i].SameCell(saved)) voxels[i].colorIndex = uint8_t(m_colorIndex);
    }
    NotifyModel(m_env, TK_CHANGE_COLORS);
}
