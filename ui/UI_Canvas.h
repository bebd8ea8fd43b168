// UI_Canvas: the two vertex batches of one user-interface frame and the
// bitmap font. Views add coloured quads (FillRect) to the quad batch and
// glyph quads (DrawText, DrawString) to the text batch during the Draw
// broadcast; Render then draws all quads, then all text blended over them,
// so text lies above every filled quad whatever the tree order.
//
// The font is "/config/font.png": 16 columns by 8 rows of cells holding the
// codes 0 to 127, RGB or RGBA. Filling the batches needs no OpenGL context
// (tests and benchmarks build frames without one); LoadFont, Render and
// ReleaseFont need a current context. The batches keep their arrays, so a
// steady frame allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "core/OMB_Rect.h"
#include "render/GLObjects.h"
#include "render/GLVertexBatch.h"

// Text alignments of DrawText and DrawString.
enum UI_Align : int { UI_ALIGN_LEFT = 1, UI_ALIGN_CENTER = 2, UI_ALIGN_RIGHT = 3 };

// A decoded font image: RGBA rows, top row first.
struct UI_FontImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Decodes PNG bytes that hold an RGB or RGBA image (8 bits per channel, any
// PNG colour type that expands to it). False for anything else or a bad file.
bool UI_DecodeFontImage(const uint8_t* bytes, size_t size, UI_FontImage& out);

class UI_Canvas {
public:
    // Empties both batches and opens them for recording.
    void Begin();
    // Closes both batches.
    void End();
    // Orthographic projection of (0, 0)..(width, height), viewport and
    // identity modelview; quads without blending, then text blended over
    // them with the font bound on unit 0.
    void Render(int width, int height) const;

    // One quad covering the inclusive rectangle: x0..x1 + 1, y0..y1 + 1.
    void FillRect(OMB_Color color, const OMB_Rect& rect);
    // Colours spread evenly from the left edge to the right (count >= 2).
    void FillGradient(const OMB_Color* colors, int count, const OMB_Rect& rect);
    // Text in a rectangle: left aligned at x0 + 10, right aligned ending at
    // x0 + width - 10, centred on x0 + width / 2 (other values start there);
    // vertically centred.
    void DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH, int align);
    // Fixed-pitch text of `count` characters (clipped to the text's length)
    // at (x, y) in the current text colour. Align 2 starts at x - count·w/2,
    // 3 at x - count·w, others at x. Codes 0 and 128..255 only advance.
    void DrawString(const char* text, int count, float x, float y, float charW, float charH, int align);
    void SetTextColor(OMB_Color color) { m_text.SetColorRGBA(color); }

    // Until SetClip gives the returned rectangle back, quads are cut to the
    // intersection of `rect` with the clip in force, and glyphs that do not
    // lie wholly inside it are left out. Begin lifts every clip.
    OMB_Rect Clip(const OMB_Rect& rect);
    void SetClip(const OMB_Rect& rect) { m_clip = rect; }

    // Reads the font image and uploads it (RGBA8, linear filters, clamped).
    // A missing or unusable image leaves the font without a texture and
    // reports nothing; false then.
    bool LoadFont(const char* path);
    void ReleaseFont() { m_font.Release(); }
    bool HasFont() const { return m_font.Name() != 0; }

    const GLVertexBatch& Quads() const { return m_quads; }
    const GLVertexBatch& Text() const { return m_text; }

private:
    static constexpr OMB_Rect kNoClip = {-(1 << 24), -(1 << 24), 1 << 24, 1 << 24};
    OMB_Rect m_clip = kNoClip;
    GLVertexBatch m_quads;
    GLVertexBatch m_text;
    GLTexture m_font;
};
