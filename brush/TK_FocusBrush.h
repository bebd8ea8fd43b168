// TK_FocusBrush: a click on the path tracer's picture sets the depth-of-
// field focus distance to the depth under the pointer, or (with "pt_sel",
// or Alt held) makes the colour under the pointer the current colour.
#pragma once

#include "brush/TK_ModelBrush.h"

class TK_FocusBrush : public TK_ModelBrush {
public:
    bool LeftDown(const UI_MouseState& m) override;
    bool LeftUp(const UI_MouseState& m) override;
};
