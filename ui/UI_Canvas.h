// UI_Canvas: the two vertex batches of one user-interface frame and the
// font. Views add coloured quads (FillRect) to the quad batch and glyph
// quads (DrawText, DrawString) to the text batch during the Draw broadcast;
// Render then draws all quads, then all text blended over them, so text
// lies above every filled quad whatever the tree order.
//
// Views work in layout units; the scale maps a unit to device pixels (2 on
// a 200 % screen). Quads scale with it; glyphs are rasterised for the
// device size of their cell and placed on whole device pixels, so text is
// as sharp at every scale. Text is UTF-8 laid out on the cell grid of
// UI_Text.h. Filling the batches needs no OpenGL context (tests and
// benchmarks build frames without one); Render and ReleaseFont need a
// current context. The batches keep their arrays, so a steady frame
// allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

#include <string>

#include "core/OMB_Rect.h"
#include "render/GLObjects.h"
#include "render/GLVertexBatch.h"
#include "ui/UI_Font.h"

// Text alignments of DrawText and DrawString.
enum UI_Align : int { UI_ALIGN_LEFT = 1, UI_ALIGN_CENTER = 2, UI_ALIGN_RIGHT = 3 };

// The face files below the program directory's font folder.
constexpr const char* kUiMainFace = "DejaVuSansMono.ttf";
constexpr const char* kUiFallbackFace = "unifont.otf";

class UI_Canvas {
public:
    // Empties both batches and opens them for recording.
    void Begin();
    // Closes both batches.
    void End();
    // Viewport of width x height device pixels showing (0, 0)..(width,
    // height) / scale, identity modelview; quads without blending, then text
    // blended over them with the glyph atlas bound on unit 0.
    void Render(int width, int height);

    // Device pixels per layout unit, 1 to 3.
    void SetScale(float scale);
    float Scale() const { return m_scale; }

    // One quad covering the inclusive rectangle: x0..x1 + 1, y0..y1 + 1.
    void FillRect(OMB_Color color, const OMB_Rect& rect);
    // Colours spread evenly from the left edge to the right (count >= 2).
    void FillGradient(const OMB_Color* colors, int count, const OMB_Rect& rect);
    // Text in a rectangle: left aligned at x0 + 10, right aligned ending at
    // x0 + width - 10, centred on x0 + width / 2 (other values start there);
    // vertically centred. Text wider than the rectangle is cut with an
    // ellipsis (a file name keeps its extension, UI_Ellipsize).
    void DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH, int align);
    // The cells DrawText has for text of that width in a rectangle.
    static int TextColumns(const OMB_Rect& rect, float charW, int align);
    // Fixed-pitch text of at most `count` cells at (x, y) in the current
    // text colour (a wide character takes two cells and is left out whole
    // when only one is left). Align 2 starts at x - cells·w/2, 3 at
    // x - cells·w, others at x. Control characters only advance.
    void DrawString(const char* text, int count, float x, float y, float charW, float charH, int align);
    void SetTextColor(OMB_Color color) { m_text.SetColorRGBA(color); }

    // Until SetClip gives the returned rectangle back, quads are cut to the
    // intersection of `rect` with the clip in force, and glyphs that do not
    // lie wholly inside it are left out. Begin lifts every clip.
    OMB_Rect Clip(const OMB_Rect& rect);
    void SetClip(const OMB_Rect& rect) { m_clip = rect; }

    // Opens the faces in `folder` (kUiMainFace, kUiFallbackFace); needs no
    // context. False, with the reason in `error`, leaves text undrawn.
    bool LoadFont(const std::string& folder, std::string& error);
    void ReleaseFont() { m_font.Release(); }
    bool HasFont() const { return m_font.IsLoaded(); }
    UI_Font& Font() { return m_font; }

    const GLVertexBatch& Quads() const { return m_quads; }
    const GLVertexBatch& Text() const { return m_text; }

private:
    static constexpr OMB_Rect kNoClip = {-(1 << 24), -(1 << 24), 1 << 24, 1 << 24};
    OMB_Rect m_clip = kNoClip;
    GLVertexBatch m_quads;
    GLVertexBatch m_text;
    UI_Font m_font;
    float m_scale = 1;
};
