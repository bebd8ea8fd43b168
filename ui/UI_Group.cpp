// Overlapping children in one area (see UI_Group.h).
#include "ui/UI_Group.h"

#include <algorithm>

UI_DEFINE_CLASS(UI_Group, UI_View)

void UI_Group::SetRect(const OMB_Rect& rect) {
    if (rect == m_rect) return;
    m_rect = rect;
    for (auto& child : m_children) child->SetRect(rect);
}

void UI_Group::Measure() {
    m_measured = OMB_Size();
    for (auto& child : m_children) {
        child->Measure();
        const OMB_Size s = child->GetMinSize();
        m_measured = {std::max(m_measured.width, s.width), std::max(m_measured.height, s.height)};
    }
}

OMB_Size UI_Group::GetMinSize() const {
    if (m_hidden) return OMB_Size();
    return {std::max(m_minSize.width, m_measured.width), std::max(m_minSize.height, m_measured.height)};
}
