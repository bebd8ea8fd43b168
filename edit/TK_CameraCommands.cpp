// The camera slot command (see TK_CameraCommands.h).
#include "edit/TK_CameraCommands.h"

#include "core/OMB_Lexer.h"
#include "edit/TK_CommandArgs.h"
#include "model/TK_WindowLink.h"

std::string TK_CMD_CameraSlot::SlotPath(const std::string& configDir, int slot) {
    return configDir + "/camera" + std::to_string(slot) + ".txt";
}

bool TK_CMD_CameraSlot::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    return TK_TryReadInt(lex, m_value) && TK_ArgsAtEnd(lex);
}

bool TK_CMD_CameraSlot::Execute() {
    TK_Settings& s = m_env->settings;
    if (m_value >= 0) {
        s.cameraSlot = m_value;
        return true;
    }
    if (m_value == -3) {
        s.cameraFlag = !s.cameraFlag;
        return true;
    }
    TK_WindowLink* window = m_env->window;
    if (!window || (m_value != -1 && m_value != -2)) return false;
    const std::string path = SlotPath(m_env->workspace.configDir, s.cameraSlot);
    return m_value == -1 ? window->SaveSceneCamera(path) : window->LoadSceneCamera(path);
}
