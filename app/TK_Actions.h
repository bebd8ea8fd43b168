// TK_Actions: the editor's actions, one row each: the id a widget of
// config/editor.ui names with action='ID', the command line a press runs,
// the keys that run it and the state its widgets show. The editor window
// builds its hotkey tables from these rows, and when it builds its views it
// looks each named row up once: the widget takes the row's line as its press
// (UI_View::SetPressLine), shows the row's keys in its hint, and its state
// joins the bound widgets (app/TK_WidgetBindings).
//
// A new button with a hotkey is one row here and its place in editor.ui.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TK_EditorEnv;

// Where a key works: always, or only while the scene is in edit or render mode.
enum class TK_KeyScope { Always, Edit, Render };

struct TK_ActionKey {
    int key;
    int mods;
    TK_KeyScope scope = TK_KeyScope::Always;
    bool repeat = false;  // fires again while held
};

struct TK_Action {
    const char* id = "";
    // A press runs it. A toggling action's line is its stem: a switch runs the
    // stem + " 1" / " 0", a key the stem + " 2" (the settings commands toggle
    // with the value 2).
    std::string line;
    bool toggles = false;
    std::vector<TK_ActionKey> keys;
    // The state its widgets show (a switch selected, a button enabled) and
    // the change notification that refreshes it; no getter: none.
    int kind = 0;
    int flags = 0;
    std::function<bool(const TK_EditorEnv&)> state;

    // The line a key runs.
    std::string KeyLine() const { return toggles ? line + " 2" : line; }
    // What a widget without a hint of its own says about it.
    std::string DefaultHint() const { return toggles ? line + " 1 / 0" : line; }
};

// The rows: the fixed ones, then one per shape brush (named by its word).
const std::vector<TK_Action>& TK_Actions();

// The row with that id; null when none.
const TK_Action* TK_FindAction(const std::string& id);

// Its keys as a hint shows them: "Ctrl+Y / Ctrl+Shift+Z"; empty for none.
std::string TK_ActionKeyNames(const TK_Action& action);
