// Palette and colour commands: "index" selects the paint colour, "rgb" sets
// one palette entry, "pal" rewrites the whole palette, "swap" exchanges two
// entries together with their voxels and material records, and the colour
// brushes' TK_CMD_ReplaceColor / TK_CMD_RemoveColor recolour or delete every
// voxel of one colour. All but "index" are undoable.
//
// Rule: Undo must find the model exactly as Execute or Redo left it; the
// saved data (old colours, saved voxels) is only valid in that state.
#pragma once

#include <string>

#include "core/OMB_Lexer.h"
#include "edit/TK_CMD.h"

// Reads a colour argument: "#rrggbb" (up to six hex digits, missing ones 0),
// one number (grey) or three numbers (red, green, blue), each clamped to
// 0..255, alpha 255. False for no number, two numbers or a malformed hex word.
bool TK_ReadColorArg(OMB_Lexer& lex, uint32_t& rgba);

// "index N": makes N (1..255) the current colour. Not kept in the history.
class TK_CMD_ColorIndex : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_ColorIndex, TK_CMD)
public:
    bool Parse(const char* args) override;  // exactly one integer
    bool Execute() override;                // false outside 1..255 or unchanged

private:
    int m_index = 0;
};

// "rgb [set N] COLOUR": sets the current entry (or entry N). Successive edits
// of one entry merge, so a dragged slider leaves one history step.
class TK_CMD_RGB : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_RGB, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    bool HasEffect() const override;
    bool Merge(OMB_Command* next) override;
    void Undo() override { Exchange(); }
    void Redo() override { Exchange(); }
    bool Execute() override;  // false outside 1..255 or when the RGB is unchanged
    bool Parse(const char* args) override;

private:
    void Exchange();

    int m_index = 0;
    uint32_t m_color = 0;  // after Execute: the entry's previous colour
};

// "pal KEYWORD ...": bw, mac, fill COLOUR, mask, grad A B W H R G B R G B;
// any other word only resets alpha. Keeps the whole previous palette.
class TK_CMD_PAL : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_PAL, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    void Undo() override;
    void Redo() override;
    bool Execute() override;  // false when entries 1..255 keep their RGB
    bool Parse(const char* args) override;

private:
    struct Gradient {
        int a = 1, b = 1, width = 1;
        uint32_t from = 0, to = 0;
    };
    bool ParseGradient(OMB_Lexer& lex);
    void ApplyText();
    void ApplyMask();
    void ApplyGradient();

    std::string m_keyword;  // lower case
    std::string m_rest;     // the arguments after the keyword
    uint32_t m_fill = 0;
    Gradient m_grad;
    Palette m_saved;
};

// "swap A B": exchanges two palette entries, the voxels using them and their
// material records. Its own inverse.
class TK_CMD_SwapColor : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_SwapColor, TK_CMD)
public:
    bool IsUndoable() const override { return true; }
    void Undo() override { Exchange(); }
    void Redo() override { Exchange(); }
    bool Execute() override;  // false unless both are 1..255 and differ
    bool Parse(const char* args) override;  // exactly two integers

private:
    void Exchange();

    int m_a = 0;
    int m_b = 0;
};

// Recolours every voxel of colour `source` with `target` (the replace-colour
// brush). Parse takes "SOURCE TARGET"; the constructor serves brushes.
class TK_CMD_ReplaceColor : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_ReplaceColor, TK_CMD)
public:
    TK_CMD_ReplaceColor() = default;
    TK_CMD_ReplaceColor(int source, int target) : m_source(source), m_target(target) {}

    bool IsUndoable() const override { return true; }
    void Undo() override { Recolor(m_source); }
    void Redo() override { Recolor(m_target); }
    bool Execute() override;  // false when invalid, equal, or no voxel has the source
    bool Parse(const char* args) override;

private:
    void Recolor(int color);

    VoxelList m_saved;
    int m_source = 0;
    int m_target = 0;
};

// Deletes every voxel of one colour (the remove-colour brush): the current
// colour when parsed, or the one given to the constructor.
class TK_CMD_RemoveColor : public TK_CMD {
    OMB_COMMAND_CLASS(TK_CMD_RemoveColor, TK_CMD)
public:
    TK_CMD_RemoveColor() = default;
    explicit TK_CMD_RemoveColor(int index) : m_index(index) {}

    bool IsUndoable() const override { return true; }
    void Undo() override;
    void Redo() override;
    bool Execute() override;  // false outside 1..255 or when no voxel has it
    bool Parse(const char* args) override;

private:
    VoxelList m_saved;
    int m_index = 0;
};
