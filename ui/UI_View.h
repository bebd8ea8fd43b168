// UI_View: an element of the view tree, and the class descriptors that the
// lookups and the view-type registry rely on. A view owns its children (in
// order), knows its parent and the window it hangs under, has a name (id,
// compared without regard to ASCII case), a hint, an inclusive rectangle and
// a minimum size. A hidden view is not drawn, not hit, measures (0, 0) and
// passes all input on unhandled.
//
// Drawing helpers (FillRect, DrawText, DrawString) add to the window's two
// batches and are only valid during a Draw broadcast. Views never lay
// themselves out: after a structural or size change the window's
// RefreshLayout runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/OMB_Rect.h"
#include "ui/UI_Canvas.h"
#include "ui/UI_Responder.h"

struct OMB_LmpNode;
class UI_Window;

// {class name, base descriptor}. A view is of class K when the chain from its
// own descriptor reaches K.
struct UI_ClassInfo {
    const char* name;
    const UI_ClassInfo* base;
    bool IsA(const UI_ClassInfo* other) const {
        for (const UI_ClassInfo* c = this; c; c = c->base)
            if (c == other) return true;
        return false;
    }
};

// Declares a view class's descriptor and GetClass; define the descriptor with
// UI_DEFINE_CLASS(Class, Base) in the class's source file.
#define UI_DECLARE_CLASS()          \
    static const UI_ClassInfo kClass; \
    const UI_ClassInfo* GetClass() const override { return &kClass; }
#define UI_DEFINE_CLASS(cls, baseCls) const UI_ClassInfo cls::kClass = {#cls, &baseCls::kClass};

// ASCII case-insensitive equality; null equals nothing.
bool UI_SameText(const char* a, const char* b);

class UI_View : public UI_Responder {
public:
    static const UI_ClassInfo kClass;

    UI_View() = default;
    ~UI_View() override;

    // Ignores a draw entirely while hidden (children included); otherwise the
    // view's own hook first, then every child in order.
    void HandleBroadcast(const UI_Event& event) override;
    // A hidden view passes the event on at once.
    bool HandleInput(const UI_Event& event) override;

    virtual const UI_ClassInfo* GetClass() const { return &kClass; }
    bool IsA(const UI_ClassInfo* cls) const { return GetClass()->IsA(cls); }
    // Appends itself if of the class, then recurses into the children.
    virtual void CollectViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out);
    // Itself when of the class and named `name` (any case), else the first
    // match among the children, depth first; null when none.
    virtual UI_View* FindView(const char* name, const UI_ClassInfo* cls);
    virtual void CollectChildViews(const UI_ClassInfo* cls, std::vector<UI_View*>& out);
    virtual UI_View* FindChildView(const char* name, const UI_ClassInfo* cls);
    // rect = empty, recursively.
    virtual void ResetRect();
    virtual void SetRect(const OMB_Rect& rect) { m_rect = rect; }
    virtual void Measure() {}
    virtual OMB_Size GetMinSize() const { return m_hidden ? OMB_Size{} : m_minSize; }
    // Null when hidden or outside rect (edges included); else the deepest
    // child hit, first child first; else itself.
    virtual UI_View* HitTest(int x, int y);
    virtual void SetHidden(bool hidden) { m_hidden = hidden; }
    // Sets the window here and below; nextResponder becomes the window when
    // it was still null.
    virtual void SetWindow(UI_Window* window);
    // Appends and adopts the child (parent, nextResponder, window); false for
    // a null child. `node` is the child's description node (may be null).
    virtual bool AddChild(std::unique_ptr<UI_View> child, const OMB_LmpNode* node);
    // Makes a T, adds it and returns it (owned by this view).
    template <typename T, typename... Args>
    T* AddNew(const OMB_LmpNode* node, Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T* view = child.get();
        return AddChild(std::move(child), node) ? view : nullptr;
    }
    // The common attributes: "id", "hint", "hidden", "minSize", "action". A
    // null node changes nothing. False when a value is unusable.
    virtual bool ParseAttributes(const OMB_LmpNode* node);
    // One attribute, as if read from a description; false when unusable.
    bool SetAttribute(const char* key, const std::string& value);
    // The line a press runs, as the program's action named by "action" gives
    // it: a button's onClick, a switch's onClick shorthand (the line + " 1" /
    // + " 0"), an option's onSelect. Views without a press ignore it.
    virtual void SetPressLine(const std::string& line) {}
    virtual bool FocusIn() { return true; }
    virtual bool FocusOut() { return true; }
    virtual bool AcceptsFocus() const { return false; }
    virtual bool LoseFocusOnOtherClick() const { return true; }
    // Hands a command line up to the parent, and from the root to the
    // window (its OnViewCommand); ignored without a window or for empty
    // text. A composite view overrides it to answer its parts' lines.
    virtual void RunCommand(const std::string& text);

    // ---- Drawing into the window's batches (during Draw only).
    void FillRect(OMB_Color color, const OMB_Rect& rect);
    void DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH, int align);
    void DrawString(const char* text, int count, float x, float y, float charW, float charH, int align);

    // Asks the window for a frame (state that shows changed).
    void Invalidate();
    // The pointer rests on this view and no other view holds the capture.
    // The window keeps the one hover state; views only read it.
    bool IsHovered() const;

    // ---- Fields.
    UI_Window* Window() const { return m_window; }
    UI_View* Parent() const { return m_parent; }
    int ChildCount() const { return int(m_children.size()); }
    UI_View* Child(int i) const { return m_children[size_t(i)].get(); }
    const std::string& Id() const { return m_id; }
    void SetId(const std::string& id) { m_id = id; }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    // The input method's composition while the view has the keyboard (see
    // UI_Window::InputComposition); views that take text show it.
    virtual void Compose(const std::string& text) {}
    // The whole text the view shows cut (with an ellipsis) at the pointer
    // position (x, y); empty when nothing there is cut. The hint line shows
    // it before any hint.
    virtual std::string CutTextAt(int x, int y) const { return std::string(); }
    // The id of the program's action the view stands for; empty for none.
    const std::string& Action() const { return m_action; }
    const OMB_Rect& Rect() const { return m_rect; }
    // The view's rectangle in device pixels (its window's scale); the
    // rectangle itself without a window.
    OMB_Rect DeviceRect() const;
    OMB_Size MinSize() const { return m_minSize; }
    void SetMinSize(int width, int height) { m_minSize = {width, height}; }
    bool IsHidden() const { return m_hidden; }

protected:
    UI_Window* m_window = nullptr;
    UI_View* m_parent = nullptr;
    std::vector<std::unique_ptr<UI_View>> m_children;
    std::string m_id;
    std::string m_hint;
    std::string m_action;
    OMB_Rect m_rect;
    OMB_Size m_minSize;
    bool m_hidden = false;
};

// The view as a T when it is of T's class (or a subclass), else null.
template <typename T>
T* UI_Cast(UI_View* view) {
    return view && view->IsA(&T::kClass) ? static_cast<T*>(view) : nullptr;
}
