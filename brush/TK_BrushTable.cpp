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
#include "core/OS_Keys.h"

namespace {
template <typename T>
std::unique_ptr<TK_ModelBrush> Make(int mode) {
    return std::make_unique<T>(mode);
}
}  // namespace

const std::vector<TK_BrushDescriptor>& TK_ShapeBrushes() {
    static const std::vector<TK_BrushDescriptor> brushes = {
        {TK_SHAPE_BOX, OS_KeyOf('B'), "Box", &Make<TK_BoxBrush>},
        {TK_SHAPE_LINE, OS_KeyOf('L'), "Line", &Make<TK_LineBrush>},
        {TK_SHAPE_FACE, OS_KeyOf('F'), "Face", &Make<TK_FaceBrush>},
        {TK_SHAPE_VOX, OS_KeyOf('V'), "Voxel", &Make<TK_VoxelBrush>},
        {TK_SHAPE_CENTER, OS_KeyOf('C'), "Center", &Make<TK_CenterBrush>},
        {TK_SHAPE_PATTERN, OS_KeyOf('P'), "Pattern", &Make<TK_PatternBrush>},
    };
    return brushes;
}

const char* TK_BrushTypeWord(int type) { return type >= 0 && type < kBrushTypeCount ? kBrushTypeWords[type] : ""; }
const char* TK_BrushShapeWord(int shape) { return shape >= 0 && shape < kBrushShapeCount ? kBrushShapeWords[shape] : ""; }

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
    for (const TK_BrushDescriptor& shape : TK_ShapeBrushes())
        for (int mode = TK_BRUSH_ATTACH; mode <= TK_BRUSH_PAINT; ++mode)
            table.Add(TK_BrushTypeWord(mode - 1), shape.Word(), shape.make(mode));
    table.Add("pick", "", std::make_unique<TK_PickColorBrush>());
    table.Add("replace", "", std::make_unique<TK_ReplaceColorBrush>());
    table.Add("remove", "", std::make_unique<TK_RemoveColorBrush>());
    table.Add("loop", "", std::make_unique<TK_LoopBrush>());
    table.Add("focus", "", std::make_unique<TK_FocusBrush>());
}
