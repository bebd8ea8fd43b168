// libFuzzer target for OMB_Lexer: any bytes, under the option sets the program
// uses, every token until NextToken fails, then the number readers over the same
// text. Catches reads past the terminating zero and loops that never advance.
#include "core/OMB_Lexer.h"
#include "core/OMB_Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OMB_SetLogMode(OMB_LogMode::Silent);
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const char* const begin = text.data();
    const char* const end = begin + std::strlen(begin);

    const unsigned optionSets[] = {0u, OMB_LEX_BLOCK_STRINGS | OMB_LEX_PRINT_ERRORS};
    for (unsigned options : optionSets) {
        OMB_Lexer lexer(begin, options);
        OMB_Token token;
        // Every successful token consumes at least one byte.
        for (size_t count = 0; lexer.NextToken(token); ++count) {
            if (count > size || token.length < 0 || token.start < begin ||
                token.start + token.length > end || lexer.Current() > end)
                std::abort();
            (void)token.UIntValue();
            (void)token.FloatValue();
        }
        if (lexer.Current() > end) std::abort();
    }

    OMB_Lexer numbers(begin, 0);
    for (size_t i = 0; i <= size; ++i) {
        int32_t value = 0;
        if (!numbers.ReadInt(value)) break;
    }
    numbers.Init(begin, 0);
    for (size_t i = 0; i <= size; ++i) {
        float value = 0.0f;
        if (!numbers.ReadFloat(value)) break;
    }
    return 0;
}
