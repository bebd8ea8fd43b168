// The editor window's binding table (see TK_WidgetBindings.h).
#include "app/TK_WidgetBindings.h"

#include "app/TK_Actions.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"
#include "model/TK_SettingTable.h"
#include "model/TK_VoxScene.h"
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

// A plain list shows rows and selects one (-1: none).
Show Rows(std::function<std::vector<std::string>(const Env&)> get, std::function<int(const Env&)> selected) {
    return [get, selected](UI_View& view, const Env& env) {
        auto* list = UI_Cast<UI_List>(&view);
        if (!list || UI_Cast<UI_FileList>(&view)) return;
        list->SetItems(get(env));
        list->SetSelected(selected(env));
    };
}

// The models of the open file ("model 2 of 3 (house)"); none for a file of one.
std::vector<std::string> FileModels(const Env& e) {
    std::vector<std::string> rows;
    const auto& kept = e.model.kept;
    if (kept && kept->modelCount > 1)
        for (int k = 0; k < kept->modelCount; ++k) rows.push_back(kept->Label(k));
    return rows;
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
        // The model.
        {"size", kModel, TK_CHANGE_SIZE, Text([](const Env& e) {
             return Format("%.0f %.0f %.0f", e.model.size[0], e.model.size[1], e.model.size[2]);
         })},
        // The name follows every change of the model or its palette: the mark.
        {"name", kModel, 0, Text(&TK_ModelTitle)},
        {"name", TK_NOTIFY_PALETTE, 0, Text(&TK_ModelTitle)},
        {"file", kModel, TK_CHANGE_NAME, Text([](const Env& e) { return e.model.path; })},
        {"file_models", kModel, TK_CHANGE_NAME, Rows(FileModels, [](const Env& e) {
             return e.model.kept && e.model.kept->modelCount > 1 ? e.model.kept->current : -1;
         })},
        // The path tracer.
        {"pt_image", kRender, 0,
         Text([](const Env& e) { return Format("%.0f %.0f", e.settings.ptImage[0], e.settings.ptImage[1]); })},
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

}  // namespace

std::string TK_ModelTitle(const TK_EditorEnv& env) {
    const std::string& name = env.model.name;
    return (name.empty() ? std::string("untitled") : name) + (env.unsaved ? " *" : "");
}

const std::vector<TK_WidgetBinding>& TK_WidgetBindings() {
    static const std::vector<TK_WidgetBinding> table = MakeTable();
    return table;
}

// ---------------------------------------------------------------- binding

void TK_BoundWidgets::Bind(UI_Window& window) {
    m_bound.clear();
    for (const TK_WidgetBinding& row : TK_WidgetBindings()) {
        if (UI_View* view = window.FindView(row.id, &UI_View::kClass)) m_bound.push_back({view, row.kind, row.flags, row.show});
        else OMB_Printf("[Warning] cannot find view '%s'\n", row.id);
    }
    std::vector<UI_View*> views;
    window.CollectViews(&UI_View::kClass, views);
    for (UI_View* view : views)
        if (!view->Action().empty()) BindAction(*view);
}

void TK_BoundWidgets::BindAction(UI_View& view) {
    const TK_Action* action = TK_FindAction(view.Action());
    if (!action) {
        OMB_Printf("[Warning] no action named '%s'\n", view.Action().c_str());
        return;
    }
    view.SetPressLine(action->line);
    const std::string hint = view.Hint().empty() ? action->DefaultHint() : view.Hint();
    const std::string keys = TK_ActionKeyNames(*action);
    view.SetHint(keys.empty() ? hint : hint + "  [" + keys + "]");
    if (!action->state) return;
    const auto get = action->state;
    if (UI_Cast<UI_Button>(&view)) m_bound.push_back({&view, action->kind, action->flags, Enabled(get)});
    else m_bound.push_back({&view, action->kind, action->flags, Selected(get)});
}

void TK_BoundWidgets::ShowKind(const TK_EditorEnv& env, int kind, int flags) const {
    for (const Bound& bound : m_bound)
        if (bound.kind == kind && (bound.flags == 0 || (bound.flags & flags))) bound.show(*bound.view, env);
}

void TK_BoundWidgets::Show(const TK_EditorEnv& env, int kind, int flags) const {
    ShowKind(env, kind, flags);
    const bool material = (kind == TK_NOTIFY_EDITOR && (flags & TK_EDITOR_COLOR)) || kind == TK_NOTIFY_RENDER;
    if (material) ShowKind(env, kMaterialPanel, 0);
}
