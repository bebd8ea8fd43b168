// One-axis layout (see UI_Box.h).
#include "ui/UI_Box.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ui/UI_Attributes.h"
#include "ui/UI_Canvas.h"
#include "ui/UI_Event.h"
#include "ui/UI_Window.h"

UI_DEFINE_CLASS(UI_Box, UI_View)
UI_DEFINE_CLASS(UI_VBox, UI_Box)
UI_DEFINE_CLASS(UI_HBox, UI_Box)

// ---------------------------------------------------------------- box

namespace {
// A measured length grows by `add`, saturating far below integer overflow
// (a box of many huge children is absurd but must stay defined).
int AddPixels(int total, int add) { return int(std::min<int64_t>(int64_t(total) + add, int64_t(1) << 24)); }
}  // namespace

OMB_Size UI_Box::GetMinSize() const {
    if (m_hidden) return OMB_Size();
    return {std::max(m_minSize.width, m_measured.width), std::max(m_minSize.height, m_measured.height)};
}

bool UI_Box::AddChild(std::unique_ptr<UI_View> owned, const OMB_LmpNode* node) {
    UI_View* child = owned.get();
    if (!UI_View::AddChild(std::move(owned), node)) return false;
    UI_LayoutItem item;
    UI_ReadInt(node, "flex", item.flex);
    UI_ReadInt(node, "size", item.size);
    UI_ReadInt(node, "prev", item.prev);
    UI_ReadInt(node, "next", item.next);
    item.flex = std::clamp(item.flex, 0, kUI_MaxPixels);
    item.size = std::clamp(item.size, 0, kUI_MaxPixels);
    item.prev = std::clamp(item.prev, 0, kUI_MaxPixels);
    item.next = std::clamp(item.next, 0, kUI_MaxPixels);
    item.current = item.size;
    item.view = child;
    m_items.push_back(item);
    return true;
}

bool UI_Box::MeasureChildren() {
    if (m_hidden) return false;
    for (auto& child : m_children) child->Measure();
    m_measured = OMB_Size();
    return true;
}

void UI_Box::FreeSpace(float extent, float& unit) const {
    float free = extent, flexSum = 0;
    for (const UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden()) continue;
        if (item.flex < 1)
            free -= float(item.current);
        else
            flexSum += float(item.flex);
        free -= float(item.prev + item.next);
    }
    unit = free > 0 && flexSum >= 1 ? free / flexSum : 0.0f;
}

float UI_Box::ItemSize(const UI_LayoutItem& item, float unit) {
    const float s = float(item.current);
    const float share = float(item.flex) * unit;
    return item.flex > 0 && share > s ? share : s;
}

void UI_Box::PlaceChildren(const OMB_Rect& rect, bool vertical, int shift) {
    if (m_hidden) return;
    m_rect = rect;
    float unit = 0;
    FreeSpace(float(vertical ? rect.Height() : rect.Width()), unit);
    const OMB_Size min = GetMinSize();
    const float x0 = float(rect.x0), y1 = float(rect.y1);
    const float breadth = float(vertical ? std::max(rect.Width(), min.width) : std::max(rect.Height(), min.height));
    float cursor = vertical ? y1 + float(shift) : x0;
    for (const UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden()) continue;
        const float s = ItemSize(item, unit);
        if (vertical) {
            cursor -= float(item.prev);
            item.view->SetRect({int(std::floor(x0)), int(std::floor(cursor - s + 1)), int(std::floor(x0 + breadth - 1)),
                                int(std::floor(cursor))});
            cursor = cursor - s - float(item.next);
        } else {
            cursor += float(item.prev);
            item.view->SetRect({int(std::floor(cursor)), int(std::floor(y1 - breadth + 1)),
                                int(std::floor(cursor + s - 1)), int(std::floor(y1))});
            cursor = cursor + s + float(item.next);
        }
    }
}

// ---------------------------------------------------------------- vertical

