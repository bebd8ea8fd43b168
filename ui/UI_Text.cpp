// Cell widths and ellipsis of toolkit text (see UI_Text.h).
#include "ui/UI_Text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/OMB_Utf8.h"

int UI_CharColumns(uint32_t c) {
    // The wide and fullwidth blocks (Hangul Jamo, CJK, Hangul syllables,
    // compatibility forms, fullwidth forms, the supplementary ideograph
    // planes and the pictographs commonly shown wide).
    static const uint32_t kWide[][2] = {
        {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF}, {0xA960, 0xA97F}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F},
        {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
    };
    for (const auto& range : kWide)
        if (c >= range[0] && c <= range[1]) return 2;
    return 1;
}

int UI_TextColumns(const char* text, size_t length) {
    const char* end = text + length;
    int columns = 0;
    while (text < end) columns += UI_CharColumns(OMB_DecodeUtf8(text, end));
    return columns;
}

int UI_ColumnsBefore(const std::string& text, int offset) {
    return UI_TextColumns(text.data(), size_t(std::clamp(offset, 0, int(text.size()))));
}

int UI_TextColumns(const std::string& text) { return UI_ColumnsBefore(text, int(text.size())); }

int UI_OffsetAtColumn(const std::string& text, float column) {
    int offset = 0, at = 0;
    while (offset < int(text.size())) {
        const int next = OMB_Utf8Next(text, offset);
        const char* p = text.data() + offset;
        const int width = UI_CharColumns(OMB_DecodeUtf8(p, text.data() + text.size()));
        if (column < float(at) + float(width) / 2) break;
        at += width;
        offset = next;
    }
    return offset;
}

bool UI_HasExtension(const std::string& text) {
    const size_t dot = text.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 >= text.size() || text.size() - dot > 9) return false;
    return text.find_first_of(" \t/", dot) == std::string::npos;
}

namespace {
// The text's characters with their byte offsets (one extra at the end).
struct Chars {
    std::vector<int> offsets, widths;
    explicit Chars(const std::string& text) {
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            offsets.push_back(int(p - text.data()));
            widths.push_back(UI_CharColumns(OMB_DecodeUtf8(p, end)));
        }
        offsets.push_back(int(text.size()));
    }
};
}  // namespace

std::string UI_Ellipsize(const std::string& text, int columns, bool keepEnd) {
    if (columns < 1 || UI_TextColumns(text) <= columns) return text;
    static const std::string kEllipsis = "\xE2\x80\xA6";
    const Chars chars(text);
    const int count = int(chars.widths.size());
    int room = columns - 1;  // the ellipsis takes one cell
    // The end kept: the extension and, with room, as much of the stem's end
    // as the start keeps (a third of the room).
    int tail = count;  // first character of the kept end
    if (keepEnd && UI_HasExtension(text)) {
        const int dot = int(text.rfind('.'));
        int used = 0, first = count;
        while (first > 0 && chars.offsets[size_t(first - 1)] >= dot) used += chars.widths[size_t(--first)];
        const int extra = std::max(0, (room - used) / 3);
        int more = 0;
        while (first > 0 && more + chars.widths[size_t(first - 1)] <= extra) more += chars.widths[size_t(--first)];
        if (used + more <= room) {
            tail = first;
            room -= used + more;
        }
    }
    int head = 0, used = 0;
    while (head < tail && used + chars.widths[size_t(head)] <= room) used += chars.widths[size_t(head++)];
    return text.substr(0, size_t(chars.offsets[size_t(head)])) + kEllipsis +
           text.substr(size_t(chars.offsets[size_t(tail)]));
}
