// The settings commands (see TK_SettingsCommands.h).
//
//   helpers ........... reading values, the words of "pt_mtl"
//   set and add ....... parsing, the numeric keys, the keys with their own rules
//   mirror and loft
//   window commands ... ui_set, ui_scale, ui_view, snap
#include "edit/TK_SettingsCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/OMB_Arguments.h"
#include "core/OMB_Cause.h"
#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"
#include "core/OS_Stopwatch.h"
#include "edit/TK_CommandArgs.h"
#include "model/TK_Config.h"
#include "model/TK_SettingTable.h"
#include "model/TK_WindowLink.h"

// ---------------------------------------------------------------- helpers

namespace {

using Arg = TK_SettingArg;

int IndexOf(const char* const* words, const OMB_Token& token) {
    for (int i = 0; words[i]; ++i)
        if (token.Is(words[i])) return i;
    return -1;
}

// "pt_mtl" words: the kinds (0..3), then the record's numbers (4..11).
int MaterialWordIndex(const std::string& word) {
    for (int i = 0; i < kMaterialTypeCount; ++i)
        if (word == kMaterialTypeWords[i]) return i;
    for (int i = 0; i < kMaterialParamCount; ++i)
        if (word == kMaterialParams[i].word) return kMaterialTypeCount + i;
    return -1;
}

bool ReadNumber(OMB_Lexer& lexer, bool integer, double& out) {
    if (integer) {
        int32_t v = 0;
        if (!lexer.ReadInt(v)) return false;
        out = v;
        return true;
    }
    float v = 0;
    if (!lexer.ReadFloat(v) || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool ReadWord(OMB_Lexer& lexer, OMB_Token& token) {
    return TK_NextArg(lexer, token) == TK_ArgRead::Token && token.kind == OMB_TOKEN_WORD;
}

bool AtEnd(OMB_Lexer& lexer) {
    OMB_Token token;
    return TK_NextArg(lexer, token) == TK_ArgRead::End;
}

bool SameRGB(const uint8_t a[3], uint32_t color) {
    return a[0] == ColorR(color) && a[1] == ColorG(color) && a[2] == ColorB(color);
}

void StoreRGBA(uint8_t out[4], uint32_t color) {
    out[0] = uint8_t(ColorR(color)), out[1] = uint8_t(ColorG(color)), out[2] = uint8_t(ColorB(color));
    out[3] = 255;
}

bool SameLook(const TK_ModelLook& a, const TK_ModelLook& b) {
    std::vector<uint8_t> bytesA, bytesB;
    a.Encode(bytesA);
    b.Encode(bytesB);
    return bytesA == bytesB;
}

}  // namespace

// ---------------------------------------------------------------- set and add

bool TK_CMD_Set::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    if (!ReadWord(lexer, token) || !(m_key = TK_FindSetting(token.Text()))) return false;
    switch (m_key->arg) {
        case Arg::Flag:
        case Arg::Int:
        case Arg::Mode: return ReadNumber(lexer, true, m_values[0]) && AtEnd(lexer);
        case Arg::Float: return ReadNumber(lexer, false, m_values[0]) && AtEnd(lexer);
        case Arg::Image:
            return ReadNumber(lexer, true, m_values[0]) && ReadNumber(lexer, true, m_values[1]) && AtEnd(lexer);
        case Arg::LightColor: return AtEnd(lexer);
        case Arg::Word:
        case Arg::Prim:
            if (!ReadWord(lexer, token) || (m_values[0] = IndexOf(m_key->words, token)) < 0) return false;
            return AtEnd(lexer);
        case Arg::DisplayFlag:
            if (!ReadWord(lexer, token) || IndexOf(m_key->words, token) < 0) return false;
            m_word = token.Text();
            return ReadNumber(lexer, true, m_values[0]) && AtEnd(lexer);
        case Arg::Material:
            if (!ReadWord(lexer, token) || MaterialWordIndex(token.Text()) < 0) return false;
            m_word = token.Text();
            return ReadNumber(lexer, false, m_values[0]) && AtEnd(lexer);
        case Arg::Color:
            if (!ReadWord(lexer, token) || !(token.Is("grd") || token.Is("edge"))) return false;
            m_word = token.Text();
            return ReadNumber(lexer, true, m_values[0]) && AtEnd(lexer);
    }
    return false;
}

bool TK_CMD_Add::Parse(const char* args) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    if (!ReadWord(lexer, token) || !(m_key = TK_FindSetting(token.Text())) || !m_key->addable) return false;
    m_relative = true;
    if (!ReadNumber(lexer, false, m_values[0]) || !AtEnd(lexer)) return false;
    m_values[1] = m_values[0];
    return true;
}

