// The colour brushes (see TK_ColorBrush.h).
#include "brush/TK_ColorBrush.h"

#include <memory>

#include "edit/TK_PaletteCommands.h"
#include "model/TK_EditorEnv.h"

namespace {
// Runs a command built from text arguments under the brush's lock.
bool RunParsed(TK_EditorEnv& env, std::unique_ptr<OMB_Command> command, const char* args, const void* owner) {
    return command->Parse(args) && env.RunCommand(std::move(command), owner);
}
}  // namespace

bool TK_ColorBrush::LeftDown(const UI_MouseState& m) {
    if (!Capture(m)) return false;
    const TK_Pick pick = m_host->PickAt(m.x, m.y);
    TK_EditorEnv& env = *Env();
    if (pick.Hit() && !pick.IsGround()) {
        const int at = env.VoxelAt(pick.cell[0], pick.cell[1], pick.cell[2]);
        if (at >= 0) ApplyColor(env.model.voxels[at].colorIndex);
    }
    return true;
}

bool TK_ColorBrush::LeftUp(const UI_MouseState& m) {
    if (!m_captured) return false;
    Release();
    return true;
}

bool TK_PickColorBrush::ApplyColor(int index) {
    TK_EditorEnv* env = Env();
    if (!env) return false;
    const std::string args = std::to_string(index);
    return RunParsed(*env, std::make_unique<TK_CMD_ColorIndex>(), args.c_str(), this);
}

bool TK_ReplaceColorBrush::ApplyColor(int index) {
    TK_EditorEnv* env = Env();
    return env && env->RunCommand(std::make_unique<TK_CMD_ReplaceColor>(index, env->currentColorIndex), this);
}

bool TK_RemoveColorBrush::ApplyColor(int index) {
    TK_EditorEnv* env = Env();
    return env && env->RunCommand(std::make_unique<TK_CMD_RemoveColor>(index), this);
}
