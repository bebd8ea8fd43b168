// Palette and colour commands (see TK_PaletteCommands.h).
//
// Sections: argument reading; index; rgb; pal; swap; replace and remove.
#include "edit/TK_PaletteCommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/OMB_Cause.h"
#include "edit/TK_CommandArgs.h"
#include "model/TK_VoxScene.h"

namespace {

// ---------------------------------------------------------------------------
// Argument reading
// ---------------------------------------------------------------------------

bool ReadInts(OMB_Lexer& lex, int* out, int n) {
    for (int i = 0; i < n; ++i)
        if (!TK_TryReadInt(lex, out[i])) return false;
    return true;
}

int Clamp255(int v) { return std::clamp(v, 0, 255); }

// The digits after '#' are read from the text itself: the lexer would split
// "#80ff00" into a number and a word and reject "80ff" outright.
bool ReadHexColor(OMB_Lexer& lex, uint32_t& rgba) {
    const char* p = lex.Current() + 1;
    int digits[6] = {0, 0, 0, 0, 0, 0};
    int n = 0;
    for (; n < 6 && p < lex.End() && TK_HexDigit(*p) >= 0; ++p) digits[n++] = TK_HexDigit(*p);
    if (p < lex.End() && (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')) return false;
    lex.SetCurrent(p);
    rgba = PackRGBA(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return true;
}

bool ReadRGBTriple(OMB_Lexer& lex, uint32_t& rgba) {
    int c[3];
    if (!ReadInts(lex, c, 3)) return false;
    rgba = PackRGBA(Clamp255(c[0]), Clamp255(c[1]), Clamp255(c[2]));
    return true;
}

bool SameRGB(uint32_t a, uint32_t b) { return ((a ^ b) & 0x00FFFFFFu) == 0; }

bool SameRGBEntries(const Palette& a, const Palette& b) {
    for (int i = 1; i < 256; ++i)
        if (!SameRGB(a[i], b[i])) return false;
    return true;
}

// Exchanges colours a and b in every voxel. A full model holds two million
// voxels and "swap" must stay interactive, so four voxels go per step: a
// voxel of colour a or b gets a ^ b XORed into its colour byte.
void SwapVoxelColors(VoxelList& voxels, uint8_t a, uint8_t b) {
    Voxel* v = voxels.Data();
    const int n = voxels.Count();
    int i = 0;
#ifdef __SSE2__
    const __m128i colorMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i wordA = _mm_set1_epi32(int(uint32_t(a) << 24));
    const __m128i wordB = _mm_set1_epi32(int(uint32_t(b) << 24));
    const __m128i flip = _mm_set1_epi32(int(uint32_t(a ^ b) << 24));
    for (; i + 4 <= n; i += 4) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        const __m128i c = _mm_and_si128(w, colorMask);
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi32(c, wordA), _mm_cmpeq_epi32(c, wordB));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), _mm_xor_si128(w, _mm_and_si128(hit, flip)));
    }
#endif
    for (; i < n; ++i) {
        const uint8_t c = v[i].colorIndex;
        v[i].colorIndex = c == a ? b : c == b ? a : c;
    }
}

}  // namespace

bool TK_ReadColorArg(OMB_Lexer& lex, uint32_t& rgba) {
    lex.SkipToToken();
    if (!lex.AtEnd() && *lex.Current() == '#') return ReadHexColor(lex, rgba);
    int c[3];
    int n = 0;
    while (n < 3 && TK_TryReadInt(lex, c[n])) ++n;
    if (n == 1) {
        const int v = Clamp255(c[0]);
        rgba = PackRGBA(v, v, v);
        return true;
    }
    if (n != 3) return false;
    rgba = PackRGBA(Clamp255(c[0]), Clamp255(c[1]), Clamp255(c[2]));
    return true;
}

// ---------------------------------------------------------------------------
// index
// ---------------------------------------------------------------------------

bool TK_CMD_ColorIndex::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    return TK_TryReadInt(lex, m_index) && TK_ArgsAtEnd(lex);
}

bool TK_CMD_ColorIndex::Execute() {
    if (!TK_IsPaletteIndex(m_index)) {
        OMB_SetCause(std::to_string(m_index) + " is not a colour; colours are 1 to 255");
        return false;
    }
    if (m_index == m_env->currentColorIndex) {
        OMB_SetCause("nothing to change, colour " + std::to_string(m_index) + " is already current");
        return false;
    }
    m_env->currentColorIndex = m_index;
    m_env->Broadcast(TK_NOTIFY_EDITOR, TK_EDITOR_COLOR);
    return true;
}

// ---------------------------------------------------------------------------
// rgb
// ---------------------------------------------------------------------------

