// The editor window's binding table (see TK_WidgetBindings.h).
#include "app/TK_WidgetBindings.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/OMB_HotkeyTable.h"
#include "core/OMB_Log.h"
#include "core/OS_Keys.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_SettingTable.h"
#include "ui/UI_Button.h"
#include "ui/UI_ColorView.h"
#include "ui/UI_Label.h"
#include "ui/UI_List.h"
#include "ui/UI_Option.h"
#include "ui/UI_Slider.h"
#include "ui/UI_Switch.h"
#include "ui/UI_TextField.h"
#include "ui/UI_Window.h"

namespace {

using Env = TK_EditorEnv;
using Show = std::function<void(UI_View&, const Env&)>;

// ---------------------------------------------------------------- how to show

Show Selected(std::function<bool(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* s = UI_Cast<UI_Switch>(&view)) s->ShowSelected(get(env));
    };
}

Show Enabled(std::function<bool(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* b = UI_Cast<UI_Button>(&view)) b->SetEnabled(get(env));
    };
}

// Text fields and labels show text; a file list selects the file at a path.
Show Text(std::function<std::string(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* f = UI_Cast<UI_TextField>(&view)) f->ShowText(get(env));
        else if (auto* l = UI_Cast<UI_Label>(&view)) l->SetText(get(env));
        else if (auto* list = UI_Cast<UI_FileList>(&view)) list->SelectPath(get(env));
    };
}

// Sliders show 0..1; a stepped slider shows the nearest step.
Show Value(std::function<float(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* s = UI_Cast<UI_Slider>(&view)) s->ShowValue(get(env));
        else if (auto* b = UI_Cast<UI_BGSlider>(&view)) b->ShowValue(int(std::lround(get(env))));
    };
}

// The option whose id is the word.
Show Option(std::function<const char*(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* g = UI_Cast<UI_OptionGroup>(&view)) g->ShowOption(get(env));
    };
}

// Colour views show the colour; colour buttons fill with it; labels take it
// as their background.
Show Color(std::function<OMB_Color(const Env&)> get) {
    return [get](UI_View& view, const Env& env) {
        if (auto* c = UI_Cast<UI_RGBView>(&view)) c->ShowColor(get(env));
        else if (auto* h = UI_Cast<UI_HSVView>(&view)) h->ShowColor(get(env));
        else if (auto* b = UI_Cast<UI_ColorButton>(&view)) b->SetColor(get(env));
        else if (auto* l = UI_Cast<UI_Label>(&view)) l->SetBackground(get(env));
    };
}

// ---------------------------------------------------------------- values

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}
std::string Ints(int a) { return Format("%.0f", a); }

OMB_Color Rgb(const uint8_t* c) { return OMB_RGBA(c[0], c[1], c[2]); }
OMB_Color CurrentColor(const Env& e) {
    const uint32_t c = e.model.palette[e.currentColorIndex & 255];
    return OMB_RGBA(ColorR(c), ColorG(c), ColorB(c));
}
std::string CurrentRgb(const Env& e) {
    const OMB_Color c = CurrentColor(e);
    return Format("%.0f %.0f %.0f", OMB_Red(c), OMB_Green(c), OMB_Blue(c));
}
const TK_Material& Material(const Env& e) { return e.materials[e.currentColorIndex & 255]; }
bool Shown(const Env& e, int flag) { return (e.settings.rasterFlags & flag) != 0; }
bool Traced(const Env& e, int flag) { return (e.settings.ptFlags & flag) != 0; }

// The options of "mtl_menu", in TK_MaterialType order.
const char* MaterialOption(const Env& e) {
    static const char* const kOptions[kMaterialTypeCount] = {"menu_diffuse", "menu_metal", "menu_glass", "menu_emit"};
    const int type = Material(e).type;
    return type >= 0 && type < kMaterialTypeCount ? kOptions[type] : "";
}

constexpr int kEditor = TK_NOTIFY_EDITOR, kModel = TK_NOTIFY_MODEL, kHistory = TK_NOTIFY_HISTORY,
              kDisplay = TK_NOTIFY_DISPLAY, kRender = TK_NOTIFY_RENDER;

// ---------------------------------------------------------------- settings

double SettingValue(const TK_Setting& row, const Env& e) {
    return row.intField ? e.settings.*row.intField : e.settings.*row.floatField;
}

Show ShowSetting(const TK_Setting* row) {
    const auto value = [row](const Env& e) { return SettingValue(*row, e); };
    switch (row->show) {
        case TK_SettingShow::Slider: return Value([value](const Env& e) { return float(value(e)); });
        case TK_SettingShow::Whole: return Text([value](const Env& e) { return Ints(int(value(e))); });
        case TK_SettingShow::Tenths: return Text([value](const Env& e) { return Format("%.1f", value(e)); });
        case TK_SettingShow::Color: return Color([row](const Env& e) { return Rgb(e.settings.*row->colorField); });
        case TK_SettingShow::Switch: return Selected([value](const Env& e) { return value(e) != 0; });
        case TK_SettingShow::Option:
            return Option([row, value](const Env& e) {
                const int v = int(value(e));
                return v >= row->lo && v <= row->hi ? row->words[v] : "";
            });
        case TK_SettingShow::None: break;
    }
    return nullptr;
}

