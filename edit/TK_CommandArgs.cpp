// Argument readers shared by the commands (see TK_CommandArgs.h).
#include "edit/TK_CommandArgs.h"

TK_ArgRead TK_NextArg(OMB_Lexer& lexer, OMB_Token& token) {
    lexer.SkipToToken();
    if (lexer.Error()) return TK_ArgRead::Bad;
    if (lexer.AtEnd()) return TK_ArgRead::End;
    return lexer.NextToken(token) ? TK_ArgRead::Token : TK_ArgRead::Bad;
}

bool TK_ArgsAtEnd(OMB_Lexer& lexer) {
    lexer.SkipToToken();
    return lexer.AtEnd();
}

bool TK_TryReadInt(OMB_Lexer& lexer, int& out) {
    const char* mark = lexer.Current();
    int32_t v = 0;
    if (!lexer.ReadInt(v)) {
        lexer.SetCurrent(mark);
        return false;
    }
    out = v;
    return true;
}

int TK_HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void TK_SelectAxes(const OMB_Token& word, int axes[3]) {
    for (int i = 0; i < word.length; ++i) {
        char c = word.start[i];
        if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
        if (c >= 'x' && c <= 'z') axes[c - 'x'] = 1;
    }
}

void TK_ParseOptionalAxes(const char* args, int axes[3]) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    if (TK_NextArg(lexer, token) == TK_ArgRead::Token && token.kind == OMB_TOKEN_WORD) {
        axes[0] = axes[1] = axes[2] = 0;
        TK_SelectAxes(token, axes);
        return;
    }
    axes[0] = axes[1] = axes[2] = 1;
}

bool TK_ParseAxisValues(const char* args, int values[3]) {
    OMB_Lexer lexer(args, 0);
    OMB_Token token;
    for (;;) {
        TK_ArgRead read = TK_NextArg(lexer, token);
        if (read == TK_ArgRead::End) return true;
        if (read == TK_ArgRead::Bad || token.kind != OMB_TOKEN_WORD) return false;
        int axes[3] = {0, 0, 0};
        TK_SelectAxes(token, axes);
        int32_t value = 0;
        if (!lexer.ReadInt(value)) return false;
        for (int a = 0; a < 3; ++a)
            if (axes[a]) values[a] = value;
    }
}