bool TK_CMD_RGB::Parse(const char* args) {
    m_index = m_env->currentColorIndex;
    OMB_Lexer lex(args, 0);
    lex.SkipToToken();
    const char* mark = lex.Current();
    OMB_Token token;
    if (lex.NextToken(token) && token.kind == OMB_TOKEN_WORD) {
        if (!token.Is("set") || !TK_TryReadInt(lex, m_index)) return false;
    } else {
        lex.SetCurrent(mark);
    }
    return TK_ReadColorArg(lex, m_color) && TK_ArgsAtEnd(lex);
}

bool TK_CMD_RGB::Execute() {
    // A palette edit begins (the editor shows the colour being edited).
    m_env->Broadcast(TK_NOTIFY_EDITOR, TK_EDITOR_PALETTE_EDIT);
    if (!TK_IsPaletteIndex(m_index) || SameRGB(m_color, m_env->model.palette[m_index])) return false;
    Exchange();
    return true;
}

void TK_CMD_RGB::Exchange() {
    std::swap(m_env->model.palette[m_index], m_color);
    m_env->ChangeNotification(TK_NOTIFY_PALETTE, m_index);
}

bool TK_CMD_RGB::HasEffect() const { return !SameRGB(m_color, m_env->model.palette[m_index]); }

// This command keeps the oldest colour; the palette already shows the newest.
bool TK_CMD_RGB::Merge(OMB_Command* next) {
    return next->SameClass(*this) && static_cast<TK_CMD_RGB*>(next)->m_index == m_index;
}

// ---------------------------------------------------------------------------
// pal
// ---------------------------------------------------------------------------

bool TK_CMD_PAL::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    OMB_Token token;
    if (!lex.NextToken(token) || token.kind != OMB_TOKEN_WORD) return false;
    m_keyword = token.Text();
    for (char& c : m_keyword) c = char(std::tolower(static_cast<unsigned char>(c)));
    lex.SkipToToken();
    m_rest.assign(lex.Current(), lex.End());
    if (m_keyword == "fill") return TK_ReadColorArg(lex, m_fill) && TK_ArgsAtEnd(lex);
    if (m_keyword == "grad") return ParseGradient(lex) && TK_ArgsAtEnd(lex);
    return true;
}

// Layout: A B W H, then the colours at A and at B. H, the grid's row count,
// is implied by W and is accepted only so the palette view can send its grid.
bool TK_CMD_PAL::ParseGradient(OMB_Lexer& lex) {
    int n[4];
    if (!ReadInts(lex, n, 4) || !ReadRGBTriple(lex, m_grad.from) || !ReadRGBTriple(lex, m_grad.to))
        return false;
    m_grad.a = n[0];
    m_grad.b = n[1];
    m_grad.width = n[2];
    return TK_IsPaletteIndex(m_grad.a) && TK_IsPaletteIndex(m_grad.b) && m_grad.width >= 1 && m_grad.width <= 255;
}

bool TK_CMD_PAL::Execute() {
    m_saved = m_env->model.palette;
    ApplyText();
    if (SameRGBEntries(m_saved, m_env->model.palette)) {
        m_env->model.palette = m_saved;
        return false;
    }
    m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
    return true;
}

void TK_CMD_PAL::Undo() {
    m_env->model.palette = m_saved;
    m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
}

void TK_CMD_PAL::Redo() {
    ApplyText();
    m_env->ChangeNotification(TK_NOTIFY_PALETTE, TK_PALETTE_ALL);
}

void TK_CMD_PAL::ApplyText() {
    TK_Model& model = m_env->model;
    if (m_keyword == "bw") {
        model.MakeGreyPalette();
    } else if (m_keyword == "mac") {
        model.palette = DefaultPalette();
    } else if (m_keyword == "fill") {
        model.palette[0] = 0;
        for (int i = 1; i < 256; ++i) model.palette[i] = m_fill;
    } else if (m_keyword == "mask") {
        ApplyMask();
    } else if (m_keyword == "grad") {
        ApplyGradient();
    } else {
        model.ResetPaletteAlpha();
    }
}

// Entry 0 stays empty: it is never a voxel's colour, but it is not a
// colour to grey out either.
// Marking instead of counting: a store with no read, so runs of one colour
// do not wait on the previous increment of the same counter; four voxels
// per step roughly halve the time on a full model.
void TK_CMD_PAL::ApplyMask() {
    uint8_t used[256] = {};
    const Voxel* v = m_env->model.voxels.Data();
    const int n = m_env->model.voxels.Count();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        used[v[i].colorIndex] = 1;
        used[v[i + 1].colorIndex] = 1;
        used[v[i + 2].colorIndex] = 1;
        used[v[i + 3].colorIndex] = 1;
    }
    for (; i < n; ++i) used[v[i].colorIndex] = 1;
    for (int i = 1; i < 256; ++i)
        if (!used[i]) m_env->model.palette[i] = PackRGBA(75, 75, 75);
}

