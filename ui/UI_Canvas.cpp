// Frame batches and font of the user interface (see UI_Canvas.h).
#include "ui/UI_Canvas.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/OMB_FileHandle.h"

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

void UI_Canvas::DrawText(const char* text, OMB_Color color, const OMB_Rect& rect, float charW, float charH,
                         int align) {
    if (!text || !(charW > 0)) return;
    const float width = float(rect.Width()), height = float(rect.Height());
    const float y = float(rect.y0) + (height - charH) / 2;
    float x = float(rect.x0) + width / 2;
    if (align == UI_ALIGN_LEFT) x = float(rect.x0) + 10;
    if (align == UI_ALIGN_RIGHT) x = float(rect.x0) + width - 10;
    // Clipped to the view: no more glyphs than its width holds, whatever
    // the text's length (one quad per character would otherwise grow
    // without bound).
    const size_t fits = size_t(std::max(0.0f, width / charW)) + 1;
    SetTextColor(color);
    DrawString(text, int(strnlen(text, fits)), x, y, charW, charH, align);
}

void UI_Canvas::DrawString(const char* text, int count, float x, float y, float charW, float charH, int align) {
    if (!text || count <= 0) return;
    count = int(strnlen(text, size_t(count)));
    if (align == UI_ALIGN_CENTER) x -= float(count) * charW / 2;
    if (align == UI_ALIGN_RIGHT) x -= float(count) * charW;
    // Whole pixels keep the glyphs texel for pixel (crisp with any filter).
    x = std::floor(x + 0.5f);
    y = std::floor(y + 0.5f);
    const bool inside = y >= float(m_clip.y0) && y + charH <= float(m_clip.y1 + 1);
    for (int i = 0; i < count; ++i, x += charW) {
        const int c = static_cast<unsigned char>(text[i]);
        const bool shown = inside && x >= float(m_clip.x0) && x + charW <= float(m_clip.x1 + 1);
        if (c >= 1 && c <= 127 && shown) m_text.AddGlyph(c, x, y, charW, charH);
    }
}

void UI_Canvas::Render(int width, int height) const {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    m_quads.Draw();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (HasFont()) {
        m_font.Bind(0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        m_text.Draw();
        m_font.Unbind(0);
    }
    glDisable(GL_BLEND);
}

// ---------------------------------------------------------------- font

bool UI_DecodeFontImage(const uint8_t* bytes, size_t size, UI_FontImage& out) {
    out = UI_FontImage();
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!bytes || !png_image_begin_read_from_memory(&image, bytes, size)) return false;
    // Only colour images qualify (grey or palette-less one-channel ones do not).
    const bool colour = (image.format & PNG_FORMAT_FLAG_COLOR) != 0 && (image.format & PNG_FORMAT_FLAG_LINEAR) == 0;
    constexpr png_uint_32 kMaxSide = 4096;
    if (!colour || image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.rgba.resize(size_t(PNG_IMAGE_SIZE(image)));
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        out = UI_FontImage();
        return false;
    }
    out.width = int(image.width);
    out.height = int(image.height);
    return true;
}

namespace {
// The whole file, when it exists and is at most 16 MiB; silent otherwise.
bool ReadSmallFile(const char* path, std::vector<uint8_t>& out) {
    FILE* file = path ? OMB_OpenFile(path, "rb") : nullptr;
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size > 0 && size <= (16L << 20) && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(size_t(size));
        ok = std::fread(out.data(), 1, out.size(), file) == out.size();
    }
    std::fclose(file);
    return ok;
}
}  // namespace

bool UI_Canvas::LoadFont(const char* path) {
    m_font.Release();
    std::vector<uint8_t> bytes;
    if (!ReadSmallFile(path, bytes)) return false;
    UI_FontImage image;
    if (!UI_DecodeFontImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image)) return false;
    GLSampler sampler;
    sampler.magFilter = GL_LINEAR;
    sampler.minFilter = GL_LINEAR;
    return m_font.Create2D(GL_RGBA8, image.width, image.height, GL_RGBA, image.rgba.data(), sampler);
}
