// Data inside command lines. A path from a file list, a dialog, a drop, a
// recovery sidecar or a configuration value reaches a command only as one
// argument built here, and commands read their arguments back only here, so
// no byte of a file name can end an argument, split a line at '|' or start
// another command.
//
// The quoted form is a double-quoted string in which '\' and '"' are escaped
// ("\\", "\""), tab, line feed and carriage return are written "\t", "\n",
// "\r", and every other control byte "\xHH". Bytes from 0x80 up (UTF-8, or
// any other encoding) pass unchanged. The command splitter skips escapes
// inside strings, so such an argument always travels whole.
#pragma once

#include <string>
#include <vector>

// `text` as one quoted argument.
std::string OMB_QuoteArgument(const std::string& text);

// "command " + the quoted argument: the one way to put data into a line.
std::string OMB_CommandWithArgument(const std::string& command, const std::string& argument);

// Reads the argument starting at `p` (blanks before it skipped): a quoted
// string ('"' or '\'') with its escapes decoded, or a bare word up to the next
// blank. Unknown escapes keep their backslash. On success `p` is left after
// the argument. False for an unterminated quote, or when no argument is left.
bool OMB_ReadArgument(const char*& p, std::string& argument);

// Every argument of `text`. False for an unterminated quote.
bool OMB_SplitArguments(const char* text, std::vector<std::string>& arguments);

// A path argument: one quoted argument filling the whole text is decoded;
// anything else is taken as it stands (so "open my model.vox" still opens the
// name with a blank). Leading and trailing blanks are not part of the path.
std::string OMB_PathArgument(const char* text);

// `text` for a terminal or the message log: control bytes written as escapes
// ("\n", "\t", "\xHH"), everything else unchanged.
std::string OMB_Printable(const std::string& text);