void TK_CMD_PAL::ApplyGradient() {
    const Gradient& g = m_grad;
    const int rowA = (g.a - 1) / g.width, colA = (g.a - 1) % g.width;
    const int rowB = (g.b - 1) / g.width, colB = (g.b - 1) % g.width;
    const bool flat = SameRGB(g.from, g.to);
    for (int row = std::min(rowA, rowB); row <= std::max(rowA, rowB); ++row) {
        for (int col = std::min(colA, colB); col <= std::max(colA, colB); ++col) {
            const int i = 1 + row * g.width + col;
            if (i > 255) continue;
            // Corners of the rectangle outside the a..b index range would
            // extrapolate; they take the nearer end colour instead.
            const float t = flat || g.a == g.b ? 0.0f : std::clamp(float(i - g.a) / float(g.b - g.a), 0.0f, 1.0f);
            auto mix = [t](int from, int to) { return int(std::lround(from + (to - from) * t)); };
            m_env->model.palette[i] = PackRGBA(mix(ColorR(g.from), ColorR(g.to)), mix(ColorG(g.from), ColorG(g.to)),
                                               mix(ColorB(g.from), ColorB(g.to)));
        }
    }
}

// ---------------------------------------------------------------------------
// swap
// ---------------------------------------------------------------------------

bool TK_CMD_SwapColor::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    return TK_TryReadInt(lex, m_a) && TK_TryReadInt(lex, m_b) && TK_ArgsAtEnd(lex);
}

bool TK_CMD_SwapColor::Execute() {
    if (!TK_IsPaletteIndex(m_a) || !TK_IsPaletteIndex(m_b) || m_a == m_b) return false;
    Exchange();
    return true;
}

void TK_CMD_SwapColor::Exchange() {
    TK_EditorEnv& env = *m_env;
    std::swap(env.model.palette[m_a], env.model.palette[m_b]);
    env.ChangeNotification(TK_NOTIFY_PALETTE, m_a);
    env.ChangeNotification(TK_NOTIFY_PALETTE, m_b);
    SwapVoxelColors(env.model.voxels, uint8_t(m_a), uint8_t(m_b));
    // The file's other models and its MATL chunks follow the two colours.
    TK_VoxSwapColors(env.model, m_a, m_b);
    // Only colour indices changed, so the colour flag is enough: the cell
    // lookup grid stays valid and need not be rebuilt over the whole world.
    env.ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
    std::swap(env.materials[m_a], env.materials[m_b]);
    env.Broadcast(TK_NOTIFY_RENDER, TK_NOTIFY_NO_VALUE);
}

// ---------------------------------------------------------------------------
// Replace and remove
// ---------------------------------------------------------------------------

bool TK_CMD_ReplaceColor::Parse(const char* args) {
    OMB_Lexer lex(args, 0);
    return TK_TryReadInt(lex, m_source) && TK_TryReadInt(lex, m_target) && TK_ArgsAtEnd(lex);
}

bool TK_CMD_ReplaceColor::Execute() {
    if (!TK_IsPaletteIndex(m_source) || !TK_IsPaletteIndex(m_target) || m_source == m_target) return false;
    m_saved.Clear();
    for (Voxel& v : m_env->model.voxels) {
        if (v.colorIndex != m_source) continue;
        m_saved.Add(v);
        v.colorIndex = uint8_t(m_target);
    }
    if (m_saved.Empty()) return false;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
    return true;
}

void TK_CMD_ReplaceColor::Recolor(int color) {
    TK_Model& model = m_env->model;
    for (const Voxel& s : m_saved) {
        const int i = m_env->VoxelAt(s.x, s.y, s.z);
        if (i >= 0 && i < model.voxels.Count()) model.voxels[i].colorIndex = uint8_t(color);
    }
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_COLORS);
}

bool TK_CMD_RemoveColor::Parse(const char* args) {
    m_index = m_env->currentColorIndex;
    return true;
}

bool TK_CMD_RemoveColor::Execute() {
    if (!TK_IsPaletteIndex(m_index)) return false;
    m_saved.Clear();
    VoxelList& voxels = m_env->model.voxels;
    for (int i = 0; i < voxels.Count();) {
        if (voxels[i].colorIndex == m_index) {
            m_saved.Add(voxels[i]);
            voxels.RemoveAt(i);  // the moved-in last voxel is examined next
        } else {
            ++i;
        }
    }
    if (m_saved.Empty()) return false;
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
    return true;
}

void TK_CMD_RemoveColor::Undo() {
    for (const Voxel& v : m_saved) m_env->model.voxels.Add(v);
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
}

void TK_CMD_RemoveColor::Redo() {
    VoxelList& voxels = m_env->model.voxels;
    for (int i = 0; i < voxels.Count();) {
        if (voxels[i].colorIndex == m_index) voxels.RemoveAt(i);
        else ++i;
    }
    m_env->ChangeNotification(TK_NOTIFY_MODEL, TK_CHANGE_VOXELS);
}