bool TK_CMD_Set::Execute() {
    if (!m_key) return false;
    auto before = std::make_unique<TK_ModelLook>();
    before->Capture(*m_env);
    if (!ExecuteKey()) {
        // Most often the value it already has.
        if (!OMB_HasCause()) OMB_SetCause("nothing changed; \"help set\" shows every key with its range and value");
        return false;
    }
    auto after = std::make_unique<TK_ModelLook>();
    after->Capture(*m_env);
    if (SameLook(*before, *after)) return true;
    m_lookBefore = std::move(before);
    m_lookAfter = std::move(after);
    m_when = OS_Seconds();
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_LOOK);
    return true;
}

bool TK_CMD_Set::HasEffect() const { return m_lookAfter && !SameLook(*m_lookBefore, *m_lookAfter); }

bool TK_CMD_Set::Merge(OMB_Command* next) {
    auto* later = next && next->IsA(TK_CMD_Set::StaticClassInfo()) ? static_cast<TK_CMD_Set*>(next) : nullptr;
    if (!later || !m_lookAfter || !later->m_lookAfter || later->m_key != m_key || later->m_word != m_word ||
        later->m_when - m_when > kMergeSeconds)
        return false;
    m_lookAfter = std::move(later->m_lookAfter);
    m_when = later->m_when;
    return true;
}

void TK_CMD_Set::InstallLook(const TK_ModelLook& look) {
    look.Install(*m_env);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_LOOK);
}

bool TK_CMD_Set::ExecuteKey() {
    switch (m_key->arg) {
        case Arg::Flag:
        case Arg::Int:
        case Arg::Float:
        case Arg::Word: return ExecuteNumber();
        default: return ExecuteSpecial();
    }
}

bool TK_CMD_Set::ExecuteSpecial() {
    TK_Settings& s = m_env->settings;
    switch (m_key->arg) {
        case Arg::Image: return SetImage();
        case Arg::DisplayFlag: return SetFlag();
        case Arg::Color: return SetColor();
        case Arg::Prim: return SetPrim();
        case Arg::LightColor: return SetLightColor(s.*m_key->colorField);
        case Arg::Material: return SetMaterial();
        case Arg::Mode: return SetRenderMode();
        default: return false;
    }
}

bool TK_CMD_Set::ExecuteNumber() {
    TK_Settings& s = m_env->settings;
    const TK_Setting& key = *m_key;
    bool changed = false;
    if (key.intField) {
        const int old = s.*key.intField;
        const double v = m_relative ? old + std::lround(m_values[0]) : m_values[0];
        const int value = int(key.Clamp(v));
        changed = value != old;
        s.*key.intField = value;
    } else {
        const float old = s.*key.floatField;
        const double v = m_relative ? old + m_values[0] : m_values[0];
        const float value = float(key.Clamp(v));
        changed = std::fabs(value - old) > 1e-6f;
        s.*key.floatField = value;
    }
    // A shadow strength shows only with the sun on and the shadow flag set.
    if (key.rule == TK_SettingRule::Shadow) changed = changed && (s.ptFlags & TK_SHOW_SHADOW) && s.ptSunIntensity != 0;
    if (changed) Changed(key.change);
    Tell();
    return true;
}

bool TK_CMD_Set::SetImage() {
    int* image = m_env->settings.ptImage;
    for (int i = 0; i < 2; ++i) {
        const double v = m_relative ? image[i] + std::lround(m_values[i]) : m_values[i];
        image[i] = int(m_key->Clamp(v));
    }
    // The tracer sees the new size when it compares its view next frame.
    Tell();
    return true;
}

