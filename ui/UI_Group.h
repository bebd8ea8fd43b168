// UI_Group: a view whose children share its whole area (each child gets the
// group's rectangle) and whose minimum size covers every child's. Base of the
// option groups and the colour views.
#pragma once

#include "ui/UI_View.h"

class UI_Group : public UI_View {
public:
    UI_DECLARE_CLASS()
    // An unchanged rectangle does nothing; else every child gets it too.
    void SetRect(const OMB_Rect& rect) override;
    // Measures every child; measured = the largest child minimum.
    void Measure() override;
    // The larger of minSize and measured; (0, 0) when hidden.
    OMB_Size GetMinSize() const override;

protected:
    OMB_Size m_measured;
};
