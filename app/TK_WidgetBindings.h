// TK_WidgetBindings: which widget of the editor window shows which piece of
// the editor's state. One table, one row per bound widget: its id in
// config/editor.ui, the change notification that refreshes it (kind and
// flags, model/TK_Notify.h) and how it shows the value, through the typed
// setters of the widgets (ShowSelected, ShowText, ShowValue, ShowOption,
// SetEnabled, ShowColor), which never run the widget's own command line.
// The window finds the views once, when it builds them (TK_BoundWidgets),
// and refreshes them from its change listener.
//
// Adding a bound widget touches editor.ui and one row here; the widgets of
// the "set" keys are a column of the setting table (model/TK_SettingTable.h)
// and the widgets of actions a column of the action table
// (app/TK_Actions.h), and join from there.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TK_EditorEnv;
class UI_View;
class UI_Window;

// Rows of this kind show the current colour's material; they follow both
// the current colour (TK_NOTIFY_EDITOR, TK_EDITOR_COLOR) and the path
// tracer's settings (TK_NOTIFY_RENDER).
constexpr int kMaterialPanel = -1;

struct TK_WidgetBinding {
    const char* id;
    int kind;   // a TK_NotifyKind, or kMaterialPanel
    int flags;  // the flags of that kind that refresh the widget; 0: every message
    // Shows the value on the view (nothing when the view is of another class).
    std::function<void(UI_View&, const TK_EditorEnv&)> show;
};

const std::vector<TK_WidgetBinding>& TK_WidgetBindings();

// The model's name ("untitled" without one) followed by " *" while it has
// unsaved changes: the name label and the window's caption.
std::string TK_ModelTitle(const TK_EditorEnv& env);

// The bound widgets of one window, looked up once when its views are built.
class TK_BoundWidgets {
public:
    // Finds the view of every row, and the views that name an action: such a
    // view takes the action's line as its press, the action's keys in its
    // hint (after its own hint, or the action's default one) and, when the
    // action has a state, joins the bound widgets. A row whose view the
    // description lacks prints "[Warning] cannot find view '%s'", a view
    // naming no action "[Warning] no action named '%s'"; the others go on.
    void Bind(UI_Window& window);
    // Shows the state on every bound widget that a (kind, flags) message
    // refreshes.
    void Show(const TK_EditorEnv& env, int kind, int flags) const;

private:
    struct Bound {
        UI_View* view;
        int kind, flags;
        std::function<void(UI_View&, const TK_EditorEnv&)> show;
    };
    void ShowKind(const TK_EditorEnv& env, int kind, int flags) const;
    void BindAction(UI_View& view);

    std::vector<Bound> m_bound;
};