// A widget refreshes with its key's message; keys that tell nobody refresh
// with the path tracer's other messages.
void AddSettingRows(std::vector<TK_WidgetBinding>& rows) {
    for (const TK_Setting& row : TK_SettingTable()) {
        if (row.show == TK_SettingShow::None) continue;
        const TK_SettingNotice n = row.notice.kind >= 0 ? row.notice : TK_SettingNotice{TK_NOTIFY_RENDER, 0};
        rows.push_back({row.widget, n.kind, n.value, ShowSetting(&row)});
    }
}

std::vector<TK_WidgetBinding> MakeTable() {
    std::vector<TK_WidgetBinding> rows = {
        // The current colour.
        {"rgb", kEditor, TK_EDITOR_COLOR, Text(CurrentRgb)},
        {"v_rgb", kEditor, TK_EDITOR_COLOR, Color(CurrentColor)},
        {"v_hsv", kEditor, TK_EDITOR_COLOR, Color(CurrentColor)},
        {"v_cb", kEditor, TK_EDITOR_COLOR, Color(CurrentColor)},
        {"mtl_menu", kMaterialPanel, 0, Option(MaterialOption)},
        // Brush, symmetry and loft.
        {"m_x", kEditor, TK_EDITOR_MIRROR, Selected([](const Env& e) { return e.settings.mirror[0] != 0; })},
        {"m_y", kEditor, TK_EDITOR_MIRROR, Selected([](const Env& e) { return e.settings.mirror[1] != 0; })},
        {"m_z", kEditor, TK_EDITOR_MIRROR, Selected([](const Env& e) { return e.settings.mirror[2] != 0; })},
        {"l_x", kEditor, TK_EDITOR_LOFT, Selected([](const Env& e) { return e.settings.loft[0] != 0; })},
        {"l_y", kEditor, TK_EDITOR_LOFT, Selected([](const Env& e) { return e.settings.loft[1] != 0; })},
        {"l_z", kEditor, TK_EDITOR_LOFT, Selected([](const Env& e) { return e.settings.loft[2] != 0; })},
        // The model.
        {"size", kModel, TK_CHANGE_SIZE, Text([](const Env& e) {
             return Format("%.0f %.0f %.0f", e.model.size[0], e.model.size[1], e.model.size[2]);
         })},
        // The name follows every change of the model or its palette: the mark.
        {"name", kModel, 0, Text(&TK_ModelTitle)},
        {"name", TK_NOTIFY_PALETTE, 0, Text(&TK_ModelTitle)},
        {"file", kModel, TK_CHANGE_NAME, Text([](const Env& e) { return e.model.path; })},
        // The history.
        {"undo", kHistory, 0, Enabled([](const Env& e) { return e.executor.UndoCount() > 0; })},
        {"redo", kHistory, 0, Enabled([](const Env& e) { return e.executor.RedoCount() > 0; })},
        // The raster display flags, each on its own bit.
        {"r_edge", kDisplay, TK_SHOW_EDGE, Selected([](const Env& e) { return Shown(e, TK_SHOW_EDGE); })},
        {"r_grid", kDisplay, TK_SHOW_GRID, Selected([](const Env& e) { return Shown(e, TK_SHOW_GRID); })},
        {"r_frame", kDisplay, TK_SHOW_FRAME, Selected([](const Env& e) { return Shown(e, TK_SHOW_FRAME); })},
        {"r_face", kDisplay, TK_SHOW_FACE, Selected([](const Env& e) { return Shown(e, TK_SHOW_FACE); })},
        {"r_grd", kDisplay, TK_SHOW_GROUND, Selected([](const Env& e) { return Shown(e, TK_SHOW_GROUND); })},
        {"r_bg", kDisplay, TK_SHOW_BG, Selected([](const Env& e) { return Shown(e, TK_SHOW_BG); })},
        {"r_shadow", kDisplay, TK_SHOW_SHADOW, Selected([](const Env& e) { return Shown(e, TK_SHOW_SHADOW); })},
        // The path tracer.
        {"pt_image", kRender, 0,
         Text([](const Env& e) { return Format("%.0f %.0f", e.settings.ptImage[0], e.settings.ptImage[1]); })},
        {"r_pt_edge", kRender, 0, Selected([](const Env& e) { return Traced(e, TK_SHOW_EDGE); })},
        {"r_pt_grid", kRender, 0, Selected([](const Env& e) { return Traced(e, TK_SHOW_GRID); })},
        {"r_pt_grd", kRender, 0, Selected([](const Env& e) { return Traced(e, TK_SHOW_GROUND); })},
        {"r_pt_shadow", kRender, 0, Selected([](const Env& e) { return Traced(e, TK_SHOW_SHADOW); })},
        {"pt_mod", kRender, 0, Option([](const Env& e) { return e.settings.ptMaterialScope ? "mod_one" : "mod_all"; })},
        // The current colour's material.
        {"pt_emit", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).type == TK_MATERIAL_EMIT ? 1.0f : 0.0f; })},
        {"pt_flux", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).flux; })},
        {"pt_glow", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).glow; })},
        {"pt_metal", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).type == TK_MATERIAL_METAL ? 1.0f : 0.0f; })},
        {"pt_rough_m", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).roughness; })},
        {"pt_spec_m", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).specular; })},
        {"pt_glass", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).type == TK_MATERIAL_GLASS ? 1.0f : 0.0f; })},
        {"pt_rough_g", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).roughness; })},
        {"pt_ior", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).ior; })},
        {"pt_att", kMaterialPanel, 0, Value([](const Env& e) { return Material(e).attenuation; })},
        {"pt_plastic", kMaterialPanel, 0, Selected([](const Env& e) { return Material(e).plastic > 0.5f; })},
        {"pt_total", kMaterialPanel, 0, Selected([](const Env& e) { return Material(e).total > 0.5f; })},
    };
    AddSettingRows(rows);
    return rows;
}

