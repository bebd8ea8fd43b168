// UI_Font: the faces the toolkit draws text with and the atlas of glyphs
// rasterised from them. FreeType renders each glyph at the pixel size in
// use (never a small bitmap stretched); the main face covers Latin, Greek
// and Cyrillic, the fallback face the rest of the Basic Multilingual Plane.
// A code point that neither face holds gets a hollow box, never a blank.
//
// Glyphs live in one alpha texture. The CPU copy is filled on first use of a
// (face, pixel size, code point) and uploaded by Upload before the text is
// drawn; when the atlas runs full, the glyphs it lacks stay blank for that frame
// and it starts over at the next one, so the
// cache never grows without bound. Load and Glyph need no OpenGL context;
// Upload and Release do.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/GLObjects.h"

struct UI_Glyph {
    // Texture coordinates of the bitmap, top row at t0.
    float s0 = 0, t0 = 0, s1 = 0, t1 = 0;
    int width = 0, height = 0;  // bitmap size in pixels (0 for blanks)
    int left = 0;               // pen to the bitmap's left edge
    int top = 0;                // baseline to the bitmap's top row (up)
    int advance = 0;            // the face's advance in pixels
};

class UI_Font {
public:
    static constexpr int kAtlasSize = 2048;

    UI_Font();
    ~UI_Font();
    UI_Font(const UI_Font&) = delete;
    UI_Font& operator=(const UI_Font&) = delete;

    // Opens the two face files. False, with the reason in `error`, when the
    // main face cannot be read; a missing fallback only narrows coverage.
    bool Load(const std::string& mainPath, const std::string& fallbackPath, std::string& error);
    bool IsLoaded() const;

    // The glyph of a code point for text cells `cellHeight` pixels high,
    // rasterised on first use. Never null once loaded (the box stands in for
    // a missing character); null without a font.
    const UI_Glyph* Glyph(uint32_t codePoint, int cellHeight);
    // Pixels from the bottom of a cell to the baseline.
    int Descent(int cellHeight);

    // Called as a frame starts: a full atlas is cleared here, after the
    // frame that filled it was drawn, so no quad in a batch loses its glyph.
    void StartFrame();
    // Sends the glyphs added since the last call to the texture (creates it
    // on first use).
    bool Upload();
    void Release() { m_texture.Release(); }
    const GLTexture& Texture() const { return m_texture; }

    // The CPU copy of the atlas, one alpha byte per texel, row 0 at t = 0.
    const std::vector<uint8_t>& Atlas() const { return m_atlas; }
    size_t GlyphCount() const { return m_glyphs.size(); }

private:
    struct Faces;
    bool Place(int width, int height, int& x, int& y);
    UI_Glyph Rasterise(uint32_t codePoint, int cellHeight);
    UI_Glyph MissingBox(int cellHeight);

    std::unique_ptr<Faces> m_faces;
    std::map<uint64_t, UI_Glyph> m_glyphs;
    std::map<int, int> m_descents;  // by cell height
    std::vector<uint8_t> m_atlas;
    int m_penX = 1, m_penY = 1, m_rowHeight = 0;
    int m_dirtyY0 = 0, m_dirtyY1 = 0;  // rows to upload
    bool m_full = false;
    GLTexture m_texture;
};
