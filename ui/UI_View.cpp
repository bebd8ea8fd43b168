// The view tree element (see UI_View.h).
#include "ui/UI_View.h"

#include <algorithm>

#include "core/OMB_LmpParser.h"
#include "ui/UI_Attributes.h"
#include "ui/UI_Window.h"

const UI_ClassInfo UI_View::kClass = {"UI_View", nullptr};

bool UI_SameText(const char* a, const char* b) {
    if (!a || !b) return false;
    for (;; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca = char(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = char(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (!ca) return true;
    }
}

UI_View::~UI_View() = default;

// ---------------------------------------------------------------- events

void UI_View::HandleBroadcast(const UI_Event& event) {
    if (m_hidden && event.type == UI_EVENT_DRAW) return;
    UI_Responder::HandleBroadcast(event);
    // Index loop: a handler may add children (never remove them).
    for (size_t i = 0; i < m_children.size(); ++i) m_children[i]->HandleBroadcast(event);
}

bool UI_View::HandleInput(const UI_Event& event) {
    if (m_hidden) return PassOn(event);
    return UI_Responder::HandleInput(event);
}

// ---------------------------------------------------------------- lookups

void UI_View::CollectViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out) {
    if (IsA(cls)) out.push_back(this);
    CollectChildViews(cls, out);
}

UI_View* UI_View::FindView(const char* name, const UI_ClassInfo* cls) {
    if (IsA(cls) && UI_SameText(m_id.c_str(), name)) return this;
    return FindChildView(name, cls);
}

void UI_View::CollectChildViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out) {
    for (auto& child : m_children) child->CollectViews(cls, out);
}

UI_View* UI_View::FindChildView(const char* name, const UI_ClassInfo* cls) {
    for (auto& child : m_children)
        if (UI_View* found = child->FindView(name, cls)) return found;
    return nullptr;
}

// ---------------------------------------------------------------- geometry

void UI_View::ResetRect() {
    m_rect = OMB_Rect();
    for (auto& child : m_children) child->ResetRect();
}

UI_View* UI_View::HitTest(int x, int y) {
    if (m_hidden || !m_rect.Contains(x, y)) return nullptr;
    for (auto& child : m_children)
        if (UI_View* hit = child->HitTest(x, y)) return hit;
    return this;
}

// ---------------------------------------------------------------- tree

void UI_View::SetWindow(UI_Window* window) {
    m_window = window;
    if (!nextResponder) nextResponder = window;
    for (auto& child : m_children) child->SetWindow(window);
}

bool UI_View::AddChild(std::unique_ptr<UI_View> child, const OMB_LmpNode* node) {
    if (!child) return false;
    child->m_parent = this;
    child->nextResponder = this;
    child->SetWindow(m_window);
    m_children.push_back(std::move(child));
    return true;
}

bool UI_View::ParseAttributes(const OMB_LmpNode* node) {
    if (!node) return true;
    UI_ReadText(node, "id", m_id);
    UI_ReadText(node, "hint", m_hint);
    UI_ReadText(node, "action", m_action);
    bool hidden = m_hidden;
    if (UI_ReadBool(node, "hidden", hidden)) SetHidden(hidden);
    int size[2] = {m_minSize.width, m_minSize.height};
    if (UI_ReadInts(node, "minSize", size, 2)) m_minSize = {std::clamp(size[0], 0, kUI_MaxPixels), std::clamp(size[1], 0, kUI_MaxPixels)};
    return true;
}

bool UI_View::SetAttribute(const char* key, const std::string& value) {
    OMB_LmpNode node;
    node.AddAttribute(key, value);
    return ParseAttributes(&node);
}

void UI_View::RunCommand(const std::string& text) {
    if (text.empty()) return;
    // Up the parents first: a composite view (a dialog) answers the lines
    // of the widgets it is made of.
    if (m_parent)
        m_parent->RunCommand(text);
    else if (m_window)
        m_window->OnViewCommand(text.c_str());
}

bool UI_View::IsHovered() const {
    if (!m_window || m_window->HoverView() != this) return false;
    return !m_window->CaptureView() || m_window->CaptureView() == this;
}

void UI_View::Invalidate() {
    if (m_window) m_window->RequestRedraw();
}

// ---------------------------------------------------------------- drawing

void UI_View::FillRect(OMB_Color color, const OMB_Rect& rect) {
    if (m_window) m_window->Canvas().FillRect(color, rect);
}

OMB_Rect UI_View::DeviceRect() const { return m_window ? m_window->ToDevice(m_rect) : m_rect; }

void UI_View::DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH, int align) {
    if (m_window) m_window->Canvas().DrawText(text, color, rect, charW, charH, align);
}

void UI_View::DrawString(const char* text, int count, float x, float y, float charW, float charH, int align) {
    if (m_window) m_window->Canvas().DrawString(text, count, x, y, charW, charH, align);
}
