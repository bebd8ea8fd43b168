// TK_WidgetBindings: which widget of the editor window shows which piece of
// the editor's state. One table, one row per bound widget: its id in
// config/editor.ui, the change notification that refreshes it (kind and
// flags, model/TK_Notify.h) and how it shows the value, through the typed
// setters of the widgets (ShowSelected, ShowText, ShowValue, ShowOption,
// SetEnabled, ShowColor), which never run the widget's own command line.
// TK_EditorWindow calls TK_ShowBoundWidgets from its change listener.
//
// Adding a bound widget touches editor.ui and one row here; the widgets of
// the "set" keys are a column of the setting table (model/TK_SettingTable.h)
// and join this table from there. The hints learn
// their shortcuts here too (TK_AddKeysToHints).
#pragma once

#include <functional>
#include <string>
#include <vector>

class OMB_HotkeyTable;
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

// Shows the state on every bound widget that a (kind, flags) message
// refreshes. A widget the description lacks prints
// "[Warning] cannot find view '%s'" and the others go on.
void TK_ShowBoundWidgets(UI_Window& window, const TK_EditorEnv& env, int kind, int flags);

// Appends "  [KEYS]" to the hint of every button, switch and option whose
// command a hotkey of the tables runs (a switch: the line that toggles it,
// its onClick followed by " 2"), so each shortcut is written only in its
// table. Several keys are joined by " / ".
void TK_AddKeysToHints(UI_Window& window, const std::vector<const OMB_HotkeyTable*>& tables);
