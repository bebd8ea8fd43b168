// TGA palette writer and true-colour reader (see TK_Plugin_TGA.h).
#include "plugins/TK_Plugin_TGA.h"

#include <cstdio>
#include <cstring>

#include "core/OMB_Log.h"
#include "plugins/TK_ImageConvert.h"
#include "plugins/TK_ImageFile.h"

namespace {

constexpr size_t kHeaderSize = 18;
constexpr int kTypeTrueColour = 2;
constexpr int kTypeRunLength = 10;
constexpr uint8_t kTopOrigin = 0x20;  // image descriptor bit 5

int GetU16(const uint8_t* p) { return p[0] | p[1] << 8; }

bool Fail(const char* message) {
    OMB_Printf("[Error] TGA : %s\n", message);
    return false;
}

// A bounded reader over the pixel data: every take is checked against what
// is left, so no count from the file reads past its end.
struct Source {
    const uint8_t* data;
    size_t size;
    size_t pos;
    const uint8_t* Take(size_t n) {
        if (n > size - pos) return nullptr;
        const uint8_t* p = data + pos;
        pos += n;
        return p;
    }
};

// Copies `count` file pixels (B, G, R[, A]) as R, G, B[, A].
void CopySwapped(const uint8_t* from, uint8_t* to, size_t count, int bpp) {
    for (size_t i = 0; i < count; ++i, from += bpp, to += bpp) {
        to[0] = from[2], to[1] = from[1], to[2] = from[0];
        if (bpp == 4) to[3] = from[3];
    }
}

bool ReadRaw(Source& src, Image& image, int bpp) {
    const size_t pixels = size_t(image.width) * size_t(image.height);
    if (pixels > (src.size - src.pos) / size_t(bpp)) return Fail("file too short for its pixels");
    CopySwapped(src.Take(pixels * size_t(bpp)), image.pixels.data(), pixels, bpp);
    return true;
}

// A packet that would run past the last pixel or the end of the file fails
// the whole read instead of being cut short.
bool ReadRunLength(Source& src, Image& image, int bpp) {
    const size_t pixels = size_t(image.width) * size_t(image.height);
    uint8_t* out = image.pixels.data();
    for (size_t done = 0; done < pixels;) {
        const uint8_t* head = src.Take(1);
        if (!head) return Fail("file too short for its pixels");
        const size_t count = size_t(*head & 127) + 1;
        if (count > pixels - done) return Fail("run-length packet past the image end");
        const bool repeat = (*head & 128) != 0;
        const uint8_t* from = src.Take(repeat ? size_t(bpp) : count * size_t(bpp));
        if (!from) return Fail("file too short for its pixels");
        if (repeat)
            for (size_t i = 0; i < count; ++i) CopySwapped(from, out + (done + i) * size_t(bpp), 1, bpp);
        else
            CopySwapped(from, out + done * size_t(bpp), count, bpp);
        done += count;
    }
    return true;
}

void FlipRows(Image& image) {
    const size_t row = size_t(image.width) * size_t(Image::BytesPerPixel(image.format));
    std::vector<uint8_t> tmp(row);
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = &image.pixels[size_t(top) * row];
        uint8_t* b = &image.pixels[size_t(bottom) * row];
        std::memcpy(tmp.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, tmp.data(), row);
    }
}

}  // namespace

void TK_Plugin_TGA::WriteBytes(const Palette& palette, std::vector<uint8_t>& out) {
    Image image;
    PaletteToImage(palette, image);
    out.assign(kHeaderSize, 0);
    out[2] = kTypeTrueColour;
    out[12] = 0, out[13] = 1;  // width 256
    out[14] = 1;               // height 1
    out[16] = 32;
    out.resize(kHeaderSize + image.pixels.size());
    CopySwapped(image.pixels.data(), out.data() + kHeaderSize, 256, 4);
}

bool TK_Plugin_TGA::ParseBytes(const uint8_t* data, size_t size, Image& image) {
    image = Image();
    if (size < kHeaderSize) return Fail("file too short for its header");
    const uint8_t* h = data;
    if (h[1] != 0) return Fail("unsupport color map");
    const int bits = h[16];
    if (bits != 24 && bits != 32) {
        OMB_Printf("[Error] TGA : unsupported color bits : %d\n", bits);
        return false;
    }
    const int type = h[2];
    if (type != kTypeTrueColour && type != kTypeRunLength) {
        OMB_Printf("[Error] TGA : unsupported image type : %d\n", type);
        return false;
    }
    const int width = GetU16(h + 12), height = GetU16(h + 14);
    if (!TK_IsImageSizeAllowed(width, height)) return Fail("unsupported image size");
    Source src{data, size, kHeaderSize};
    if (!src.Take(h[0])) return Fail("file too short for its id field");
    const int bpp = bits / 8;
    // The fewest bytes that could hold the pixels: a repeat packet of 128
    // pixels costs 1 + bpp bytes. Checked before the pixels are allocated.
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    const uint64_t left = src.size - src.pos;
    const bool enough = type == kTypeTrueColour ? pixels * bpp <= left : pixels <= (left / (1 + bpp)) * 128;
    if (!enough) return Fail("file too short for its pixels");
    Image result;
    result.Allocate(bits == 32 ? IMAGE_RGBA : IMAGE_RGB, width, height);
    if (!(type == kTypeTrueColour ? ReadRaw(src, result, bpp) : ReadRunLength(src, result, bpp))) return false;
    if (!(h[17] & kTopOrigin)) FlipRows(result);
    image = std::move(result);
    return true;
}

bool TK_Plugin_TGA::SaveModel(const std::string& path, const std::string&, const TK_Model& model) {
    std::vector<uint8_t> bytes;
    WriteBytes(model.palette, bytes);
    return TK_WriteFileBytes(path, bytes);
}

bool TK_Plugin_TGA::LoadImage(const std::string& path, const std::string&, Image& image) {
    std::vector<uint8_t> bytes;
    if (!TK_ReadFileBytes(path, kMaxFileSize, bytes)) return false;
    return ParseBytes(bytes.data(), bytes.size(), image);
}
