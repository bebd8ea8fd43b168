// FreeType faces and the glyph atlas (see UI_Font.h).
#include "ui/UI_Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/OMB_FileHandle.h"
#include "ui/UI_Text.h"

struct UI_Font::Faces {
    // The font files' bytes, which the faces read from as long as they live:
    // read through the program's own file access, so a folder named in any
    // script opens on every platform.
    std::vector<uint8_t> mainBytes, fallbackBytes;
    FT_Library library = nullptr;
    FT_Face main = nullptr;
    FT_Face fallback = nullptr;
    ~Faces() {
        if (fallback) FT_Done_Face(fallback);
        if (main) FT_Done_Face(main);
        if (library) FT_Done_FreeType(library);
    }
};

namespace {
// The whole file, at most 64 MiB.
bool ReadFontFile(const std::string& path, std::vector<uint8_t>& out) {
    int64_t size = 0;
    const OMB_FileHandle file = OMB_OpenForReading(path.c_str(), &size);
    if (!file || size <= 0 || size > (int64_t(64) << 20)) return false;
    out.resize(size_t(size));
    return std::fread(out.data(), 1, out.size(), file.get()) == out.size();
}

bool NewFace(FT_Library library, const std::string& path, std::vector<uint8_t>& bytes, FT_Face& face) {
    face = nullptr;
    if (!ReadFontFile(path, bytes)) return false;
    if (FT_New_Memory_Face(library, bytes.data(), FT_Long(bytes.size()), 0, &face) == 0) return true;
    face = nullptr;
    return false;
}

// The main face's em for a cell: its digits then advance half the cell
// height (the 8 by 16 cells of the toolkit) and its ascent and descent fill
// the cell.
int MainEm(int cellHeight) { return std::max(1, (cellHeight * 13 + 8) / 16); }

bool SetSize(FT_Face face, int em) { return FT_Set_Pixel_Sizes(face, 0, FT_UInt(em)) == 0; }

uint64_t Key(uint32_t codePoint, int cellHeight) { return (uint64_t(uint32_t(cellHeight)) << 32) | codePoint; }

// The glyph's place in the atlas, in pixels and in texture coordinates.
void SetAtlasRect(UI_Glyph& glyph, int x, int y, int width, int height) {
    glyph.width = width;
    glyph.height = height;
    glyph.s0 = float(x) / UI_Font::kAtlasSize;
    glyph.t0 = float(y) / UI_Font::kAtlasSize;
    glyph.s1 = float(x + width) / UI_Font::kAtlasSize;
    glyph.t1 = float(y + height) / UI_Font::kAtlasSize;
}

}  // namespace

UI_Font::UI_Font() = default;
UI_Font::~UI_Font() = default;

bool UI_Font::IsLoaded() const { return m_faces && m_faces->main; }

bool UI_Font::Load(const std::string& mainPath, const std::string& fallbackPath, std::string& error) {
    auto faces = std::make_unique<Faces>();
    if (FT_Init_FreeType(&faces->library) != 0) {
        error = "cannot start FreeType";
        return false;
    }
    if (!NewFace(faces->library, mainPath, faces->mainBytes, faces->main) || !faces->main->charmap) {
        error = "cannot read font " + mainPath;
        return false;
    }
    NewFace(faces->library, fallbackPath, faces->fallbackBytes, faces->fallback);
    m_faces = std::move(faces);
    m_glyphs.clear();
    m_descents.clear();
    m_atlas.assign(size_t(kAtlasSize) * kAtlasSize, 0);
    m_penX = m_penY = 1;
    m_rowHeight = 0;
    m_dirtyY0 = 0;
    m_dirtyY1 = kAtlasSize;
    m_full = false;
    return true;
}

int UI_Font::Descent(int cellHeight) {
    auto found = m_descents.find(cellHeight);
    if (found != m_descents.end()) return found->second;
    if (!IsLoaded() || !SetSize(m_faces->main, MainEm(cellHeight))) return cellHeight / 4;
    const FT_Size_Metrics& metrics = m_faces->main->size->metrics;
    const int ascent = int(metrics.ascender >> 6), descent = int((-metrics.descender) >> 6);
    const int result = std::max(0, (cellHeight - ascent - descent) / 2 + descent);
    m_descents[cellHeight] = result;
    return result;
}

bool UI_Font::Place(int width, int height, int& x, int& y) {
    // Shelves of glyphs, one texel apart so filtering never mixes two.
    if (m_penX + width + 1 > kAtlasSize) {
        m_penX = 1;
        m_penY += m_rowHeight + 1;
        m_rowHeight = 0;
    }
    if (width + 2 > kAtlasSize || m_penY + height + 1 > kAtlasSize) {
        m_full = true;
        return false;
    }
    x = m_penX;
    y = m_penY;
    m_penX += width + 1;
    m_rowHeight = std::max(m_rowHeight, height);
    m_dirtyY0 = std::min(m_dirtyY0, y);
    m_dirtyY1 = std::max(m_dirtyY1, y + height);
    return true;
}

