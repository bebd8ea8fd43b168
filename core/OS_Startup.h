// OS_Startup: what the process does with its arguments and its console
// before anything else. The program's text is UTF-8 everywhere; on Windows
// the arguments are re-read through the wide API (the narrow ones are in the
// system's code page) and a windowed executable started from a console
// (cmd, PowerShell) attaches to it so that batch modes print there. On
// POSIX systems both are already as they should be.
#pragma once

// Replaces argc/argv with the UTF-8 arguments; the strings live until the
// process ends.
void OS_Utf8Arguments(int& argc, char**& argv);
// Batch modes: standard output and error reach the console that started
// the program (when they are not redirected already).
void OS_UseParentConsole();
