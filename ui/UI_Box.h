// UI_Box, UI_VBox, UI_HBox: views that stack their children along one axis.
// Each child added to a box carries a layout item read from its description
// node: "flex" (weight of the free space), "size" (fixed size along the
// axis), "prev" and "next" (space before and after); missing or negative
// values are 0. A vertical box stacks from the top down, a horizontal box
// from the left; children get the full cross size (never less than the
// widest child minimum). Fixed children keep their size, flexible ones share
// the free space but never shrink below their measured size, so an
// over-full box runs past its far edge instead of squeezing anything. All
// layout arithmetic is single-precision, floored to pixels. Hidden children
// take no space, spacing included.
//
// A vertical box with "scroll" set asks for no height of its own (only its
// "minSize"): when its children need more than it has, they keep their
// measured sizes, the wheel scrolls them, and what lies outside the box is
// not drawn (a row cut by the edge shows its part inside, without its text).
#pragma once

#include <vector>

#include "ui/UI_View.h"

struct UI_LayoutItem {
    int flex = 0;
    int size = 0;
    int current = 0;  // the size used by the last measurement
    int prev = 0;
    int next = 0;
    UI_View* view = nullptr;
};

class UI_Box : public UI_View {
public:
    UI_DECLARE_CLASS()
    OMB_Size GetMinSize() const override;
    // Appends the child with the layout item read from `node`.
    bool AddChild(std::unique_ptr<UI_View> child, const OMB_LmpNode* node) override;
    // The view under the point among the items (see the subclasses).
    virtual UI_View* ItemAt(int x, int y) { return nullptr; }

    const std::vector<UI_LayoutItem>& Items() const { return m_items; }

protected:
    // Measures every child (hidden ones included); false when the box itself
    // is hidden and nothing should happen.
    bool MeasureChildren();
    // Free space along the axis of `extent` pixels, and the sum of weights.
    void FreeSpace(float extent, float& unit) const;
    // The item's size along the axis with `unit` pixels per weight.
    static float ItemSize(const UI_LayoutItem& item, float unit);
    // Takes the rectangle and lays the visible children along the axis
    // (vertical: from the top down; otherwise from the left), each across
    // the box's whole breadth.
    // `shift` moves a vertical stack up by that many pixels (scrolling).
    void PlaceChildren(const OMB_Rect& rect, bool vertical, int shift = 0);

    std::vector<UI_LayoutItem> m_items;
    OMB_Size m_measured;
};

class UI_VBox : public UI_Box {
public:
    UI_DECLARE_CLASS()
    static constexpr int kScrollPerNotch = 40;  // pixels

    void SetRect(const OMB_Rect& rect) override;
    void Measure() override;
    OMB_Size GetMinSize() const override;
    UI_View* ItemAt(int x, int y) override;
    bool ParseAttributes(const OMB_LmpNode* node) override;
    bool Wheel(const UI_MouseState& m) override;
    void HandleBroadcast(const UI_Event& event) override;

    // Pixels scrolled past the top; 0 unless "scroll" is set and the
    // children need more height than the box has.
    int Scroll() const { return m_scroll; }

private:
    int Overflow() const;

    bool m_scrolls = false;
    int m_scroll = 0;
};

class UI_HBox : public UI_Box {
public:
    UI_DECLARE_CLASS()
    void SetRect(const OMB_Rect& rect) override;
    void Measure() override;
    UI_View* ItemAt(int x, int y) override;
};
