// The editor's action table (see TK_Actions.h).
#include "app/TK_Actions.h"

#include "brush/TK_BrushTable.h"
#include "core/OS_Keys.h"
#include "model/TK_EditorEnv.h"

namespace {

using Env = TK_EditorEnv;
using Scope = TK_KeyScope;

constexpr int C = OS_MOD_CTRL, CS = OS_MOD_CTRL | OS_MOD_SHIFT;
constexpr Scope kAlways = Scope::Always, kEdit = Scope::Edit, kRender = Scope::Render;

TK_ActionKey Held(int key, int mods) { return {key, mods, kAlways, true}; }

TK_Action Press(const char* id, std::string line, std::vector<TK_ActionKey> keys) {
    TK_Action action;
    action.id = id;
    action.line = std::move(line);
    action.keys = std::move(keys);
    return action;
}

// A toggling action whose widgets show `get`, refreshed by (kind, flags).
TK_Action Toggle(const char* id, const char* stem, std::vector<TK_ActionKey> keys, int kind, int flags,
                 std::function<bool(const Env&)> get) {
    return {id, stem, true, std::move(keys), kind, flags, std::move(get)};
}

// The display switches: the edit page's show the raster view's flags, the
// render page's (ids "r_pt_...") the path tracer's; the same keys reach
// whichever the scene shows.
TK_Action Shown(const char* id, const char* word, int flag, std::vector<TK_ActionKey> keys) {
    return Toggle(id, (std::string("set r_show ") + word).c_str(), std::move(keys), TK_NOTIFY_DISPLAY, flag,
                  [flag](const Env& e) { return (e.settings.rasterFlags & flag) != 0; });
}
TK_Action Traced(const char* id, const char* word, int flag, int key) {
    return Toggle(id, (std::string("set r_show ") + word).c_str(), {{OS_KeyOf(char(key)), C, kRender}},
                  TK_NOTIFY_RENDER, 0, [flag](const Env& e) { return (e.settings.ptFlags & flag) != 0; });
}

TK_Action Mirror(const char* id, const char* stem, int axis, int key) {
    return Toggle(id, stem, {{OS_KeyOf(char(key)), 0}}, TK_NOTIFY_EDITOR, TK_EDITOR_MIRROR,
                  [axis](const Env& e) { return e.settings.mirror[axis] != 0; });
}
TK_Action Loft(const char* id, const char* stem, int axis, int key) {
    return Toggle(id, stem, {{OS_KeyOf(char(key)), C}}, TK_NOTIFY_EDITOR, TK_EDITOR_LOFT,
                  [axis](const Env& e) { return e.settings.loft[axis] != 0; });
}

std::vector<TK_Action> MakeTable() {
    std::vector<TK_Action> rows = {
        // The history.
        {"undo", "undo", false, {Held(OS_KeyOf('Z'), C)}, TK_NOTIFY_HISTORY, 0,
         [](const Env& e) { return e.executor.UndoCount() > 0; }},
        {"redo", "redo", false, {Held(OS_KeyOf('Y'), C), Held(OS_KeyOf('Z'), CS)}, TK_NOTIFY_HISTORY, 0,
         [](const Env& e) { return e.executor.RedoCount() > 0; }},
        // Files.
        Press("new", "new", {{OS_KeyOf('N'), C}}),
        Press("dup", "dup", {{OS_KeyOf('N'), CS}}),
        Press("open", "open", {{OS_KeyOf('O'), C}}),
        Press("import", "i", {{OS_KeyOf('O'), CS}}),
        Press("save", "save", {{OS_KeyOf('S'), C}}),
        Press("save_as", "save as", {{OS_KeyOf('S'), CS}}),
        // Pictures and the camera slot: a function key and its digit.
        Press("snap_scene", "snap scene", {{OS_KeyF(6), 0}, {OS_KeyOf('6'), 0}}),
        Press("snap_window", "snap", {{OS_KeyF(6), C}, {OS_KeyOf('6'), C}}),
        Press("cam_save", "cam -1", {{OS_KeyF(5), 0}, {OS_KeyOf('5'), 0}}),
        Press("cam_load", "cam -2", {{OS_KeyF(7), 0}, {OS_KeyOf('7'), 0}}),
        Press("console", "ui_view console", {{OS_KEY_F1, 0}}),
        // Symmetry.
        Mirror("m_x", "mirror x", 0, '1'), Mirror("m_y", "mirror y", 1, '2'), Mirror("m_z", "mirror z", 2, '3'),
        Loft("l_x", "loft x", 0, '1'), Loft("l_y", "loft y", 1, '2'), Loft("l_z", "loft z", 2, '3'),
        // The brush mode and the box.
        Press("attach", "set b_type attach", {{OS_KeyOf('T'), 0, kEdit}}),
        Press("erase", "set b_type erase", {{OS_KeyOf('R'), 0, kEdit}}),
        Press("paint", "set b_type paint", {{OS_KeyOf('G'), 0, kEdit}}),
        Press("full", "full", {{OS_KeyOf('U'), 0, kEdit}}),
        Press("fill", "fill", {{OS_KeyOf('I'), 0, kEdit}}),
        Press("zero", "zero", {{OS_KEY_BACKSPACE, 0, kEdit}}),
        // The display.
        Shown("r_edge", "edge", TK_SHOW_EDGE, {{OS_KeyOf('E'), C, kEdit}}),
        Shown("r_grid", "grid", TK_SHOW_GRID, {{OS_KeyOf('G'), C, kEdit}}),
        Shown("r_grd", "ground", TK_SHOW_GROUND, {{OS_KeyOf('R'), C, kEdit}}),
        Shown("r_shadow", "shadow", TK_SHOW_SHADOW, {{OS_KeyOf('W'), C, kEdit}}),
        Shown("r_frame", "frame", TK_SHOW_FRAME, {{OS_KeyOf('F'), C, kEdit}}),
        Shown("r_bg", "bg", TK_SHOW_BG, {{OS_KeyOf('B'), C, kEdit}}),
        Shown("r_face", "face", TK_SHOW_FACE, {{OS_KeyOf('V'), CS, kEdit}}),
        Shown("r_mode", "mode", TK_SHOW_MODE, {{OS_KeyOf('M'), CS, kEdit}}),
        Shown("r_ambient", "ambient", TK_SHOW_AMBIENT, {{OS_KeyOf('Y'), CS, kEdit}}),
        Traced("r_pt_edge", "edge", TK_SHOW_EDGE, 'E'),
        Traced("r_pt_grid", "grid", TK_SHOW_GRID, 'G'),
        Traced("r_pt_grd", "ground", TK_SHOW_GROUND, 'R'),
        Traced("r_pt_shadow", "shadow", TK_SHOW_SHADOW, 'W'),
    };
    // The shape brushes, in the brush panel's order, from their descriptors.
    for (const TK_BrushDescriptor& shape : TK_ShapeBrushes())
        rows.push_back(Press(shape.Word(), shape.Command(), {{shape.key, 0, kEdit}}));
    return rows;
}

}  // namespace

const std::vector<TK_Action>& TK_Actions() {
    static const std::vector<TK_Action> table = MakeTable();
    return table;
}

const TK_Action* TK_FindAction(const std::string& id) {
    for (const TK_Action& action : TK_Actions())
        if (id == action.id) return &action;
    return nullptr;
}

std::string TK_ActionKeyNames(const TK_Action& action) {
    std::string names;
    for (const TK_ActionKey& key : action.keys) {
        const std::string name = OS_KeyName(key.key, key.mods);
        if (!name.empty()) names += (names.empty() ? "" : " / ") + name;
    }
    return names;
}
