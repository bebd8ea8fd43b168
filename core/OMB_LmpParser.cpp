// OMB_LmpParser: the hierarchical text format of the configuration, UI and
// camera files, its value readers and the text file reader. The
// parser recurses once per nested group, so nesting is capped at kMaxDepth;
// everything else is a single pass over the lexer's tokens. Any failure
// empties the tree: consumers never see half a file.
//
// Sections: escape decoding and helpers; nodes and files; token queue;
// grammar; lookup and value readers.
#include "core/OMB_LmpParser.h"

#include "core/OMB_FileHandle.h"
#include "core/OMB_Log.h"

#include <cstdio>
#include <cstring>

namespace {

const unsigned kParserOptions = OMB_LEX_BLOCK_STRINGS | OMB_LEX_PRINT_ERRORS;

bool IsLiteralOrString(const OMB_Token& token) {
    return token.kind == OMB_TOKEN_LITERAL || (token.kind & OMB_TOKEN_STRING) != 0;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads up to `maxDigits` digits of `base` from [p, end) into value.
const char* ReadEscapeNumber(const char* p, const char* end, int base, int maxDigits, int& value) {
    value = 0;
    for (int i = 0; i < maxDigits && p < end; ++i, ++p) {
        const int digit = HexValue(*p);
        if (digit < 0 || digit >= base) break;
        value = value * base + digit;
    }
    return p;
}

char SimpleEscape(char c, bool& known) {
    known = true;
    switch (c) {
        case '"': return '"';
        case '\'': return '\'';
        case '0': return '\0';
        case '?': return '?';
        case '\\': return '\\';
        case 'a': return 7;
        case 'b': return 8;
        case 'f': return 12;
        case 'n': return 10;
        case 'r': return 13;
        case 't': return 9;
        case 'v': return 11;
        default: known = false; return 0;
    }
}

// The value of a literal or double-quoted string with its escapes decoded.
// The text ends at the first decoded zero byte.
std::string DecodeEscapes(const char* p, int length) {
    const char* const end = p + length;
    std::string out;
    out.reserve(size_t(length));
    while (p < end) {
        if (*p != '\\') {
            out += *p++;
            continue;
        }
        ++p;
        int value = 0;
        bool known = false;
        const char simple = p < end ? SimpleEscape(*p, known) : 0;
        if (known) {
            value = static_cast<unsigned char>(simple);
            ++p;
        } else if (p < end && (*p == 'c' || *p == 'C')) {
            p = ReadEscapeNumber(p + 1, end, 8, 3, value);
        } else if (p < end && (*p == 'x' || *p == 'X')) {
            p = ReadEscapeNumber(p + 1, end, 16, 2, value);
        } else {
            p = ReadEscapeNumber(p, end, 10, 3, value);
        }
        if (value > 255) value = '\\';
        if (value == 0) break;
        out += static_cast<char>(value);
    }
    return out;
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

OMB_LmpNode* FindIn(const std::vector<std::unique_ptr<OMB_LmpNode>>& nodes, const char* key) {
    if (!key) return nullptr;
    for (const auto& node : nodes) {
        if (EqualsIgnoringCase(node->key, key)) return node.get();
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Nodes and files
// ---------------------------------------------------------------------------
void OMB_LmpNode::Clear() {
    key.clear();
    value.clear();
    attributes.clear();
    children.clear();
}

OMB_LmpNode* OMB_LmpNode::AddAttribute(const std::string& k, const std::string& v) {
    attributes.push_back(std::make_unique<OMB_LmpNode>());
    attributes.back()->key = k;
    attributes.back()->value = v;
    return attributes.back().get();
}

OMB_LmpNode* OMB_LmpNode::AddChild(const std::string& k, const std::string& v) {
    children.push_back(std::make_unique<OMB_LmpNode>());
    children.back()->key = k;
    children.back()->value = v;
    return children.back().get();
}

bool OMB_ReadTextFile(const char* path, std::string& text) {
    text.clear();
    OMB_FileHandle file = OMB_OpenForReading(path);
    if (!file) {
        OMB_Printf("TextFile : failed to open file : %s\n", path ? path : "");
        return false;
    }
    // Read by chunks rather than trusting a size query: the cap keeps a file
    // that grows while it is read bounded.
    char chunk[1 << 16];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
        if (text.size() + n > kMaxTextFileSize) {
            OMB_Printf("TextFile : file too large : %s\n", path);
            text.clear();
            return false;
        }
        text.append(chunk, n);
    }
    if (std::ferror(file.get())) {
        OMB_Printf("TextFile : failed to read file : %s\n", path);
        text.clear();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Token queue
// ---------------------------------------------------------------------------
bool OMB_LmpParser::Lex(OMB_Token& token) {
    const bool ok = m_lexer.NextToken(token);
    m_line = m_lexer.TokenLine();
    m_column = m_lexer.TokenColumn();
    return ok;
}

// Null at the end of the text or after a lexer error. The end is found
// without lexing, so a complete text never makes the lexer report
// "script ended".
const OMB_Token* OMB_LmpParser::Peek() {
    if (!m_lookahead.empty()) return &m_lookahead.front();
    if (m_lexer.Error()) return nullptr;
    m_lexer.SkipToToken();
    if (m_lexer.Error() || m_lexer.AtEnd()) return nullptr;
    OMB_Token token;
    if (!Lex(token)) return nullptr;
    m_lookahead.push_back(token);
    return &m_lookahead.front();
}

bool OMB_LmpParser::NextIs(const char* punct) {
    const OMB_Token* next = Peek();
    return next && next->Is(punct);
}

bool OMB_LmpParser::Accept(const char* punct) {
    if (!NextIs(punct)) return false;
    m_lookahead.pop_front();
    return true;
}

bool OMB_LmpParser::Take(OMB_Token& token) {
    if (m_lookahead.empty()) return Lex(token);
    token = m_lookahead.front();
    m_lookahead.pop_front();
    return true;
}

// A lexer error has already been printed by the lexer; the parser adds none.
bool OMB_LmpParser::Fail(const char* message) const {
    if (!m_lexer.Error())
        OMB_Printf("[Error] OMB_LmpParser : ( %d : %d ) : %s\n", m_line + 1, m_column + 1, message);
    return false;
}

bool OMB_LmpParser::Abort() {
    m_root.Clear();
    m_lookahead.clear();
    return false;
}

// ---------------------------------------------------------------------------
// Grammar
// ---------------------------------------------------------------------------
bool OMB_LmpParser::Parse(const char* text) {
    m_root.Clear();
    m_lookahead.clear();
    m_line = 0;
    m_column = 0;
    m_lexer.Init(text, kParserOptions);
    if (!text) return false;
    for (;;) {
        if (m_lookahead.empty()) {
            m_lexer.SkipToToken();
            if (m_lexer.Error()) return Abort();
            if (m_lexer.AtEnd()) break;
        }
        m_root.children.push_back(std::make_unique<OMB_LmpNode>());
        if (!ParseEntry(*m_root.children.back(), 1)) return Abort();
    }
    m_root.key = "root";
    return true;
}

bool OMB_LmpParser::ParseFile(const char* path) {
    std::string text;
    if (!OMB_ReadTextFile(path, text)) {
        m_root.Clear();
        return false;
    }
    return Parse(text.c_str());
}

bool OMB_LmpParser::ParseEntry(OMB_LmpNode& node, int depth) {
    if (depth > kMaxDepth) return Fail("invalid format");
    OMB_Token token;
    bool hasKey = false, hasValue = false, hasGroup = false;

    const OMB_Token* next = Peek();
    if (next && next->kind == OMB_TOKEN_WORD) {
        if (!Take(token)) return Fail("failed to parse key");
        node.key = token.Text();
        hasKey = true;
    }

    bool valueRequired = false;
    if (Accept("=")) {
        if (!hasKey) return Fail("no key before '='");
        valueRequired = true;
    }
    next = Peek();
    if ((next && IsLiteralOrString(*next)) || valueRequired) {
        if (next && next->kind == OMB_TOKEN_LITERAL) {
            if (!Take(token)) return Fail("failed to parse literal value");
            node.value = DecodeEscapes(token.start, token.length);
        } else if (next && IsLiteralOrString(*next)) {
            if (!Take(token)) return Fail("failed to parse string value");
            node.value = token.kind == OMB_TOKEN_BLOCK_STRING ? token.Text()
                                                              : DecodeEscapes(token.start, token.length);
        } else {
            return Fail("no value follows '='");
        }
        hasValue = true;
    }

    while (NextIs("(")) {
        if (!hasKey && !hasValue) return Fail("no heading key or value before attrib");
        if (!ParseGroup(node, depth, true)) return false;
    }

    bool groupRequired = false;
    if (Accept("::")) {
        if (!hasKey && !hasValue) return Fail("no heading key or value before '::'");
        groupRequired = true;
    }
    // Groups chain only through "::"; a "{" after a group without one starts
    // the next entry.
    while (NextIs("{")) {
        if (!ParseGroup(node, depth, false)) return false;
        hasGroup = true;
        groupRequired = Accept("::");
        if (!groupRequired) break;
    }
    if (groupRequired) return Fail("no list follows '::' ");

    if (Accept("~")) {
        if (!hasKey || node.key.empty()) return Fail("no heading key before '~'");
        if (!Take(token)) return false;  // the lexer has reported why
        if (!token.Is(node.key.c_str())) return Fail("ending key does not match key");
    }

    if (m_lexer.Error()) return false;
    if (!hasKey && !hasValue && !hasGroup) return Fail("invalid format");
    return true;
}

// "(" entries ")" into the attributes, or "{" entries "}" into the children.
bool OMB_LmpParser::ParseGroup(OMB_LmpNode& node, int depth, bool attributes) {
    const char* const close = attributes ? ")" : "}";
    auto& list = attributes ? node.attributes : node.children;
    Accept(attributes ? "(" : "{");
    for (;;) {
        const OMB_Token* next = Peek();
        if (!next)
            return Fail(attributes ? "no trailing ')' for attrib" : "no trailing '}' for list");
        if (next->Is(close)) break;
        list.push_back(std::make_unique<OMB_LmpNode>());
        if (!ParseEntry(*list.back(), depth + 1)) return false;
    }
    Accept(close);
    return true;
}

// ---------------------------------------------------------------------------
// Lookup and value readers
// ---------------------------------------------------------------------------
const OMB_LmpNode* OMB_LmpParser::FindChild(const OMB_LmpNode* node, const char* key) {
    return node ? FindIn(node->children, key) : nullptr;
}

OMB_LmpNode* OMB_LmpParser::FindChild(OMB_LmpNode* node, const char* key) {
    return node ? FindIn(node->children, key) : nullptr;
}

const OMB_LmpNode* OMB_LmpParser::FindAttribute(const OMB_LmpNode* node, const char* key) {
    return node ? FindIn(node->attributes, key) : nullptr;
}

OMB_LmpNode* OMB_LmpParser::FindAttribute(OMB_LmpNode* node, const char* key) {
    return node ? FindIn(node->attributes, key) : nullptr;
}

bool OMB_LmpParser::ParseFloats(const char* text, int count, float* out) {
    for (int i = 0; i < count; ++i) out[i] = 0.0f;
    OMB_Lexer lexer(text ? text : "", 0);
    for (int i = 0; i < count; ++i) {
        if (!lexer.ReadFloat(out[i])) return false;
    }
    return true;
}

uint32_t OMB_LmpParser::ParseColor(const char* text) {
    uint8_t rgba[4] = {0, 0, 0, 255};
    OMB_Lexer lexer(text ? text : "", 0);
    for (uint8_t& channel : rgba) {
        int32_t value = 0;
        if (!lexer.ReadInt(value)) break;
        channel = static_cast<uint8_t>(value);
    }
    return uint32_t(rgba[0]) | uint32_t(rgba[1]) << 8 | uint32_t(rgba[2]) << 16 |
           uint32_t(rgba[3]) << 24;
}

int32_t OMB_LmpParser::NodeInt(const OMB_LmpNode* node) {
    if (!node) return 0;
    OMB_Lexer lexer(node->value.c_str(), 0);
    int32_t value = 0;
    return lexer.ReadInt(value) ? value : 0;
}
