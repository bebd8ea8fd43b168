// The camera slot command "cam": "cam N" (N >= 0) chooses the slot, "cam -1"
// saves the "scene" view's camera to cameraN.txt in the configuration
// folder, "cam -2" loads it back, "cam -3" toggles the flag kept beside
// the slot. The window does the file work (TK_WindowLink), so this layer
// never sees the view or its camera.
#pragma once

#include <string>

#include "edit/TK_CMD.h"

class TK_CMD_CameraSlot : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_CameraSlot, TK_CMD)
public:
    bool Parse(const char* args) override;  // exactly one integer
    // False for -1 and -2 without a window or a "scene" view, when the file
    // fails, and for other negative values.
    bool Execute() override;

    // The slot file of `slot` in the configuration folder.
    static std::string SlotPath(const std::string& configDir, int slot);

private:
    int m_value = 0;
};