void UI_VBox::Measure() {
    if (!MeasureChildren()) return;
    for (UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden()) continue;
        const OMB_Size min = item.view->GetMinSize();
        item.current = std::max(item.size, min.height);
        m_measured.height = AddPixels(m_measured.height, item.prev + item.next + item.current);
        m_measured.width = std::max(m_measured.width, min.width);
    }
}

void UI_VBox::SetRect(const OMB_Rect& rect) {
    if (rect == m_rect) return;
    m_rect = rect;
    m_scroll = std::clamp(m_scroll, 0, Overflow());
    PlaceChildren(rect, true, m_scroll);
}

OMB_Size UI_VBox::GetMinSize() const {
    OMB_Size min = UI_Box::GetMinSize();
    if (m_scrolls && !m_hidden) min.height = m_minSize.height;
    return min;
}

int UI_VBox::Overflow() const { return m_scrolls ? std::max(0, m_measured.height - m_rect.Height()) : 0; }

bool UI_VBox::ParseAttributes(const OMB_LmpNode* node) {
    if (!UI_Box::ParseAttributes(node)) return false;
    UI_ReadBool(node, "scroll", m_scrolls);
    return true;
}

bool UI_VBox::Wheel(const UI_MouseState& m) {
    const int overflow = Overflow();
    if (overflow == 0) return false;
    // Wheel up (positive) shows what lies above.
    const int step = int((m.wheel - m.prevWheel) / kWheelNotch * float(kScrollPerNotch));
    const int scroll = std::clamp(m_scroll - step, 0, overflow);
    if (scroll == m_scroll) return true;
    m_scroll = scroll;
    PlaceChildren(m_rect, true, m_scroll);
    Invalidate();
    return true;
}

void UI_VBox::HandleBroadcast(const UI_Event& event) {
    if (event.type != UI_EVENT_DRAW || Overflow() == 0 || !m_window) return UI_Box::HandleBroadcast(event);
    UI_Canvas& canvas = m_window->Canvas();
    const OMB_Rect outer = canvas.Clip(m_rect);
    UI_Box::HandleBroadcast(event);
    canvas.SetClip(outer);
}

UI_View* UI_VBox::ItemAt(int x, int y) {
    if (m_hidden || !m_rect.Contains(x, y)) return nullptr;
    for (const UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden() || item.view->Rect().y0 > y) continue;
        return y > item.view->Rect().y1 ? nullptr : item.view->HitTest(x, y);
    }
    return nullptr;
}

// ---------------------------------------------------------------- horizontal

void UI_HBox::Measure() {
    if (!MeasureChildren()) return;
    // The most demanding flexible child sets the pixels per weight, so the
    // minimum widths of flexible children keep their proportions.
    float ratio = 0;
    for (const UI_LayoutItem& item : m_items)
        if (!item.view->IsHidden() && item.flex > 0) ratio = std::max(ratio, float(item.size) / float(item.flex));
    for (UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden()) continue;
        const OMB_Size min = item.view->GetMinSize();
        int c = std::max(item.size, min.width);
        c = std::max(c, int(std::min(std::floor(float(item.flex) * ratio), float(kUI_MaxPixels))));
        item.current = c;
        m_measured.width = AddPixels(m_measured.width, item.prev + item.next + item.current);
        m_measured.height = std::max(m_measured.height, min.height);
    }
}

void UI_HBox::SetRect(const OMB_Rect& rect) {
    if (rect != m_rect) PlaceChildren(rect, false);
}

UI_View* UI_HBox::ItemAt(int x, int y) {
    if (m_hidden || !m_rect.Contains(x, y)) return nullptr;
    for (const UI_LayoutItem& item : m_items) {
        if (item.view->IsHidden() || item.view->Rect().x1 < x) continue;
        return x < item.view->Rect().x0 ? this : item.view->HitTest(x, y);
    }
    return this;
}
