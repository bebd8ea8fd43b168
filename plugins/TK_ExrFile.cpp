// The OpenEXR writer (see TK_ExrFile.h): the file is built in memory through
// a stream of our own, then written atomically.
#include "plugins/TK_ExrFile.h"

#include <ImfOutputFile.h>
#include <ImfRgbaFile.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "plugins/TK_ImageFile.h"

namespace {

// An Imf::OStream over a growing byte buffer (the library seeks back to
// write its offset table).
class MemoryStream : public Imf::OStream {
public:
    explicit MemoryStream(std::vector<uint8_t>& bytes) : Imf::OStream("memory"), m_bytes(bytes) {}
    void write(const char c[], int n) override {
        const size_t end = size_t(m_position) + size_t(n);
        if (end > m_bytes.size()) m_bytes.resize(end);
        std::memcpy(m_bytes.data() + m_position, c, size_t(n));
        m_position = end;
    }
    uint64_t tellp() override { return m_position; }
    void seekp(uint64_t position) override { m_position = position; }

private:
    std::vector<uint8_t>& m_bytes;
    uint64_t m_position = 0;
};

}  // namespace

bool TK_EncodeEXR(const std::vector<float>& rgba, int width, int height, std::vector<uint8_t>& out) {
    out.clear();
    if (width < 1 || height < 1 || rgba.size() != size_t(width) * size_t(height) * 4) return false;
    std::vector<Imf::Rgba> pixels(size_t(width) * size_t(height));
    for (size_t i = 0; i < pixels.size(); ++i) {
        const float* p = &rgba[i * 4];
        // Half floats overflow above 65504: clamp rather than write infinities.
        auto h = [](float v) { return half(std::min(std::max(v, -65504.0f), 65504.0f)); };
        pixels[i] = Imf::Rgba(h(p[0]), h(p[1]), h(p[2]), h(p[3]));
    }
    try {
        MemoryStream stream(out);
        Imf::RgbaOutputFile file(stream, Imf::Header(width, height), Imf::WRITE_RGBA);
        file.setFrameBuffer(pixels.data(), 1, size_t(width));
        file.writePixels(height);
    } catch (const std::exception&) {
        out.clear();
        return false;
    }
    return !out.empty();
}

bool TK_SaveEXR(const std::vector<float>& rgba, int width, int height, const std::string& path) {
    std::vector<uint8_t> bytes;
    return TK_EncodeEXR(rgba, width, height, bytes) && TK_WriteFileBytes(path, bytes);
}