UI_Glyph UI_Font::MissingBox(int cellHeight) {
    // A hollow box as tall as a capital, one cell wide.
    UI_Glyph glyph;
    const int width = std::max(3, cellHeight / 2 - 2), height = std::max(4, cellHeight * 5 / 8);
    const int line = std::max(1, cellHeight / 16);
    glyph.advance = cellHeight / 2;
    glyph.left = (glyph.advance - width) / 2;
    glyph.top = height;
    int x = 0, y = 0;
    if (!Place(width, height, x, y)) return glyph;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const bool edge = row < line || row >= height - line || col < line || col >= width - line;
            m_atlas[size_t(y + row) * kAtlasSize + size_t(x + col)] = edge ? 255 : 0;
        }
    SetAtlasRect(glyph, x, y, width, height);
    return glyph;
}

UI_Glyph UI_Font::Rasterise(uint32_t codePoint, int cellHeight) {
    FT_Face face = nullptr;
    FT_Int32 flags = FT_LOAD_RENDER;
    if (FT_Get_Char_Index(m_faces->main, codePoint) != 0 && SetSize(m_faces->main, MainEm(cellHeight))) {
        face = m_faces->main;
    } else if (m_faces->fallback && FT_Get_Char_Index(m_faces->fallback, codePoint) != 0 &&
               SetSize(m_faces->fallback, cellHeight)) {
        // The fallback is a pixel font drawn on a 16-pixel em: two-level
        // rendering keeps its pixels square at every size.
        face = m_faces->fallback;
        flags |= FT_LOAD_TARGET_MONO;
    }
    if (!face || FT_Load_Char(face, codePoint, flags) != 0) return MissingBox(cellHeight);
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    UI_Glyph glyph;
    glyph.advance = int(slot->advance.x >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    const int width = int(bitmap.width), height = int(bitmap.rows);
    int x = 0, y = 0;
    if (width == 0 || height == 0 || !Place(width, height, x, y)) return glyph;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = bitmap.buffer + row * bitmap.pitch;
        uint8_t* dst = &m_atlas[size_t(y + row) * kAtlasSize + size_t(x)];
        for (int col = 0; col < width; ++col) dst[col] = mono ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255 : src[col];
    }
    SetAtlasRect(glyph, x, y, width, height);
    return glyph;
}

const UI_Glyph* UI_Font::Glyph(uint32_t codePoint, int cellHeight) {
    if (!IsLoaded() || cellHeight < 1) return nullptr;
    const uint64_t key = Key(codePoint, cellHeight);
    auto found = m_glyphs.find(key);
    if (found != m_glyphs.end()) return &found->second;
    if (m_full) {
        // Blank until the next frame starts the atlas over.
        static const UI_Glyph kBlank;
        return &kBlank;
    }
    const bool control = codePoint < 32 || (codePoint >= 0x7F && codePoint < 0xA0);
    UI_Glyph glyph = control ? UI_Glyph() : Rasterise(codePoint, cellHeight);
    if (m_full) return Glyph(codePoint, cellHeight);
    return &m_glyphs.emplace(key, glyph).first->second;
}

void UI_Font::StartFrame() {
    if (!m_full) return;
    // The frame that ran the atlas full has been drawn: start over.
    std::fill(m_atlas.begin(), m_atlas.end(), 0);
    m_glyphs.clear();
    m_penX = m_penY = 1;
    m_rowHeight = 0;
    m_full = false;
    m_dirtyY0 = 0;
    m_dirtyY1 = kAtlasSize;
}

bool UI_Font::Upload() {
    if (!IsLoaded()) return false;
    if (m_texture.Name() == 0) {
        GLSampler sampler;  // nearest: glyphs are drawn texel for pixel
        if (!m_texture.Create2D(GL_ALPHA8, kAtlasSize, kAtlasSize, GL_ALPHA, m_atlas.data(), sampler)) return false;
    } else if (m_dirtyY1 > m_dirtyY0) {
        m_texture.Update(0, m_dirtyY0, 0, kAtlasSize, m_dirtyY1 - m_dirtyY0, 1, GL_ALPHA, GL_UNSIGNED_BYTE,
                         &m_atlas[size_t(m_dirtyY0) * kAtlasSize]);
    }
    m_dirtyY0 = kAtlasSize;
    m_dirtyY1 = 0;
    return true;
}
