// "maze" (see TK_MazeCommand.h).
#include "edit/TK_MazeCommand.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/OMB_Lexer.h"
#include "edit/TK_CommandArgs.h"

namespace {

// Small deterministic generator: the maze depends only on its seed.
struct XorShift {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// The plan of a maze: rooms of (step - 1) cells between one-cell walls.
struct MazePlan {
    int rooms[2] = {0, 0};   // rooms along x and y
    int extent[2] = {0, 0};  // cells covered: rooms * step + 1
    int step = 2;
    std::vector<uint8_t> wall;  // extent x by extent y, 1 = wall

    void Init(int sx, int sy, int pitch) {
        step = pitch;
        rooms[0] = (sx - 1) / step;
        rooms[1] = (sy - 1) / step;
        extent[0] = rooms[0] * step + 1;
        extent[1] = rooms[1] * step + 1;
        wall.assign(size_t(extent[0]) * size_t(extent[1]), 0);
        for (int y = 0; y < extent[1]; ++y)
            for (int x = 0; x < extent[0]; ++x) wall[x + extent[0] * y] = x % step == 0 || y % step == 0;
    }
    // Clears the wall between room r and its neighbour on side `dir`
    // (0 +x, 1 -x, 2 +y, 3 -y); the wall's end posts stay.
    void OpenDoor(int rx, int ry, int dir) {
        const bool alongX = dir < 2;
        const int line = alongX ? (rx + (dir == 0)) * step : (ry + (dir == 2)) * step;
        const int first = (alongX ? ry : rx) * step + 1;
        for (int k = first; k < first + step - 1; ++k) wall[alongX ? line + extent[0] * k : k + extent[0] * line] = 0;
    }
    // Randomised depth-first walk over the rooms: a spanning tree.
    void Carve(uint32_t seed) {
        static const int kDx[4] = {1, -1, 0, 0}, kDy[4] = {0, 0, 1, -1};
        XorShift rng{seed ? seed : 0x9E3779B9u};
        std::vector<uint8_t> visited(size_t(rooms[0]) * size_t(rooms[1]), 0);
        std::vector<int> stack{0};
        visited[0] = 1;
        while (!stack.empty()) {
            const int room = stack.back(), rx = room % rooms[0], ry = room / rooms[0];
            int choices[4], n = 0;
            for (int d = 0; d < 4; ++d) {
                const int nx = rx + kDx[d], ny = ry + kDy[d];
                if (nx >= 0 && ny >= 0 && nx < rooms[0] && ny < rooms[1] && !visited[nx + rooms[0] * ny]) choices[n++] = d;
            }
            if (n == 0) {
                stack.pop_back();
                continue;
            }
            const int d = choices[rng.Next() % uint32_t(n)];
            OpenDoor(rx, ry, d);
            const int next = (rx + kDx[d]) + rooms[0] * (ry + kDy[d]);
            visited[next] = 1;
            stack.push_back(next);
        }
    }
};

}  // namespace

bool TK_CMD_Maze::Parse(const char* args) {
    m_color = m_env->currentColorIndex;
    OMB_Lexer lex(args, 0);
    lex.SkipToToken();
    if (lex.AtEnd()) return true;
    int32_t n = 0;
    if (!lex.ReadInt(n)) return false;
    m_step = n;
    return TK_ArgsAtEnd(lex);
}

bool TK_CMD_Maze::Execute() {
    m_color = std::clamp(m_color, 1, 255);
    // A corridor width of N gives a room pitch of N + 1; widths beyond the
    // box are cut to it so the sum cannot overflow.
    const int step = std::max(std::clamp(m_step, 0, kMaxModelSize) + 1, 2);
    const int* size = m_env->model.size;
    const int rooms = ((size[0] - 1) / step) * ((size[1] - 1) / step);
    if (rooms < 2) return false;
    Save(m_before);
    Generate(step, unsigned(std::rand()));
    Save(m_after);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    return true;
}

// The plan is centred in x and y; leftover cells at the sides stay empty.
void TK_CMD_Maze::Generate(int step, unsigned seed) {
    TK_Model& model = m_env->model;
    MazePlan plan;
    plan.Init(model.size[0], model.size[1], step);
    plan.Carve(seed);
    const int ox = (model.size[0] - plan.extent[0]) / 2, oy = (model.size[1] - plan.extent[1]) / 2;
    int walls = 0;
    for (uint8_t w : plan.wall) walls += w;
    model.voxels.Clear();
    model.voxels.Reserve(walls * model.size[2]);
    for (int z = 0; z < model.size[2]; ++z)
        for (int y = 0; y < plan.extent[1]; ++y)
            for (int x = 0; x < plan.extent[0]; ++x)
                if (plan.wall[x + plan.extent[0] * y])
                    model.voxels.Add(Voxel{uint8_t(x + ox), uint8_t(y + oy), uint8_t(z), uint8_t(m_color)});
}

void TK_CMD_Maze::Save(Snapshot& s) const {
    const TK_Model& model = m_env->model;
    std::copy(model.size, model.size + 3, s.size);
    s.voxels.Assign(model.voxels.Data(), model.voxels.Count());
    s.palette = model.palette;
}

void TK_CMD_Maze::Restore(const Snapshot& s) {
    TK_Model& model = m_env->model;
    std::copy(s.size, s.size + 3, model.size);
    model.voxels.Assign(s.voxels.Data(), s.voxels.Count());
    const bool paletteChanged = model.palette != s.palette;
    model.palette = s.palette;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_SIZE | TK_CHANGE_VOXELS);
    if (paletteChanged) m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
}
