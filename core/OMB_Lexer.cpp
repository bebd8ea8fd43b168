// OMB_Lexer: splits command arguments, LMP files and value strings into
// words, numbers, strings, literals and punctuators. Every reader of text in
// the program sits on it, so it must accept any bytes at all: the one rule is
// that no read ever goes past m_end (begin + strlen), whatever the input, and
// no loop or call depth depends on the input beyond a single pass over it.
//
// Sections: tables and character classes; tokens; skipping space;
// NextToken and its token readers; ReadInt / ReadFloat.
#include "core/OMB_Lexer.h"

#include "core/OMB_Log.h"

#include <climits>
#include <cmath>
#include <cfloat>
#include <cstddef>
#include <cstring>

// ---------------------------------------------------------------------------
// Tables and character classes
// ---------------------------------------------------------------------------
namespace {

enum : int {
    kErrNone = 0,
    kErrGeneric = 1,
    kErrInvalidBuffer = 2,
    kErrScriptEnded = 3,
    kErrStringNoEnd = 4,
    kErrLiteralNoEnd = 5,
    kErrBlockNoEnd = 6,
    kErrUndefinedPunct = 13,
    kErrIntegerSuffix = 16,
    kErrFloatSuffix = 17,
    kErrFloatExponent = 18,
};

const char* const kErrorTexts[] = {
    "no error",
    "error occured",
    "invalid buffer",
    "script ended",
    "string no trailing \"",
    "literal no trailing '",
    "string block no trailing ]---]",
    "comment no trailing */",
    "literal invalid suffix",
    "new line in string",
    "new line in literal",
    "single quotes in string",
    "double quotes in literal",
    "undefined punctuation",
    "multiple literals",
    "empty literal",
    "integer bad suffix",
    "float bad suffix",
    "float empty exponent",
};
constexpr int kErrorTextCount = int(sizeof(kErrorTexts) / sizeof(kErrorTexts[0]));

// Tried in order, first match wins: every punctuator must come before any
// shorter one that is its prefix. A backslash never reaches the table: it
// hides the rest of its line.
const char* const kPunctuators[] = {
    ">>=", "<<=", "...", "##", "&&", "||", ">=", "<=", "==", "!=", "@=", "*=", "/=", "%=",
    "+=",  "-=",  "++",  "--", "&=", "|=", "^=", ">>", "<<", "->", "::", ".*", "*",  "/",
    "%",   "+",   "-",   "=",  "&",  "|",  "^",  "~",  "!",  ">",  "<",  ".",  ",",  ";",
    ":",   "?",   "(",   ")",  "{",  "}",  "[",  "]",  "@",  "#",  "$",
};
constexpr int kPunctuatorCount = int(sizeof(kPunctuators) / sizeof(kPunctuators[0]));
static_assert(kPunctuatorCount == 53, "punctuator table changed size");

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Value of a digit in bases up to 16, or 99 for anything else.
int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

int TokenBase(int kind) {
    if (kind & 0x040) return 16;
    if (kind & 0x080) return 8;
    if (kind & 0x100) return 2;
    return 10;
}

int ClampToInt(std::ptrdiff_t value) {
    return value > INT_MAX ? INT_MAX : int(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// Tokens
// ---------------------------------------------------------------------------
bool OMB_Token::Is(const char* text) const {
    if ((kind & (OMB_TOKEN_STRING | OMB_TOKEN_LITERAL)) != 0 || !start || !text) return false;
    const size_t n = std::strlen(text);
    return n == size_t(length) && std::memcmp(start, text, n) == 0;
}

uint32_t OMB_Token::UIntValue() const {
    if (!IsInteger() || !start) return 0;
    const uint32_t base = uint32_t(TokenBase(kind));
    uint32_t value = 0;
    for (int i = 0; i < length; ++i) {
        const int digit = DigitValue(start[i]);
        if (uint32_t(digit) >= base) break;
        value = value * base + uint32_t(digit);  // wraps by design
    }
    return value;
}

double OMB_Token::FloatValue() const {
    if (!IsNumber() || !start) return 0.0;
    if (IsInteger()) return double(UIntValue());
    // Digits past the 18th no longer change a double; they only move the
    // decimal exponent, which keeps long texts from overflowing to infinity.
    const char* p = start;
    const char* const end = start + length;
    double mantissa = 0.0;
    long long exponent = 0;
    for (; p < end && IsDigit(*p); ++p) {
        if (mantissa < 1e18) mantissa = mantissa * 10.0 + (*p - '0');
        else ++exponent;
    }
    if (p < end && *p == '.') {
        for (++p; p < end && IsDigit(*p); ++p) {
            if (mantissa < 1e18) {
                mantissa = mantissa * 10.0 + (*p - '0');
                --exponent;
            }
        }
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
        long long written = 0;
        for (; p < end && IsDigit(*p); ++p) {
            if (written < 100000) written = written * 10 + (*p - '0');
        }
        exponent += negative ? -written : written;
    }
    if (mantissa == 0.0) return 0.0;
    if (exponent > 400) exponent = 400;
    if (exponent < -400) exponent = -400;
    // Dividing by an exact power of ten rounds better than multiplying by an
    // inexact negative one.
    if (exponent < 0) return mantissa / std::pow(10.0, double(-exponent));
    return mantissa * std::pow(10.0, double(exponent));
}

// ---------------------------------------------------------------------------
// Set-up, tables and skipping space
// ---------------------------------------------------------------------------
void OMB_Lexer::Init(const char* text, unsigned options) {
    *this = OMB_Lexer();
    if (!text) {
        m_error = kErrInvalidBuffer;
        return;
    }
    m_begin = text;
    m_end = text + std::strlen(text);
    m_current = text;
    m_lineStart = text;
    m_options = options;
}

const char* OMB_Lexer::ErrorText(int code) {
    if (code < 0 || code >= kErrorTextCount) return "undefined error code";
    return kErrorTexts[code];
}

int OMB_Lexer::PunctuatorCount() { return kPunctuatorCount; }

const char* OMB_Lexer::Punctuator(int index) {
    return index >= 0 && index < kPunctuatorCount ? kPunctuators[index] : nullptr;
}

void OMB_Lexer::StartLine(const char* lineStart) {
    if (m_line < INT_MAX) ++m_line;
    m_lineStart = lineStart;
}

void OMB_Lexer::SkipRestOfLine() {
    const void* feed = std::memchr(m_current, '\n', size_t(m_end - m_current));
    if (!feed) {
        m_current = m_end;
        return;
    }
    m_current = static_cast<const char*>(feed) + 1;
    StartLine(m_current);
}

void OMB_Lexer::SkipBlockComment() {
    const char* p = m_current + 2;
    for (; p < m_end; ++p) {
        if (*p == '\n') {
            StartLine(p + 1);
        } else if (*p == '*' && ByteAt(p + 1) == '/') {
            m_current = p + 2;
            return;
        }
    }
    m_current = m_end;  // an open comment runs to the end of the text
}

void OMB_Lexer::SkipSpace() {
    while (m_current < m_end) {
        const signed char c = static_cast<signed char>(*m_current);
        if (c == '\n') {
            ++m_current;
            StartLine(m_current);
        } else if (c < 0 || (c >= 1 && c <= 32)) {
            ++m_current;  // control bytes and every byte above 0x7F count as space
        } else if (c == '/' && ByteAt(m_current + 1) == '*') {
            SkipBlockComment();
        } else if (c == '/' && ByteAt(m_current + 1) == '/') {
            SkipRestOfLine();
        } else {
            return;
        }
    }
}

void OMB_Lexer::SkipToToken() {
    for (;;) {
        SkipSpace();
        if (m_error || m_current >= m_end) return;
        if (*m_current != '\\') return;
        SkipRestOfLine();
    }
}

// ---------------------------------------------------------------------------
// NextToken and its token readers
// ---------------------------------------------------------------------------
bool OMB_Lexer::NextToken(OMB_Token& token) {
    token = OMB_Token();
    if (!m_begin) {
        m_error = kErrInvalidBuffer;
        ReportError();
        return false;
    }
    m_error = kErrNone;
    SkipToToken();
    m_tokenLine = m_line;
    m_tokenColumn = ClampToInt(m_current - m_lineStart);
    token.start = m_current;
    if (m_current >= m_end) m_error = kErrScriptEnded;
    else ReadToken(token);
    if (m_error) {
        ReportError();
        return false;
    }
    return true;
}

void OMB_Lexer::ReportError() const {
    if (m_error && (m_options & OMB_LEX_PRINT_ERRORS)) {
        OMB_Printf("[Error] OMB_Lexer :: ( %d : %d ) : %s\n", m_tokenLine + 1, m_tokenColumn + 1,
                   ErrorText(m_error));
    }
}

void OMB_Lexer::ReadToken(OMB_Token& token) {
    const char c = *m_current;
    if (IsLetter(c) || c == '_') {
        ReadWord(token);
    } else if (IsDigit(c) || (c == '.' && IsDigit(ByteAt(m_current + 1)))) {
        ReadNumber(token);
    } else if (c == '"' || c == '\'') {
        ReadQuoted(token, c);
    } else if (c == '[' && (m_options & OMB_LEX_BLOCK_STRINGS) && ReadBlockString(token)) {
        // token filled (or error 6 set) by ReadBlockString
    } else {
        ReadPunctuation(token);
    }
}

void OMB_Lexer::ReadWord(OMB_Token& token) {
    const char* p = m_current;
    while (p < m_end && (IsLetter(*p) || IsDigit(*p) || *p == '_')) ++p;
    token.kind = OMB_TOKEN_WORD;
    token.length = ClampToInt(p - m_current);
    m_current = p;
}

void OMB_Lexer::ReadNumber(OMB_Token& token) {
    if (*m_current == '0') {
        switch (ByteAt(m_current + 1)) {
            case 'x': case 'X': ReadPrefixedNumber(token, 16); return;
            case 'c': case 'C': ReadPrefixedNumber(token, 8); return;
            case 'b': case 'B': ReadPrefixedNumber(token, 2); return;
            default: break;
        }
    }
    const char* p = m_current;
    while (p < m_end && IsDigit(*p)) ++p;
    bool isFloat = false;
    if (p < m_end && *p == '.') {
        isFloat = true;
        for (++p; p < m_end && IsDigit(*p);) ++p;
    }
    if (p < m_end && (*p == 'e' || *p == 'E')) {
        isFloat = true;
        ++p;
        if (p < m_end && (*p == '+' || *p == '-')) ++p;
        if (!IsDigit(ByteAt(p))) m_error = kErrFloatExponent;
        while (p < m_end && IsDigit(*p)) ++p;
    }
    token.kind = isFloat ? OMB_TOKEN_FLOAT : OMB_TOKEN_INT;
    token.length = ClampToInt(p - m_current);
    m_current = p;
    if (!m_error && IsLetter(ByteAt(p))) m_error = isFloat ? kErrFloatSuffix : kErrIntegerSuffix;
}

void OMB_Lexer::ReadPrefixedNumber(OMB_Token& token, int base) {
    const char* const digits = m_current + 2;
    const char* p = digits;
    for (; p < m_end; ++p) {
        const bool inBase = base == 16 ? IsHexDigit(*p) : DigitValue(*p) < base;
        if (!inBase) break;
    }
    const char next = ByteAt(p);
    if (p == digits || IsLetter(next) || (base < 10 && IsDigit(next))) m_error = kErrIntegerSuffix;
    token.kind = base == 16 ? OMB_TOKEN_HEX : base == 8 ? OMB_TOKEN_OCT : OMB_TOKEN_BIN;
    token.start = digits;
    token.length = ClampToInt(p - digits);
    m_current = p;
}

// `p` is the byte after a backslash; returns the first byte after the escape.
// No escape form contains a line feed, so line counting is left to the caller.
const char* OMB_Lexer::SkipEscape(const char* p) const {
    if (p >= m_end) return p;
    switch (*p) {
        case '"': case '\'': case '0': case '?': case '\\':
        case 'a': case 'b': case 'f': case 'n': case 'r': case 't': case 'v':
            return p + 1;
        case 'c': case 'C':
            for (++p; p < m_end && IsOctalDigit(*p);) ++p;
            return p;
        case 'x': case 'X':
            for (++p; p < m_end && IsHexDigit(*p);) ++p;
            return p;
        default:
            while (p < m_end && IsDigit(*p)) ++p;
            return p;
    }
}

void OMB_Lexer::ReadQuoted(OMB_Token& token, char quote) {
    const bool isString = quote == '"';
    const char* const start = m_current + 1;
    const char* p = start;
    token.kind = isString ? OMB_TOKEN_STRING : OMB_TOKEN_LITERAL;
    token.start = start;
    for (;;) {
        if (p >= m_end) {
            m_error = isString ? kErrStringNoEnd : kErrLiteralNoEnd;
            break;
        }
        const char c = *p;
        if (c == quote) break;
        if (c == '\\') {
            p = SkipEscape(p + 1);
            continue;
        }
        ++p;
        if (c == '\n') StartLine(p);
    }
    token.length = ClampToInt(p - start);
    if (m_error) {
        m_current = p;
        return;
    }
    m_current = p + 1;
}

// "[" n*"-" "[" ... "]" n*"-" "]". False when the bracket does not open a
// block string (it is then punctuation); true otherwise, with error 6 set
// when the closing form never comes.
bool OMB_Lexer::ReadBlockString(OMB_Token& token) {
    const char* p = m_current + 1;
    while (p < m_end && *p == '-') ++p;
    if (p >= m_end || *p != '[') return false;
    const std::ptrdiff_t dashes = p - (m_current + 1);
    const char* const content = ++p;
    token.kind = OMB_TOKEN_BLOCK_STRING;
    token.start = content;
    while (p < m_end) {
        if (*p == '\n') {
            StartLine(p + 1);
        }
        if (*p != ']') {
            ++p;
            continue;
        }
        const char* q = p + 1;
        while (q < m_end && *q == '-') ++q;
        if (q - (p + 1) == dashes && q < m_end && *q == ']') {
            token.length = ClampToInt(p - content);
            m_current = q + 1;
            return true;
        }
        p = q;  // a run of dashes holds neither a bracket nor a line feed
    }
    token.length = ClampToInt(p - content);
    m_current = m_end;
    m_error = kErrBlockNoEnd;
    return true;
}

void OMB_Lexer::ReadPunctuation(OMB_Token& token) {
    const size_t left = size_t(m_end - m_current);
    token.kind = OMB_TOKEN_PUNCT;
    for (const char* punct : kPunctuators) {
        const size_t n = std::strlen(punct);
        if (n <= left && std::memcmp(m_current, punct, n) == 0) {
            token.length = int(n);
            m_current += n;
            return;
        }
    }
    // Step over the byte so that a caller that carries on still advances.
    token.kind = 0;
    token.length = 1;
    ++m_current;
    m_error = kErrUndefinedPunct;
}

// ---------------------------------------------------------------------------
// ReadInt / ReadFloat
// ---------------------------------------------------------------------------
namespace {
// An optional "-" or "+" token, then the token after it.
bool NextSignedToken(OMB_Lexer& lexer, OMB_Token& token, bool& negative) {
    negative = false;
    if (!lexer.NextToken(token)) return false;
    if (!token.IsMinus() && !token.IsPlus()) return true;
    negative = token.IsMinus();
    return lexer.NextToken(token);
}
}  // namespace

bool OMB_Lexer::ReadInt(int32_t& out) {
    OMB_Token token;
    bool negative;
    if (!NextSignedToken(*this, token, negative) || !token.IsInteger()) return false;
    const uint32_t value = token.UIntValue();
    out = static_cast<int32_t>(negative ? 0u - value : value);
    return true;
}

bool OMB_Lexer::ReadFloat(float& out) {
    OMB_Token token;
    bool negative;
    if (!NextSignedToken(*this, token, negative) || !token.IsNumber()) return false;
    const double value = negative ? -token.FloatValue() : token.FloatValue();
    // Out-of-range conversion to float is undefined; saturate to infinity.
    if (value > double(FLT_MAX)) out = HUGE_VALF;
    else if (value < -double(FLT_MAX)) out = -HUGE_VALF;
    else out = static_cast<float>(value);
    return true;
}
