// UI_Text: how the toolkit measures and shortens text. Every widget lays
// text out on a grid of fixed-width cells (the look of the editor is a
// monospaced one, and fields and the log count columns): a character takes
// one cell, an East Asian wide or fullwidth character two. Measuring needs
// no font, so layout is the same with or without one, in tests and at every
// scale. Text is UTF-8; malformed bytes count as one U+FFFD each.
#pragma once

#include <cstdint>
#include <string>

// Cells a code point takes: 2 for wide and fullwidth characters, else 1.
int UI_CharColumns(uint32_t codePoint);

// Cells the whole text takes.
int UI_TextColumns(const std::string& text);
int UI_TextColumns(const char* text, size_t length);
// Cells of the bytes [0, offset).
int UI_ColumnsBefore(const std::string& text, int offset);
// The character boundary nearest to `column` cells from the start (a wide
// character goes to whichever side of it is nearer).
int UI_OffsetAtColumn(const std::string& text, float column);

// The text cut to at most `columns` cells with "…" where it was cut. A file
// name keeps its extension and the end of its stem: the cut is in the middle
// ("Ärger mod…型.vox"); other text keeps its start. Text that fits comes back
// unchanged, and so does anything when columns < 1.
std::string UI_Ellipsize(const std::string& text, int columns, bool keepEnd);
// True when the text looks like a file name: a dot followed by 1 to 8
// characters without blanks ends it.
bool UI_HasExtension(const std::string& text);
