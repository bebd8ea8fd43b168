// The focus brush (see TK_FocusBrush.h).
#include "brush/TK_FocusBrush.h"

#include <memory>
#include <string>

#include "core/OS_Keys.h"
#include "edit/TK_PaletteCommands.h"
#include "model/TK_EditorEnv.h"

bool TK_FocusBrush::LeftDown(const UI_MouseState& m) {
    if (!Capture(m)) return false;
    float depth = 0;
    int color = 0;
    TK_EditorEnv& env = *Env();
    if (!m_host->TracerQuery(m.x, m.y, depth, color)) return true;
    if (env.settings.ptPickColor == 0 && m.modifiers != OS_MOD_ALT) {
        if (depth > 0) {
            env.settings.ptFocus = depth;
            if (env.renderer) env.renderer->SettingsChanged(TK_RENDER_RESTART);
            env.Broadcast(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
        }
    } else if (color >= 1 && color <= 255) {
        auto command = std::make_unique<TK_CMD_ColorIndex>();
        const std::string args = std::to_string(color);
        if (command->Parse(args.c_str())) env.RunCommand(std::move(command), this);
    }
    return true;
}

bool TK_FocusBrush::LeftUp(const UI_MouseState& m) {
    if (!m_captured) return false;
    Release();
    return true;
}