bool TK_CMD_Set::SetFlag() {
    TK_Settings& s = m_env->settings;
    int bit = 0;
    for (int i = 0; m_key->words[i]; ++i)
        if (m_word == m_key->words[i]) bit = 1 << i;
    const int value = int(m_values[0]);
    auto apply = [&](int flags) { return value == 0 ? flags & ~bit : value == 1 ? flags | bit : flags ^ bit; };
    if (s.renderMode) {
        const int flags = apply(s.ptFlags) & kTracerFlagMask;
        if (flags == s.ptFlags) return false;
        s.ptFlags = flags;
        Changed(TK_RENDER_TRACER_FLAGS);
        m_env->Broadcast(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
        return true;
    }
    const int flags = apply(s.rasterFlags);
    if (flags == s.rasterFlags) return false;
    s.rasterFlags = flags;
    Changed(TK_RENDER_RASTER_FLAGS);
    m_env->ChangeNotification(TK_NOTIFY_DISPLAY, bit);
    return true;
}

bool TK_CMD_Set::SetColor() {
    TK_Settings& s = m_env->settings;
    int index = int(m_values[0]);
    if (index < 1 || index > 255) index = m_env->currentColorIndex;
    const uint32_t color = m_env->model.palette[index];
    const bool ground = m_word == "grd";
    if (s.renderMode) {
        uint8_t* target = ground ? s.ptGround : s.ptEdge;
        const bool changed = !SameRGB(target, color);
        StoreRGBA(target, color);
        if (changed && (ground || (s.ptFlags & (TK_SHOW_EDGE | TK_SHOW_GRID)))) Changed(TK_RENDER_MATERIALS);
        m_env->Broadcast(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
        return true;
    }
    StoreRGBA(ground ? s.rasterGround : s.rasterEdge, color);
    Changed(TK_RENDER_RASTER_COLORS);
    m_env->ChangeNotification(TK_NOTIFY_DISPLAY, ground ? TK_SHOW_GROUND : TK_SHOW_EDGE);
    return true;
}

bool TK_CMD_Set::SetPrim() {
    const int prim = int(m_values[0]);
    if (prim == m_env->settings.ptPrim) return false;
    m_env->settings.ptPrim = prim;
    Changed(TK_RENDER_PROGRAMS);
    Tell();
    return true;
}

bool TK_CMD_Set::SetLightColor(uint8_t color[3]) {
    const uint32_t entry = m_env->model.palette[m_env->currentColorIndex];
    if (!SameRGB(color, entry)) {
        color[0] = uint8_t(ColorR(entry)), color[1] = uint8_t(ColorG(entry)), color[2] = uint8_t(ColorB(entry));
        Changed(TK_RENDER_RESTART);
    }
    Tell();
    return true;
}

bool TK_CMD_Set::SetMaterial() {
    const int word = MaterialWordIndex(m_word);
    const int first = m_env->settings.ptMaterialScope ? m_env->currentColorIndex : 0;
    const int last = m_env->settings.ptMaterialScope ? m_env->currentColorIndex : 255;
    for (int i = first; i <= last; ++i) {
        TK_Material& m = m_env->materials[i];
        if (word < kMaterialTypeCount) {
            // A kind word (in TK_MaterialType order) switches that kind on,
            // or off back to diffuse.
            if (m_values[0] != 0) m.type = word;
            else if (m.type == word) m.type = TK_MATERIAL_DIFFUSE;
            continue;
        }
        const TK_MaterialParam& p = kMaterialParams[word - kMaterialTypeCount];
        m.*p.field = float(std::clamp(m_values[0], double(p.lo), double(p.hi)));
    }
    Changed(TK_RENDER_MATERIALS);
    Tell();
    return true;
}

bool TK_CMD_Set::SetRenderMode() {
    const int mode = m_values[0] != 0;
    const int old = m_env->settings.renderMode;
    m_env->settings.renderMode = mode;
    // The render view reads the model from the cache copy's moment on.
    if (mode && !old) TK_WriteCacheCopy(*m_env);
    if (mode != old) Changed(TK_RENDER_MODE);
    Tell();
    return true;
}

void TK_CMD_Set::Changed(int renderChange) const {
    if (renderChange && m_env->renderer) m_env->renderer->SettingsChanged(renderChange);
}

void TK_CMD_Set::Tell() const {
    if (m_key->notice.kind >= 0) m_env->Broadcast(m_key->notice.kind, m_key->notice.value);
}

// ---------------------------------------------------------------- mirror and loft

// Starts from "not named" (-1) for every axis.
bool TK_CMD_Mirror::Parse(const char* args) { return TK_ParseAxisValues(args, m_values); }

bool TK_CMD_Mirror::Execute() {
    int* axes = Axes();
    int next[3];
    for (int a = 0; a < 3; ++a)
        next[a] = m_values[a] < 0 ? axes[a] : m_values[a] == 2 ? !axes[a] : m_values[a] != 0;
    if (std::equal(next, next + 3, axes)) return false;
    std::copy(next, next + 3, axes);
    m_env->Broadcast(TK_NOTIFY_EDITOR, Flag());
    return true;
}

// ---------------------------------------------------------------- window commands

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next blank-separated word from `p` (advanced past it); false at the end.
bool NextWord(const char*& p, std::string& word) {
    while (*p && IsBlank(*p)) ++p;
    if (!*p) return false;
    const char* start = p;
    while (*p && !IsBlank(*p)) ++p;
    word.assign(start, p);
    return true;
}

}  // namespace

// The value is the rest of the line, inner blanks included (a folder path).
bool TK_CMD_UIAttrib::Parse(const char* args) {
    const char* p = args ? args : "";
    if (!NextWord(p, m_view) || !NextWord(p, m_attribute)) return false;
    m_value = OMB_PathArgument(p);
    return !m_value.empty();
}

bool TK_CMD_UIAttrib::Execute() {
    if (!m_env->window) {
        OMB_Printf("[Error] ui_set : no window\n");
        return false;
    }
    return m_env->window->SetViewAttribute(m_view, m_attribute, m_value);
}

bool TK_CMD_UIScale::Parse(const char* args) {
    const char* p = args ? args : "";
    std::string word;
    return NextWord(p, word) && TK_ParseUiScale(word, m_scale);
}

bool TK_CMD_UIScale::Execute() {
    if (!m_env->window) {
        OMB_Printf("[Error] ui_scale : no window\n");
        return false;
    }
    m_env->workspace.uiScale = m_scale;
    m_env->window->SetUiScale(m_scale);
    return true;
}

// Words, numbers included, are view names.
bool TK_CMD_SwitchView::Parse(const char* args) {
    const char* p = args ? args : "";
    std::string word;
    while (NextWord(p, word)) m_views.push_back(word);
    return !m_views.empty();
}

bool TK_CMD_SwitchView::Execute() {
    if (!m_env->window) {
        OMB_Printf("[Error] ui_view : no window\n");
        return false;
    }
    bool any = false;
    for (const std::string& view : m_views) any = m_env->window->ToggleView(view) || any;
    if (any) m_env->window->Relayout();
    return any;
}

std::string TK_CMD_Snap::DefaultName(long long now) {
    const std::time_t t = std::time_t(now);
    std::tm local = {};
    localtime_r(&t, &local);
    char name[64];
    std::snprintf(name, sizeof name, "snap%d-%.2d-%.2d-%.2d-%.2d-%.2d.png", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return name;
}

// "[VIEW] [PATH]": a last word ending in ".png" is the path.
bool TK_CMD_Snap::Parse(const char* args) {
    std::vector<std::string> words;
    if (!OMB_SplitArguments(args, words) || words.size() > 2) return false;
    const auto isPath = [](const std::string& w) {
        return w.size() > 4 && OMB_EqualNoCase(w.c_str() + w.size() - 4, ".png");
    };
    if (!words.empty() && isPath(words.back())) {
        m_path = words.back();
        words.pop_back();
    }
    if (words.size() > 1) return false;
    if (!words.empty()) m_view = words[0];
    return true;
}

bool TK_CMD_Snap::Execute() {
    TK_WindowLink* window = m_env->window;
    if (!window) {
        OMB_Printf("[Error] snap : no window\n");
        return false;
    }
    if (!m_view.empty() && !m_env->settings.renderMode && !window->HasView(m_view)) {
        OMB_Printf("[Error] snap : view '%s' not found\n", m_view.c_str());
        return false;
    }
    OS_FileRequest choice;
    choice.save = true;
    choice.title = "Save Snapshot";
    choice.filter = "PNG (.png)";
    choice.folder = choice.base = m_env->workspace.exportFolder;
    choice.name = DefaultName(std::time(nullptr));
    choice.command = m_view.empty() ? "snap" : "snap " + m_view;
    std::string path;
    if (!ChooseFile(m_path, choice, path)) return Asked();
    if (path.size() < 4 || !OMB_EqualNoCase(path.c_str() + path.size() - 4, ".png")) path += ".png";
    return window->Snap(m_view, path, m_env->settings.snapAlpha != 0);
}
