// OMB_Utf8: the one UTF-8 decoder of the program. Text anywhere (file names,
// log lines, typed text) is kept as UTF-8 bytes; whoever draws it or moves a
// caret through it steps by code point with these functions. Malformed input
// (a stray continuation byte, a truncated or overlong sequence, a surrogate,
// a value past U+10FFFF) decodes as U+FFFD and consumes exactly one byte, so
// a decoder loop always advances and never reads past `end`.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kUtf8Replacement = 0xFFFD;

// Decodes the code point at p (p < end) and moves p past it.
uint32_t OMB_DecodeUtf8(const char*& p, const char* end);

// Appends the encoding of a code point; invalid ones append U+FFFD.
void OMB_AppendUtf8(std::string& out, uint32_t codePoint);

// Byte offsets of the code point boundary after / before `offset`, clamped
// to 0..size. Both follow the decoder, so stepping never lands inside a
// sequence the decoder reads as one character.
int OMB_Utf8Next(const std::string& text, int offset);
int OMB_Utf8Prev(const std::string& text, int offset);

// The text with every malformed sequence replaced by U+FFFD.
std::string OMB_SanitizeUtf8(const std::string& text);