void ShowRows(UI_Window& window, const Env& env, int kind, int flags) {
    for (const TK_WidgetBinding& row : TK_WidgetBindings()) {
        if (row.kind != kind || (row.flags != 0 && !(row.flags & flags))) continue;
        UI_View* view = window.FindView(row.id, &UI_View::kClass);
        if (!view) {
            OMB_Printf("[Warning] cannot find view '%s'\n", row.id);
            continue;
        }
        row.show(*view, env);
    }
}

}  // namespace

std::string TK_ModelTitle(const TK_EditorEnv& env) {
    const std::string& name = env.model.name;
    return (name.empty() ? std::string("untitled") : name) + (env.unsaved ? " *" : "");
}

const std::vector<TK_WidgetBinding>& TK_WidgetBindings() {
    static const std::vector<TK_WidgetBinding> table = MakeTable();
    return table;
}

void TK_ShowBoundWidgets(UI_Window& window, const TK_EditorEnv& env, int kind, int flags) {
    ShowRows(window, env, kind, flags);
    const bool material = (kind == TK_NOTIFY_EDITOR && (flags & TK_EDITOR_COLOR)) || kind == TK_NOTIFY_RENDER;
    if (material) ShowRows(window, env, kMaterialPanel, 0);
    window.RequestRedraw();
}

// ---------------------------------------------------------------- hints

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t = tail;
    return s.size() > t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// The command a press on the view runs; empty for views without one.
// Options are named by their group.
std::string PressCommand(UI_View& view) {
    if (auto* button = UI_Cast<UI_Button>(&view)) return button->OnClick();
    auto* s = UI_Cast<UI_Switch>(&view);
    if (!s || !EndsWith(s->OnSelect(), " 1")) return std::string();
    // The settings commands toggle with the value 2.
    const std::string stem = s->OnSelect().substr(0, s->OnSelect().size() - 2);
    return s->OnDeselect() == stem + " 0" ? stem + " 2" : std::string();
}

void AddKeys(UI_View& view, const std::string& command, const std::vector<const OMB_HotkeyTable*>& tables) {
    if (command.empty() || view.Hint().empty()) return;
    std::vector<std::string> names;
    for (const OMB_HotkeyTable* table : tables)
        for (const OMB_Hotkey& key : table->Entries()) {
            const std::string name = OS_KeyName(key.key, key.mods);
            if (key.text != command || name.empty()) continue;
            bool known = false;
            for (const std::string& n : names) known = known || n == name;
            if (!known) names.push_back(name);
        }
    if (names.empty()) return;
    std::string keys;
    for (const std::string& name : names) keys += (keys.empty() ? "" : " / ") + name;
    view.SetHint(view.Hint() + "  [" + keys + "]");
}

}  // namespace

void TK_AddKeysToHints(UI_Window& window, const std::vector<const OMB_HotkeyTable*>& tables) {
    std::vector<UI_View*> views;
    window.CollectViews(&UI_View::kClass, views);
    for (UI_View* view : views) {
        AddKeys(*view, PressCommand(*view), tables);
        if (auto* group = UI_Cast<UI_OptionGroup>(view))
            for (UI_Option* option : group->Options())
                if (!group->OnClick().empty()) AddKeys(*option, group->OnClick() + " " + option->Id(), tables);
    }
}
