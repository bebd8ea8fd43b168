// OMB_Lexer: the one tokenizer of the program. Command arguments, the LMP
// description files and the small value strings inside them are all read with
// it. It works in place on a zero-terminated buffer and never copies: a token
// is a slice of that buffer with a kind. The buffer must outlive the lexer and
// every token taken from it.
#pragma once

#include <cstdint>
#include <string>

// Token kinds (bit sets; see OMB_Token::kind).
enum : int {
    OMB_TOKEN_STRING = 0x001,
    OMB_TOKEN_BLOCK_STRING = 0x801,
    OMB_TOKEN_LITERAL = 0x002,
    OMB_TOKEN_WORD = 0x004,
    OMB_TOKEN_NUMBER_BIT = 0x008,
    OMB_TOKEN_PUNCT = 0x010,
    OMB_TOKEN_FLOAT = 0x428,
    OMB_TOKEN_INT = 0x628,
    OMB_TOKEN_HEX = 0x648,
    OMB_TOKEN_OCT = 0x688,
    OMB_TOKEN_BIN = 0x708,
    OMB_TOKEN_INTEGER_BIT = 0x200,
};

// Option bits for Init. Command arguments and value strings use none; the
// LMP parser uses both.
enum : unsigned {
    OMB_LEX_BLOCK_STRINGS = 0x020,
    OMB_LEX_PRINT_ERRORS = 0x200,
};

// A slice of the lexer's text. Strings and literals exclude their quotes and
// keep their escapes as written.
struct OMB_Token {
    int length = 0;
    int kind = 0;
    const char* start = nullptr;

    std::string Text() const { return std::string(start ? start : "", length); }
    // Text equals `text`, for tokens that are not strings or literals.
    bool Is(const char* text) const;
    bool IsMinus() const { return Is("-"); }
    bool IsPlus() const { return Is("+"); }
    bool IsNumber() const { return (kind & OMB_TOKEN_NUMBER_BIT) != 0; }
    bool IsInteger() const { return (kind & OMB_TOKEN_INTEGER_BIT) != 0; }
    // Integer tokens: the digits in the token's base, wrapping at 32 bits.
    uint32_t UIntValue() const;
    // Any number token as a floating value.
    double FloatValue() const;
};

class OMB_Lexer {
public:
    OMB_Lexer() = default;
    OMB_Lexer(const char* text, unsigned options) { Init(text, options); }

    // A null text leaves the lexer empty with error 2 ("invalid buffer").
    void Init(const char* text, unsigned options);

    // False at the end of the text (error 3) or on an error (code kept).
    // With OMB_LEX_PRINT_ERRORS the error is also printed with its position.
    bool NextToken(OMB_Token& token);
    // Skips everything NextToken skips before a token: white space, comments
    // and lines hidden by a backslash. Callers that
    // must tell "end of text" from "a token follows" without NextToken
    // reporting "script ended" use this, then AtEnd().
    void SkipToToken();
    // An optional "-" or "+" then an integer token of any base.
    bool ReadInt(int32_t& out);
    // An optional "-" or "+" then any number token.
    bool ReadFloat(float& out);

    // The message of an error code; unknown codes give "error occured".
    static const char* ErrorText(int code);
    // The punctuator table in matching order (longest forms first).
    static int PunctuatorCount();
    static const char* Punctuator(int index);  // null outside [0, count)

    int Error() const { return m_error; }
    bool AtEnd() const { return m_current >= m_end; }
    const char* End() const { return m_end; }
    const char* Current() const { return m_current; }
    // Moves the read position; `p` must lie within [Begin, End].
    void SetCurrent(const char* p) { m_current = p; }
    int TokenLine() const { return m_tokenLine; }
    int TokenColumn() const { return m_tokenColumn; }

private:
    // Skips white space and comments; stops at the next token or the end.
    void SkipSpace();
    char ByteAt(const char* p) const { return p < m_end ? *p : '\0'; }
    void StartLine(const char* lineStart);
    void SkipRestOfLine();
    void SkipBlockComment();
    void ReadToken(OMB_Token& token);
    void ReadWord(OMB_Token& token);
    void ReadNumber(OMB_Token& token);
    void ReadPrefixedNumber(OMB_Token& token, int base);
    void ReadQuoted(OMB_Token& token, char quote);
    const char* SkipEscape(const char* p) const;
    bool ReadBlockString(OMB_Token& token);
    void ReadPunctuation(OMB_Token& token);
    void ReportError() const;

    const char* m_begin = nullptr;
    const char* m_end = nullptr;
    const char* m_current = nullptr;
    const char* m_lineStart = nullptr;
    int m_line = 0;
    unsigned m_options = 0;
    int m_error = 0;
    int m_tokenColumn = 0;
    int m_tokenLine = 0;
};
