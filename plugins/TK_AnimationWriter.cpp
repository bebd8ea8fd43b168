// The table of animation kinds, the frame-number pattern and the PNG series
// writer (see TK_AnimationWriter.h).
#include "plugins/TK_AnimationWriter.h"

#include <cctype>
#include <cstring>

#include "plugins/TK_AnimationWriter_GIF.h"
#include "plugins/TK_AnimationWriter_WebP.h"
#include "plugins/TK_Plugin_PNG.h"

namespace {

// Each frame through its own temporary file, named by the pattern.
class PngSeriesWriter : public TK_AnimationWriter {
public:
    PngSeriesWriter(const std::string& pattern, const Settings& settings) : m_pattern(pattern), m_settings(settings) {}
    bool AddFrame(const Image& frame) override {
        if (frame.width != m_settings.width || frame.height != m_settings.height) return false;
        return TK_Plugin_PNG::SaveImage(frame, TK_FramePath(m_pattern, m_frame++));
    }
    bool Finish() override { return m_frame > 0; }

private:
    std::string m_pattern;
    Settings m_settings;
    int m_frame = 0;
};

std::unique_ptr<TK_AnimationWriter> MakeWebP(const std::string& path, const TK_AnimationWriter::Settings& s) {
    return std::make_unique<TK_AnimationWriter_WebP>(path, s);
}
std::unique_ptr<TK_AnimationWriter> MakeGIF(const std::string& path, const TK_AnimationWriter::Settings& s) {
    return std::make_unique<TK_AnimationWriter_GIF>(path, s);
}

// The animated kinds by extension.
const struct {
    const char* extension;
    std::unique_ptr<TK_AnimationWriter> (*make)(const std::string&, const TK_AnimationWriter::Settings&);
} kKinds[] = {
    {"webp", &MakeWebP},
    {"gif", &MakeGIF},
};

const char kPatternHelp[] = "one frame number (%d or %03d) in the file name of a .png";

// Length of the pattern starting at text[0] == '%', or 0 when it is none.
size_t PatternLength(const char* text) {
    size_t n = 1;
    if (text[n] == '0' && text[n + 1] >= '1' && text[n + 1] <= '9') n += 2;
    return text[n] == 'd' ? n + 1 : 0;
}

size_t NameStart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string TK_LowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < NameStart(path)) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool TK_IsFramePattern(const std::string& path, bool* hasPattern) {
    const size_t first = path.find('%');
    if (hasPattern) *hasPattern = first != std::string::npos;
    if (first == std::string::npos || first < NameStart(path)) return false;
    const size_t length = PatternLength(path.c_str() + first);
    return length > 0 && path.find('%', first + length) == std::string::npos;
}

std::string TK_FramePath(const std::string& pattern, int frame) {
    const size_t at = pattern.find('%');
    const size_t length = PatternLength(pattern.c_str() + at);
    const int width = length == 4 ? pattern[at + 2] - '0' : 0;
    std::string number = std::to_string(frame);
    if (int(number.size()) < width) number.insert(0, size_t(width) - number.size(), '0');
    return pattern.substr(0, at) + number + pattern.substr(at + length);
}

bool TK_AnimationWriter::IsAnimationPath(const std::string& path) {
    bool hasPattern = false;
    TK_IsFramePattern(path, &hasPattern);
    if (hasPattern) return true;
    const std::string ext = TK_LowerExtension(path);
    for (const auto& kind : kKinds)
        if (ext == kind.extension) return true;
    return false;
}

std::unique_ptr<TK_AnimationWriter> TK_AnimationWriter::Create(const std::string& path, const Settings& settings,
                                                               std::string& error) {
    const std::string ext = TK_LowerExtension(path);
    bool hasPattern = false;
    if (TK_IsFramePattern(path, &hasPattern) && ext == "png") return std::make_unique<PngSeriesWriter>(path, settings);
    if (hasPattern) {
        error = std::string("bad frame pattern (use ") + kPatternHelp + ") : " + path;
        return nullptr;
    }
    for (const auto& kind : kKinds)
        if (ext == kind.extension) return kind.make(path, settings);
    error = std::string("an animation is written as .webp, .gif or ") + kPatternHelp + " : " + path;
    return nullptr;
}
