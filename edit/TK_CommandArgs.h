// Small readers shared by the commands' Parse functions. They sit on
// OMB_Lexer with options 0, the tokenizer of every command argument text, so
// that all commands agree on what a word, a number and a sign are.
#pragma once

#include "core/OMB_Lexer.h"

enum class TK_ArgRead { Token, End, Bad };

// True when only space and comments remain: the end-of-arguments check.
bool TK_ArgsAtEnd(OMB_Lexer& lexer);
// Reads an integer, leaving the position untouched when none follows, so
// the caller can count optional numbers.
bool TK_TryReadInt(OMB_Lexer& lexer, int& out);
// A colour a voxel may carry: 1..255 (0 is empty).
inline bool TK_IsPaletteIndex(int index) { return index >= 1 && index <= 255; }
// The value of a hexadecimal digit, -1 for any other character.
int TK_HexDigit(char c);

// The next token, End when only space and comments remain, Bad when the
// lexer rejects the text (unterminated string, unknown punctuation...).
TK_ArgRead TK_NextArg(OMB_Lexer& lexer, OMB_Token& token);

// Sets axes[a] to 1 for every 'x', 'y' or 'z' in the word (either case);
// other characters are ignored and unnamed axes are left as they are.
void TK_SelectAxes(const OMB_Token& word, int axes[3]);

// The axes named by the first token when it is a word, else all three.
// Used by commands whose axis word is optional; never fails.
void TK_ParseOptionalAxes(const char* args, int axes[3]);

// Pairs of an axis word and an integer ("x 2 yz -1"): each named axis of the
// word takes the integer; unnamed axes keep their values. False for a word
// without its integer or a token that is not a word.
bool TK_ParseAxisValues(const char* args, int values[3]);
