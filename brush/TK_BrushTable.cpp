// The brush table and the editor's brushes (see TK_BrushTable.h).
#include "brush/TK_BrushTable.h"

#include "brush/TK_BoxBrush.h"
#include "brush/TK_CenterBrush.h"
#include "brush/TK_ColorBrush.h"
#include "brush/TK_FaceBrush.h"
#include "brush/TK_FocusBrush.h"
#include "brush/TK_LineBrush.h"
#include "brush/TK_LoopBrush.h"
#include "brush/TK_PatternBrush.h"
#include "brush/TK_VoxelBrush.h"
#include "core/OMB_Log.h"
#include "model/TK_Settings.h"

namespace {
// In the order of the settings' indices.
const char* const kTypeWords[] = {"attach", "erase", "paint"};
const char* const kShapeWords[] = {"line", "center", "pattern", "vox", "face", "box"};

template <typename T>
void AddShape(TK_BrushTable& table, const char* shape) {
    for (int mode = TK_BRUSH_ATTACH; mode <= TK_BRUSH_PAINT; ++mode)
        table.Add(kTypeWords[mode - 1], shape, std::make_unique<T>(mode));
}
}  // namespace

const char* TK_BrushTypeWord(int type) { return type >= 0 && type < 3 ? kTypeWords[type] : ""; }
const char* TK_BrushShapeWord(int shape) { return shape >= 0 && shape < 6 ? kShapeWords[shape] : ""; }

void TK_BrushTable::Add(const char* type, const char* shape, std::unique_ptr<TK_ModelBrush> brush) {
    m_entries.push_back({type ? type : "", shape ? shape : "", std::move(brush)});
}

TK_ModelBrush* TK_BrushTable::Find(const char* type, const char* shape) const {
    const std::string t = type ? type : "", s = shape ? shape : "";
    for (const Entry& e : m_entries)
        if (e.type == t && (s.empty() || e.shape.empty() || e.shape == s)) return e.brush.get();
    OMB_Printf("Brush unfound : %s : %s\n", t.c_str(), s.c_str());
    return nullptr;
}

TK_ModelBrush* TK_BrushTable::ForSettings(const TK_Settings& settings) const {
    return Find(TK_BrushTypeWord(settings.brushType), TK_BrushShapeWord(settings.brushShape));
}

void TK_BrushTable::SetHost(TK_BrushHost* host) {
    for (Entry& e : m_entries) e.brush->SetHost(host);
}

void TK_RegisterBrushes(TK_BrushTable& table) {
    AddShape<TK_BoxBrush>(table, "box");
    AddShape<TK_LineBrush>(table, "line");
    AddShape<TK_CenterBrush>(table, "center");
    AddShape<TK_FaceBrush>(table, "face");
    AddShape<TK_VoxelBrush>(table, "vox");
    AddShape<TK_PatternBrush>(table, "pattern");
    table.Add("pick", "", std::make_unique<TK_PickColorBrush>());
    table.Add("replace", "", std::make_unique<TK_ReplaceColorBrush>());
    table.Add("remove", "", std::make_unique<TK_RemoveColorBrush>());
    table.Add("loop", "", std::make_unique<TK_LoopBrush>());
    table.Add("focus", "", std::make_unique<TK_FocusBrush>());
}
