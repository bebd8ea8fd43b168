// UTF-8 decoding and stepping (see OMB_Utf8.h).
#include "core/OMB_Utf8.h"

#include <algorithm>

uint32_t OMB_DecodeUtf8(const char*& p, const char* end) {
    const auto byte = [](const char* q) { return uint32_t(static_cast<unsigned char>(*q)); };
    const uint32_t lead = byte(p);
    if (lead < 0x80) {
        ++p;
        return lead;
    }
    // Length, payload bits of the lead and the smallest value that needs
    // this length (a smaller one is overlong).
    int length = 0;
    uint32_t value = 0, minimum = 0;
    if ((lead & 0xE0) == 0xC0) length = 2, value = lead & 0x1F, minimum = 0x80;
    else if ((lead & 0xF0) == 0xE0) length = 3, value = lead & 0x0F, minimum = 0x800;
    else if ((lead & 0xF8) == 0xF0) length = 4, value = lead & 0x07, minimum = 0x10000;
    if (length == 0 || end - p < length) {
        ++p;
        return kUtf8Replacement;
    }
    for (int i = 1; i < length; ++i) {
        const uint32_t next = byte(p + i);
        if ((next & 0xC0) != 0x80) {
            ++p;
            return kUtf8Replacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++p;
        return kUtf8Replacement;
    }
    p += length;
    return value;
}

void OMB_AppendUtf8(std::string& out, uint32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kUtf8Replacement;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

int OMB_Utf8Next(const std::string& text, int offset) {
    const int size = int(text.size());
    if (offset < 0) return 0;
    if (offset >= size) return size;
    const char* p = text.data() + offset;
    OMB_DecodeUtf8(p, text.data() + size);
    return int(p - text.data());
}

int OMB_Utf8Prev(const std::string& text, int offset) {
    offset = std::clamp(offset, 0, int(text.size()));
    if (offset == 0) return 0;
    // A sequence is at most four bytes: decode forward from the earliest
    // start that could end exactly at `offset`.
    for (int start = std::max(0, offset - 4); start < offset; ++start) {
        if ((static_cast<unsigned char>(text[size_t(start)]) & 0xC0) == 0x80 && start != offset - 1) continue;
        if (OMB_Utf8Next(text, start) == offset) return start;
    }
    return offset - 1;
}

std::string OMB_SanitizeUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) OMB_AppendUtf8(out, OMB_DecodeUtf8(p, end));
    return out;
}
