// TK_BrushTable: the editor's brushes under their (type, shape) words, the
// words the brush settings use: "attach", "erase" and "paint" with "box",
// "line", "center", "face", "vox" and "pattern" for the shape brushes, and
// "pick", "replace", "remove", "loop" and "focus" (no shape word) for the
// others. The table owns its brushes; TK_RegisterBrushes fills it in one
// fixed order.
//
// TK_BrushDescriptor: each shape brush once, with everything the editor
// needs to offer it (its setting word, its edit-mode key, its caption in the
// brush panel, its factory). Adding a shape is one row of TK_ShapeBrushes
// plus its word in model/TK_Settings.h and its place in editor.ui.
//
// Rule: lookups never create brushes; a failed lookup prints
// "Brush unfound : TYPE : SHAPE" and yields null.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "brush/TK_ModelBrush.h"
#include "model/TK_Settings.h"

struct TK_Settings;

struct TK_BrushDescriptor {
    int shape;            // a TK_BrushShape; its setting word is Word()
    int key;              // the OS_Key that selects it in edit mode (no modifiers)
    const char* caption;  // its option's text in the brush panel
    std::unique_ptr<TK_ModelBrush> (*make)(int mode);  // one brush per TK_BrushMode

    const char* Word() const { return kBrushShapeWords[shape]; }
    // The command line that selects it: "set b_shape WORD".
    std::string Command() const { return std::string("set b_shape ") + Word(); }
};

// The shape brushes in the order of the brush panel.
const std::vector<TK_BrushDescriptor>& TK_ShapeBrushes();

class TK_BrushTable {
public:
    struct Entry {
        std::string type, shape;
        std::unique_ptr<TK_ModelBrush> brush;
    };

    void Add(const char* type, const char* shape, std::unique_ptr<TK_ModelBrush> brush);
    // The first entry whose type matches and, when both shape words are
    // non-empty, whose shape matches too. Null (after the message) when none.
    TK_ModelBrush* Find(const char* type, const char* shape) const;
    // The brush the "b_type" and "b_shape" settings name.
    TK_ModelBrush* ForSettings(const TK_Settings& settings) const;
    // Hands every brush the view it serves.
    void SetHost(TK_BrushHost* host);

    int Count() const { return int(m_entries.size()); }
    const Entry& At(int i) const { return m_entries[size_t(i)]; }

private:
    std::vector<Entry> m_entries;
};

// The words of the settings' brush indices ("b_type", "b_shape").
const char* TK_BrushTypeWord(int type);
const char* TK_BrushShapeWord(int shape);

// Every brush of the editor, under its words.
void TK_RegisterBrushes(TK_BrushTable& table);
