// Quoting and reading command arguments (see OMB_Arguments.h).
#include "core/OMB_Arguments.h"

#include <cctype>
#include <cstdio>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Appends the escape of one control byte.
void AppendControl(std::string& out, unsigned char c) {
    switch (c) {
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        default: break;
    }
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += hex;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes the escape after a backslash at `p`; advances `p` past it.
void DecodeEscape(const char*& p, std::string& out) {
    const char c = *p;
    switch (c) {
        case '\\': case '"': case '\'': out += c; ++p; return;
        case 'n': out += '\n'; ++p; return;
        case 'r': out += '\r'; ++p; return;
        case 't': out += '\t'; ++p; return;
        case 'x': {
            const int high = HexValue(p[1]);
            const int low = high < 0 ? -1 : HexValue(p[2]);
            if (low >= 0) {
                out += char(high * 16 + low);
                p += 3;
                return;
            }
            break;
        }
        default: break;
    }
    // Not one of ours: the backslash is part of the text (a typed path).
    out += '\\';
}

bool ReadQuoted(const char*& p, std::string& argument) {
    const char quote = *p;
    const char* q = p + 1;
    argument.clear();
    while (*q && *q != quote) {
        if (*q == '\\' && q[1]) {
            ++q;
            DecodeEscape(q, argument);
        } else {
            argument += *q++;
        }
    }
    if (*q != quote) return false;
    p = q + 1;
    return true;
}
}  // namespace

std::string OMB_QuoteArgument(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (IsControl(c)) {
            AppendControl(out, c);
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

std::string OMB_CommandWithArgument(const std::string& command, const std::string& argument) {
    const std::string quoted = OMB_QuoteArgument(argument);
    return command.empty() ? quoted : command + " " + quoted;
}

bool OMB_ReadArgument(const char*& p, std::string& argument) {
    if (!p) return false;
    while (IsBlank(*p)) ++p;
    if (!*p) return false;
    if (*p == '"' || *p == '\'') return ReadQuoted(p, argument);
    const char* end = p;
    while (*end && !IsBlank(*end)) ++end;
    argument.assign(p, end);
    p = end;
    return true;
}

bool OMB_SplitArguments(const char* text, std::vector<std::string>& arguments) {
    arguments.clear();
    const char* p = text ? text : "";
    std::string argument;
    while (true) {
        while (IsBlank(*p)) ++p;
        if (!*p) return true;
        if (!OMB_ReadArgument(p, argument)) return false;
        arguments.push_back(argument);
    }
}

std::string OMB_PathArgument(const char* text) {
    std::string whole = text ? text : "";
    const size_t first = whole.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string::npos) return std::string();
    const size_t last = whole.find_last_not_of(" \t\r\n\v\f");
    whole = whole.substr(first, last - first + 1);
    if (whole[0] == '"' || whole[0] == '\'') {
        const char* p = whole.c_str();
        std::string path;
        if (ReadQuoted(p, path) && !*p) return path;
    }
    return whole;
}

std::string OMB_Printable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (IsControl(c))
            AppendControl(out, c);
        else
            out += ch;
    }
    return out;
}
