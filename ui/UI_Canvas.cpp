// Frame batches and font of the user interface (see UI_Canvas.h).
#include "ui/UI_Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/OMB_Utf8.h"
#include "ui/UI_Text.h"

// ---------------------------------------------------------------- batches

namespace {
OMB_Rect Intersect(const OMB_Rect& a, const OMB_Rect& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}
}  // namespace

OMB_Rect UI_Canvas::Clip(const OMB_Rect& rect) {
    const OMB_Rect outer = m_clip;
    m_clip = Intersect(m_clip, rect);
    return outer;
}

void UI_Canvas::Begin() {
    m_clip = kNoClip;
    m_font.StartFrame();
    m_quads.Begin(GL_QUADS);
    m_text.Begin(GL_QUADS);
}

void UI_Canvas::End() {
    m_quads.End();
    m_text.End();
}

void UI_Canvas::FillRect(OMB_Color color, const OMB_Rect& shape) {
    const OMB_Rect rect = Intersect(shape, m_clip);
    if (rect.IsEmpty()) return;
    m_quads.SetColorRGBA(color);
    m_quads.AddFilledRect(float(rect.x0), float(rect.y0), float(rect.x1 + 1), float(rect.y1 + 1));
}

void UI_Canvas::FillGradient(const OMB_Color* colors, int count, const OMB_Rect& rect) {
    if (!colors || count < 2 || Intersect(rect, m_clip).IsEmpty()) return;
    // Cut along y only: boxes scroll vertically.
    const float width = float(rect.Width()) / float(count - 1);
    const float y0 = float(std::max(rect.y0, m_clip.y0)), y1 = float(std::min(rect.y1, m_clip.y1) + 1);
    for (int i = 0; i + 1 < count; ++i) {
        const float xa = float(rect.x0) + width * float(i), xb = xa + width;
        m_quads.SetColorRGBA(colors[i]);
        m_quads.AddVertex(xa, y0, 0);
        m_quads.SetColorRGBA(colors[i + 1]);
        m_quads.AddVertex(xb, y0, 0);
        m_quads.AddVertex(xb, y1, 0);
        m_quads.SetColorRGBA(colors[i]);
        m_quads.AddVertex(xa, y1, 0);
    }
}

int UI_Canvas::TextColumns(const OMB_Rect& rect, float charW, int align) {
    // Left and right aligned text keeps its 10-unit inset on its own side
    // and may reach the other edge; centred text may fill the width.
    const float margin = align == UI_ALIGN_CENTER ? 0.0f : 10.0f;
    return int(std::max(0.0f, (float(rect.Width()) - margin) / std::max(charW, 1.0f)));
}

void UI_Canvas::DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH,
                         int align) {
    if (!text || !(charW > 0)) return;
    const float width = float(rect.Width()), height = float(rect.Height());
    const float y = float(rect.y0) + (height - charH) / 2;
    float x = float(rect.x0) + width / 2;
    if (align == UI_ALIGN_LEFT) x = float(rect.x0) + 10;
    if (align == UI_ALIGN_RIGHT) x = float(rect.x0) + width - 10;
    const int columns = TextColumns(rect, charW, align);
    SetTextColor(color);
    // Most text fits: measure without a copy (a steady frame allocates
    // nothing); only cut text builds its shortened form.
    const size_t length = strnlen(text, size_t(columns) * 4 + 8);
    if (text[length] == '\0' && UI_TextColumns(text, length) <= columns) {
        DrawString(text, columns, x, y, charW, charH, align);
        return;
    }
    const std::string full(text);
    const std::string shown = UI_Ellipsize(full, columns, true);
    DrawString(shown.c_str(), columns, x, y, charW, charH, align);
}

void UI_Canvas::DrawString(const char* text, int count, float x, float y, float charW, float charH, int align) {
    if (!text || count <= 0) return;
    // The cells drawn, whole characters only.
    const char* end = text;
    int cells = 0;
    for (const char* limit = text + strnlen(text, size_t(count) * 4); end < limit;) {
        const char* p = end;
        const int width = UI_CharColumns(OMB_DecodeUtf8(p, limit));
        if (cells + width > count) break;
        cells += width;
        end = p;
    }
    if (align == UI_ALIGN_CENTER) x -= float(cells) * charW / 2;
    if (align == UI_ALIGN_RIGHT) x -= float(cells) * charW;
    if (!m_font.IsLoaded()) return;
    // Device pixels: the pen stays on whole pixels so glyphs map texel for
    // pixel at every scale.
    const float s = m_scale;
    const int cellHeight = std::max(1, int(std::lround(charH * s)));
    const float penY = std::round(y * s);
    const float baseline = penY + float(m_font.Descent(cellHeight));
    const bool inside = y >= float(m_clip.y0) && y + charH <= float(m_clip.y1 + 1);
    float cellX = x;
    for (const char* p = text; p < end;) {
        const uint32_t c = OMB_DecodeUtf8(p, end);
        const int width = UI_CharColumns(c);
        const float cellW = charW * float(width);
        const bool shown = inside && cellX >= float(m_clip.x0) && cellX + cellW <= float(m_clip.x1 + 1);
        const UI_Glyph* glyph = shown && c > 32 ? m_font.Glyph(c, cellHeight) : nullptr;
        if (glyph && glyph->width > 0) {
            // A glyph narrower or wider than its cells is centred in them.
            const float area = std::round(cellW * s);
            const float penX = std::round(cellX * s) + std::floor((area - float(glyph->advance)) / 2);
            const float x0 = (penX + float(glyph->left)) / s, x1 = x0 + float(glyph->width) / s;
            const float y1 = (baseline + float(glyph->top)) / s, y0 = y1 - float(glyph->height) / s;
            m_text.SetTexCoord(glyph->s0, glyph->t1);
            m_text.AddVertex(x0, y0, 0);
            m_text.SetTexCoord(glyph->s1, glyph->t1);
            m_text.AddVertex(x1, y0, 0);
            m_text.SetTexCoord(glyph->s1, glyph->t0);
            m_text.AddVertex(x1, y1, 0);
            m_text.SetTexCoord(glyph->s0, glyph->t0);
            m_text.AddVertex(x0, y1, 0);
        }
        cellX += cellW;
    }
}

void UI_Canvas::SetScale(float scale) { m_scale = std::clamp(scale, 1.0f, 3.0f); }

void UI_Canvas::Render(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, double(width) / m_scale, 0, double(height) / m_scale, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    m_quads.Draw();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (m_font.Upload()) {
        m_font.Texture().Bind(0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        m_text.Draw();
        m_font.Texture().Unbind(0);
    }
    glDisable(GL_BLEND);
}

// ---------------------------------------------------------------- font

bool UI_Canvas::LoadFont(const std::string& folder, std::string& error) {
    return m_font.Load(folder + "/" + kUiMainFace, folder + "/" + kUiFallbackFace, error);
}
