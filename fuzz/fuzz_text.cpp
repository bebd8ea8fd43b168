// libFuzzer target for UTF-8 text as the toolkit meets it in file names:
// the decoder always advances and stays inside the bytes, stepping forward
// and back agree on boundaries, sanitised text decodes without a single
// malformed sequence, and the ellipsis never returns more cells than asked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/OMB_Utf8.h"
#include "ui/UI_Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* before = p;
        const uint32_t c = OMB_DecodeUtf8(p, end);
        if (p <= before || p > end || c > 0x10FFFF) std::abort();
    }
    for (int at = 0; at < int(text.size()); at = OMB_Utf8Next(text, at))
        if (OMB_Utf8Prev(text, OMB_Utf8Next(text, at)) != at) std::abort();
    const std::string clean = OMB_SanitizeUtf8(text);
    if (OMB_SanitizeUtf8(clean) != clean) std::abort();
    const int columns = size > 0 ? int(data[0] % 40) + 1 : 1;
    for (bool keepEnd : {false, true})
        if (UI_TextColumns(UI_Ellipsize(text, columns, keepEnd)) > columns) std::abort();
    (void)UI_OffsetAtColumn(text, float(columns));
    return 0;
}
