// OS_WinText: the one conversion between the program's text (UTF-8
// everywhere) and the wide strings of the Windows API, for the Windows
// services (*_win.cpp) only. Every path handed to Windows goes through
// OS_Wide, so a name like "замок 城.vox" reaches the file system intact
// whatever the system's code page.
#pragma once

#include <string>

// UTF-8 to UTF-16; invalid bytes become U+FFFD (the file is then not found,
// which is the truth: no such name can exist).
std::wstring OS_Wide(const std::string& text);
// UTF-16 to UTF-8.
std::string OS_Utf8(const std::wstring& text);
// A path for the wide file API: "/" turned into "\", and an absolute path
// longer than MAX_PATH given the "\\?\" prefix so that it still works where
// the system's long-path support is off.
std::wstring OS_WidePath(const std::string& path);
// The system's text for a GetLastError() value, in UTF-8, without the
// trailing line break.
std::string OS_ErrorText(unsigned long error);
// What makes `path` unusable as a file name on Windows, as a message for
// the user: a character Windows forbids in a name (< > : " | ? * and control
// characters), a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// with or without an extension), or a path of MAX_PATH (260) characters or
// more, which most Windows programs cannot open. Empty when it is usable.
std::string OS_WindowsNameProblem(const std::string& path);
